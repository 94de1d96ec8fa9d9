// Watches the message boxes and dialogs of the calling thread: records what each showed, then
// closes it, or hands a dialog to a script that drives it. For unattended runs and tests.
#pragma once
#include <windows.h>

struct SeenBox {
  char caption[256];
  char text[1024];  // the message box's text (its static control 0xFFFF), in the ANSI code page
  HWND owner;
};

// Installs the hook on this thread (again harmlessly). Boxes are closed as soon as they show.
void WatchBoxes();
void StopWatchingBoxes();

int SeenBoxCount();
const SeenBox* SeenBoxAt(int index);
void ForgetSeenBoxes();

// The next dialog that shows is given to script (from a timer, once it runs its own loop)
// instead of being closed; the script must end it.
typedef void (*DialogScript)(HWND dialog, void* context);
void ScriptNextDialog(DialogScript script, void* context);
