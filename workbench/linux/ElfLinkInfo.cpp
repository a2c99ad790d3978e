#include "workbench/LinkInfo.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "winapi/FileDescriptor.h"

namespace {

struct ElfCloser {
  void operator()(Elf* e) const noexcept { elf_end(e); }
};

std::string WhatItIs(const unsigned char* ident, const GElf_Ehdr& eh) {
  if (ident[EI_CLASS] != ELFCLASS64) return "a 32-bit file, not a 64-bit library";
  if (ident[EI_DATA] != ELFDATA2LSB) return "a big-endian file";
  if (eh.e_machine != EM_X86_64) return "built for another machine (ELF machine " + std::to_string(eh.e_machine) + ")";
  if (eh.e_type == ET_EXEC) return "a program, not a shared library";
  if (eh.e_type == ET_REL) return "an object file, not a linked shared library";
  if (eh.e_type != ET_DYN) return "not a shared library";
  return {};
}

bool Wanted(const char* name, const std::vector<std::string>& words) {
  for (const std::string& w : words)
    if (std::strstr(name, w.c_str())) return true;
  return false;
}

void ReadSymbols(Elf* elf, Elf_Scn* scn, const GElf_Shdr& shdr, bool dynamic,
                 const std::vector<std::string>& words, TLinkInfo& info) {
  Elf_Data* data = elf_getdata(scn, nullptr);
  if (!data || shdr.sh_entsize == 0) return;
  const size_t count = shdr.sh_size / shdr.sh_entsize;
  for (size_t i = 1; i < count; ++i) {
    GElf_Sym sym;
    if (!gelf_getsym(data, static_cast<int>(i), &sym) || sym.st_name == 0) continue;
    const char* name = elf_strptr(elf, shdr.sh_link, sym.st_name);
    if (!name || !Wanted(name, words)) continue;
    const unsigned type = GELF_ST_TYPE(sym.st_info);
    if (type == STT_SECTION || type == STT_FILE) continue;
    TLinkSymbol s;
    s.Name = name;
    s.Defined = sym.st_shndx != SHN_UNDEF;
    const unsigned bind = GELF_ST_BIND(sym.st_info);
    const unsigned vis = GELF_ST_VISIBILITY(sym.st_other);
    s.Exported = dynamic && s.Defined && bind != STB_LOCAL && (vis == STV_DEFAULT || vis == STV_PROTECTED);
    info.Symbols.push_back(std::move(s));
  }
}

void ReadDynamic(Elf* elf, Elf_Scn* scn, const GElf_Shdr& shdr, TLinkInfo& info) {
  Elf_Data* data = elf_getdata(scn, nullptr);
  if (!data || shdr.sh_entsize == 0) return;
  const size_t count = shdr.sh_size / shdr.sh_entsize;
  for (size_t i = 0; i < count; ++i) {
    GElf_Dyn dyn;
    if (!gelf_getdyn(data, static_cast<int>(i), &dyn) || dyn.d_tag == DT_NULL) break;
    const auto text = [&] {
      const char* s = elf_strptr(elf, shdr.sh_link, dyn.d_un.d_val);
      return std::string(s ? s : "");
    };
    switch (dyn.d_tag) {
      case DT_NEEDED: info.Needed.push_back(text()); break;
      case DT_SONAME: info.SoName = text(); break;
      case DT_RUNPATH: info.RunPath = text(); break;
      case DT_RPATH: info.RPath = text(); break;
      default: break;
    }
  }
}

}  // namespace

bool ReadLinkInfo(const std::filesystem::path& File, const std::vector<std::string>& Interesting,
                     TLinkInfo& Info, std::string& Error) {
  Info = TLinkInfo{};
  static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
  if (!ready) {
    Error = "libelf is out of date";
    return false;
  }
  // Non-blocking: a pipe named like a library reads as empty, not forever.
  qorb::winapi::FileDescriptor fd(::open(File.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    Error = std::strerror(errno);
    return false;
  }
  std::unique_ptr<Elf, ElfCloser> elf(elf_begin(fd.get(), ELF_C_READ, nullptr));
  GElf_Ehdr eh;
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF || !gelf_getehdr(elf.get(), &eh)) {
    Info.NotALibrary = "not an ELF file";
    return true;
  }
  Info.NotALibrary = WhatItIs(eh.e_ident, eh);
  if (!Info.NotALibrary.empty()) return true;
  for (Elf_Scn* scn = elf_nextscn(elf.get(), nullptr); scn; scn = elf_nextscn(elf.get(), scn)) {
    GElf_Shdr shdr;
    if (!gelf_getshdr(scn, &shdr)) continue;
    if (shdr.sh_type == SHT_DYNAMIC)
      ReadDynamic(elf.get(), scn, shdr, Info);
    else if ((shdr.sh_type == SHT_DYNSYM || shdr.sh_type == SHT_SYMTAB) && !Interesting.empty())
      ReadSymbols(elf.get(), scn, shdr, shdr.sh_type == SHT_DYNSYM, Interesting, Info);
  }
  return true;
}
