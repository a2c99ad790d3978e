#pragma once
// The runtime's dynamic array: one pointer to the first element, null when
// empty, with a DynArrayRec header in front. Copies share the block (arrays
// are reference types); the elements are finalised when the last reference
// goes. SetLength gives the variable a block of its own.
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <utility>

#include "rtl/SharedHeap.h"

struct DynArrayRec {
  int32_t _Padding;
  int32_t refCnt;
  int64_t length;
};
static_assert(sizeof(DynArrayRec) == 16);

template <class T>
class DynArray {
  static_assert(alignof(T) <= 16);

 public:
  DynArray() noexcept = default;
  DynArray(std::initializer_list<T> items) {
    SetLength(items.size());
    size_t i = 0;
    for (const T& t : items) data_[i++] = t;
  }
  DynArray(const DynArray& o) noexcept : data_(o.data_) { AddRef(data_); }
  DynArray(DynArray&& o) noexcept : data_(std::exchange(o.data_, nullptr)) {}
  ~DynArray() { Release(data_); }
  DynArray& operator=(DynArray o) noexcept {
    std::swap(data_, o.data_);
    return *this;
  }

  size_t size() const noexcept { return data_ ? static_cast<size_t>(Header(data_)->length) : 0; }
  int Length() const noexcept { return static_cast<int>(size()); }
  bool empty() const noexcept { return data_ == nullptr; }
  T* data() const noexcept { return data_; }
  T& operator[](size_t i) const noexcept { return data_[i]; }
  T* begin() const noexcept { return data_; }
  T* end() const noexcept { return data_ + size(); }
  int32_t RefCount() const noexcept { return data_ ? Header(data_)->refCnt : 0; }

  // New length; kept elements are copied (or moved when unshared), new
  // ones default-initialised. Zero releases the block.
  void SetLength(size_t n) {
    if (n == 0) {
      Release(std::exchange(data_, nullptr));
      return;
    }
    if (n == size() && RefCount() == 1) return;
    T* fresh = Allocate(n);
    const size_t keep = n < size() ? n : size();
    size_t built = 0;
    try {
      const bool unique = RefCount() == 1;
      for (; built < keep; ++built) {
        if (unique)
          new (fresh + built) T(std::move(data_[built]));
        else
          new (fresh + built) T(data_[built]);
      }
      for (; built < n; ++built) new (fresh + built) T();
    } catch (...) {
      for (size_t i = 0; i < built; ++i) fresh[i].~T();
      SharedHeapFree(Header(fresh));
      throw;
    }
    Release(std::exchange(data_, fresh));
  }
  void Clear() noexcept { SetLength(0); }
  void Append(T item) {
    const size_t n = size();
    SetLength(n + 1);
    data_[n] = std::move(item);
  }

  // The raw pointer for a contract; Attach adopts one reference.
  T* Raw() const noexcept { return data_; }
  static DynArray Attach(T* raw) noexcept {
    DynArray a;
    a.data_ = raw;
    return a;
  }
  T* Detach() noexcept { return std::exchange(data_, nullptr); }

 private:
  static DynArrayRec* Header(T* d) noexcept { return reinterpret_cast<DynArrayRec*>(d) - 1; }
  static T* Allocate(size_t n) {
    auto* rec = static_cast<DynArrayRec*>(SharedHeapAlloc(sizeof(DynArrayRec) + n * sizeof(T)));
    if (!rec) throw std::bad_alloc();
    rec->_Padding = 0;
    rec->refCnt = 1;
    rec->length = static_cast<int64_t>(n);
    return reinterpret_cast<T*>(rec + 1);
  }
  static void AddRef(T* d) noexcept {
    if (d) std::atomic_ref<int32_t>(Header(d)->refCnt).fetch_add(1, std::memory_order_relaxed);
  }
  static void Release(T* d) noexcept {
    if (!d) return;
    if (std::atomic_ref<int32_t>(Header(d)->refCnt).fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    const size_t n = static_cast<size_t>(Header(d)->length);
    for (size_t i = 0; i < n; ++i) d[i].~T();
    SharedHeapFree(Header(d));
  }

  T* data_ = nullptr;
};
static_assert(sizeof(DynArray<int>) == sizeof(void*));
