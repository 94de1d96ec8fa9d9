// Watches the message boxes and dialogs of the calling thread: records what each box showed, then
// closes it, or hands a dialog to a script that drives it. Other dialogs (the plug-in's settings
// dialog and result window) are never taken for boxes. For unattended runs and tests.
#pragma once
#include <windows.h>

struct SeenBox {
  char caption[256];
  char text[1024];  // the message box's text (its static control 0xFFFF), in the ANSI code page
  wchar_t wcaption[256];  // the same two as the box holds them, whatever the code page
  wchar_t wtext[1024];
  HWND owner;
  HWND window;  // the box itself (it may be gone by the time it is looked at)
};

// Installs the hook on this thread (again harmlessly). Boxes are closed as soon as they show.
void WatchBoxes();
void StopWatchingBoxes();

// Every box shown since the last ForgetSeenBoxes, in order, however many; a box activated again
// is not counted again.
int SeenBoxCount();
const SeenBox* SeenBoxAt(int index);
void ForgetSeenBoxes();

// The next dialog that shows is given to script (from a timer, once it runs its own loop)
// instead of being closed; the script must end it.
typedef void (*DialogScript)(HWND dialog, void* context);
void ScriptNextDialog(DialogScript script, void* context);

// Optional, for programs that show what happened (the stand-in host): once a box has been
// recorded, leave it up for delay_ms so that it paints, then call shown (may be
// null) and close it, or, with close false, leave it for a person to close. The default,
// delay 0 and closing, is what WatchBoxes alone does: close at once.
typedef void (*BoxShown)(HWND box, void* context);
void SetBoxHandling(int delay_ms, bool close, BoxShown shown, void* context);
