// Where the settings file lives: the module's own path with its extension replaced by ".ini".
// Free of Windows headers.
#pragma once
#include <cstddef>

// Writes the settings file path for module_path into out. The extension's dot is looked for
// in the file name only; a name without one gets ".ini" appended. Paths are code page 932, so
// a 0x5C trail byte is not taken for a separator. False, with out empty, if the path does not fit.
bool DeriveIniPath(const char* module_path, char* out, size_t out_size);
