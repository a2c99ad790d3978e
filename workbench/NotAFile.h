#pragma once
// Why a path that should name a library file does not: empty when it is a
// file (through any links), else "no such file", a link that leads nowhere
// or round in a loop, a folder, a named pipe, a socket or a device.
#include <filesystem>
#include <string>

std::string NotAFileReason(const std::filesystem::path& Path);
