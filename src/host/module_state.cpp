// Definitions of the plug-in's module-level state.
#include "module_state.h"

// The flags are 1 from load, set by BeginRun at process attach: sixteen bytes of initialised data
// would take a 512-byte block of the DLL file of their own.
int fOnce;
int fPopup;
int fOpenRimarts;
int fFirstWarning;
int fExited;
unsigned runNumber;

HINSTANCE hInstance;
HWND hwndMain;
HWND hwndResult;

void BeginRun() {
  fOnce = fPopup = fOpenRimarts = fFirstWarning = 1;
  fExited = 0;
  ++runNumber;
  hwndMain = hwndResult = NULL;
}
