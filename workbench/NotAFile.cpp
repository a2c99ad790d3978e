#include "workbench/NotAFile.h"

#include <system_error>

#include "workbench/NotLoadedReasons.h"

namespace fs = std::filesystem;

std::string NotAFileReason(const fs::path& Path) {
  std::error_code ec;
  const fs::file_status status = fs::status(Path, ec);
  if (status.type() == fs::file_type::regular) return {};
  if (ec == std::errc::too_many_symbolic_link_levels) return NotLoadedReason(TNotLoaded::LinkLoop);
  if (status.type() == fs::file_type::not_found) {
    std::error_code linkError;
    if (fs::is_symlink(fs::symlink_status(Path, linkError))) {
      const fs::path target = fs::read_symlink(Path, linkError);
      if (!linkError) return NotLoadedReason(TNotLoaded::LinkToNothing, target.string());
    }
    return NotLoadedReason(TNotLoaded::NoSuchFile);
  }
  switch (status.type()) {
    case fs::file_type::directory: return NotLoadedReason(TNotLoaded::Folder);
    case fs::file_type::fifo: return NotLoadedReason(TNotLoaded::Pipe);
    case fs::file_type::socket: return NotLoadedReason(TNotLoaded::Socket);
    case fs::file_type::block:
    case fs::file_type::character: return NotLoadedReason(TNotLoaded::Device);
    default: return ec ? ec.message() : "not a regular file";
  }
}
