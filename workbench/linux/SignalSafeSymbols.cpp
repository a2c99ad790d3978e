#include "workbench/SignalSafeSymbols.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "winapi/FileDescriptor.h"
#include "workbench/SignalSafeDemangle.h"

namespace {

bool ReadAt(int fd, void* out, size_t size, uint64_t offset) noexcept {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, static_cast<char*>(out) + done, size - done, static_cast<off_t>(offset + done));
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

uint64_t ParseHex(const char*& p, const char* end) noexcept {
  uint64_t v = 0;
  for (; p < end; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9')
      v = v * 16 + static_cast<uint64_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      v = v * 16 + static_cast<uint64_t>(c - 'a' + 10);
    else
      break;
  }
  return v;
}

const char* SkipField(const char* p, const char* end) noexcept {
  while (p < end && *p != ' ') ++p;
  while (p < end && *p == ' ') ++p;
  return p;
}

// Calls OnLine(line, its end) for each line of the mapping list until it
// answers true; answers whether one did.
template <class F>
bool WalkMappings(F&& OnLine) noexcept {
  const qorb::winapi::FileDescriptor maps(::open("/proc/self/maps", O_RDONLY | O_CLOEXEC));
  if (maps.get() < 0) return false;
  static char buffer[8192];
  size_t kept = 0;
  for (;;) {
    const ssize_t n = ::read(maps.get(), buffer + kept, sizeof buffer - kept);
    if (n <= 0) return false;
    const char* const end = buffer + kept + static_cast<size_t>(n);
    const char* line = buffer;
    for (const char* nl; (nl = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line))));
         line = nl + 1)
      if (OnLine(line, nl)) return true;
    kept = static_cast<size_t>(end - line);
    if (kept == sizeof buffer) return false;
    std::memmove(buffer, line, kept);
  }
}

// "start-end perms offset dev inode   path": the mapping of address, with
// the file offset that address has.
bool FindMapping(uintptr_t address, char* path, size_t cap, uint64_t& fileOffset) noexcept {
  bool found = false;
  WalkMappings([&](const char* line, const char* nl) {
    const char* p = line;
    const uint64_t start = ParseHex(p, nl);
    ++p;
    const uint64_t stop = ParseHex(p, nl);
    if (address < start || address >= stop) return false;
    p = SkipField(p, nl);  // perms
    p = SkipField(p, nl);  // ...now the offset
    const uint64_t offset = ParseHex(p, nl);
    p = SkipField(p, nl);  // dev
    p = SkipField(p, nl);  // inode
    p = SkipField(p, nl);
    const size_t length = static_cast<size_t>(nl - p);
    if (length == 0 || *p != '/' || length >= cap) return true;
    std::memcpy(path, p, length);
    path[length] = 0;
    fileOffset = address - start + offset;
    found = true;
    return true;
  });
  return found;
}

// The virtual address a file offset is loaded at.
bool VirtualAddress(int fd, const Elf64_Ehdr& eh, uint64_t fileOffset, uint64_t& vaddr) noexcept {
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    Elf64_Phdr ph;
    if (!ReadAt(fd, &ph, sizeof ph, eh.e_phoff + uint64_t{i} * eh.e_phentsize)) return false;
    if (ph.p_type != PT_LOAD || fileOffset < ph.p_offset || fileOffset >= ph.p_offset + ph.p_filesz) continue;
    vaddr = ph.p_vaddr + (fileOffset - ph.p_offset);
    return true;
  }
  return false;
}

bool FindSection(int fd, const Elf64_Ehdr& eh, uint32_t type, Elf64_Shdr& out) noexcept {
  for (unsigned i = 0; i < eh.e_shnum; ++i) {
    if (!ReadAt(fd, &out, sizeof out, eh.e_shoff + uint64_t{i} * eh.e_shentsize)) return false;
    if (out.sh_type == type) return true;
  }
  return false;
}

// The function symbol at or nearest below vaddr, from one symbol table.
bool NearestIn(int fd, const Elf64_Ehdr& eh, uint32_t type, uint64_t vaddr, TCodePlace& place) noexcept {
  Elf64_Shdr symbols, names;
  if (!FindSection(fd, eh, type, symbols) || symbols.sh_entsize != sizeof(Elf64_Sym)) return false;
  if (symbols.sh_link >= eh.e_shnum ||
      !ReadAt(fd, &names, sizeof names, eh.e_shoff + uint64_t{symbols.sh_link} * eh.e_shentsize))
    return false;
  static Elf64_Sym chunk[256];
  uint64_t bestValue = 0;
  uint32_t bestName = 0;
  bool found = false;
  const uint64_t count = symbols.sh_size / sizeof(Elf64_Sym);
  for (uint64_t first = 0; first < count; first += 256) {
    const uint64_t n = count - first < 256 ? count - first : 256;
    if (!ReadAt(fd, chunk, n * sizeof(Elf64_Sym), symbols.sh_offset + first * sizeof(Elf64_Sym))) return false;
    for (uint64_t i = 0; i < n; ++i) {
      const Elf64_Sym& s = chunk[i];
      if (ELF64_ST_TYPE(s.st_info) != STT_FUNC || s.st_shndx == SHN_UNDEF || s.st_value > vaddr) continue;
      if (found && s.st_value <= bestValue) continue;
      bestValue = s.st_value;
      bestName = s.st_name;
      found = true;
    }
  }
  if (!found || bestName >= names.sh_size) return false;
  const uint64_t room = names.sh_size - bestName < sizeof place.Symbol - 1 ? names.sh_size - bestName
                                                                           : sizeof place.Symbol - 1;
  if (!ReadAt(fd, place.Symbol, room, names.sh_offset + bestName)) return false;
  place.Symbol[room] = 0;
  DemangleInPlace(place.Symbol, sizeof place.Symbol);
  place.Offset = vaddr - bestValue;
  return true;
}

}  // namespace

bool FindCodePlace(uintptr_t Address, TCodePlace& Place) noexcept {
  Place = TCodePlace{};
  uint64_t fileOffset = 0;
  if (!FindMapping(Address, Place.Module, sizeof Place.Module, fileOffset)) return false;
  const qorb::winapi::FileDescriptor file(::open(Place.Module, O_RDONLY | O_CLOEXEC));
  Elf64_Ehdr eh;
  if (file.get() < 0 || !ReadAt(file.get(), &eh, sizeof eh, 0) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64)
    return true;
  uint64_t vaddr = 0;
  if (!VirtualAddress(file.get(), eh, fileOffset, vaddr)) return true;
  if (!NearestIn(file.get(), eh, SHT_SYMTAB, vaddr, Place)) NearestIn(file.get(), eh, SHT_DYNSYM, vaddr, Place);
  return true;
}

void ForEachMapping(TMappingVisitor Visit, void* Data) noexcept {
  WalkMappings([&](const char* line, const char* nl) {
    const char* p = line;
    const uint64_t start = ParseHex(p, nl);
    ++p;
    const uint64_t stop = ParseHex(p, nl);
    p = SkipField(p, nl);
    char perms[5] = {};
    for (int i = 0; i < 4 && p + i < nl; ++i) perms[i] = p[i];
    Visit(Data, start, stop, perms);
    return false;
  });
}

bool MayBePluginModule(const char* Path) noexcept {
  const size_t n = std::strlen(Path);
  return n >= 4 && std::strcmp(Path + n - 4, ".dll") == 0;
}
