#pragma once
// The files of the libraries mapped into the process now, in load order.
#include <filesystem>
#include <vector>

std::vector<std::filesystem::path> MappedLibraryFiles();
