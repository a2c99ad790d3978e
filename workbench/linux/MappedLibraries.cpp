#include "workbench/MappedLibraries.h"

#include <link.h>

namespace {

int CollectPath(dl_phdr_info* info, size_t, void* data) {
  if (info->dlpi_name && *info->dlpi_name)
    static_cast<std::vector<std::filesystem::path>*>(data)->emplace_back(info->dlpi_name);
  return 0;
}

}  // namespace

std::vector<std::filesystem::path> MappedLibraryFiles() {
  std::vector<std::filesystem::path> mapped;
  dl_iterate_phdr(&CollectPath, &mapped);
  return mapped;
}
