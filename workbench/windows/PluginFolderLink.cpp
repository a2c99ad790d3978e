#include "workbench/PluginFolderLink.h"

#include <windows.h>

#include <string>
#include <system_error>
#include <unordered_set>

#include "workbench/MappedLibraries.h"

namespace fs = std::filesystem;

// Windows lets nobody make a link without a privilege most accounts lack,
// and MinGW's library cannot make one at all: the folder holds copies. The
// package and what lies beside it that the process has not loaded already
// (its own libraries are found loaded by name, the About library and the
// rest are copied), and a copy of DIR as Plugins/. A plug-in thus runs from
// the copy; what it writes beside itself stays there.
//
// A mapped library cannot be deleted while the process runs: a run ended
// by a crash or hang report leaves its folder behind, and the next run
// removes every such folder whose owner is gone. Each run holds its
// folder's .lock open without sharing, so a folder still in use is never
// taken.

namespace {

constexpr const wchar_t* kPrefix = L"qorb-ide-";

void RemoveAbandoned(const fs::path& temp) {
  std::error_code ec;
  for (fs::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
    const std::wstring name = it->path().filename().wstring();
    if (name.rfind(kPrefix, 0) != 0 || !it->is_directory(ec)) continue;
    std::error_code gone;
    fs::remove(it->path() / ".lock", gone);
    if (!gone) fs::remove_all(it->path(), gone);
  }
}

bool IsProgram(const fs::path& file) {
  std::wstring ext = file.extension().wstring();
  for (wchar_t& c : ext) c = static_cast<wchar_t>(::towlower(c));
  return ext == L".exe";
}

}  // namespace

TPluginFolderLink::TPluginFolderLink(const fs::path& Package, const fs::path& Plugins) {
  const TArguments checked = CheckArguments(Package, Plugins);
  if (error_ = checked.Error; !error_.empty()) return;
  const fs::path& package = checked.Package;
  const fs::path& plugins = checked.Plugins;
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  RemoveAbandoned(temp);
  // A folder this process left before and still holds (a run in a test's
  // process, under Wine) keeps its name: the next number is taken.
  const std::wstring base = kPrefix + std::to_wstring(::GetCurrentProcessId());
  fs::path folder = temp / base;
  for (int n = 2; fs::exists(folder, ec) && n < 100; ++n) {
    fs::remove_all(folder, ec);
    if (fs::exists(folder, ec)) folder = temp / (base + L"-" + std::to_wstring(n));
  }
  if (!fs::create_directory(folder, ec)) {
    error_ = "cannot make a temporary package folder " + folder.string() + (ec ? ": " + ec.message() : "");
    return;
  }
  folder_ = folder;
  const HANDLE lock = ::CreateFileW((folder_ / ".lock").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (lock != INVALID_HANDLE_VALUE) lock_ = lock;
  std::unordered_set<std::wstring> loaded;
  for (const fs::path& m : MappedLibraryFiles()) {
    std::wstring name = m.filename().wstring();
    for (wchar_t& c : name) c = static_cast<wchar_t>(::towlower(c));
    loaded.insert(std::move(name));
  }
  for (fs::directory_iterator it(package.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path file = it->path().filename();
    std::wstring lower = file.wstring();
    for (wchar_t& c : lower) c = static_cast<wchar_t>(::towlower(c));
    if (!it->is_regular_file(ec) || IsProgram(file) || (loaded.count(lower) && file != package.filename())) continue;
    fs::copy_file(it->path(), folder_ / file, ec);
    if (ec) break;
  }
  if (!ec) fs::copy(plugins, folder_ / "Plugins", fs::copy_options::recursive, ec);
  if (ec) {
    error_ = "cannot lay out the package folder " + folder_.string() + ": " + ec.message();
    return;
  }
  package_ = folder_ / package.filename();
}

void TPluginFolderLink::RemoveLinks(void*) noexcept {}

TPluginFolderLink::~TPluginFolderLink() {
  if (lock_) ::CloseHandle(static_cast<HANDLE>(lock_));
  if (folder_.empty()) return;
  // After the IDE has unloaded what it loaded from here; a library some
  // thread still holds keeps the folder for the next run to remove.
  std::error_code ec;
  fs::remove_all(folder_, ec);
}
