// The byte cursor and text helpers of the binary conformance tests.
#include "binary_reader.h"

#include "../harness/harness.h"

BYTE ByteCursor::Byte() {
  if (failed_ || offset_ + 1 > size_) {
    failed_ = true;
    return 0;
  }
  return data_[offset_++];
}

WORD ByteCursor::Word() {
  WORD low = Byte();
  WORD high = Byte();
  return failed_ ? 0 : static_cast<WORD>(low | (high << 8));
}

DWORD ByteCursor::Dword() {
  DWORD low = Word();
  DWORD high = Word();
  return failed_ ? 0 : (low | (high << 16));
}

std::u16string ByteCursor::Text() {
  std::u16string text;
  for (;;) {
    WORD unit = Word();
    if (failed_ || unit == 0) return text;
    text.push_back(static_cast<char16_t>(unit));
  }
}

ByteCursor::NameOrOrdinal ByteCursor::NameOrOrd() {
  NameOrOrdinal field;
  size_t start = offset_;
  WORD first = Word();
  if (failed_ || first == 0) return field;
  field.present = true;
  if (first == 0xFFFF) {
    field.is_ordinal = true;
    field.ordinal = Word();
    return field;
  }
  offset_ = start;
  field.name = Text();
  return field;
}

void ByteCursor::AlignTo(size_t alignment) {
  size_t aligned = (offset_ + alignment - 1) / alignment * alignment;
  // Trailing padding after the last item may be absent: aligning to the very end is fine.
  offset_ = aligned <= size_ ? aligned : size_;
}

void ByteCursor::Skip(size_t count) {
  if (failed_ || offset_ + count > size_) {
    failed_ = true;
    return;
  }
  offset_ += count;
}

std::string Utf8FromWide(const std::u16string& text) {
  return Utf8FromWide(std::wstring(text.begin(), text.end()));
}

std::u16string WidenAscii(const char* text) {
  std::u16string out;
  for (; *text != '\0'; ++text)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
  return out;
}
