// Where the settings file lives, worked out from the module's own path.
#include "settings/ini_path.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

const size_t kPathSize = 1024;  // the module path buffer

struct PathCase {
  const char* what;
  std::wstring module;
  std::wstring expected;
};

TEST(DeriveIniPath, Table) {
  const PathCase cases[] = {
      {"beside the module", L"C:\\Apps\\Vostrel.dll", L"C:\\Apps\\Vostrel.ini"},
      {"renamed module", L"D:\\Tools\\duel2.DLL", L"D:\\Tools\\duel2.ini"},
      {"dot only in a folder name", L"C:\\a.b\\Vostrel", L"C:\\a.b\\Vostrel.ini"},
      {"dot in a folder name and the file", L"C:\\a.b\\Vostrel.dll", L"C:\\a.b\\Vostrel.ini"},
      {"no dot at all", L"C:\\Apps\\Vostrel", L"C:\\Apps\\Vostrel.ini"},
      {"bare name", L"Vostrel", L"Vostrel.ini"},
      {"several dots", L"x.y.dll", L"x.y.ini"},
      {"several dots in a path", L"C:\\p\\Vostrel.old.dll", L"C:\\p\\Vostrel.old.ini"},
      {"trailing dot", L"C:\\p\\Vostrel.", L"C:\\p\\Vostrel.ini"},
      {"hidden-style name", L"C:\\p\\.dll", L"C:\\p\\.ini"},
      {"forward slash separates", L"C:/a.b/Vostrel", L"C:/a.b/Vostrel.ini"},
      {"drive colon separates", L"C:.x", L"C:.ini"},
      {"network path", L"\\\\srv\\share.d\\Vostrel.dll", L"\\\\srv\\share.d\\Vostrel.ini"},
      {"empty path", L"", L".ini"},
      // Folders whose names no ANSI code page holds, and a character whose code page 932
      // form ends in the byte of a backslash.
      {"Korean folder", L"C:\\\uD55C\uAE00\\Vostrel.dll", L"C:\\\uD55C\uAE00\\Vostrel.ini"},
      {"accented folder with a dot", L"C:\\Jos\u00E9.d\\Vostrel", L"C:\\Jos\u00E9.d\\Vostrel.ini"},
      {"U+8868 in the name", L"C:\\\u8868.dll", L"C:\\\u8868.ini"},
  };
  for (const PathCase& c : cases) {
    wchar_t out[kPathSize];
    wmemset(out, L'#', kPathSize);
    bool ok = DeriveIniPath(c.module.c_str(), out, kPathSize);
    EXPECT_TRUE(ok) << c.what;
    EXPECT_TRUE(c.expected == out) << c.what;
  }
}

struct FitCase {
  const char* what;
  std::wstring module;
  size_t size;
  bool ok;
};

TEST(DeriveIniPath, BufferSize) {
  const std::wstring full = L"C:\\" + std::wstring(1016, L'a') + L".dll";  // 1023 characters
  const std::wstring bare = L"C:\\" + std::wstring(1020, L'a');            // 1023, no dot
  const FitCase cases[] = {
      {"exact fit", L"C:\\Apps\\Vostrel.dll", 20, true},
      {"one byte short", L"C:\\Apps\\Vostrel.dll", 19, false},
      {"appending needs four more", L"Vostrel", 12, true},
      {"appending, one short", L"Vostrel", 11, false},
      {"longest module path fits", full, 1024, true},
      {"longest module path, one short", full, 1023, false},
      {"longest path without a dot does not fit", bare, 1024, false},
      {"size 1", L"a.dll", 1, false},
  };
  for (const FitCase& c : cases) {
    wchar_t out[kPathSize + 8];
    wmemset(out, L'#', kPathSize + 8);
    bool ok = DeriveIniPath(c.module.c_str(), out, c.size);
    EXPECT_EQ(c.ok, ok) << c.what;
    if (ok) {
      EXPECT_EQ(c.size - 1, wcslen(out)) << c.what;
    } else {
      EXPECT_EQ(L'\0', out[0]) << c.what << ": a path that does not fit leaves out empty";
    }
    for (size_t i = c.size; i < kPathSize + 8; ++i) {
      ASSERT_EQ(L'#', out[i]) << c.what << ": written at " << i;
    }
  }
}

TEST(DeriveIniPath, SizeZeroTouchesNothing) {
  wchar_t out[2] = {L'#', L'#'};
  EXPECT_FALSE(DeriveIniPath(L"C:\\Vostrel.dll", out, 0));
  EXPECT_EQ(L'#', out[0]);
}

}  // namespace
