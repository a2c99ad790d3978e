#pragma once
// Paths as the machine that runs qorb-ide's printed commands names them.
// Under Wine that machine is the Linux host Wine runs on, whose tools want
// Unix paths (/home/me/qorb), not Wine's drive letters (Z:\home\me\qorb).
#include <filesystem>
#include <optional>
#include <string>

// The Unix path of Path when qorb-ide runs under Wine; nothing otherwise,
// where Path is already how the commands name it.
std::optional<std::string> UnixPathUnderWine(const std::filesystem::path& Path);
