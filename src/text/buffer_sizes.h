// Sizes of the plug-in's fixed text buffers, each on the stack of the call that uses it.
// Free of Windows headers.
#pragma once
#include <cstddef>

// A header value, a version token, a module path and a message box text.
const size_t kTextBufferSize = 1024;
// A value read from or written to the settings file, and the plug-in error text at load.
const size_t kSettingValueSize = 256;
// The result window's caption.
const size_t kResultLineSize = 256;
