#pragma once
#include <filesystem>

inline std::filesystem::path FixturePath(const char* name) {
  return std::filesystem::path(QORB_IDE_FIXTURES) / name;
}
inline const std::filesystem::path GoodPackage = FixturePath("ide_fixture_package.bpl");
inline const std::filesystem::path RaisingPackage = FixturePath("ide_fixture_raising.bpl");
