#include "winapi/ImageCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <list>
#include <memory_resource>
#include <mutex>
#include <unordered_map>

#include "rtl/OwnMutex.h"
#include "winapi/FileDescriptor.h"
#include "winapi/SideHeap.h"

namespace qorb::winapi {
namespace {

constexpr size_t kCapacity = 8;
// Larger files are not libraries we would load.
constexpr off_t kMaxFileSize = off_t{1} << 30;

// The change time too: a file made unreadable since must fail as it would
// when opened.
struct FileKey {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  int64_t mtimeNs = 0;
  int64_t ctimeNs = 0;

  static FileKey Of(const struct stat& st) {
    return FileKey{st.st_dev, st.st_ino, st.st_size,
                   int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec,
                   int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec};
  }
  bool operator==(const FileKey&) const = default;
};

struct CacheEntry {
  std::string path;
  FileKey key;
  std::shared_ptr<const FileImage> image;
};

struct LiveEntry {
  FileKey key;
  std::weak_ptr<const FileImage> image;
};

TMutex cacheLock;
std::list<CacheEntry> cache;  // most recently used first
// Every image someone still holds (a loaded module keeps its file's), so a
// file asked about again long after is not read again while it is in use.
// Apart from the loader's heap, as it grows with every file probed.
std::pmr::unordered_map<std::pmr::string, LiveEntry> live(&SideHeap());
size_t sweepAbove = 64;

// Under cacheLock. Forgets images nobody holds any more, at a cost spread
// over the insertions that made the index grow.
void RememberLive(const std::string& path, const FileKey& key, const std::shared_ptr<const FileImage>& image) {
  live.insert_or_assign(std::pmr::string(path, &SideHeap()), LiveEntry{key, image});
  if (live.size() <= sweepAbove) return;
  std::erase_if(live, [](const auto& e) { return e.second.image.expired(); });
  sweepAbove = std::max<size_t>(64, 2 * live.size());
}
std::atomic<size_t> reads{0};

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_ACCESS_DENIED;
  }
}

// Exactly size bytes at offset, or false.
bool ReadRange(int fd, size_t offset, size_t size, uint8_t* into) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, into + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // shrank since we looked: judge what we got
    done += static_cast<size_t>(n);
  }
  return true;
}

DWORD ReadFile(const qorb::winapi::FileDescriptor& fd, const struct stat& st, std::shared_ptr<const FileImage>& out) {
  // A folder opens fine but is not a file (Windows answers access denied).
  if (!S_ISREG(st.st_mode)) return ERROR_ACCESS_DENIED;
  ++reads;
  auto image = std::make_shared<FileImage>();
  if (st.st_size > kMaxFileSize) {
    image->elfError = ERROR_BAD_EXE_FORMAT;
    out = std::move(image);
    return ERROR_SUCCESS;
  }
  // The headers, tables and resources; the code and data between them are
  // never read. A small file is read into a buffer kept for the next one:
  // a fresh one per file would leave a hole in the heap each time, and the
  // loader's records placed in them end up a page apart.
  constexpr size_t kKeptScratch = 256 * 1024;
  thread_local SparseFile scratch;
  SparseFile large;
  SparseFile& file = static_cast<size_t>(st.st_size) <= kKeptScratch ? scratch : large;
  const RangeReader read = [&fd](size_t offset, size_t size, uint8_t* into) {
    return ReadRange(fd.get(), offset, size, into);
  };
  image->elfError = ReadElfImage(read, static_cast<size_t>(st.st_size), image->elf, file);
  if (image->elfError == ERROR_SUCCESS && image->elf.rsrcSize != 0)
    image->resources = ResImage::Parse({file.bytes.get() + image->elf.rsrcOffset, image->elf.rsrcSize});
  out = std::move(image);
  return ERROR_SUCCESS;
}

// Under cacheLock: the image read from path while it was as key says.
std::shared_ptr<const FileImage> Cached(const std::string& path, const FileKey& key) {
  for (auto it = cache.begin(); it != cache.end(); ++it) {
    if (it->path == path && it->key == key) {
      cache.splice(cache.begin(), cache, it);
      return it->image;
    }
  }
  return nullptr;
}

}  // namespace

DWORD LoadFileImage(const std::string& path, std::shared_ptr<const FileImage>& out) {
  out.reset();
  // A file read a moment ago (the load after its probe) is known by its
  // status alone, one system call instead of open, fstat and close.
  bool known = false;
  {
    const std::lock_guard lock(cacheLock);
    known = std::any_of(cache.begin(), cache.end(), [&](const CacheEntry& e) { return e.path == path; });
  }
  if (struct stat st; known && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    const std::lock_guard lock(cacheLock);
    if ((out = Cached(path, FileKey::Of(st)))) return ERROR_SUCCESS;
  }
  // Opened first and checked through the descriptor: what is read is what
  // was checked. Non-blocking: a pipe named like a library must not stall us.
  const qorb::winapi::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st;
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) return ErrorFromErrno(errno);
  const FileKey now = FileKey::Of(st);
  {
    const std::lock_guard lock(cacheLock);
    if ((out = Cached(path, now))) return ERROR_SUCCESS;
    if (const auto it = live.find(std::pmr::string(path, &SideHeap())); it != live.end() && it->second.key == now) {
      if ((out = it->second.image.lock())) {
        cache.remove_if([&](const CacheEntry& e) { return e.path == path; });
        cache.push_front(CacheEntry{path, now, out});
        if (cache.size() > kCapacity) cache.pop_back();
        return ERROR_SUCCESS;
      }
    }
  }

  std::shared_ptr<const FileImage> image;
  if (const DWORD err = ReadFile(fd, st, image); err != ERROR_SUCCESS) return err;

  const std::lock_guard lock(cacheLock);
  cache.remove_if([&](const CacheEntry& e) { return e.path == path; });
  cache.push_front(CacheEntry{path, now, image});
  if (cache.size() > kCapacity) cache.pop_back();
  RememberLive(path, now, image);
  out = std::move(image);
  return ERROR_SUCCESS;
}

size_t FileImageReads() noexcept { return reads.load(); }

}  // namespace qorb::winapi
