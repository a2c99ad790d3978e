#include "winapi/ImageCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <list>
#include <mutex>
#include <vector>

namespace qorb::winapi {
namespace {

constexpr size_t kCapacity = 8;
// Larger files are not libraries we would load.
constexpr off_t kMaxFileSize = off_t{1} << 30;

struct FileKey {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  int64_t mtimeNs = 0;

  static FileKey Of(const struct stat& st) {
    return FileKey{st.st_dev, st.st_ino, st.st_size,
                   int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
  }
  bool operator==(const FileKey&) const = default;
};

struct CacheEntry {
  std::string path;
  FileKey key;
  std::shared_ptr<const FileImage> image;
};

class Fd {
 public:
  explicit Fd(int fd) noexcept : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }

 private:
  int fd_;
};

std::mutex cacheLock;
std::list<CacheEntry> cache;  // most recently used first
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

std::shared_ptr<const FileImage> ImageOf(std::span<const uint8_t> bytes) {
  auto image = std::make_shared<FileImage>();
  image->elfError = ReadElfImage(bytes, image->elf);
  if (image->elfError == ERROR_SUCCESS && image->elf.rsrcSize != 0) {
    image->resources = ResImage::Parse(bytes.subspan(image->elf.rsrcOffset, image->elf.rsrcSize));
  }
  return image;
}

DWORD ReadFile(const std::string& path, FileKey& key, std::shared_ptr<const FileImage>& out) {
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return ErrorFromErrno(errno);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return ErrorFromErrno(errno);
  // A folder opens fine but is not a file (Windows answers access denied).
  if (!S_ISREG(st.st_mode)) return ERROR_ACCESS_DENIED;
  key = FileKey::Of(st);
  ++reads;
  if (st.st_size > kMaxFileSize) {
    out = ImageOf({});
    return ERROR_SUCCESS;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ErrorFromErrno(errno);
    if (n == 0) break;  // shrank while we read: judge what we got
    done += static_cast<size_t>(n);
  }
  out = ImageOf(std::span<const uint8_t>(bytes.data(), done));
  return ERROR_SUCCESS;
}

}  // namespace

DWORD LoadFileImage(const std::string& path, std::shared_ptr<const FileImage>& out) {
  out.reset();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return ErrorFromErrno(errno);
  const FileKey now = FileKey::Of(st);
  {
    const std::lock_guard lock(cacheLock);
    for (auto it = cache.begin(); it != cache.end(); ++it) {
      if (it->path == path && it->key == now) {
        cache.splice(cache.begin(), cache, it);
        out = it->image;
        return ERROR_SUCCESS;
      }
    }
  }

  FileKey key;
  std::shared_ptr<const FileImage> image;
  if (const DWORD err = ReadFile(path, key, image); err != ERROR_SUCCESS) return err;

  const std::lock_guard lock(cacheLock);
  cache.remove_if([&](const CacheEntry& e) { return e.path == path; });
  cache.push_front(CacheEntry{path, key, image});
  if (cache.size() > kCapacity) cache.pop_back();
  out = std::move(image);
  return ERROR_SUCCESS;
}

size_t FileImageReads() noexcept { return reads.load(); }

}  // namespace qorb::winapi
