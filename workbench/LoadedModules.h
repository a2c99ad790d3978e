#pragma once
// The plug-ins mapped into the process from one folder, in load order, as
// a modules window shows them: what a package loaded from its Plugins/,
// without the libraries mapped there only as their dependencies.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TLoadedModule {
  std::filesystem::path Path;
  // As the host shows them (its own reader: trimmed, the fixed version
  // first); empty when the module has no version resource.
  std::u16string ProductName;
  std::u16string Version;
  std::u16string Company;
};

// Texts: whether to read each module's version texts (nobody sees them
// in a quiet run).
enum class TModuleTexts { Read, Skip };
std::vector<TLoadedModule> LoadedModulesIn(const std::filesystem::path& Folder,
                                           TModuleTexts Texts = TModuleTexts::Read);

// "Plug-ins:" and one line per module; empty when there is none.
std::string FormatLoadedModules(const std::vector<TLoadedModule>& Modules);

// A "*.dll" file in the plug-in folder that is not mapped, with why the host
// skipped it as far as can be told without running any of its code.
struct TSkippedFile {
  std::filesystem::path Path;
  std::string Reason;
};

// What the IDE saw of the host's normal load of a file; nullopt when it saw
// nothing.
struct TLoadResult {
  std::string LoaderError;  // the loader's text when it refused the file
  std::string InitPluginRaised;  // "EClass: message" when its InitPlugin raised
};
using TLoadOutcome = std::function<std::optional<TLoadResult>(const std::filesystem::path& File)>;

// In listing order; sub-folders are no plug-ins and are left out, a link
// that leads nowhere or a pipe is named for what it is. Loaded: what
// LoadedModulesIn found in the same folder.
std::vector<TSkippedFile> SkippedFilesIn(const std::filesystem::path& Folder,
                                         const std::vector<TLoadedModule>& Loaded,
                                         const TLoadOutcome& Outcome = {});

// "Not loaded:" and one line per file; empty when there is none.
std::string FormatSkippedFiles(const std::vector<TSkippedFile>& Files);
