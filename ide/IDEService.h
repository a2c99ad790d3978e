#pragma once
// One service of the IDE's services object: a small class implementing one
// service interface, aggregated into the services object. Its IInterface
// operations are the services object's, so every service leads back to the
// same object and keeps it alive.
#include <type_traits>

#include "rtl/InterfacedObject.h"

class TIDE;
class TIDEServices;

class TIDEService {
 public:
  explicit TIDEService(TIDEServices& Owner) noexcept : owner_(Owner) {}
  virtual ~TIDEService() = default;
  TIDEService(const TIDEService&) = delete;
  TIDEService& operator=(const TIDEService&) = delete;

  // The interface pointer this service answers for Iid, or null. Takes no
  // reference.
  virtual void* Find(const GUID& Iid) noexcept = 0;

 protected:
  // The IDE the service works on; null once the IDE has shut down (a late
  // caller then gets empty answers).
  TIDE* Ide() const noexcept;
  HRESULT OuterQueryInterface(const GUID& Iid, void** Obj) noexcept;
  int32_t OuterAddRef() noexcept;
  int32_t OuterRelease() noexcept;

 private:
  TIDEServices& owner_;
};

// Derive a service from this: class TFooService : public TIDEServiceOf<IFoo>.
template <class I>
class TIDEServiceOf : public TIDEService, public I {
  static_assert(!std::is_same_v<I, IInterface>);

 public:
  using Interface = I;
  using TIDEService::TIDEService;

  HRESULT QueryInterface(const GUID& Iid, void** Obj) override { return OuterQueryInterface(Iid, Obj); }
  int32_t AddRef() override { return OuterAddRef(); }
  int32_t Release() override { return OuterRelease(); }

  void* Find(const GUID& Iid) noexcept override {
    if (Iid == IInterface::IID || !intf_detail::Implements<I>(Iid)) return nullptr;
    return static_cast<I*>(this);
  }
};
