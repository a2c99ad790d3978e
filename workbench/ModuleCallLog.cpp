#include "workbench/ModuleCallLog.h"

#include <algorithm>
#include <stdexcept>

#include "rtl/UnicodeString.h"

using qorb::winapi::ModuleCall;

TModuleCallLog::TModuleCallLog() {
  if (qorb::winapi::CurrentModuleCallObserver()) throw std::logic_error("a module call observer is installed already");
  qorb::winapi::SetModuleCallObserver(this);
}

TModuleCallLog::~TModuleCallLog() { qorb::winapi::SetModuleCallObserver(nullptr); }

void TModuleCallLog::OnModuleCall(const qorb::winapi::ModuleCallReport& r) noexcept {
  std::string unloaded;
  try {
    TModuleCallEntry e;
    e.Call = r.Call;
    e.Path = !r.Path.empty() ? std::string(r.Path) : Utf16ToUtf8(r.WidePath);
    e.Module = r.Module;
    e.Start = r.Start;
    e.Elapsed = r.Elapsed;
    e.Succeeded = r.Succeeded;
    e.LoaderError = r.LoaderError;
    e.Unloaded = r.Unloaded;
    const std::lock_guard lock(lock_);
    if (e.Path.empty() && e.Module)
      for (auto it = loaded_.rbegin(); it != loaded_.rend(); ++it)
        if (it->first == e.Module) {
          e.Path = it->second;
          break;
        }
    if ((r.Call == ModuleCall::Load || r.Call == ModuleCall::Probe) && r.Succeeded)
      loaded_.emplace_back(r.Module, e.Path);
    if (r.Call == ModuleCall::Free && r.Succeeded) {
      // A probe handle is never given out again; a loaded one is dropped
      // with its last reference.
      const auto it = std::find_if(loaded_.rbegin(), loaded_.rend(), [&](const auto& p) { return p.first == r.Module; });
      if (it != loaded_.rend() && (r.Unloaded || (r.Module & 1))) loaded_.erase(std::next(it).base());
    }
    if (r.Unloaded) unloaded = e.Path;
    entries_.push_back(std::move(e));
  } catch (...) {
    // Out of memory: the entry is lost, the call itself is not affected.
  }
  if (!unloaded.empty() && OnUnloaded) try {
      OnUnloaded(unloaded);
    } catch (...) {
    }
}

std::vector<TModuleCallEntry> TModuleCallLog::Entries() const {
  const std::lock_guard lock(lock_);
  return entries_;
}

std::string TModuleCallLog::LoaderError(const std::filesystem::path& File) const {
  const std::lock_guard lock(lock_);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->Call == ModuleCall::Load && !it->Succeeded && it->Path == File.string()) return it->LoaderError;
  return {};
}
