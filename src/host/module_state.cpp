// Definitions of the plug-in's module-level state.
#include "module_state.h"

int fOnce = 1;
int fPopup = 1;
int fOpenRimarts = 1;
int fFirstWarning = 1;
int fExited = 0;

HINSTANCE hInstance = NULL;
HWND hwndMain = NULL;
HWND hwndResult = NULL;
