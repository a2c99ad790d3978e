#include "winapi/ElfImage.h"

#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace qorb::winapi {
namespace {

bool LibElfReady() {
  static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
  return ready;
}

struct ElfCloser {
  void operator()(Elf* e) const noexcept { elf_end(e); }
};
using ElfPtr = std::unique_ptr<Elf, ElfCloser>;

// The identification is checked before libelf reads on: it converts
// foreign byte orders, which we never want to load anyway.
bool IsLoadableHeader(Elf* elf) {
  size_t n = 0;
  const char* ident = elf_getident(elf, &n);
  if (!ident || n < EI_NIDENT) return false;
  if (ident[EI_CLASS] != ELFCLASS64 || ident[EI_DATA] != ELFDATA2LSB) return false;
  const Elf64_Ehdr* eh = elf64_getehdr(elf);
  return eh && eh->e_type == ET_DYN && eh->e_machine == EM_X86_64;
}

bool IsExport(const GElf_Sym& sym) {
  if (sym.st_shndx == SHN_UNDEF || sym.st_name == 0) return false;
  const unsigned bind = GELF_ST_BIND(sym.st_info);
  if (bind != STB_GLOBAL && bind != STB_WEAK && bind != STB_GNU_UNIQUE) return false;
  const unsigned type = GELF_ST_TYPE(sym.st_info);
  if (type == STT_SECTION || type == STT_FILE) return false;
  const unsigned vis = GELF_ST_VISIBILITY(sym.st_other);
  return vis == STV_DEFAULT || vis == STV_PROTECTED;
}

bool ReadExports(Elf* elf, Elf_Scn* scn, const GElf_Shdr& shdr, ElfImage& out) {
  Elf_Data* data = elf_getdata(scn, nullptr);
  if (!data) return false;
  const size_t count = data->d_size / sizeof(Elf64_Sym);
  for (size_t i = 1; i < count; ++i) {
    GElf_Sym sym;
    if (!gelf_getsym(data, static_cast<int>(i), &sym)) return false;
    if (!IsExport(sym)) continue;
    const char* name = elf_strptr(elf, shdr.sh_link, sym.st_name);
    if (!name) return false;
    out.exports.emplace(name, sym.st_value);
  }
  return true;
}

// The loader maps every PT_LOAD segment from the file; one reaching past
// its end would fault inside dlopen.
bool SegmentsInFile(Elf* elf, size_t fileSize) {
  size_t count = 0;
  if (elf_getphdrnum(elf, &count) != 0 || count == 0) return false;
  bool any = false;
  for (size_t i = 0; i < count; ++i) {
    GElf_Phdr ph;
    if (!gelf_getphdr(elf, static_cast<int>(i), &ph)) return false;
    if (ph.p_type != PT_LOAD) continue;
    if (ph.p_offset > fileSize || ph.p_filesz > fileSize - ph.p_offset) return false;
    if (ph.p_filesz > ph.p_memsz) return false;
    any = true;
  }
  return any;
}

// The address at which a read-only PT_LOAD maps the file range, or 0.
uint64_t MappedReadOnly(Elf* elf, uint64_t offset, uint64_t size) {
  size_t count = 0;
  if (elf_getphdrnum(elf, &count) != 0) return 0;
  for (size_t i = 0; i < count; ++i) {
    GElf_Phdr ph;
    if (!gelf_getphdr(elf, static_cast<int>(i), &ph)) return 0;
    if (ph.p_type != PT_LOAD || (ph.p_flags & PF_W) || !(ph.p_flags & PF_R)) continue;
    if (offset < ph.p_offset || offset - ph.p_offset > ph.p_filesz || size > ph.p_filesz - (offset - ph.p_offset))
      continue;
    const uint64_t address = ph.p_vaddr + (offset - ph.p_offset);
    if (address < ph.p_vaddr) return 0;
    return address;
  }
  return 0;
}

// Reads ranges of a file into their place in a buffer of its size, each
// range at most once, clipped to the file.
class RangeFiller {
 public:
  RangeFiller(const RangeReader& read, SparseFile& file) : read_(read), file_(file) {}

  bool Need(uint64_t offset, uint64_t size) {
    if (offset >= file_.size || size == 0) return true;  // libelf judges what lies outside
    size_t begin = static_cast<size_t>(offset);
    const size_t end = begin + static_cast<size_t>(std::min<uint64_t>(size, file_.size - begin));
    // What an earlier read already holds is not read again.
    for (const auto& [b, e] : done_) {
      if (b <= begin && end <= e) return true;
      if (b <= begin && begin < e) begin = e;
    }
    if (!read_(begin, end - begin, file_.bytes.get() + begin)) return false;
    done_.emplace_back(begin, end);
    return true;
  }
  template <class T>
  bool Get(uint64_t offset, T& value) {
    if (offset > file_.size || sizeof(T) > file_.size - offset || !Need(offset, sizeof(T))) return false;
    std::memcpy(&value, file_.bytes.get() + offset, sizeof(T));
    return true;
  }

 private:
  const RangeReader& read_;
  SparseFile& file_;
  std::vector<std::pair<size_t, size_t>> done_;
};

// A small library is read in one go; larger ones range by range.
constexpr size_t kHead = 65536;

// What ReadElf will look at, read before it looks. False only when a read
// fails or the header already says the file is nothing we load.
bool ReadNeededRanges(const RangeReader& read, SparseFile& file) {
  RangeFiller filler(read, file);
  if (!filler.Need(0, kHead)) return false;
  Elf64_Ehdr eh;
  std::memcpy(&eh, file.bytes.get(), sizeof eh);
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
      eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_type != ET_DYN || eh.e_machine != EM_X86_64)
    return false;

  // Section 0 holds the counts that do not fit the header; when none is
  // needed from there, the whole table is read at once.
  Elf64_Shdr first{};
  // libelf takes the entry sizes as the class gives them, whatever the header says.
  const bool haveSections = eh.e_shoff != 0;
  if (haveSections && eh.e_shnum != 0 && !filler.Need(eh.e_shoff, uint64_t{eh.e_shnum} * sizeof(Elf64_Shdr)))
    return false;
  if (haveSections && !filler.Get(eh.e_shoff, first)) return true;
  const uint64_t phnum = eh.e_phnum == PN_XNUM ? first.sh_info : eh.e_phnum;
  if (!filler.Need(eh.e_phoff, std::min<uint64_t>(phnum, file.size) * sizeof(Elf64_Phdr))) return false;
  if (!haveSections) return true;

  const uint64_t shnum = std::min<uint64_t>(eh.e_shnum ? eh.e_shnum : first.sh_size, file.size / sizeof(Elf64_Shdr));
  if (!filler.Need(eh.e_shoff, shnum * sizeof(Elf64_Shdr))) return false;
  auto section = [&](uint64_t i, Elf64_Shdr& sh) {
    return i < shnum && filler.Get(eh.e_shoff + i * sizeof(Elf64_Shdr), sh);
  };
  auto contents = [&](const Elf64_Shdr& sh) { return sh.sh_type == SHT_NOBITS || filler.Need(sh.sh_offset, sh.sh_size); };

  Elf64_Shdr names{};
  const uint64_t namesIndex = eh.e_shstrndx == SHN_XINDEX ? first.sh_link : eh.e_shstrndx;
  const bool haveNames = section(namesIndex, names) && names.sh_type != SHT_NOBITS;
  if (haveNames && !contents(names)) return false;

  bool dynsym = false, rsrc = false;
  for (uint64_t i = 1; i < shnum && !(dynsym && rsrc); ++i) {
    Elf64_Shdr sh;
    if (!section(i, sh)) break;
    if (sh.sh_type == SHT_DYNSYM && !dynsym) {
      dynsym = true;
      Elf64_Shdr strings;
      if (!contents(sh) || (section(sh.sh_link, strings) && !contents(strings))) return false;
    } else if (sh.sh_type == SHT_PROGBITS && !rsrc && haveNames && sh.sh_name < names.sh_size &&
               names.sh_offset <= file.size && names.sh_size <= file.size - names.sh_offset) {
      const char* name = reinterpret_cast<const char*>(file.bytes.get() + names.sh_offset + sh.sh_name);
      const size_t room = static_cast<size_t>(names.sh_size - sh.sh_name);
      // As ReadElf takes it: the first non-empty one that lies in the file.
      const bool inFile = sh.sh_offset <= file.size && sh.sh_size <= file.size - sh.sh_offset;
      if (sh.sh_size != 0 && inFile && strnlen(name, room) < room && std::strcmp(name, ".rsrc") == 0) {
        rsrc = true;
        if (!contents(sh)) return false;
      }
    }
  }
  return true;
}

// Whatever libelf reads from, file or bytes, is judged here.
DWORD ReadElf(Elf* elf, size_t fileSize, ElfImage& out) {
  if (elf_kind(elf) != ELF_K_ELF || !IsLoadableHeader(elf)) return ERROR_BAD_EXE_FORMAT;
  if (!SegmentsInFile(elf, fileSize)) return ERROR_BAD_EXE_FORMAT;

  size_t shstrndx = 0;
  if (elf_getshdrstrndx(elf, &shstrndx) != 0) return ERROR_BAD_EXE_FORMAT;

  bool haveDynsym = false;
  for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
    GElf_Shdr shdr;
    if (!gelf_getshdr(scn, &shdr)) return ERROR_BAD_EXE_FORMAT;
    if (shdr.sh_type == SHT_DYNSYM && !haveDynsym) {
      if (!ReadExports(elf, scn, shdr, out)) {
        out = ElfImage{};
        return ERROR_BAD_EXE_FORMAT;
      }
      haveDynsym = true;
      continue;
    }
    if (shdr.sh_type != SHT_PROGBITS || out.rsrcSize != 0) continue;
    const char* name = elf_strptr(elf, shstrndx, shdr.sh_name);
    if (!name || std::strcmp(name, ".rsrc") != 0) continue;
    if (shdr.sh_offset > fileSize || shdr.sh_size > fileSize - shdr.sh_offset) continue;
    out.rsrcOffset = static_cast<size_t>(shdr.sh_offset);
    out.rsrcSize = static_cast<size_t>(shdr.sh_size);
    out.rsrcAddress = MappedReadOnly(elf, shdr.sh_offset, shdr.sh_size);
  }
  // A shared object without a dynamic symbol table cannot be loaded.
  if (!haveDynsym) {
    out = ElfImage{};
    return ERROR_BAD_EXE_FORMAT;
  }
  return ERROR_SUCCESS;
}

}  // namespace

DWORD ReadElfImage(std::span<const uint8_t> file, ElfImage& out) {
  out = ElfImage{};
  if (file.size() < sizeof(Elf64_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0 || !LibElfReady())
    return ERROR_BAD_EXE_FORMAT;
  // ELF_C_READ_MMAP over our own buffer: libelf reads it in place and
  // never writes to it.
  ElfPtr elf(elf_memory(const_cast<char*>(reinterpret_cast<const char*>(file.data())), file.size()));
  if (!elf) return ERROR_BAD_EXE_FORMAT;
  const DWORD err = ReadElf(elf.get(), file.size(), out);
  if (err != ERROR_SUCCESS) out = ElfImage{};
  return err;
}

DWORD ReadElfImage(const RangeReader& read, size_t fileSize, ElfImage& out, SparseFile& file) {
  out = ElfImage{};
  if (fileSize < sizeof(Elf64_Ehdr) || !LibElfReady()) return ERROR_BAD_EXE_FORMAT;
  if (file.capacity < fileSize || !file.bytes) {
    file.bytes = std::make_unique_for_overwrite<uint8_t[]>(fileSize);
    file.capacity = fileSize;
  }
  file.size = fileSize;
  if (!ReadNeededRanges(read, file)) return ERROR_BAD_EXE_FORMAT;
  // Read in place: libelf touches only the ranges read above.
  ElfPtr elf(elf_memory(reinterpret_cast<char*>(file.bytes.get()), fileSize));
  if (!elf) return ERROR_BAD_EXE_FORMAT;
  const DWORD err = ReadElf(elf.get(), fileSize, out);
  if (err != ERROR_SUCCESS) out = ElfImage{};
  return err;
}

}  // namespace qorb::winapi
