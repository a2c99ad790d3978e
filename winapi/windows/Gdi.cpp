#include "winapi/Gdi.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "rtl/ForeignOnStack.h"
#include "rtl/OwnMutex.h"
#include "winapi/LastError.h"
#include "winapi/windows/Win32.h"

// The system's bitmaps; what we keep is which of them we made, and by whom,
// so that one left alive can be named.
namespace {

std::atomic<bool> recordCreators{false};

struct TLive {
  TMutex Lock;
  std::unordered_map<HGDIOBJ, std::vector<void*>> Objects;
};
TLive& Live() {
  static TLive live;
  return live;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* bits = nullptr;
  void* handle = qorb::win32::CreateDIBSection(pbmi, usage, &bits);
  if (!handle) return nullptr;
  std::vector<void*> creators;
  // A stack is costly to take; without foreign code on it, it names nobody.
  if (recordCreators.load(std::memory_order_relaxed) && ForeignCodeMayBeOnStack()) {
    void* frames[24];
    creators.assign(frames, frames + qorb::win32::CaptureStack(0, 24, frames));
  }
  {
    const std::lock_guard lock(Live().Lock);
    Live().Objects.insert_or_assign(handle, std::move(creators));
  }
  if (ppvBits) *ppvBits = bits;
  return static_cast<HBITMAP>(handle);
}

BOOL DeleteObject(HGDIOBJ ho) {
  if (!qorb::win32::DeleteObject(ho)) return FALSE;
  const std::lock_guard lock(Live().Lock);
  Live().Objects.erase(ho);
  return TRUE;
}

int GetObjectW(HGDIOBJ h, int c, LPVOID pv) { return qorb::win32::ObjectInfo(h, c, pv); }

size_t GdiLiveObjectCount() {
  const std::lock_guard lock(Live().Lock);
  return Live().Objects.size();
}

void GdiRecordCreators(bool On) noexcept { recordCreators.store(On, std::memory_order_relaxed); }

std::vector<std::vector<void*>> GdiLiveObjectCreators() {
  const std::lock_guard lock(Live().Lock);
  std::vector<std::vector<void*>> creators;
  for (const auto& [handle, frames] : Live().Objects) creators.push_back(frames);
  return creators;
}
