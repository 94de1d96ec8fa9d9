// The plug-in's state, kept in the module: hInstance and runNumber for as long as it is loaded,
// the rest for one run of the host (see BeginRun). Touched only on the host's UI thread.
#pragma once
#include <windows.h>

extern int fOnce;           // warning mode: warn only once per run
extern int fPopup;          // non-zero: warning mode; 0: always-show mode
extern int fOpenRimarts;    // after a warning, open the host maker's home page
extern int fFirstWarning;   // 1 until the first "You Lose !" box of this run
extern int fExited;         // 1 once the host has called BKC_OnExit
extern unsigned runNumber;  // advanced by BeginRun: tells one run of the host from the next

extern HINSTANCE hInstance;  // this module
extern HWND hwndMain;        // the host's main window, once BKC_OnStart has it
extern HWND hwndResult;      // the result window, once created

// The state a run starts with: the flags at their initial 1, no windows, not exited, a new run
// number. Set at process attach, and again when a run starts after an exit: a host that unloads
// the plug-in and loads it again may get the same module back, its state kept.
void BeginRun();
