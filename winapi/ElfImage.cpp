#include "winapi/ElfImage.h"

#include <gelf.h>
#include <libelf.h>

#include <cstring>
#include <memory>

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

// Only the header is checked by hand: libelf converts foreign byte orders,
// which we never want to load anyway.
bool IsLoadableHeader(std::span<const uint8_t> file) {
  if (file.size() < sizeof(Elf64_Ehdr)) return false;
  if (std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) return false;
  if (file[EI_CLASS] != ELFCLASS64 || file[EI_DATA] != ELFDATA2LSB) return false;
  Elf64_Ehdr eh;
  std::memcpy(&eh, file.data(), sizeof eh);
  return eh.e_type == ET_DYN && eh.e_machine == EM_X86_64;
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

}  // namespace

DWORD ReadElfImage(std::span<const uint8_t> file, ElfImage& out) {
  out = ElfImage{};
  if (!IsLoadableHeader(file) || !LibElfReady()) return ERROR_BAD_EXE_FORMAT;

  // ELF_C_READ_MMAP over our own buffer: libelf reads it in place and
  // never writes to it.
  ElfPtr elf(elf_memory(const_cast<char*>(reinterpret_cast<const char*>(file.data())), file.size()));
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF) return ERROR_BAD_EXE_FORMAT;

  if (!SegmentsInFile(elf.get(), file.size())) return ERROR_BAD_EXE_FORMAT;

  size_t shstrndx = 0;
  if (elf_getshdrstrndx(elf.get(), &shstrndx) != 0) return ERROR_BAD_EXE_FORMAT;

  bool haveDynsym = false;
  for (Elf_Scn* scn = elf_nextscn(elf.get(), nullptr); scn; scn = elf_nextscn(elf.get(), scn)) {
    GElf_Shdr shdr;
    if (!gelf_getshdr(scn, &shdr)) return ERROR_BAD_EXE_FORMAT;
    if (shdr.sh_type == SHT_DYNSYM && !haveDynsym) {
      if (!ReadExports(elf.get(), scn, shdr, out)) {
        out = ElfImage{};
        return ERROR_BAD_EXE_FORMAT;
      }
      haveDynsym = true;
      continue;
    }
    if (shdr.sh_type != SHT_PROGBITS || out.rsrcSize != 0) continue;
    const char* name = elf_strptr(elf.get(), shstrndx, shdr.sh_name);
    if (!name || std::strcmp(name, ".rsrc") != 0) continue;
    if (shdr.sh_offset > file.size() || shdr.sh_size > file.size() - shdr.sh_offset) continue;
    out.rsrcOffset = static_cast<size_t>(shdr.sh_offset);
    out.rsrcSize = static_cast<size_t>(shdr.sh_size);
  }
  // A shared object without a dynamic symbol table cannot be loaded.
  if (!haveDynsym) {
    out = ElfImage{};
    return ERROR_BAD_EXE_FORMAT;
  }
  return ERROR_SUCCESS;
}

}  // namespace qorb::winapi
