// The built plug-in's PE headers, export directory and import table, read from the file the
// way the loader reads them: what machine it is for, which names and ordinals the host finds,
// and which DLLs it needs beside it.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "../harness/export_table.h"
#include "../harness/harness.h"
#include "binary_reader.h"

namespace {

// The file in memory with its section table, for turning addresses into file offsets.
class PeFile {
 public:
  bool Load(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD error = GetLastError();
    ok(file != INVALID_HANDLE_VALUE, "cannot open %s, error %lu", Utf8FromWide(path).c_str(),
       error);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, NULL);
    bytes_.resize(size);
    DWORD read = 0;
    BOOL done = ReadFile(file, bytes_.data(), size, &read, NULL);
    CloseHandle(file);
    ok(done && read == size, "read %lu of %lu bytes", read, size);
    if (!done || read != size || size < sizeof(IMAGE_DOS_HEADER)) return false;
    const IMAGE_DOS_HEADER* dos = At<IMAGE_DOS_HEADER>(0);
    ok(dos->e_magic == IMAGE_DOS_SIGNATURE, "MZ signature: expected 0x%X, got 0x%X",
       IMAGE_DOS_SIGNATURE, dos->e_magic);
    nt_ = At<IMAGE_NT_HEADERS32>(dos->e_lfanew);
    if (nt_ == nullptr) return false;
    ok(nt_->Signature == IMAGE_NT_SIGNATURE, "PE signature: expected 0x%X, got 0x%lX",
       IMAGE_NT_SIGNATURE, nt_->Signature);
    size_t table = dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                   nt_->FileHeader.SizeOfOptionalHeader;
    for (int i = 0; i < nt_->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER* section =
          At<IMAGE_SECTION_HEADER>(table + i * sizeof(IMAGE_SECTION_HEADER));
      if (section == nullptr) return false;
      sections_.push_back(*section);
    }
    return nt_->Signature == IMAGE_NT_SIGNATURE;
  }

  const IMAGE_NT_HEADERS32* Nt() const { return nt_; }

  // The image checksum as the linker and imagehlp compute it: 16-bit words added with the
  // carry folded back, the CheckSum field itself skipped, plus the file's length.
  DWORD Checksum() const {
    size_t field =
        reinterpret_cast<const unsigned char*>(&nt_->OptionalHeader.CheckSum) - bytes_.data();
    DWORD sum = 0;
    for (size_t i = 0; i < bytes_.size(); i += 2) {
      if (i == field || i == field + 2) continue;
      DWORD word = bytes_[i];
      if (i + 1 < bytes_.size()) word |= bytes_[i + 1] << 8;
      sum += word;
      sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<DWORD>(bytes_.size());
  }

  const IMAGE_DATA_DIRECTORY& Directory(int index) const {
    return nt_->OptionalHeader.DataDirectory[index];
  }

  // The section holding an address, or null.
  const IMAGE_SECTION_HEADER* SectionOf(DWORD rva) const {
    for (const IMAGE_SECTION_HEADER& s : sections_) {
      DWORD span = s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + span) return &s;
    }
    return nullptr;
  }

  template <typename T>
  const T* AtRva(DWORD rva) const {
    const IMAGE_SECTION_HEADER* s = SectionOf(rva);
    if (s == nullptr || rva - s->VirtualAddress + sizeof(T) > s->SizeOfRawData) return nullptr;
    return At<T>(s->PointerToRawData + (rva - s->VirtualAddress));
  }

  // A NUL-terminated name inside the file; empty when it runs off its section.
  std::string NameAt(DWORD rva) const {
    const IMAGE_SECTION_HEADER* s = SectionOf(rva);
    if (s == nullptr) return std::string();
    size_t start = s->PointerToRawData + (rva - s->VirtualAddress);
    size_t end = s->PointerToRawData + s->SizeOfRawData;
    if (end > bytes_.size()) end = bytes_.size();
    std::string name;
    for (size_t i = start; i < end; ++i) {
      if (bytes_[i] == 0) return name;
      name += static_cast<char>(bytes_[i]);
    }
    return std::string();
  }

 private:
  template <typename T>
  const T* At(size_t offset) const {
    if (offset + sizeof(T) > bytes_.size()) return nullptr;
    return reinterpret_cast<const T*>(bytes_.data() + offset);
  }

  std::vector<unsigned char> bytes_;
  const IMAGE_NT_HEADERS32* nt_ = nullptr;
  std::vector<IMAGE_SECTION_HEADER> sections_;
};

void Headers() {
  PeFile pe;
  if (!pe.Load(harness_dll)) return;
  const IMAGE_FILE_HEADER& file = pe.Nt()->FileHeader;
  const IMAGE_OPTIONAL_HEADER32& optional = pe.Nt()->OptionalHeader;
  ok(file.Machine == IMAGE_FILE_MACHINE_I386, "Machine: expected 0x%X, got 0x%X",
     IMAGE_FILE_MACHINE_I386, file.Machine);
  ok(optional.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC,
     "optional header magic: expected 0x%X, got 0x%X", IMAGE_NT_OPTIONAL_HDR32_MAGIC,
     optional.Magic);
  ok((file.Characteristics & IMAGE_FILE_DLL) != 0,
     "Characteristics 0x%X: expected the DLL bit 0x%X", file.Characteristics, IMAGE_FILE_DLL);
  ok((file.Characteristics & IMAGE_FILE_32BIT_MACHINE) != 0,
     "Characteristics 0x%X: expected the 32-bit bit 0x%X", file.Characteristics,
     IMAGE_FILE_32BIT_MACHINE);
  ok(optional.AddressOfEntryPoint != 0, "expected an entry point, got none");
  // What the Windows linker writes for a DLL (GNU ld writes the console's unless told).
  ok(optional.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "Subsystem: expected %d, got %d",
     IMAGE_SUBSYSTEM_WINDOWS_GUI, optional.Subsystem);
  // A DLL that cannot be moved would fail to load when its preferred base is taken.
  ok(pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size > 0, "expected base relocations, got none");
  ok(pe.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).Size > 0,
     "expected a resource directory, got none");
  // Load at any address, data never executed, and no exception handlers to dispatch to: what
  // Windows' binary checkers ask of a 32-bit image without a SafeSEH table.
  const struct {
    WORD flag;
    const char* name;
  } kHardening[] = {
      {IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DYNAMIC_BASE"},
      {IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "NX_COMPAT"},
      {IMAGE_DLLCHARACTERISTICS_NO_SEH, "NO_SEH"},
  };
  for (const auto& want : kHardening) {
    ok((optional.DllCharacteristics & want.flag) != 0,
       "DllCharacteristics 0x%X: expected %s (0x%X)", optional.DllCharacteristics, want.name,
       want.flag);
  }
  // A link time would make every build of the same sources a different file.
  ok(file.TimeDateStamp == 0, "link time stamp: expected none, got 0x%lX", file.TimeDateStamp);
  ok(optional.CheckSum == pe.Checksum(), "CheckSum: the header says 0x%lX, the bytes 0x%lX",
     optional.CheckSum, pe.Checksum());
}

void Exports() {
  PeFile pe;
  if (!pe.Load(harness_dll)) return;
  const IMAGE_DATA_DIRECTORY& dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  const IMAGE_EXPORT_DIRECTORY* exports = pe.AtRva<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
  ok(exports != nullptr, "no export directory");
  if (exports == nullptr) return;
  std::string module = pe.NameAt(exports->Name);
  ok(module == "Vostrel.dll", "module name: expected \"Vostrel.dll\", got \"%s\"", module.c_str());
  ok(exports->Base == 1, "ordinal base: expected %d, got %lu", 1, exports->Base);
  ok(exports->NumberOfNames == kExportCount, "names: expected %d, got %lu", kExportCount,
     exports->NumberOfNames);
  ok(exports->NumberOfFunctions == kExportCount, "functions: expected %d, got %lu", kExportCount,
     exports->NumberOfFunctions);

  std::vector<std::string> names;
  std::vector<WORD> ordinals;
  std::vector<DWORD> addresses;
  for (DWORD i = 0; i < exports->NumberOfNames && i < 64; ++i) {
    const DWORD* name = pe.AtRva<DWORD>(exports->AddressOfNames + 4 * i);
    const WORD* index = pe.AtRva<WORD>(exports->AddressOfNameOrdinals + 2 * i);
    if (name == nullptr || index == nullptr) break;
    names.push_back(pe.NameAt(*name));
    ordinals.push_back(static_cast<WORD>(*index + exports->Base));
    const DWORD* address = *index < exports->NumberOfFunctions
                               ? pe.AtRva<DWORD>(exports->AddressOfFunctions + 4 * *index)
                               : nullptr;
    addresses.push_back(address != nullptr ? *address : 0);
  }
  ok(names.size() == exports->NumberOfNames, "expected %lu readable names, got %d",
     exports->NumberOfNames, static_cast<int>(names.size()));

  for (const ExportContract& want : kExportTable) {
    int found = -1;
    for (size_t i = 0; i < names.size(); ++i) {
      if (names[i] == want.name) found = static_cast<int>(i);
    }
    ok(found >= 0, "export %s: missing", want.name);
    if (found < 0) continue;
    ok(ordinals[found] == want.ordinal, "export %s: ordinal expected %d, got %d", want.name,
       want.ordinal, ordinals[found]);
    // Code in an executable section, not a forwarder string inside the export directory.
    DWORD rva = addresses[found];
    const IMAGE_SECTION_HEADER* section = pe.SectionOf(rva);
    bool code = section != nullptr && (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    bool forwarded = rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size;
    ok(code && !forwarded, "export %s: expected code, got address 0x%lX", want.name, rva);
  }
  std::set<WORD> distinct(ordinals.begin(), ordinals.end());
  ok(distinct.size() == ordinals.size(), "expected %d distinct ordinals, got %d",
     static_cast<int>(ordinals.size()), static_cast<int>(distinct.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    ok(name.find('@') == std::string::npos && !name.empty() && name[0] != '_',
       "export \"%s\": expected an undecorated name", name.c_str());
    // The loader finds names by binary search: the table must be in ascending order.
    if (i > 0) {
      ok(names[i - 1] < name, "name table order: \"%s\" before \"%s\"", names[i - 1].c_str(),
         name.c_str());
    }
  }
}

bool IsSystemDll(const std::string& name) {
  static const char* const kSystem[] = {VOSTREL_SYSTEM_DLLS};
  for (const char* system : kSystem) {
    if (lstrcmpiA(name.c_str(), system) == 0) return true;
  }
  return false;
}

void Imports() {
  PeFile pe;
  if (!pe.Load(harness_dll)) return;
  const IMAGE_DATA_DIRECTORY& dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
  ok(pe.Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size == 0,
     "expected no delay-load imports, got %lu bytes",
     pe.Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size);
  int dlls = 0;
  std::set<std::string> seen;
  for (DWORD offset = 0; offset + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= dir.Size;
       offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const IMAGE_IMPORT_DESCRIPTOR* entry =
        pe.AtRva<IMAGE_IMPORT_DESCRIPTOR>(dir.VirtualAddress + offset);
    ok(entry != nullptr, "import descriptor at +%lu unreadable", offset);
    if (entry == nullptr || entry->Name == 0) break;
    ++dlls;
    std::string name = pe.NameAt(entry->Name);
    ok(IsSystemDll(name), "import of %s: expected only Windows system DLLs", name.c_str());
    seen.insert(name);
    if (!IsSystemDll(name)) continue;
    // Every function it names must be there in the system's copy of that DLL.
    HMODULE system = LoadLibraryA(name.c_str());
    ok(system != NULL, "%s does not load", name.c_str());
    DWORD thunks = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
    for (DWORD k = 0; k < 512; ++k) {
      const DWORD* thunk = pe.AtRva<DWORD>(thunks + 4 * k);
      if (thunk == nullptr || *thunk == 0) break;
      if (*thunk & IMAGE_ORDINAL_FLAG32) {
        ok(false, "%s: import by ordinal %lu", name.c_str(), *thunk & 0xFFFF);
        continue;
      }
      std::string function = pe.NameAt(*thunk + 2);
      ok(system != NULL && GetProcAddress(system, function.c_str()) != NULL, "%s!%s: not found",
         name.c_str(), function.c_str());
    }
  }
  ok(dlls > 0, "expected imports, got none");
  const char* needed[] = {"KERNEL32.dll", "USER32.dll", "SHELL32.dll"};
  for (const char* want : needed) {
    bool found = false;
    for (const std::string& got : seen) found = found || lstrcmpiA(got.c_str(), want) == 0;
    ok(found, "expected an import of %s, got none", want);
  }
}

const TestGroup kGroups[] = {
    {"headers", Headers},
    {"exports", Exports},
    {"imports", Imports},
};

}  // namespace

int main() { return harness_dll_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
