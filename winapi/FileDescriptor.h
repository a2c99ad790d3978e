#pragma once
// An open POSIX file descriptor, closed on every way out. Closing is
// async-signal-safe, so crash and hang reports use it too.
#include <unistd.h>

namespace qorb::winapi {

class FileDescriptor {
 public:
  explicit FileDescriptor(int Fd) noexcept : fd_(Fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const noexcept { return fd_; }
  bool IsOpen() const noexcept { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace qorb::winapi
