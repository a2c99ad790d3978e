#pragma once
// The runtime's reference-counted base object. The count starts at one while
// the constructor runs, so code in a constructor that takes and drops a
// reference cannot destroy the object; Make<T>() adopts that first reference.
// QueryInterface is driven by the list of implemented interfaces: each
// interface answers its own IID and those of its ancestors (via Base).
#include <atomic>
#include <type_traits>
#include <utility>

#include "rtl/ComPtr.h"
#include "rtl/Object.h"

class TInterfacedObject : public TObject {
 public:
  int32_t RefCount() const noexcept { return refCount_.load(std::memory_order_relaxed); }

 protected:
  TInterfacedObject() = default;
  int32_t DoAddRef() noexcept { return refCount_.fetch_add(1, std::memory_order_relaxed) + 1; }
  int32_t DoRelease() noexcept {
    const int32_t n = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) delete this;
    return n;
  }

 private:
  std::atomic<int32_t> refCount_{1};
};

namespace intf_detail {
template <class I>
bool Implements(const GUID& iid) {
  if (I::IID == iid) return true;
  if constexpr (std::is_same_v<I, IInterface>)
    return false;
  else
    return Implements<typename I::Base>(iid);
}
template <class First, class...>
struct FirstOf {
  using type = First;
};
}  // namespace intf_detail

template <class... Intfs>
class TInterfacedObjectOf : public TInterfacedObject, public Intfs... {
  static_assert(sizeof...(Intfs) > 0);

 public:
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (!obj) return E_NOINTERFACE;
    *obj = nullptr;
    if (iid == IInterface::IID) {
      *obj = AsIInterface();
    } else {
      (void)((intf_detail::Implements<Intfs>(iid) ? (*obj = static_cast<Intfs*>(this), true) : false) || ...);
    }
    if (!*obj) return QueryOther(iid, obj);
    DoAddRef();
    return S_OK;
  }
  int32_t AddRef() override { return DoAddRef(); }
  int32_t Release() override { return DoRelease(); }

  IInterface* AsIInterface() noexcept {
    return static_cast<typename intf_detail::FirstOf<Intfs...>::type*>(this);
  }

 protected:
  // Answers interfaces beyond the list (aggregated objects); must AddRef.
  virtual HRESULT QueryOther(const GUID&, void**) { return E_NOINTERFACE; }
};

// Creates a reference-counted object and adopts its first reference.
template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
  return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

