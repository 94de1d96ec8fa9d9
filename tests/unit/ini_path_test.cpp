// Where the settings file lives, worked out from the module's own path.
#include "settings/ini_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const size_t kPathSize = 1024;  // the module path buffer

struct PathCase {
  const char* what;
  std::string module;
  std::string expected;
};

TEST(DeriveIniPath, Table) {
  const PathCase cases[] = {
      {"beside the module", "C:\\Apps\\Vostrel.dll", "C:\\Apps\\Vostrel.ini"},
      {"renamed module", "D:\\Tools\\duel2.DLL", "D:\\Tools\\duel2.ini"},
      {"dot only in a folder name", "C:\\a.b\\Vostrel", "C:\\a.b\\Vostrel.ini"},
      {"dot in a folder name and the file", "C:\\a.b\\Vostrel.dll", "C:\\a.b\\Vostrel.ini"},
      {"no dot at all", "C:\\Apps\\Vostrel", "C:\\Apps\\Vostrel.ini"},
      {"bare name", "Vostrel", "Vostrel.ini"},
      {"several dots", "x.y.dll", "x.y.ini"},
      {"several dots in a path", "C:\\p\\Vostrel.old.dll", "C:\\p\\Vostrel.old.ini"},
      {"trailing dot", "C:\\p\\Vostrel.", "C:\\p\\Vostrel.ini"},
      {"hidden-style name", "C:\\p\\.dll", "C:\\p\\.ini"},
      {"forward slash separates", "C:/a.b/Vostrel", "C:/a.b/Vostrel.ini"},
      {"drive colon separates", "C:.x", "C:.ini"},
      {"network path", "\\\\srv\\share.d\\Vostrel.dll", "\\\\srv\\share.d\\Vostrel.ini"},
      {"empty path", "", ".ini"},
      // 0x95 0x5C is one character; its second byte is not a backslash.
      {"0x5C trail byte folder", "C:\\\x95\x5c\\Vostrel.dll", "C:\\\x95\x5c\\Vostrel.ini"},
      {"0x5C trail byte folder then a dot", "C:\\\x95\x5c.old\\Vostrel",
       "C:\\\x95\x5c.old\\Vostrel.ini"},
      {"0x5C trail byte in the name before the extension", "C:\\\x95\x5c.dll", "C:\\\x95\x5c.ini"},
      {"dot before a 0x5C trail byte in the name", "C:\\Apps\\v.\x95\x5c", "C:\\Apps\\v.ini"},
      {"lead byte at the very end", "C:\\a.b\\x\x95", "C:\\a.b\\x\x95.ini"},
  };
  for (const PathCase& c : cases) {
    char out[kPathSize];
    memset(out, '#', sizeof out);
    bool ok = DeriveIniPath(c.module.c_str(), out, sizeof out);
    EXPECT_TRUE(ok) << c.what;
    EXPECT_EQ(c.expected, std::string(out)) << c.what;
  }
}

struct FitCase {
  const char* what;
  std::string module;
  size_t size;
  bool ok;
};

TEST(DeriveIniPath, BufferSize) {
  const std::string full = "C:\\" + std::string(1016, 'a') + ".dll";  // 1023 bytes
  const std::string bare = "C:\\" + std::string(1020, 'a');           // 1023 bytes, no dot
  const FitCase cases[] = {
      {"exact fit", "C:\\Apps\\Vostrel.dll", 20, true},
      {"one byte short", "C:\\Apps\\Vostrel.dll", 19, false},
      {"appending needs four more", "Vostrel", 12, true},
      {"appending, one short", "Vostrel", 11, false},
      {"longest module path fits", full, 1024, true},
      {"longest module path, one short", full, 1023, false},
      {"longest path without a dot does not fit", bare, 1024, false},
      {"size 1", "a.dll", 1, false},
  };
  for (const FitCase& c : cases) {
    char out[kPathSize + 8];
    memset(out, '#', sizeof out);
    bool ok = DeriveIniPath(c.module.c_str(), out, c.size);
    EXPECT_EQ(c.ok, ok) << c.what;
    if (ok) {
      EXPECT_EQ(c.size - 1, strlen(out)) << c.what;
    } else {
      EXPECT_EQ('\0', out[0]) << c.what << ": a path that does not fit leaves out empty";
    }
    for (size_t i = c.size; i < sizeof out; ++i) {
      ASSERT_EQ('#', out[i]) << c.what << ": written at " << i;
    }
  }
}

TEST(DeriveIniPath, SizeZeroTouchesNothing) {
  char out[2] = {'#', '#'};
  EXPECT_FALSE(DeriveIniPath("C:\\Vostrel.dll", out, 0));
  EXPECT_EQ('#', out[0]);
}

}  // namespace
