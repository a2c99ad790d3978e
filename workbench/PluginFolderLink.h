#pragma once
// qorb-ide --plugins DIR: the host finds its plug-ins in Plugins/ beside the
// package, so the IDE lays out a private package folder and loads the
// package from there. On Linux it holds links (the package, the libraries
// beside it, and Plugins -> DIR) and goes with the object, and with a crash
// or hang report when the process ends in one. Windows gives no right to
// make links by default: the folder holds copies (see windows/).
#include <filesystem>
#include <string>
#include <vector>

class TPluginFolderLink {
 public:
  // Package: the package to run; Plugins: the folder to use as its
  // Plugins/. On failure Package() is empty and Error() says why.
  TPluginFolderLink(const std::filesystem::path& Package, const std::filesystem::path& Plugins);
  ~TPluginFolderLink();
  TPluginFolderLink(const TPluginFolderLink&) = delete;
  TPluginFolderLink& operator=(const TPluginFolderLink&) = delete;

  // The linked package, to load instead of the original.
  const std::filesystem::path& Package() const noexcept { return package_; }
  // The linked Plugins folder, as the host names it.
  std::filesystem::path PluginFolder() const { return folder_ / "Plugins"; }
  const std::string& Error() const noexcept { return error_; }

 private:
  static void RemoveLinks(void* Self) noexcept;
  // Both made absolute, or why the two cannot be laid out together.
  struct TArguments {
    std::filesystem::path Package, Plugins;
    std::string Error;
  };
  static TArguments CheckArguments(const std::filesystem::path& Package, const std::filesystem::path& Plugins);
  std::filesystem::path folder_;
  // What the folder holds, ready for a signal handler to remove.
  std::vector<std::string> links_;
  void* lock_ = nullptr;  // Windows: held open while the folder is in use
  std::filesystem::path package_;
  std::string error_;
};
