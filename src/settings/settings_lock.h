// Serializes the reads and writes of one settings file across processes: two mail clients may
// run with one plug-in folder, and the profile functions rewrite the whole file at every write.
#pragma once
#include <windows.h>

// Held from construction to destruction, at most kSettingsLockWait long to take. When it cannot
// be had in that time (or at all), the work goes on without it: the host must never hang. A
// lock left by a process that died is taken over.
class SettingsLock {
 public:
  SettingsLock();
  ~SettingsLock();
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;

 private:
  HANDLE mutex_;
  bool held_;
};

const DWORD kSettingsLockWait = 2000;  // milliseconds
