// Texts that show a verdict: the result window's caption and the warning box's message.
// Free of Windows headers; every text is cut to fit its buffer, after whole characters of the
// code page that lead describes (the one the mail's bytes are shown in).
#pragma once
#include <cstddef>

#include "../text/buffer_sizes.h"
#include "../text/lead_bytes.h"
#include "version_scan.h"

// Caption of the result window, e.g. "LOSE (He:2.8 > You:2.7)".
void FormatResultLine(char* out, size_t out_size, Verdict verdict, const char* sender,
                      const char* own, const LeadBytes& lead);

// Text of the "You Lose !" box: "He:<sender>\r\nYou:<own>".
void FormatWarningText(char* out, size_t out_size, const char* sender, const char* own,
                       const LeadBytes& lead);

// Fills out from a printf format holding exactly two %s, shortening the two strings so that the
// result fits out_size: a cut keeps every character whole, double-byte or UTF-8, and ends in
// "..." when the string's share of the room holds at least those three bytes.
void FormatTwoStrings(char* out, size_t out_size, const char* format, const char* first,
                      const char* second, const LeadBytes& lead);
