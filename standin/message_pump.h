// The host's message loop, and waiting for the processes a plug-in starts (such as a browser).
#pragma once
#include <windows.h>

#include <set>

// Serves this thread's windows for the given time (0: only what is queued now).
void Pump(int milliseconds);

// Processes this one started, such as the browser a plug-in opened (Wine's own helpers aside).
std::set<DWORD> ChildProcesses();

// Lets the processes started since `before` finish (a few seconds at most), serving windows.
void WaitForNewChildren(const std::set<DWORD>& before);
