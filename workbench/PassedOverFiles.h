#pragma once
// Plug-ins the host never looks at: a library in the plug-in folder that
// exports InitPlugin but is not named "*.dll", and a "*.dll" in a
// sub-folder. The host passes them over without a word; the IDE names them.
#include <filesystem>
#include <string>
#include <vector>

#include "workbench/LoadedModules.h"

// Paths relative to Folder, in listing order (sub-folders as they come).
std::vector<TSkippedFile> PassedOverFilesIn(const std::filesystem::path& Folder);

// "Passed over:" and one line per file; empty when there is none.
std::string FormatPassedOverFiles(const std::vector<TSkippedFile>& Files);
