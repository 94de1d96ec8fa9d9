// Helpers for reading the plug-in's binary the way Windows does: a bounds-checked cursor over
// resource data, and UTF-16 text for comparisons and messages.
#pragma once
#include <windows.h>

#include <string>

// Reads little-endian fields in order; a read past the end sets failed and yields zeros.
class ByteCursor {
 public:
  ByteCursor(const void* data, size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}

  WORD Word();
  DWORD Dword();
  BYTE Byte();
  // A NUL-terminated UTF-16 string (the NUL is consumed, not returned).
  std::u16string Text();
  // A name-or-ordinal field of a dialog template: 0 (none), 0xFFFF and an ordinal, or a text.
  struct NameOrOrdinal {
    bool present = false;
    bool is_ordinal = false;
    WORD ordinal = 0;
    std::u16string name;
  };
  NameOrOrdinal NameOrOrd();
  void AlignTo(size_t alignment);
  void Skip(size_t count);

  size_t Offset() const { return offset_; }
  bool Failed() const { return failed_; }
  const unsigned char* Here() const { return data_ + (offset_ < size_ ? offset_ : size_); }

 private:
  const unsigned char* data_;
  size_t size_;
  size_t offset_ = 0;
  bool failed_ = false;
};

// UTF-8 for printing a UTF-16 text in a failure message.
std::string Utf8FromWide(const std::u16string& text);
// A plain ASCII text as UTF-16, for texts the sources hold as narrow literals.
std::u16string WidenAscii(const char* text);
