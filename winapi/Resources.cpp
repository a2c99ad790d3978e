#include "winapi/Resources.h"

#include <memory>

#include "winapi/ModuleCallObserver.h"
#include "winapi/LastError.h"
#include "winapi/ModuleTable.h"
#include "winapi/ResImage.h"

using qorb::winapi::FileImage;
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

// The entry behind a handle, only if it is one of the module's own.
const ResEntry* EntryOf(HMODULE module, HRSRC resource, std::shared_ptr<const FileImage>& image) {
  if (!resource) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (const DWORD err = qorb::winapi::ModuleImage(module, image); err != ERROR_SUCCESS) {
    SetLastError(err);
    return nullptr;
  }
  if (!image->resources || !image->resources->Owns(resource)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<const ResEntry*>(resource);
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
    std::shared_ptr<const FileImage> image;
    if (const DWORD err = qorb::winapi::ModuleImage(module, image); err != ERROR_SUCCESS) {
      SetLastError(err);
      return nullptr;
    }
    if (!image->resources) {
      SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
      return nullptr;
    }
    DWORD err = ERROR_SUCCESS;
    const ResEntry* e = image->resources->Find(IdOf(type), IdOf(name), err);
    if (!e) {
      SetLastError(err);
      return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(e));
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::LoadResource);
  timer.Report().Module = module;
  try {
    std::shared_ptr<const FileImage> image;
    const ResEntry* e = EntryOf(module, resource, image);
    if (!e) return nullptr;
    return const_cast<uint8_t*>(image->resources->Data(*e));
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

DWORD SizeofResource(HMODULE module, HRSRC resource) noexcept {
  try {
    std::shared_ptr<const FileImage> image;
    const ResEntry* e = EntryOf(module, resource, image);
    return e ? static_cast<DWORD>(e->size) : 0;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

LPVOID LockResource(HGLOBAL data) noexcept { return data; }
