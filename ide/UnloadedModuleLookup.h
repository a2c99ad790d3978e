#pragma once
// Which unloaded library an address pointed into: how a leftover is named
// by its plug-in. Stands in for qorb::winapi::FindUnloadedModule (same
// signature) until the module table keeps the ranges itself; until then the
// ranges come from the module call log.
#include <string>
#include <string_view>

namespace qorb::ide {

// True, with the library's full path, when address lies in the range of a
// library that was loaded through the platform layer and has been unloaded
// since, and no library is mapped there now.
bool FindUnloadedModule(const void* address, std::string& path);

// Notes a library's range as it goes.
void RememberUnloadedModule(std::string_view Path, const void* Begin, const void* End);

}  // namespace qorb::ide
