// Bounded string building without the C library's printf family, which would add kilobytes to
// the plug-in. Free of Windows headers.
#pragma once
#include <cstddef>

// Appends to a NUL-terminated text in a fixed buffer, cutting what does not fit.
struct TextBuilder {
  char* out;
  size_t size;    // of out, including room for the NUL
  size_t length;  // bytes written so far
  bool cut;       // something did not fit

  TextBuilder(char* buffer, size_t buffer_size);
  void Append(const char* text, size_t count);
  void Append(const char* text);
  void AppendNumber(int value);
};

// Fills out from a template in which each "%s" stands for the next of values; cut to fit.
// True when nothing had to be cut.
bool FillTemplate(char* out, size_t out_size, const char* text_template, const char* const* values,
                  size_t value_count);
