#include "winapi/Resources.h"

#include <memory>

#include "winapi/ModuleCallObserver.h"
#include "winapi/LastError.h"
#include "winapi/ModuleTable.h"
#include "winapi/ResImage.h"

using qorb::winapi::ResImage;
using qorb::winapi::ResEntry;
using qorb::winapi::ResId;

namespace {

ResId IdOf(LPCWSTR p) {
  if (IS_INTRESOURCE(p)) return ResId::Ordinal(RESOURCE_ORDINAL(p));
  const std::u16string_view text(p);
  if (text.size() > 1 && text.size() <= 6 && text[0] == u'#') {
    unsigned value = 0;
    bool digits = true;
    for (char16_t c : text.substr(1)) {
      if (c < u'0' || c > u'9') {
        digits = false;
        break;
      }
      value = value * 10 + (c - u'0');
    }
    if (digits && value <= 0xFFFF) return ResId::Ordinal(static_cast<WORD>(value));
  }
  return ResId::Text(std::u16string(text));
}

// f(image, entry) for the entry behind a handle, only if it is one of the
// module's own; the last error set and false otherwise.
template <class F>
bool WithEntry(HMODULE module, HRSRC resource, F&& f) {
  if (!resource) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const DWORD err = qorb::winapi::ModuleResources(module, [&](const ResImage* image) -> DWORD {
    const ResEntry* e = image ? image->EntryOf(resource) : nullptr;
    if (!e) return ERROR_INVALID_HANDLE;
    f(*image, *e);
    return ERROR_SUCCESS;
  });
  if (err != ERROR_SUCCESS) SetLastError(err);
  return err == ERROR_SUCCESS;
}

}  // namespace

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::FindResource);
  timer.Report().Module = module;
  if (!name || !type) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  try {
    const ResId typeId = IdOf(type), nameId = IdOf(name);
    HRSRC found = nullptr;
    const DWORD err = qorb::winapi::ModuleResources(module, [&](const ResImage* image) -> DWORD {
      if (!image) return ERROR_RESOURCE_DATA_NOT_FOUND;
      DWORD findErr = ERROR_SUCCESS;
      const ResEntry* e = image->Find(typeId, nameId, findErr);
      if (!e) return findErr;
      found = static_cast<HRSRC>(const_cast<void*>(image->Handle(*e)));
      return ERROR_SUCCESS;
    });
    if (err != ERROR_SUCCESS) SetLastError(err);
    return found;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::LoadResource);
  timer.Report().Module = module;
  try {
    HGLOBAL data = nullptr;
    WithEntry(module, resource,
              [&](const ResImage& image, const ResEntry& e) { data = const_cast<uint8_t*>(image.Data(e)); });
    return data;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

DWORD SizeofResource(HMODULE module, HRSRC resource) noexcept {
  try {
    DWORD size = 0;
    WithEntry(module, resource, [&](const ResImage&, const ResEntry& e) { size = static_cast<DWORD>(e.size); });
    return size;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

LPVOID LockResource(HGLOBAL data) noexcept { return data; }
