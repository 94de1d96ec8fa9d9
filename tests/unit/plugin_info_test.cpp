// The information record the host asks for: four fields, byte for byte.
#include "entry/plugin_info.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

// "Becky!使いからメールがきた時に、自分のとバージョンを比べ、負けていたら警告する。" in code page
// 932.
const unsigned char kDescription[] = {
    0x42, 0x65, 0x63, 0x6b, 0x79, 0x21, 0x8e, 0x67, 0x82, 0xa2, 0x82, 0xa9, 0x82, 0xe7, 0x83, 0x81,
    0x81, 0x5b, 0x83, 0x8b, 0x82, 0xaa, 0x82, 0xab, 0x82, 0xbd, 0x8e, 0x9e, 0x82, 0xc9, 0x81, 0x41,
    0x8e, 0xa9, 0x95, 0xaa, 0x82, 0xcc, 0x82, 0xc6, 0x83, 0x6f, 0x81, 0x5b, 0x83, 0x57, 0x83, 0x87,
    0x83, 0x93, 0x82, 0xf0, 0x94, 0xe4, 0x82, 0xd7, 0x81, 0x41, 0x95, 0x89, 0x82, 0xaf, 0x82, 0xc4,
    0x82, 0xa2, 0x82, 0xbd, 0x82, 0xe7, 0x8c, 0x78, 0x8d, 0x90, 0x82, 0xb7, 0x82, 0xe9, 0x81, 0x42};
static_assert(sizeof kDescription == 80, "the description is 80 bytes");

const unsigned char kFill = 0xA5;

struct FieldCase {
  const char* what;
  size_t offset;
  size_t width;
  const unsigned char* bytes;
  size_t length;
};

TEST(FillPluginInfo, FieldsByteExact) {
  static_assert(offsetof(PluginInfo, name) == 0, "name at 0");
  static_assert(offsetof(PluginInfo, vendor) == 80, "vendor at 80");
  static_assert(offsetof(PluginInfo, version) == 160, "version at 160");
  static_assert(offsetof(PluginInfo, description) == 240, "description at 240");
  const char name[] = "Becky! Vostrel plug-in";
  const char vendor[] = "orvek";
  const char version[] = "1.0";
  const FieldCase fields[] = {
      {"name", 0, 80, reinterpret_cast<const unsigned char*>(name), sizeof name - 1},
      {"vendor", 80, 80, reinterpret_cast<const unsigned char*>(vendor), sizeof vendor - 1},
      {"version", 160, 80, reinterpret_cast<const unsigned char*>(version), sizeof version - 1},
      {"description", 240, 256, kDescription, sizeof kDescription},
  };
  PluginInfo info;
  unsigned char* raw = reinterpret_cast<unsigned char*>(&info);
  memset(raw, kFill, sizeof info);
  FillPluginInfo(&info);
  for (const FieldCase& f : fields) {
    for (size_t i = 0; i < f.length; ++i) {
      ASSERT_EQ(f.bytes[i], raw[f.offset + i]) << f.what << " byte " << i;
    }
    EXPECT_EQ(0, raw[f.offset + f.length]) << f.what << ": expected a NUL at " << f.length;
    for (size_t i = f.length + 1; i < f.width; ++i) {
      ASSERT_EQ(kFill, raw[f.offset + i]) << f.what << ": byte " << i << " after the NUL changed";
    }
  }
}

TEST(FillPluginInfo, SameRecordEveryTime) {
  PluginInfo first, second;
  memset(&first, 0, sizeof first);
  memset(&second, 0, sizeof second);
  FillPluginInfo(&first);
  FillPluginInfo(&second);
  FillPluginInfo(&second);
  EXPECT_EQ(0, memcmp(&first, &second, sizeof first));
  EXPECT_EQ(80u, strlen(first.description));
}

}  // namespace
