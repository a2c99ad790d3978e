#include "workbench/PluginFolderLink.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "workbench/CrashReport.h"

namespace fs = std::filesystem;

TPluginFolderLink::TPluginFolderLink(const fs::path& Package, const fs::path& Plugins) {
  const TArguments checked = CheckArguments(Package, Plugins);
  if (error_ = checked.Error; !error_.empty()) return;
  const fs::path& package = checked.Package;
  const fs::path& plugins = checked.Plugins;
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / "qorb-ide-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) {
    error_ = "cannot make a temporary package folder";
    return;
  }
  folder_ = name.data();
  SetCrashCleanup(&RemoveLinks, this);
  // Whatever lies beside the package may be what it reads from there
  // (DelphiMainProc.dll, its libraries); Plugins/ is the one taken over.
  for (const fs::directory_entry& e : fs::directory_iterator(package.parent_path(), ec)) {
    const fs::path file = e.path().filename();
    if (file == "Plugins") continue;
    links_.push_back((folder_ / file).string());
    fs::create_symlink(e.path(), folder_ / file, ec);
    if (ec) break;
  }
  if (!ec) {
    links_.push_back((folder_ / "Plugins").string());
    fs::create_directory_symlink(plugins, folder_ / "Plugins", ec);
  }
  if (ec) {
    error_ = "cannot lay out the package folder " + folder_.string() + ": " + ec.message();
    return;
  }
  package_ = folder_ / package.filename();
}

void TPluginFolderLink::RemoveLinks(void* Self) noexcept {
  const auto& self = *static_cast<const TPluginFolderLink*>(Self);
  for (const std::string& link : self.links_) ::unlink(link.c_str());
  ::rmdir(self.folder_.c_str());
}

TPluginFolderLink::~TPluginFolderLink() {
  if (folder_.empty()) return;
  SetCrashCleanup(nullptr, nullptr);
  // Links only: removing them leaves what they point to alone.
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) fs::remove(e.path(), ec);
  fs::remove(folder_, ec);
}
