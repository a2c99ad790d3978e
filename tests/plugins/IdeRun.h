#pragma once
// qorb-ide run in the test's process, on a plug-in folder in place.
#include <filesystem>
#include <sstream>
#include <string>

#include "PluginFolder.h"
#include "workbench/Program.h"

struct IdeRun {
  int status;
  std::string out, err;
};

inline IdeRun RunIde(const TCommandLine& options) {
  std::ostringstream out, err;
  const int status = RunQorbIDE(options, out, err);
  PluginFolder::TakeTrace();
  return {status, out.str(), err.str()};
}

inline TCommandLine InPlace(const std::filesystem::path& plugins) {
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.PluginFolder = plugins;
  return options;
}
