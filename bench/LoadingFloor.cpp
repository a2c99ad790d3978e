// What loading a folder of plug-ins must cost at the least, as a plain
// program with none of the IDE around it: per file, the steps qorb-ide owes
// its users, each done the cheapest way that still does it.
//   - probe: open, read the head of the file, close; find "InitPlugin"
//     among its dynamic symbols and the resource section, running nothing;
//   - load it, look up "InitPlugin" and "Shutdown", call InitPlugin;
//   - its five version texts and its icon, decoded into 32-bit pixels, read
//     from the mapped resources;
//   - at the end: Shutdown for all, then each unload followed by one look
//     at the process's threads (are any left in the library?).
// Left out: records of the calls, a second look at the file before the
// load, resources parsed by their directory instead of searched.
//
// `bench_loading_floor DIR` loads DIR's *.dll files so, and fails when a
// file is no loadable plug-in.
#include <dirent.h>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <spng.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BareLoader.h"
#include "winapi/FileDescriptor.h"

using qorb::winapi::FileDescriptor;

namespace {

struct FileHead {
  bool plugin = false;
  uint64_t rsrcAddress = 0;  // relative to the load bias
  uint64_t rsrcSize = 0;
};

// The first 64 KB hold the whole of a small library.
FileHead Probe(const std::string& path) {
  static std::vector<uint8_t> head(65536);
  FileHead out;
  ssize_t got = 0;
  {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (!file.IsOpen() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return out;
    got = ::pread(file.get(), head.data(), head.size(), 0);
  }
  if (got < static_cast<ssize_t>(sizeof(Elf64_Ehdr))) return out;
  const size_t size = static_cast<size_t>(got);
  const auto* eh = reinterpret_cast<const Elf64_Ehdr*>(head.data());
  if (std::memcmp(eh->e_ident, ELFMAG, SELFMAG) != 0 || eh->e_shoff > size ||
      eh->e_shnum * sizeof(Elf64_Shdr) > size - eh->e_shoff || eh->e_shstrndx >= eh->e_shnum)
    return out;
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(head.data() + eh->e_shoff);
  auto inHead = [&](const Elf64_Shdr& s) { return s.sh_offset <= size && s.sh_size <= size - s.sh_offset; };
  auto text = [&](const Elf64_Shdr& s, uint32_t at) -> std::string_view {
    if (!inHead(s) || at >= s.sh_size) return {};
    const char* p = reinterpret_cast<const char*>(head.data() + s.sh_offset + at);
    return {p, strnlen(p, s.sh_size - at)};
  };
  const Elf64_Shdr& names = sections[eh->e_shstrndx];
  for (size_t i = 1; i < eh->e_shnum; ++i) {
    const Elf64_Shdr& s = sections[i];
    if (s.sh_type == SHT_DYNSYM && inHead(s) && s.sh_link < eh->e_shnum) {
      const auto* symbols = reinterpret_cast<const Elf64_Sym*>(head.data() + s.sh_offset);
      for (size_t k = 1; k < s.sh_size / sizeof(Elf64_Sym); ++k)
        if (symbols[k].st_shndx != SHN_UNDEF && text(sections[s.sh_link], symbols[k].st_name) == "InitPlugin")
          out.plugin = true;
    } else if (text(names, s.sh_name) == ".rsrc") {
      out.rsrcAddress = s.sh_addr;
      out.rsrcSize = s.sh_size;
    }
  }
  return out;
}

using Bytes = std::basic_string_view<uint8_t>;

Bytes Find(Bytes in, const void* what, size_t size) {
  const void* at = memmem(in.data(), in.size(), what, size);
  return at ? in.substr(static_cast<size_t>(static_cast<const uint8_t*>(at) - in.data())) : Bytes{};
}

// The value after a key of the version block: UTF-16, 32-bit aligned.
std::u16string VersionText(Bytes resources, std::u16string_view key) {
  Bytes at = Find(resources, key.data(), key.size() * 2 + 2);
  if (at.empty()) return {};
  size_t offset = static_cast<size_t>(at.data() - resources.data()) + key.size() * 2 + 2;
  offset = (offset + 3) & ~size_t{3};
  std::u16string value;
  for (; offset + 1 < resources.size(); offset += 2) {
    const char16_t c = static_cast<char16_t>(resources[offset] | resources[offset + 1] << 8);
    if (c == 0) break;
    value += c;
  }
  return value;
}

struct CtxFree {
  void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};

// The PNG among the resources, as blue-green-red-alpha pixels.
std::vector<uint8_t> Icon(Bytes resources) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
  const Bytes png = Find(resources, signature, sizeof signature);
  const Bytes end = Find(png, "IEND", 4);
  if (end.size() < 8) return {};
  const std::unique_ptr<spng_ctx, CtxFree> ctx(spng_ctx_new(0));
  size_t size = 0;
  if (!ctx || spng_set_png_buffer(ctx.get(), png.data(), png.size() - end.size() + 8) != 0 ||
      spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0)
    return {};
  std::vector<uint8_t> rgba(size);
  if (spng_decode_image(ctx.get(), rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0 ||
      spng_decode_chunks(ctx.get()) != 0)
    return {};
  std::vector<uint8_t> bgra(size);
  for (size_t i = 0; i + 3 < size; i += 4) {
    bgra[i] = rgba[i + 2];
    bgra[i + 1] = rgba[i + 1];
    bgra[i + 2] = rgba[i];
    bgra[i + 3] = rgba[i + 3];
  }
  return bgra;
}

struct Plugin {
  void* handle;
  void (*shutdown)();
  std::vector<std::u16string> texts;
  std::vector<uint8_t> icon;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::vector<Plugin> plugins;
  bool complete = true;
  const bool listed = ForEachLibrary(argv[1], [&](const std::string& path) {
    const FileHead head = Probe(path);
    void* handle = head.plugin ? ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    auto init = handle ? reinterpret_cast<void (*)(const void*)>(::dlsym(handle, "InitPlugin")) : nullptr;
    auto shutdown = handle ? reinterpret_cast<void (*)()>(::dlsym(handle, "Shutdown")) : nullptr;
    if (!init || !shutdown || head.rsrcSize == 0) {
      complete = false;
      if (handle) ::dlclose(handle);
      return;
    }
    init(nullptr);
    link_map* map = nullptr;
    ::dlinfo(handle, RTLD_DI_LINKMAP, &map);
    const Bytes resources(reinterpret_cast<const uint8_t*>(map->l_addr + head.rsrcAddress), head.rsrcSize);
    Plugin p{handle, shutdown, {}, Icon(resources)};
    for (const std::u16string_view key :
         {u"ProductName", u"FileVersion", u"CompanyName", u"LegalCopyright", u"FileDescription"})
      p.texts.push_back(VersionText(resources, key));
    complete = complete && !p.icon.empty() && !p.texts[1].empty();
    plugins.push_back(std::move(p));
  });
  if (!listed) return 1;

  for (auto it = plugins.rbegin(); it != plugins.rend(); ++it) it->shutdown();
  const FileDescriptor tasks(::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  alignas(8) char entries[4096];
  for (auto it = plugins.rbegin(); it != plugins.rend(); ++it) {
    ::dlclose(it->handle);
    complete = complete && ::lseek(tasks.get(), 0, SEEK_SET) == 0 &&
               ::getdents64(tasks.get(), entries, sizeof entries) > 0;
  }
  return complete ? 0 : 1;
}
