#include "ide/IDEServices.h"

TIDE* TIDEService::Ide() const noexcept { return owner_.Ide(); }
HRESULT TIDEService::OuterQueryInterface(const GUID& Iid, void** Obj) noexcept {
  return owner_.QueryInterface(Iid, Obj);
}
int32_t TIDEService::OuterAddRef() noexcept { return owner_.AddRef(); }
int32_t TIDEService::OuterRelease() noexcept { return owner_.Release(); }

int TIDEServices::IndexFor(const GUID& Iid) const noexcept {
  for (size_t i = 0; i < table_.size(); ++i)
    if (table_[i].Service->Find(Iid)) return static_cast<int>(i);
  return -1;
}

bool TIDEServices::SetEnabled(const GUID& Iid, bool Enabled) {
  std::lock_guard lock(tableLock_);
  const int i = IndexFor(Iid);
  if (i < 0) return false;
  table_[static_cast<size_t>(i)].Enabled = Enabled;
  return true;
}

bool TIDEServices::IsEnabled(const GUID& Iid) const {
  std::lock_guard lock(tableLock_);
  const int i = IndexFor(Iid);
  return i >= 0 && table_[static_cast<size_t>(i)].Enabled;
}

HRESULT TIDEServices::QueryOther(const GUID& Iid, void** Obj) {
  void* found = nullptr;
  {
    std::lock_guard lock(tableLock_);
    for (const Entry& e : table_) {
      if (!e.Enabled) continue;
      if ((found = e.Service->Find(Iid))) break;
    }
  }
  if (!found) return E_NOINTERFACE;
  DoAddRef();
  *Obj = found;
  return S_OK;
}
