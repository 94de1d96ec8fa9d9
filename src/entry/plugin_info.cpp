// Contents of the plug-in information record (texts in code page 932).
#include "plugin_info.h"

#include <cstring>

#include "version.h"

namespace {

// Copies text with its NUL, cut to fit the field; nothing after the NUL is touched.
template <size_t N>
void PutField(char (&field)[N], const char* text) {
  size_t length = strnlen(text, N - 1);
  memcpy(field, text, length);
  field[length] = '\0';
}

}  // namespace

void FillPluginInfo(PluginInfo* info) {
  PutField(info->name, "Becky! Vostrel plug-in");
  PutField(info->vendor, "orvek");
  PutField(info->version, VOSTREL_VERSION_TEXT);
  PutField(info->description,
           "Becky!使いからメールがきた時に、自分のとバージョンを比べ、負けていたら警告する。");
}
