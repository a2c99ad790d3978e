#include "workbench/SignalSafeSymbols.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "workbench/SignalSafeDemangle.h"

namespace {

// A file handle, closed on every way out.
class TFile {
 public:
  explicit TFile(const wchar_t* Path) noexcept
      : h_(::CreateFileW(Path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~TFile() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  bool ReadAt(void* Out, DWORD Size, uint64_t Offset) const noexcept {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(Offset);
    at.OffsetHigh = static_cast<DWORD>(Offset >> 32);
    DWORD got = 0;
    return ::ReadFile(h_, Out, Size, &got, &at) && got == Size;
  }

 private:
  HANDLE h_;
};

HMODULE ModuleAt(uintptr_t address) noexcept {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(address), &module);
  return module;
}

const IMAGE_NT_HEADERS* Headers(HMODULE module) noexcept {
  const auto base = reinterpret_cast<const uint8_t*>(module);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
}

void Keep(TCodePlace& place, uint32_t& best, uint32_t rva, uint32_t target, const char* name, size_t length) noexcept {
  if (rva > target || (place.Symbol[0] && rva <= best)) return;
  const size_t n = length < sizeof place.Symbol - 1 ? length : sizeof place.Symbol - 1;
  std::memcpy(place.Symbol, name, n);
  place.Symbol[n] = 0;
  best = rva;
}

// The export at or nearest below target, from the table the loader mapped.
void NearestExport(HMODULE module, uint32_t target, TCodePlace& place, uint32_t& best) noexcept {
  const auto base = reinterpret_cast<const uint8_t*>(module);
  const IMAGE_DATA_DIRECTORY& dir = Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0 || dir.Size == 0) return;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (ordinals[i] >= exports->NumberOfFunctions) continue;
    const DWORD rva = functions[ordinals[i]];
    if (rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size) continue;  // forwarded elsewhere
    const char* name = reinterpret_cast<const char*>(base + names[i]);
    Keep(place, best, rva, target, name, std::strlen(name));
  }
}

// The function symbol at or nearest below target, from the COFF symbol
// table MinGW's linker leaves in the file unless it is stripped: static
// functions too, as a debugger names them.
void NearestDebugSymbol(HMODULE module, const wchar_t* path, uint32_t target, TCodePlace& place,
                        uint32_t& best) noexcept {
  const IMAGE_NT_HEADERS* nt = Headers(module);
  const IMAGE_FILE_HEADER& fh = nt->FileHeader;
  if (fh.PointerToSymbolTable == 0 || fh.NumberOfSymbols == 0) return;
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  const TFile file(path);
  const uint64_t strings = uint64_t{fh.PointerToSymbolTable} + uint64_t{fh.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
  static uint8_t chunk[IMAGE_SIZEOF_SYMBOL * 512];
  uint32_t bestSymbol = 0;
  bool found = false;
  for (DWORD first = 0; first < fh.NumberOfSymbols;) {
    const DWORD n = fh.NumberOfSymbols - first < 512 ? fh.NumberOfSymbols - first : 512;
    if (!file.ReadAt(chunk, n * IMAGE_SIZEOF_SYMBOL, fh.PointerToSymbolTable + uint64_t{first} * IMAGE_SIZEOF_SYMBOL))
      return;
    DWORD i = 0;
    for (; i < n; ++i) {
      IMAGE_SYMBOL s;
      std::memcpy(&s, chunk + i * IMAGE_SIZEOF_SYMBOL, IMAGE_SIZEOF_SYMBOL);
      const DWORD index = first + i;
      i += s.NumberOfAuxSymbols;
      if (s.SectionNumber <= 0 || s.SectionNumber > fh.NumberOfSections) continue;
      if (s.StorageClass != IMAGE_SYM_CLASS_EXTERNAL && s.StorageClass != IMAGE_SYM_CLASS_STATIC) continue;
      if (ISFCN(s.Type) == 0 && s.StorageClass == IMAGE_SYM_CLASS_STATIC) continue;  // section names, labels
      const IMAGE_SECTION_HEADER& sec = sections[s.SectionNumber - 1];
      if (!(sec.Characteristics & IMAGE_SCN_MEM_EXECUTE)) continue;
      const uint32_t rva = sec.VirtualAddress + s.Value;
      if (rva > target || (found && rva <= best) || (!found && place.Symbol[0] && rva <= best)) continue;
      best = rva;
      bestSymbol = index;
      found = true;
    }
    first += i;
  }
  if (!found) return;
  IMAGE_SYMBOL s;
  if (!file.ReadAt(&s, IMAGE_SIZEOF_SYMBOL, fh.PointerToSymbolTable + uint64_t{bestSymbol} * IMAGE_SIZEOF_SYMBOL))
    return;
  char* name = place.Symbol;
  if (s.N.Name.Short != 0) {
    const size_t length = strnlen(reinterpret_cast<const char*>(s.N.ShortName), 8);
    std::memcpy(name, s.N.ShortName, length);
    name[length] = 0;
    return;
  }
  // The string table starts with its size; a name near its end is short.
  DWORD size = 0;
  if (!file.ReadAt(&size, sizeof size, strings) || s.N.Name.Long >= size) return;
  const DWORD room = size - s.N.Name.Long < sizeof place.Symbol - 1 ? size - s.N.Name.Long : sizeof place.Symbol - 1;
  if (!file.ReadAt(name, room, strings + s.N.Name.Long)) name[0] = 0;
  name[room] = 0;
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* start) noexcept {
  return ::_wcsnicmp(text, start, std::wcslen(start)) == 0;
}

}  // namespace

bool FindCodePlace(uintptr_t Address, TCodePlace& Place) noexcept {
  Place = TCodePlace{};
  const HMODULE module = ModuleAt(Address);
  if (!module) return false;
  static wchar_t path[1024];
  const DWORD length = ::GetModuleFileNameW(module, path, 1024);
  if (length == 0 || length >= 1024) return true;
  ::WideCharToMultiByte(CP_UTF8, 0, path, -1, Place.Module, sizeof Place.Module - 1, nullptr, nullptr);
  const auto target = static_cast<uint32_t>(Address - reinterpret_cast<uintptr_t>(module));
  uint32_t best = 0;
  NearestExport(module, target, Place, best);
  NearestDebugSymbol(module, path, target, Place, best);
  DemangleInPlace(Place.Symbol, sizeof Place.Symbol);
  if (Place.Symbol[0]) Place.Offset = target - best;
  return true;
}

void ForEachMapping(TMappingVisitor Visit, void* Data) noexcept {
  MEMORY_BASIC_INFORMATION m;
  for (auto at = static_cast<const uint8_t*>(nullptr); ::VirtualQuery(at, &m, sizeof m) == sizeof m;
       at = static_cast<const uint8_t*>(m.BaseAddress) + m.RegionSize) {
    if (m.State != MEM_COMMIT) continue;
    const DWORD p = m.Protect & 0xFF;
    char perms[5] = "---p";
    if (p & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
             PAGE_EXECUTE_WRITECOPY))
      perms[0] = 'r';
    if (p & (PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) perms[1] = 'w';
    if (p & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) perms[2] = 'x';
    const auto start = reinterpret_cast<uintptr_t>(m.BaseAddress);
    Visit(Data, start, start + m.RegionSize, perms);
  }
}

bool MayBePluginModule(const char* Path) noexcept {
  static wchar_t path[1024];
  if (!::MultiByteToWideChar(CP_UTF8, 0, Path, -1, path, 1024)) return false;
  const size_t n = std::wcslen(path);
  if (n < 4 || ::_wcsicmp(path + n - 4, L".dll") != 0) return false;
  static wchar_t windows[MAX_PATH];
  const UINT w = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (w > 0 && w < MAX_PATH && StartsWithNoCase(path, windows) && (path[w] == L'\\' || path[w] == L'/')) return false;
  const wchar_t* name = path;
  for (const wchar_t* c = path; *c; ++c)
    if (*c == L'\\' || *c == L'/') name = c + 1;
  for (const wchar_t* runtime : {L"libstdc++", L"libgcc_s", L"libwinpthread", L"libqorb"})
    if (StartsWithNoCase(name, runtime)) return false;
  return true;
}
