#include "workbench/ModuleCallLog.h"

#include <algorithm>
#include <stdexcept>

#include "rtl/UnicodeString.h"
#include "winapi/SideHeap.h"

using qorb::winapi::ModuleCall;

TModuleCallLog::TModuleCallLog() : entries_(&qorb::winapi::SideHeap()), loaded_(&qorb::winapi::SideHeap()) {
  if (qorb::winapi::CurrentModuleCallObserver()) throw std::logic_error("a module call observer is installed already");
  qorb::winapi::SetModuleCallObserver(this);
}

TModuleCallLog::~TModuleCallLog() { qorb::winapi::SetModuleCallObserver(nullptr); }

void TModuleCallLog::OnModuleCall(const qorb::winapi::ModuleCallReport& r) noexcept {
  std::string unloaded;
  try {
    std::pmr::memory_resource* heap = &qorb::winapi::SideHeap();
    Stored e{r.Call,
             std::pmr::string(heap),
             r.Module,
             r.Start,
             r.Elapsed,
             r.Succeeded,
             std::pmr::string(r.LoaderError, heap),
             r.Unloaded};
    if (!r.Path.empty())
      e.Path = r.Path;
    else
      e.Path = Utf16ToUtf8(r.WidePath);
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
    if (r.Unloaded) unloaded = std::string(e.Path);
    entries_.push_back(std::move(e));
  } catch (...) {
    // Out of memory: the entry is lost, the call itself is not affected.
  }
  if (!unloaded.empty() && OnUnloaded) try {
      OnUnloaded(unloaded);
    } catch (...) {
    }
}

TModuleCallEntry TModuleCallLog::Copy(const Stored& s) {
  return TModuleCallEntry{s.Call,      std::string(s.Path),        s.Module,  s.Start, s.Elapsed,
                          s.Succeeded, std::string(s.LoaderError), s.Unloaded};
}

std::vector<TModuleCallEntry> TModuleCallLog::Entries() const {
  const std::lock_guard lock(lock_);
  std::vector<TModuleCallEntry> out;
  out.reserve(entries_.size());
  for (const Stored& s : entries_) out.push_back(Copy(s));
  return out;
}

std::string TModuleCallLog::LoaderError(const std::filesystem::path& File) const {
  const std::lock_guard lock(lock_);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->Call == ModuleCall::Load && !it->Succeeded && std::string_view(it->Path) == File.string())
      return std::string(it->LoaderError);
  return {};
}
