// Where the settings file lives: the module's own path with its extension replaced by ".ini".
// Free of Windows headers.
#pragma once
#include <cstddef>

// The profile functions take no path of this many characters or more (MAX_PATH): one such path
// was seen written into a stray file beside the module.
const size_t kProfilePathLimit = 260;

// Writes the settings file path for module_path (UTF-16, so that any folder name fits) into
// out. The extension's dot is looked for in the file name only; a name without one gets ".ini"
// appended. False, with out empty, if the path does not fit.
bool DeriveIniPath(const wchar_t* module_path, wchar_t* out, size_t out_size);

// The name of the lock that serializes the processes using one settings file: a hash of the
// file's path, which the caller has brought to one case, so that paths differing only in case
// give one name.
const size_t kSettingsLockNameSize = 32;
void SettingsLockName(const wchar_t* folded_path, wchar_t (&out)[kSettingsLockNameSize]);
