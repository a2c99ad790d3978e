#include "winapi/Gdi.h"

#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "rtl/ForeignOnStack.h"
#include "rtl/OwnMutex.h"
#include "winapi/LastError.h"
#include "winapi/SideHeap.h"

namespace {

// Beyond this a request is treated as a fault, not as a wish for memory.
constexpr uint64_t kMaxDibBytes = uint64_t{1} << 30;

// A plug-in's icon is kept as long as the plug-in: small pixel blocks and
// the records around them stay off the loader's heap (see SideHeap.h).
// Larger blocks come from the system's allocator, which maps them apart.
struct FreeBits {
  size_t size = 0;
  void operator()(uint8_t* p) const noexcept {
    if (size <= qorb::winapi::kSideHeapLargest)
      qorb::winapi::SideHeap().deallocate(p, size);
    else
      std::free(p);
  }
};

uint8_t* AllocateBits(size_t size) {
  if (size > qorb::winapi::kSideHeapLargest) return static_cast<uint8_t*>(std::calloc(size, 1));
  try {
    auto* p = static_cast<uint8_t*>(qorb::winapi::SideHeap().allocate(size));
    std::memset(p, 0, size);
    return p;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

struct Dib {
  int32_t width;
  int32_t height;
  int32_t stride;
  WORD bitsPerPixel;
  std::unique_ptr<uint8_t, FreeBits> bits;
  std::pmr::vector<void*> creators{&qorb::winapi::SideHeap()};
};

struct DeleteDib {
  void operator()(Dib* d) const noexcept {
    std::pmr::polymorphic_allocator<Dib> heap(&qorb::winapi::SideHeap());
    heap.delete_object(d);
  }
};
using DibPtr = std::unique_ptr<Dib, DeleteDib>;

DibPtr NewDib() {
  std::pmr::polymorphic_allocator<Dib> heap(&qorb::winapi::SideHeap());
  return DibPtr(heap.new_object<Dib>());
}

std::atomic<bool> recordCreators{false};

class HandleTable {
 public:
  HBITMAP Add(DibPtr dib) {
    std::lock_guard<TMutex> guard(lock_);
    next_ += 4;
    entries_.emplace(next_, std::move(dib));
    return reinterpret_cast<HBITMAP>(next_);
  }

  DibPtr Remove(HGDIOBJ h) {
    std::lock_guard<TMutex> guard(lock_);
    auto it = entries_.find(reinterpret_cast<uintptr_t>(h));
    if (it == entries_.end()) return nullptr;
    DibPtr dib = std::move(it->second);
    entries_.erase(it);
    return dib;
  }

  bool Describe(HGDIOBJ h, BITMAP& out) {
    std::lock_guard<TMutex> guard(lock_);
    auto it = entries_.find(reinterpret_cast<uintptr_t>(h));
    if (it == entries_.end()) return false;
    const Dib& d = *it->second;
    out = BITMAP{0, d.width, d.height, d.stride, 1, d.bitsPerPixel, d.bits.get()};
    return true;
  }

  size_t Count() {
    std::lock_guard<TMutex> guard(lock_);
    return entries_.size();
  }

  std::vector<std::vector<void*>> Creators() {
    std::lock_guard<TMutex> guard(lock_);
    std::vector<std::vector<void*>> out;
    for (const auto& [handle, dib] : entries_) out.emplace_back(dib->creators.begin(), dib->creators.end());
    return out;
  }

 private:
  TMutex lock_;
  // Starts well away from zero so that small integers are never handles.
  uintptr_t next_ = 0x10000;
  std::pmr::unordered_map<uintptr_t, DibPtr> entries_{&qorb::winapi::SideHeap()};
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  const bool supported = h.biSize >= sizeof(BITMAPINFOHEADER) && h.biPlanes == 1 &&
                         (h.biBitCount == 24 || h.biBitCount == 32) && h.biCompression == BI_RGB &&
                         h.biWidth > 0 && h.biHeight < 0 && h.biHeight != INT32_MIN;
  if (!supported) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const uint64_t width = static_cast<uint64_t>(h.biWidth);
  const uint64_t height = static_cast<uint64_t>(-static_cast<int64_t>(h.biHeight));
  const uint64_t stride = (width * h.biBitCount / 8 + 3) & ~uint64_t{3};
  if (stride > INT32_MAX || stride * height > kMaxDibBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }

  DibPtr dib = NewDib();
  dib->width = h.biWidth;
  dib->height = static_cast<int32_t>(height);
  dib->stride = static_cast<int32_t>(stride);
  dib->bitsPerPixel = h.biBitCount;
  dib->bits = std::unique_ptr<uint8_t, FreeBits>(AllocateBits(stride * height), FreeBits{stride * height});
  if (!dib->bits) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // A stack is costly to take; without foreign code on it, it names nobody.
  if (recordCreators.load(std::memory_order_relaxed) && ForeignCodeMayBeOnStack()) {
    void* frames[24];
    const int n = backtrace(frames, 24);
    dib->creators.assign(frames + (n > 1 ? 1 : 0), frames + n);
  }
  void* bits = dib->bits.get();
  HBITMAP handle = Table().Add(std::move(dib));
  if (ppvBits) *ppvBits = bits;
  return handle;
}

BOOL DeleteObject(HGDIOBJ ho) {
  if (!ho) return FALSE;
  // Freed outside the table's lock.
  DibPtr dib = Table().Remove(ho);
  if (!dib) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

int GetObjectW(HGDIOBJ h, int c, LPVOID pv) {
  BITMAP bm{};
  if (!h || !Table().Describe(h, bm)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!pv) return sizeof(BITMAP);
  if (c < static_cast<int>(sizeof(BITMAP))) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  *static_cast<BITMAP*>(pv) = bm;
  return sizeof(BITMAP);
}

size_t GdiLiveObjectCount() { return Table().Count(); }

void GdiRecordCreators(bool On) noexcept { recordCreators.store(On, std::memory_order_relaxed); }

std::vector<std::vector<void*>> GdiLiveObjectCreators() { return Table().Creators(); }
