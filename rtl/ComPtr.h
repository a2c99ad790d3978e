#pragma once
// Owning interface pointer: the runtime's interface variable. Copying adds a
// reference, destruction releases it, put() releases first and hands out the
// address for an out-parameter. Same size as a raw pointer.
#include <cstddef>
#include <type_traits>
#include <utility>

#include "rtl/Interface.h"

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference, as assigning to an interface variable does.
  ComPtr(T* raw) noexcept : p_(raw) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(const ComPtr<U>& o) noexcept : ComPtr(static_cast<T*>(o.get())) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(ComPtr<U>&& o) noexcept : p_(o.detach()) {}
  ~ComPtr() { reset(); }

  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  // Adopts a reference the caller already owns.
  static ComPtr Attach(T* raw) noexcept {
    ComPtr r;
    r.p_ = raw;
    return r;
  }
  T* detach() noexcept { return std::exchange(p_, nullptr); }
  void reset() noexcept {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }
  T** put() noexcept {
    reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // QueryInterface for U::IID; null when not supported.
  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> r;
    if (p_) p_->QueryInterface(U::IID, r.put_void());
    return r;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

 private:
  T* p_ = nullptr;
};
static_assert(sizeof(ComPtr<IInterface>) == sizeof(void*));

// Supports(Obj, Intf): QueryInterface that answers whether it succeeded.
template <class U, class T>
bool Supports(T* obj, ComPtr<U>& out) {
  out.reset();
  return obj && obj->QueryInterface(U::IID, out.put_void()) == S_OK && out;
}
template <class U, class T>
bool Supports(const ComPtr<T>& obj, ComPtr<U>& out) {
  return Supports(obj.get(), out);
}
template <class T>
bool Supports(T* obj, const GUID& iid) {
  if (!obj) return false;
  IInterface* tmp = nullptr;
  if (obj->QueryInterface(iid, reinterpret_cast<void**>(&tmp)) != S_OK || !tmp) return false;
  tmp->Release();
  return true;
}
