#pragma once
// Interfaces of objects that foreign code made (a plug-in's registered
// object, an event, the reference in a lookup's result variable): their
// QueryInterface, AddRef and Release are foreign code, called by slot as a
// plug-in in C expects, each across the boundary of ForeignCall.h.
#include <cstdint>
#include <utility>

#include "rtl/Interface.h"

HRESULT ForeignQueryInterface(IInterface* Intf, const GUID& Iid, void** Obj);
int32_t ForeignAddRef(IInterface* Intf);
int32_t ForeignRelease(IInterface* Intf);
// For destructors: a fault or exception is contained and noted, not raised.
void ForeignReleaseNoted(IInterface* Intf) noexcept;

// A counted reference to such an interface. Copying may raise what the
// object's AddRef raised; letting go never raises.
class TForeignRef {
 public:
  TForeignRef() noexcept = default;
  explicit TForeignRef(IInterface* Intf) : p_(Intf) {
    if (p_) ForeignAddRef(p_);
  }
  TForeignRef(const TForeignRef& o) : TForeignRef(o.p_) {}
  TForeignRef(TForeignRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TForeignRef& operator=(TForeignRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~TForeignRef() {
    if (p_) ForeignReleaseNoted(p_);
  }

  IInterface* get() const noexcept { return p_; }
  IInterface* Detach() noexcept { return std::exchange(p_, nullptr); }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  IInterface* p_ = nullptr;
};
