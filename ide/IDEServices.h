#pragma once
// The IDE's services object (what BorlandIDEServices points at). It answers
// IBorlandIDEServices itself and every other interface through a table of
// services, one small class each. A service can be switched off, and the
// object then refuses its interface as an IDE without it would.
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/InterfacedObject.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/BorlandIDEServices.h"

class TIDEServices : public TInterfacedObjectOf<IBorlandIDEServices> {
 public:
  explicit TIDEServices(TIDE& Ide) noexcept : ide_(&Ide) {}

  // Adds a service: T derives from TIDEServiceOf<I> and is built as
  // T(*this, Args...). Answers the service for direct use by the IDE.
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto service = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *service;
    std::lock_guard lock(tableLock_);
    table_.push_back({std::move(service), true});
    return ref;
  }

  // Switches the service that answers Iid on or off; false when no service
  // answers it. References already handed out keep working.
  bool SetEnabled(const GUID& Iid, bool Enabled);
  bool IsEnabled(const GUID& Iid) const;

  // The first service of type T, enabled or not; null when there is none.
  template <class T>
  T* Service() const {
    std::lock_guard lock(tableLock_);
    for (const Entry& e : table_)
      if (auto* s = dynamic_cast<T*>(e.Service.get())) return s;
    return nullptr;
  }

  TIDE* Ide() const noexcept { return ide_.load(std::memory_order_acquire); }
  // The IDE is going away: services answer empty from now on.
  void Detach() noexcept { ide_.store(nullptr, std::memory_order_release); }

 protected:
  HRESULT QueryOther(const GUID& Iid, void** Obj) override;

 private:
  friend class TIDEService;
  struct Entry {
    std::unique_ptr<TIDEService> Service;
    bool Enabled;
  };
  // Index of the service that answers Iid, or -1; the table lock is held.
  int IndexFor(const GUID& Iid) const noexcept;

  std::atomic<TIDE*> ide_;
  // Plug-ins may query from any thread while the IDE adds or switches.
  mutable TMutex tableLock_;
  std::vector<Entry> table_;
};
