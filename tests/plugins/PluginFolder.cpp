#include "PluginFolder.h"

#include <fstream>
#include <stdexcept>

#include "fixtures/trace.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

std::string FixturePath(const std::string& name) { return std::string(QORB_PLUGIN_FIXTURE_DIR) + "/" + name + ".dll"; }

PluginFolder::PluginFolder(Layout layout, const char* package) {
  fs::copy_file(package, PackagePath());
  plugins_ = root_.path / (layout == Layout::PluginsIsALink ? "real-plugins" : "Plugins");
  if (layout != Layout::NoPlugins) fs::create_directory(plugins_);
  if (layout == Layout::PluginsIsALink) fs::create_directory_symlink(plugins_, root_.path / "Plugins");
  TakeTrace();
}

PluginFolder::~PluginFolder() { Stop(); }

fs::path PluginFolder::AddFixture(const std::string& name, const std::string& as) {
  return AddPlugin(FixturePath(name), as.empty() ? name + ".dll" : as);
}

fs::path PluginFolder::AddPlugin(const fs::path& library, const std::string& as) {
  const fs::path target = plugins_ / (as.empty() ? library.filename().string() : as);
  fs::copy_file(library, target);
  return target;
}

fs::path PluginFolder::AddFile(const std::string& name, const std::string& bytes) {
  const fs::path target = plugins_ / name;
  std::ofstream(target, std::ios::binary) << bytes;
  return target;
}

const TestHostApi& PluginFolder::Start() {
  const std::u16string path = PackagePath().u16string();
  package_ = LoadLibraryW(path.c_str());
  if (!package_) throw std::runtime_error("cannot load the test host");
  auto entry = reinterpret_cast<TestHostEntry>(GetProcAddress(package_, "QorbTestHost"));
  api_ = entry();
  api_->Startup();
  return *api_;
}

void PluginFolder::Stop() {
  if (api_) api_->Finalize();
  api_ = nullptr;
  if (package_) FreeLibrary(package_);
  package_ = 0;
}

std::string PluginFolder::TakeTrace() {
  char buf[8192];
  QorbTraceTake(buf, sizeof buf);
  return buf;
}

