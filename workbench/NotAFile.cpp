#include "workbench/NotAFile.h"

#include <system_error>

namespace fs = std::filesystem;

std::string NotAFileReason(const fs::path& Path) {
  std::error_code ec;
  const fs::file_status status = fs::status(Path, ec);
  if (status.type() == fs::file_type::regular) return {};
  if (ec == std::errc::too_many_symbolic_link_levels) return "a link that goes round in a loop";
  if (status.type() == fs::file_type::not_found) {
    std::error_code linkError;
    if (fs::is_symlink(fs::symlink_status(Path, linkError))) {
      const fs::path target = fs::read_symlink(Path, linkError);
      if (!linkError) return "a link to " + target.string() + ", which does not exist";
    }
    return "no such file";
  }
  switch (status.type()) {
    case fs::file_type::directory: return "a folder, not a file";
    case fs::file_type::fifo: return "a named pipe, not a file";
    case fs::file_type::socket: return "a socket, not a file";
    case fs::file_type::block:
    case fs::file_type::character: return "a device, not a file";
    default: return ec ? ec.message() : "not a regular file";
  }
}
