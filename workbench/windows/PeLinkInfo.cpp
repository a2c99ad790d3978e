#include "workbench/LinkInfo.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

// A PE file read as bytes, never mapped: its headers, the names it
// exports, the libraries it imports, and from the COFF symbol table the
// linker leaves unless the file is stripped, the functions it defines
// without exporting them.
namespace {

struct TImage {
  std::vector<char> Bytes;
  const IMAGE_NT_HEADERS64* Nt = nullptr;
  std::vector<IMAGE_SECTION_HEADER> Sections;

  template <class T>
  const T* At(size_t offset, size_t count = 1) const {
    if (offset > Bytes.size() || sizeof(T) * count > Bytes.size() - offset) return nullptr;
    return reinterpret_cast<const T*>(Bytes.data() + offset);
  }
  // The file offset of a relative virtual address; 0 when no section holds it.
  size_t Offset(DWORD rva) const {
    for (const IMAGE_SECTION_HEADER& s : Sections)
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
        return s.PointerToRawData + (rva - s.VirtualAddress);
    return 0;
  }
  std::string Text(DWORD rva) const {
    const size_t at = Offset(rva);
    if (at == 0 || at >= Bytes.size()) return {};
    return std::string(Bytes.data() + at, strnlen(Bytes.data() + at, Bytes.size() - at));
  }
};

const char* MachineName(WORD machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
      return "a 32-bit x86 file";
    case IMAGE_FILE_MACHINE_ARM64:
      return "a file for ARM64";
    case IMAGE_FILE_MACHINE_ARMNT:
      return "a file for 32-bit ARM";
    default:
      return nullptr;
  }
}

// Empty when the headers are those of a 64-bit x86-64 library.
std::string ReadHeaders(TImage& image) {
  const auto* dos = image.At<IMAGE_DOS_HEADER>(0);
  if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return "not a PE file";
  const auto* nt = image.At<IMAGE_NT_HEADERS32>(static_cast<size_t>(dos->e_lfanew));
  if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return "not a PE file (a DOS program)";
  if (nt->FileHeader.Machine != IMAGE_FILE_MACHINE_AMD64) {
    if (const char* name = MachineName(nt->FileHeader.Machine)) return name;
    char text[64];
    std::snprintf(text, sizeof text, "a file for machine type 0x%04X", nt->FileHeader.Machine);
    return text;
  }
  if (nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return "a 32-bit file";
  image.Nt = image.At<IMAGE_NT_HEADERS64>(static_cast<size_t>(dos->e_lfanew));
  if (!image.Nt) return "a cut-off PE file";
  const size_t first = static_cast<size_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                       image.Nt->FileHeader.SizeOfOptionalHeader;
  const auto* sections = image.At<IMAGE_SECTION_HEADER>(first, image.Nt->FileHeader.NumberOfSections);
  if (!sections) return "a cut-off PE file";
  image.Sections.assign(sections, sections + image.Nt->FileHeader.NumberOfSections);
  if (!(image.Nt->FileHeader.Characteristics & IMAGE_FILE_DLL)) return "a program, not a library";
  return {};
}

bool Holds(const std::string& name, const std::vector<std::string>& words) {
  for (const std::string& w : words)
    if (name.find(w) != std::string::npos) return true;
  return false;
}

void ReadExports(const TImage& image, const std::vector<std::string>& words, TLinkInfo& info) {
  const IMAGE_DATA_DIRECTORY& dir = image.Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0) return;
  const auto* exports = image.At<IMAGE_EXPORT_DIRECTORY>(image.Offset(dir.VirtualAddress));
  if (!exports) return;
  info.SoName = image.Text(exports->Name);
  const auto* names = image.At<DWORD>(image.Offset(exports->AddressOfNames), exports->NumberOfNames);
  if (!names) return;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    if (std::string name = image.Text(names[i]); Holds(name, words)) info.Symbols.push_back({std::move(name), true, true});
}

void ReadDefined(const TImage& image, const std::vector<std::string>& words, TLinkInfo& info) {
  const IMAGE_FILE_HEADER& fh = image.Nt->FileHeader;
  const auto* symbols = image.At<IMAGE_SYMBOL>(fh.PointerToSymbolTable, fh.NumberOfSymbols);
  if (fh.PointerToSymbolTable == 0 || !symbols) return;
  const size_t strings = fh.PointerToSymbolTable + size_t{fh.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
  for (DWORD i = 0; i < fh.NumberOfSymbols; i += 1 + symbols[i].NumberOfAuxSymbols) {
    const IMAGE_SYMBOL& s = symbols[i];
    if (s.SectionNumber <= 0 || !ISFCN(s.Type) ||
        (s.StorageClass != IMAGE_SYM_CLASS_EXTERNAL && s.StorageClass != IMAGE_SYM_CLASS_STATIC))
      continue;
    std::string name;
    if (s.N.Name.Short != 0) {
      name.assign(reinterpret_cast<const char*>(s.N.ShortName), strnlen(reinterpret_cast<const char*>(s.N.ShortName), 8));
    } else if (strings + s.N.Name.Long < image.Bytes.size()) {
      const char* at = image.Bytes.data() + strings + s.N.Name.Long;
      name.assign(at, strnlen(at, image.Bytes.size() - strings - s.N.Name.Long));
    }
    if (!Holds(name, words)) continue;
    bool exported = false;
    for (const TLinkSymbol& e : info.Symbols) exported |= e.Name == name;
    if (!exported) info.Symbols.push_back({std::move(name), true, false});
  }
}

void ReadImports(const TImage& image, TLinkInfo& info) {
  const IMAGE_DATA_DIRECTORY& dir = image.Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (size_t at = image.Offset(dir.VirtualAddress); at;) {
    const auto* d = image.At<IMAGE_IMPORT_DESCRIPTOR>(at);
    if (!d || d->Name == 0) break;
    info.Needed.push_back(image.Text(d->Name));
    at += sizeof *d;
  }
}

}  // namespace

bool ReadLinkInfo(const std::filesystem::path& File, const std::vector<std::string>& Interesting, TLinkInfo& Info,
                  std::string& Error) {
  Info = TLinkInfo{};
  std::ifstream in(File, std::ios::binary);
  if (!in) {
    Error = "cannot open it";
    return false;
  }
  TImage image;
  image.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  Info.NotALibrary = ReadHeaders(image);
  if (!Info.NotALibrary.empty()) return true;
  ReadExports(image, Interesting, Info);
  ReadDefined(image, Interesting, Info);
  ReadImports(image, Info);
  return true;
}
