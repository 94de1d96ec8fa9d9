// The functions the plug-in exports for the host (stdcall, undecorated through the .def file).
#pragma once
#include <windows.h>

// A 32-bit argument the host passes and the plug-in does not use.
typedef LPARAM HostArg;

extern "C" {
int WINAPI BKC_OnStart();
int WINAPI BKC_OnExit();
int WINAPI BKC_OnMenuInit(HostArg, HostArg, HostArg);
int WINAPI BKC_OnOpenFolder(HostArg);
int WINAPI BKC_OnOpenMail(HostArg message);
int WINAPI BKC_OnEveryMinute();
int WINAPI BKC_OnOpenCompose(HostArg, HostArg);
int WINAPI BKC_OnOutgoing(HostArg, HostArg);
int WINAPI BKC_OnKeyDispatch(HostArg, HostArg, HostArg);
int WINAPI BKC_OnRetrieve(HostArg, HostArg);
int WINAPI BKC_OnSend(HostArg);
int WINAPI BKC_OnFinishRetrieve(HostArg);
int WINAPI BKC_OnPlugInSetup(HWND parent);
int WINAPI BKC_OnPlugInInfo(void* info);
int WINAPI BKC_OnDragDrop(HostArg, HostArg, HostArg, HostArg);
}
