#pragma once
// A folder of its own for one test: the stand-in package copied in as
// Qorb_DelphiMain.bpl, and a Plugins/ folder holding what the test puts
// there. The package is loaded from that folder, so its plug-in folder is
// this one's Plugins/.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "testhost/TestHostApi.h"
#include "winapi/WinTypes.h"

class PluginFolder {
 public:
  enum class Layout { WithPlugins, NoPlugins, PluginsIsALink };
  // The package copied in is the stand-in, or the real one.
  explicit PluginFolder(Layout layout = Layout::WithPlugins, const char* package = QORB_TESTHOST_PATH);
  ~PluginFolder();

  // Copy a library (or the fixture plug-in <name>.dll) in, under another file name if given.
  std::filesystem::path AddPlugin(const std::filesystem::path& library, const std::string& as = "");
  std::filesystem::path AddFixture(const std::string& name, const std::string& as = "");
  std::filesystem::path AddFile(const std::string& name, const std::string& bytes);
  std::filesystem::path PluginsDir() const { return plugins_; }
  std::filesystem::path PackagePath() const { return root_ / "Qorb_DelphiMain.bpl"; }

  // Loads the package and starts the host (plug-ins loaded).
  const TestHostApi& Start();
  // Finalises the host and unloads the package; idempotent.
  void Stop();

  static std::string TakeTrace();

 private:
  ScratchDir root_{"qorb-plugins"};
  std::filesystem::path plugins_;
  HMODULE package_ = 0;
  const TestHostApi* api_ = nullptr;
};

std::string FixturePath(const std::string& name);
