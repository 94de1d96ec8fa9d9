// How the code pages the native tests cut text in describe their characters, as the system
// would tell the plug-in.
#pragma once
#include "text/lead_bytes.h"

// Shift_JIS, the mail client's own.
constexpr LeadBytes kCp932LeadBytes = {{0x81, 0x9F, 0xE0, 0xFC}, false};
// Korean: 0xB0 leads a character here and is a single byte in 932.
constexpr LeadBytes kCp949LeadBytes = {{0x81, 0xFE}, false};
constexpr LeadBytes kSingleByte = {{}, false};
constexpr LeadBytes kUtf8 = {{}, true};
