// A named mutex per settings file.
#include "settings_lock.h"

#include "../text/buffer_sizes.h"
#include "ini_path.h"
#include "settings_file.h"

SettingsLock::SettingsLock() : mutex_(NULL), held_(false) {
  WCHAR path[kTextBufferSize];
  if (!IniPath(path, kTextBufferSize)) return;  // no file to share
  // Paths that differ only in case name one file on Windows, so they share one lock.
  CharUpperW(path);
  WCHAR name[kSettingsLockNameSize];
  SettingsLockName(path, name);
  mutex_ = CreateMutexW(NULL, FALSE, name);
  if (mutex_ == NULL) return;
  DWORD wait = WaitForSingleObject(mutex_, kSettingsLockWait);
  held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

SettingsLock::~SettingsLock() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_ != NULL) CloseHandle(mutex_);
}
