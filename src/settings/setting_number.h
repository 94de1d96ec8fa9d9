// Numbers in the settings file, read the way atoi reads them but without overflow, and the
// scaling of the window place's defaults to a DPI. Free of Windows headers, so that it is built
// and tested natively too: hence no MulDiv, which rounds these values the same way.
#pragma once
#include <cstddef>

#include "../text/buffer_sizes.h"

// Leading white space, an optional sign and decimal digits; anything else ends the number.
// Text that does not start with a number reads as 0; values beyond int saturate.
int ParseSettingNumber(const char* text);

// Decimal text of value, with a leading minus sign when negative.
void FormatSettingNumber(int value, char* out, size_t out_size);

// Pixels of a length given at 96 dots per inch (a default, at most a few hundred), at dpi: to the
// nearest pixel, halves up. As at 96 when dpi is not a positive number; at most 100 times.
int ScaleForDpi(int pixels, int dpi);
