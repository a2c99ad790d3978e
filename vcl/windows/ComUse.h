#pragma once
// COM for the WIC calls: the apartment of the calling thread for a scope,
// and owning pointers to the objects WIC hands out. Includes the system's
// headers: only for files that do not include our own Windows headers.
#include <objbase.h>

#include <memory>

class TComApartment {
 public:
  // A thread already in an apartment of another kind keeps it.
  TComApartment() noexcept : hr_(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~TComApartment() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

 private:
  HRESULT hr_;
};

struct ComRelease {
  void operator()(IUnknown* p) const noexcept { p->Release(); }
};
template <class T>
using ComOwner = std::unique_ptr<T, ComRelease>;

// For out parameters: ComOwner<T> p; Call(Out(p)).
template <class T>
class ComOut {
 public:
  explicit ComOut(ComOwner<T>& Owner) noexcept : owner_(Owner) {}
  ~ComOut() { owner_.reset(raw_); }
  ComOut(const ComOut&) = delete;
  ComOut& operator=(const ComOut&) = delete;
  operator T**() noexcept { return &raw_; }
  operator void**() noexcept { return reinterpret_cast<void**>(&raw_); }

 private:
  ComOwner<T>& owner_;
  T* raw_ = nullptr;
};
template <class T>
ComOut<T> Out(ComOwner<T>& Owner) noexcept {
  return ComOut<T>(Owner);
}
