// The resources of the built plug-in, read from the DLL loaded as a data file with the resource
// functions Windows itself uses: which resources exist, the two dialog templates byte for byte,
// the version information and the icon.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "../../res/resource.h"
#include "../../src/host/web_addresses.h"
#include "../harness/harness.h"
#include "binary_reader.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 0x0411
const char16_t kDialogFace[] = u"ＭＳ Ｐゴシック";

HMODULE LoadAsData() {
  HMODULE module = LoadLibraryExW(harness_dll.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
  DWORD error = GetLastError();
  ok(module != NULL, "LoadLibraryExW(%s) failed, error %lu", Utf8FromWide(harness_dll).c_str(),
     error);
  return module;
}

struct Blob {
  const void* data = nullptr;
  DWORD size = 0;
};

Blob ReadResource(HMODULE module, LPCSTR type, WORD id) {
  Blob blob;
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kJapanese);
  ok(found != NULL, "resource %u of type %u not found in language 0x0411", id,
     static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(type)));
  if (found == NULL) return blob;
  HGLOBAL loaded = LoadResource(module, found);
  blob.data = loaded != NULL ? LockResource(loaded) : nullptr;
  blob.size = SizeofResource(module, found);
  ok(blob.data != nullptr && blob.size > 0, "resource %u: no data (size %lu)", id, blob.size);
  if (blob.data == nullptr) blob.size = 0;
  return blob;
}

// ---- Which resources there are ----

std::string ResourceKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) {
    return std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return std::string("\"") + name + "\"";
}

struct Walk {
  std::set<std::string> found;
  std::string type;
  std::string name;
};

BOOL CALLBACK OnLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR context) {
  Walk* walk = reinterpret_cast<Walk*>(context);
  char lang[8];
  snprintf(lang, sizeof lang, "%04X", language);
  walk->found.insert(walk->type + "/" + walk->name + "/" + lang);
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR context) {
  Walk* walk = reinterpret_cast<Walk*>(context);
  walk->name = ResourceKey(name);
  EnumResourceLanguagesA(module, type, name, OnLanguage, context);
  return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR context) {
  Walk* walk = reinterpret_cast<Walk*>(context);
  walk->type = ResourceKey(type);
  EnumResourceNamesA(module, type, OnName, context);
  return TRUE;
}

void ResourceSet() {
  HMODULE module = LoadAsData();
  if (module == NULL) return;
  Walk walk;
  BOOL walked = EnumResourceTypesA(module, OnType, reinterpret_cast<LONG_PTR>(&walk));
  DWORD error = GetLastError();
  ok(walked, "EnumResourceTypesA failed, error %lu", error);
  // type/name/language: icon image 1, dialogs 101 and 103, icon group 1, version 1.
  const std::set<std::string> expected = {"3/1/0411", "5/101/0411", "5/103/0411", "14/1/0411",
                                          "16/1/0411"};
  for (const std::string& want : expected) {
    ok(walk.found.count(want) == 1, "expected resource %s, got none", want.c_str());
  }
  for (const std::string& got : walk.found) {
    ok(expected.count(got) == 1, "expected no resource %s, got one", got.c_str());
  }
  ok(walk.found.size() == expected.size(), "expected %d resources, got %d",
     static_cast<int>(expected.size()), static_cast<int>(walk.found.size()));
  // Each one reachable through the lookup the dialog and icon functions use.
  const struct {
    LPCSTR type;
    WORD id;
  } lookups[] = {{RT_DIALOG, IDD_SETUP},
                 {RT_DIALOG, IDD_RESULT},
                 {RT_VERSION, 1},
                 {RT_GROUP_ICON, IDI_VOSTREL},
                 {RT_ICON, 1}};
  for (const auto& lookup : lookups) ReadResource(module, lookup.type, lookup.id);
  FreeLibrary(module);
}

// ---- Dialog templates ----

void ExpectText(const char* what, const std::u16string& got, const std::u16string& want) {
  ok(got == want, "%s: expected \"%s\", got \"%s\"", what, Utf8FromWide(want).c_str(),
     Utf8FromWide(got).c_str());
}

void ExpectAbsent(const char* what, const ByteCursor::NameOrOrdinal& field) {
  ok(!field.present, "%s: expected none, got %s", what,
     field.is_ordinal ? std::to_string(field.ordinal).c_str() : Utf8FromWide(field.name).c_str());
}

// A control's class: the predefined atom, or the same class given by name.
bool ClassMatches(const ByteCursor::NameOrOrdinal& field, WORD atom) {
  if (!field.present) return false;
  if (field.is_ordinal) return field.ordinal == atom;
  std::u16string lower;
  for (char16_t c : field.name) lower.push_back(c >= u'A' && c <= u'Z' ? c + 32 : c);
  return (atom == 0x0080 && lower == u"button") || (atom == 0x0082 && lower == u"static");
}

struct ExpectedControl {
  DWORD id;
  WORD atom;  // 0x0080 button, 0x0082 static
  DWORD style;
  DWORD ex_style;
  short x, y, cx, cy;
  const char16_t* text;  // kCredit and kAuthorAddress: checked by content
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const WORD kButton = 0x0080;
const WORD kStatic = 0x0082;
const DWORD kNoId = 0xFFFFFFFF;
// Texts of the implementer's choosing: the credit line, and the author's address after a space.
const char16_t kCredit[] = u"(credit)";
const char16_t kAuthorAddress[] = u"(address)";

const ExpectedControl kSetupControls[] = {
    {IDOK, kButton, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 130, 7, 50, 14, u"OK"},
    {IDCANCEL, kButton, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 130, 24, 50, 14, u"ｷｬﾝｾﾙ"},
    {IDC_ONCE, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 55, 90, 10,
     u"1回の起動で1回だけ表示"},
    {kNoId, kButton, kChild | BS_GROUPBOX, 0, 5, 5, 90, 45, u"動作モード"},
    {IDC_MODE_LOSS, kButton, kChild | BS_AUTORADIOBUTTON, 0, 15, 20, 55, 10, u"負けたら表示"},
    {IDC_MODE_ALWAYS, kButton, kChild | BS_AUTORADIOBUTTON, 0, 15, 35, 74, 10,
     u"常に勝ち負けを表示"},
    {IDC_OPENRIMARTS, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 70, 126, 10,
     u"同時にRimArtsのホームページも表示"},
    {kNoId, kStatic, kChild | SS_LEFT | WS_GROUP, 0, 10, 90, 155, 10, kCredit},
    {kNoId, kButton, kChild | BS_GROUPBOX, 0, 5, 82, 175, 5, u""},
    {IDC_AUTHORLINK, kStatic, kChild | SS_NOTIFY | WS_GROUP, WS_EX_STATICEDGE, 10, 100, 155, 10,
     kAuthorAddress},
};

void ExpectCredit(const std::u16string& text) {
  const char16_t* parts[] = {u"Vostrel", u"orvek"};
  for (const char16_t* part : parts) {
    ok(text.find(part) != std::u16string::npos, "credit line \"%s\": expected it to name %s",
       Utf8FromWide(text).c_str(), Utf8FromWide(part).c_str());
  }
  bool year = false;
  for (size_t i = 0; i + 4 <= text.size(); ++i) {
    year = year || std::all_of(text.begin() + i, text.begin() + i + 4,
                               [](char16_t c) { return c >= u'0' && c <= u'9'; });
  }
  ok(year, "credit line \"%s\": expected a year", Utf8FromWide(text).c_str());
}

void SetupDialog() {
  HMODULE module = LoadAsData();
  if (module == NULL) return;
  Blob blob = ReadResource(module, RT_DIALOG, IDD_SETUP);
  ByteCursor in(blob.data, blob.size);
  WORD version = in.Word();
  WORD signature = in.Word();
  ok(version == 1, "dlgVer: expected %d, got %d", 1, version);
  ok(signature == 0xFFFF, "signature: expected 0x%X, got 0x%X", 0xFFFF, signature);
  DWORD help_id = in.Dword();
  DWORD ex_style = in.Dword();
  DWORD style = in.Dword();
  ok(help_id == 0, "helpID: expected %d, got %lu", 0, help_id);
  ok(ex_style == 0, "exStyle: expected 0x%X, got 0x%lX", 0, ex_style);
  const DWORD want_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  ok(want_style == 0x80C800C0, "the style constants: expected 0x80C800C0, got 0x%lX", want_style);
  ok(style == want_style, "style: expected 0x%lX, got 0x%lX", want_style, style);
  WORD items = in.Word();
  const int want_items = sizeof kSetupControls / sizeof kSetupControls[0];
  ok(items == want_items, "cDlgItems: expected %d, got %d", want_items, items);
  short rect[4];
  const short want_rect[4] = {0, 0, 187, 115};
  for (int i = 0; i < 4; ++i) {
    rect[i] = static_cast<short>(in.Word());
    ok(rect[i] == want_rect[i], "dialog rectangle [%d]: expected %d, got %d", i, want_rect[i],
       rect[i]);
  }
  ExpectAbsent("menu", in.NameOrOrd());
  ExpectAbsent("class", in.NameOrOrd());
  ExpectText("title", in.Text(), u"Vostrel plug-in 設定画面");
  WORD point = in.Word();
  WORD weight = in.Word();
  BYTE italic = in.Byte();
  BYTE charset = in.Byte();
  ok(point == 9, "point size: expected %d, got %d", 9, point);
  ok(weight == 0, "weight: expected %d, got %d", 0, weight);
  ok(italic == 0, "italic: expected %d, got %d", 0, italic);
  ok(charset == DEFAULT_CHARSET, "charset: expected %d, got %d", DEFAULT_CHARSET, charset);
  ExpectText("face", in.Text(), kDialogFace);

  for (int i = 0; i < want_items && i < items && !in.Failed(); ++i) {
    const ExpectedControl& want = kSetupControls[i];
    char what[64];
    in.AlignTo(4);
    DWORD item_help = in.Dword();
    DWORD item_ex_style = in.Dword();
    DWORD item_style = in.Dword();
    short box[4];
    for (short& v : box) v = static_cast<short>(in.Word());
    DWORD id = in.Dword();
    ByteCursor::NameOrOrdinal window_class = in.NameOrOrd();
    ByteCursor::NameOrOrdinal title = in.NameOrOrd();
    WORD extra = in.Word();
    in.Skip(extra);
    int n = i + 1;
    ok(id == want.id, "control %d: id expected 0x%lX, got 0x%lX", n, want.id, id);
    ok(item_help == 0, "control %d: helpID expected %d, got %lu", n, 0, item_help);
    ok(item_style == want.style, "control %d: style expected 0x%08lX, got 0x%08lX", n, want.style,
       item_style);
    ok(item_ex_style == want.ex_style, "control %d: exStyle expected 0x%lX, got 0x%lX", n,
       want.ex_style, item_ex_style);
    const short want_box[4] = {want.x, want.y, want.cx, want.cy};
    for (int k = 0; k < 4; ++k) {
      ok(box[k] == want_box[k], "control %d: rectangle [%d] expected %d, got %d", n, k, want_box[k],
         box[k]);
    }
    ok(ClassMatches(window_class, want.atom), "control %d: class expected atom 0x%04X, got %s", n,
       want.atom,
       window_class.is_ordinal ? std::to_string(window_class.ordinal).c_str()
                               : Utf8FromWide(window_class.name).c_str());
    ok(!title.is_ordinal, "control %d: expected a text, got ordinal %d", n, title.ordinal);
    snprintf(what, sizeof what, "control %d text", n);
    if (want.text == kCredit) {
      ExpectCredit(title.name);
    } else if (want.text == kAuthorAddress) {
      ExpectText(what, title.name, WidenAscii(" " URL_AUTHOR_HOME));
    } else {
      ExpectText(what, title.name, want.text);
    }
    ok(extra == 0, "control %d: extra data expected %d bytes, got %d", n, 0, extra);
  }
  ok(!in.Failed(), "the template ends early (%lu bytes)", blob.size);
  in.AlignTo(4);
  ok(in.Offset() == blob.size, "template: %lu bytes stored, %lu parsed", blob.size,
     static_cast<unsigned long>(in.Offset()));
  FreeLibrary(module);
}

void ResultDialog() {
  HMODULE module = LoadAsData();
  if (module == NULL) return;
  Blob blob = ReadResource(module, RT_DIALOG, IDD_RESULT);
  ByteCursor in(blob.data, blob.size);
  DWORD style = in.Dword();
  // A plain template starts with its style; an extended one would show 0xFFFF0001 here.
  const DWORD want_style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | DS_SETFONT;
  ok(want_style == 0x80C40040, "the style constants: expected 0x80C40040, got 0x%lX", want_style);
  ok(style == want_style, "style: expected 0x%lX, got 0x%lX", want_style, style);
  DWORD ex_style = in.Dword();
  ok(ex_style == 0, "exStyle: expected %d, got 0x%lX", 0, ex_style);
  WORD items = in.Word();
  ok(items == 0, "cdit: expected %d, got %d", 0, items);
  const short want_rect[4] = {0, 0, 127, 0};
  for (int i = 0; i < 4; ++i) {
    short v = static_cast<short>(in.Word());
    ok(v == want_rect[i], "rectangle [%d]: expected %d, got %d", i, want_rect[i], v);
  }
  ExpectAbsent("menu", in.NameOrOrd());
  ExpectAbsent("class", in.NameOrOrd());
  ExpectText("title", in.Text(), u"");
  WORD point = in.Word();
  ok(point == 9, "point size: expected %d, got %d", 9, point);
  ExpectText("face", in.Text(), kDialogFace);
  ok(!in.Failed(), "the template ends early (%lu bytes)", blob.size);
  in.AlignTo(4);
  ok(in.Offset() == blob.size, "template: %lu bytes stored, %lu parsed", blob.size,
     static_cast<unsigned long>(in.Offset()));
  FreeLibrary(module);
}

// ---- Version information ----

// One node of the version tree as stored: key, type, value bytes, children.
struct VersionNode {
  std::u16string key;
  WORD type = 0;
  WORD value_length = 0;
  const unsigned char* value = nullptr;
  size_t value_bytes = 0;
  std::vector<VersionNode> children;
};

bool ParseVersionNode(const unsigned char* data, size_t size, VersionNode* node) {
  ByteCursor in(data, size);
  WORD length = in.Word();
  node->value_length = in.Word();
  node->type = in.Word();
  node->key = in.Text();
  in.AlignTo(4);
  if (in.Failed() || length > size || length < in.Offset()) return false;
  // Text values count UTF-16 units, binary values bytes.
  node->value_bytes = node->type == 1 ? node->value_length * 2u : node->value_length;
  node->value = in.Here();
  in.Skip(node->value_bytes);
  in.AlignTo(4);
  if (in.Failed() || in.Offset() > length) return false;
  size_t offset = in.Offset();
  while (offset + 6 <= length) {
    VersionNode child;
    ByteCursor peek(data + offset, length - offset);
    WORD child_length = peek.Word();
    if (child_length == 0 || !ParseVersionNode(data + offset, child_length, &child)) return false;
    node->children.push_back(child);
    offset = (offset + child_length + 3) / 4 * 4;
  }
  return true;
}

const VersionNode* Child(const VersionNode& node, const std::u16string& key) {
  for (const VersionNode& child : node.children) {
    if (child.key == key) return &child;
  }
  return nullptr;
}

struct ExpectedString {
  const char16_t* key;
  const char16_t* value;  // null: present and not empty
};

const char16_t kProductName[] = u"Vostrel ﾀﾞｲﾅﾐｯｸ ﾘﾝｸ ﾗｲﾌﾞﾗﾘ";
const ExpectedString kVersionStrings[] = {
    {u"CompanyName", u""},
    {u"FileDescription", u"Vostrel Al-Mail Plugin DLL"},
    {u"FileVersion", u"1, 0, 0, 1"},
    {u"InternalName", u"Vostrel"},
    {u"LegalCopyright", nullptr},
    {u"LegalTrademarks", u""},
    {u"OriginalFilename", u"Vostrel.DLL"},
    {u"ProductName", kProductName},
    {u"ProductVersion", u"1, 0, 0, 1"},
};

void ExpectFixedInfo(const VS_FIXEDFILEINFO* fixed) {
  const struct {
    const char* field;
    DWORD got;
    DWORD want;
  } fields[] = {
      {"dwSignature", fixed->dwSignature, 0xFEEF04BD},
      {"dwFileVersionMS", fixed->dwFileVersionMS, 0x00010000},
      {"dwFileVersionLS", fixed->dwFileVersionLS, 0x00000001},
      {"dwProductVersionMS", fixed->dwProductVersionMS, 0x00010000},
      {"dwProductVersionLS", fixed->dwProductVersionLS, 0x00000001},
      {"dwFileFlagsMask", fixed->dwFileFlagsMask, 0x3F},
      {"dwFileFlags", fixed->dwFileFlags, 0},
      {"dwFileOS", fixed->dwFileOS, VOS__WINDOWS32},
      {"dwFileType", fixed->dwFileType, VFT_DLL},
      {"dwFileSubtype", fixed->dwFileSubtype, VFT2_UNKNOWN},
  };
  for (const auto& f : fields) {
    ok(f.got == f.want, "%s: expected 0x%lX, got 0x%lX", f.field, f.want, f.got);
  }
}

// The version resource as stored: the tree, its block key spelled as it is, the fixed part.
void VersionRaw() {
  HMODULE module = LoadAsData();
  if (module == NULL) return;
  Blob blob = ReadResource(module, RT_VERSION, 1);
  VersionNode root;
  bool parsed = blob.size > 0 &&
                ParseVersionNode(static_cast<const unsigned char*>(blob.data), blob.size, &root);
  ok(parsed, "the version resource does not parse (%lu bytes)", blob.size);
  if (!parsed) return;
  ExpectText("root key", root.key, u"VS_VERSION_INFO");
  ok(root.value_length == sizeof(VS_FIXEDFILEINFO), "fixed part: expected %d bytes, got %d",
     static_cast<int>(sizeof(VS_FIXEDFILEINFO)), root.value_length);
  if (root.value_length == sizeof(VS_FIXEDFILEINFO)) {
    VS_FIXEDFILEINFO fixed;
    memcpy(&fixed, root.value, sizeof fixed);
    ExpectFixedInfo(&fixed);
  }
  ok(root.children.size() == 2, "expected %d blocks, got %d", 2,
     static_cast<int>(root.children.size()));
  const VersionNode* strings = Child(root, u"StringFileInfo");
  ok(strings != nullptr, "no StringFileInfo block");
  if (strings != nullptr) {
    ok(strings->children.size() == 1, "expected %d string table, got %d", 1,
       static_cast<int>(strings->children.size()));
    const VersionNode* table = strings->children.empty() ? nullptr : &strings->children[0];
    if (table != nullptr) ExpectText("string table key", table->key, u"041104B0");
    const int want_count = sizeof kVersionStrings / sizeof kVersionStrings[0];
    ok(table != nullptr && static_cast<int>(table->children.size()) == want_count,
       "expected %d strings, got %d", want_count,
       table != nullptr ? static_cast<int>(table->children.size()) : -1);
    for (const ExpectedString& want : kVersionStrings) {
      const VersionNode* value = table != nullptr ? Child(*table, want.key) : nullptr;
      ok(value != nullptr, "string %s: missing", Utf8FromWide(want.key).c_str());
      if (value == nullptr) continue;
      ok(value->type == 1, "string %s: type expected %d, got %d", Utf8FromWide(want.key).c_str(), 1,
         value->type);
      ByteCursor text(value->value, value->value_bytes);
      std::u16string got = text.Text();
      if (want.value != nullptr) ExpectText(Utf8FromWide(want.key).c_str(), got, want.value);
      // The stored length counts the text and one NUL, nothing after it.
      ok(value->value_length == got.size() + 1, "string %s: length expected %d, got %d",
         Utf8FromWide(want.key).c_str(), static_cast<int>(got.size() + 1), value->value_length);
    }
  }
  const VersionNode* vars = Child(root, u"VarFileInfo");
  const VersionNode* translation = vars != nullptr ? Child(*vars, u"Translation") : nullptr;
  ok(translation != nullptr, "no VarFileInfo\\Translation");
  if (translation != nullptr) {
    ok(translation->value_length == 4, "Translation: expected %d bytes, got %d", 4,
       translation->value_length);
    ByteCursor pair(translation->value, translation->value_bytes);
    WORD language = pair.Word();
    WORD code_page = pair.Word();
    ok(language == 0x0411, "Translation language: expected 0x%X, got 0x%X", 0x0411, language);
    ok(code_page == 1200, "Translation code page: expected %d, got %d", 1200, code_page);
  }
  FreeLibrary(module);
}

// The version information through the version library, as property pages and installers see it.
void VersionApi() {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(harness_dll.c_str(), &handle);
  ok(size > 0, "GetFileVersionInfoSizeW failed, error %lu", GetLastError());
  if (size == 0) return;
  std::vector<char> info(size);
  BOOL read = GetFileVersionInfoW(harness_dll.c_str(), 0, size, info.data());
  DWORD error = GetLastError();
  ok(read, "GetFileVersionInfoW failed, error %lu", error);
  void* fixed = nullptr;
  UINT fixed_size = 0;
  ok(VerQueryValueA(info.data(), "\\", &fixed, &fixed_size) &&
         fixed_size == sizeof(VS_FIXEDFILEINFO),
     "fixed part: expected %d bytes, got %u", static_cast<int>(sizeof(VS_FIXEDFILEINFO)),
     fixed_size);
  if (fixed != nullptr && fixed_size == sizeof(VS_FIXEDFILEINFO)) {
    ExpectFixedInfo(static_cast<VS_FIXEDFILEINFO*>(fixed));
  }
  void* translation = nullptr;
  UINT translation_size = 0;
  ok(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &translation, &translation_size) &&
         translation_size == 4,
     "Translation: expected %d bytes, got %u", 4, translation_size);
  if (translation != nullptr && translation_size == 4) {
    const WORD* pair = static_cast<const WORD*>(translation);
    ok(pair[0] == 0x0411 && pair[1] == 1200, "Translation: expected 0x0411 %d, got 0x%04X %d", 1200,
       pair[0], pair[1]);
  }
  // The Unicode view, from the wide functions.
  for (const ExpectedString& want : kVersionStrings) {
    std::u16string query = u"\\StringFileInfo\\041104B0\\" + std::u16string(want.key);
    void* value = nullptr;
    UINT length = 0;
    BOOL found =
        VerQueryValueW(info.data(), reinterpret_cast<LPCWSTR>(query.c_str()), &value, &length);
    ok(found && value != nullptr, "VerQueryValueW(%s) failed", Utf8FromWide(query).c_str());
    if (!found || value == nullptr) continue;
    std::u16string got(static_cast<const char16_t*>(value));
    if (want.value != nullptr) {
      ExpectText(Utf8FromWide(want.key).c_str(), got, want.value);
    } else {
      ok(!got.empty(), "%s: expected a text, got an empty one", Utf8FromWide(want.key).c_str());
    }
  }
  // The ANSI view: the text as the system puts it in the ANSI code page.
  char* product = nullptr;
  UINT product_length = 0;
  VerQueryValueA(info.data(), "\\StringFileInfo\\041104B0\\ProductName",
                 reinterpret_cast<void**>(&product), &product_length);
  char want_product[64];
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(kProductName), -1, want_product,
                      sizeof want_product, NULL, NULL);
  ok(product != nullptr && strcmp(product, want_product) == 0,
     "ProductName in code page %u: expected %s, got %s", GetACP(), want_product, product);
}

// ---- Icon ----

void Icon() {
  HMODULE module = LoadAsData();
  if (module == NULL) return;
  Blob group = ReadResource(module, RT_GROUP_ICON, IDI_VOSTREL);
  ByteCursor in(group.data, group.size);
  WORD reserved = in.Word();
  WORD type = in.Word();
  WORD count = in.Word();
  ok(reserved == 0, "idReserved: expected %d, got %d", 0, reserved);
  ok(type == 1, "idType: expected %d, got %d", 1, type);
  ok(count == 1, "idCount: expected %d, got %d", 1, count);
  BYTE width = in.Byte();
  BYTE height = in.Byte();
  BYTE colours = in.Byte();
  BYTE entry_reserved = in.Byte();
  WORD planes = in.Word();
  WORD bit_count = in.Word();
  DWORD bytes = in.Dword();
  WORD image_id = in.Word();
  // The directory header and one 14-byte entry, nothing after them.
  ok(!in.Failed() && in.Offset() == group.size, "group: expected %d bytes, got %lu", 6 + 14,
     group.size);
  const struct {
    const char* field;
    unsigned got;
    unsigned want;
  } fields[] = {
      {"bWidth", width, 32},        {"bHeight", height, 32},
      {"bColorCount", colours, 16}, {"bReserved", entry_reserved, 0},
      {"wPlanes", planes, 1},       {"wBitCount", bit_count, 4},
      {"nId", image_id, 1},
  };
  for (const auto& f : fields)
    ok(f.got == f.want, "%s: expected %u, got %u", f.field, f.want, f.got);

  Blob image = ReadResource(module, RT_ICON, image_id);
  ok(image.size == bytes, "icon image: expected %lu bytes (dwBytesInRes), got %lu", bytes,
     image.size);
  BITMAPINFOHEADER header = {};
  if (image.size >= sizeof header) memcpy(&header, image.data, sizeof header);
  ok(header.biSize == sizeof header, "biSize: expected %d, got %lu",
     static_cast<int>(sizeof header), header.biSize);
  ok(header.biWidth == 32, "biWidth: expected %d, got %ld", 32, header.biWidth);
  ok(header.biHeight == 64, "biHeight: expected %d (image and mask), got %ld", 64, header.biHeight);
  ok(header.biPlanes == 1, "biPlanes: expected %d, got %d", 1, header.biPlanes);
  ok(header.biBitCount == 4, "biBitCount: expected %d, got %d", 4, header.biBitCount);
  // Header, 16 palette entries, 4-bit image rows, 1-bit mask rows (each row 32-bit aligned).
  const DWORD want_bytes = sizeof header + 16 * 4 + 32 * 16 + 32 * 4;
  ok(image.size == want_bytes, "icon image: expected %lu bytes, got %lu", want_bytes, image.size);
  FreeLibrary(module);
}

const TestGroup kGroups[] = {
    {"resources", ResourceSet},  {"setup_dialog", SetupDialog}, {"result_dialog", ResultDialog},
    {"version_raw", VersionRaw}, {"version_api", VersionApi},   {"icon", Icon},
};

}  // namespace

int main() { return harness_dll_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
