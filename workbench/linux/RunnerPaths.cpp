#include "workbench/RunnerPaths.h"

std::optional<std::string> UnixPathUnderWine(const std::filesystem::path&) { return std::nullopt; }
