#pragma once
// Interfaces implemented by components, frames above all: asked for by
// interface identifier like any interface, but not reference-counted (the
// component's owner frees it). A frame class lists them:
//   class TMyFrame : public TFrame, public TObjectInterfaces<IFoo> { ... };
// and code that holds only the component asks SupportsObject(frame, foo).
#include "rtl/ComPtr.h"
#include "rtl/InterfacedObject.h"

class TObject;

class TInterfaceSupport {
 public:
  // The interface pointer for Iid, or false with *Obj null.
  virtual bool GetInterface(const GUID& Iid, void** Obj) noexcept = 0;

 protected:
  ~TInterfaceSupport() = default;
};

template <class... Intfs>
class TObjectInterfaces : public TInterfaceSupport, public Intfs... {
  static_assert(sizeof...(Intfs) > 0);

 public:
  bool GetInterface(const GUID& Iid, void** Obj) noexcept override {
    if (!Obj) return false;
    *Obj = nullptr;
    if (Iid == IInterface::IID)
      *Obj = static_cast<typename intf_detail::FirstOf<Intfs...>::type*>(this);
    else
      (void)((intf_detail::Implements<Intfs>(Iid) ? (*Obj = static_cast<Intfs*>(this), true) : false) || ...);
    return *Obj != nullptr;
  }
  HRESULT QueryInterface(const GUID& Iid, void** Obj) override {
    return GetInterface(Iid, Obj) ? S_OK : E_NOINTERFACE;
  }
  // The owner decides the lifetime; references neither keep nor free it.
  int32_t AddRef() override { return -1; }
  int32_t Release() override { return -1; }
};

// Obj's interface U when its class implements it.
template <class U>
bool SupportsObject(TObject* Obj, ComPtr<U>& Out) {
  Out.reset();
  auto* support = dynamic_cast<TInterfaceSupport*>(Obj);
  return support && support->GetInterface(U::IID, Out.put_void()) && Out;
}
