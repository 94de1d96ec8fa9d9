// Bounded text building.
#include "bounded_text.h"

#include <cstring>

TextBuilder::TextBuilder(char* buffer, size_t buffer_size)
    : out(buffer), size(buffer_size), length(0), cut(false) {
  if (size > 0) out[0] = '\0';
}

void TextBuilder::Append(const char* text, size_t count) {
  if (size == 0) {
    cut = cut || count > 0;
    return;
  }
  size_t room = size - 1 - length;
  if (count > room) {
    count = room;
    cut = true;
  }
  memcpy(out + length, text, count);
  length += count;
  out[length] = '\0';
}

void TextBuilder::Append(const char* text) { Append(text, strlen(text)); }

void TextBuilder::AppendNumber(int value) {
  char digits[12];  // "-2147483648" and its NUL
  size_t i = sizeof digits;
  // Work with the negative magnitude so that INT_MIN needs no special case.
  int rest = value < 0 ? value : -value;
  do {
    digits[--i] = static_cast<char>('0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (value < 0) digits[--i] = '-';
  Append(digits + i, sizeof digits - i);
}

bool FillTemplate(char* out, size_t out_size, const char* text_template, const char* const* values,
                  size_t value_count) {
  TextBuilder text(out, out_size);
  size_t next = 0;
  const char* p = text_template;
  while (*p != '\0') {
    const char* mark = strstr(p, "%s");
    if (mark == nullptr || next == value_count) {
      text.Append(p);
      break;
    }
    text.Append(p, static_cast<size_t>(mark - p));
    text.Append(values[next++]);
    p = mark + 2;
  }
  return !text.cut;
}
