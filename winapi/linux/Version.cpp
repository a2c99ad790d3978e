#include "winapi/Version.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "rtl/UnicodeString.h"
#include "winapi/ModuleCallObserver.h"
#include "winapi/ImageCache.h"
#include "winapi/LastError.h"
#include "winapi/ModuleTable.h"
#include "winapi/VersionBlock.h"

using qorb::winapi::FileImage;
using qorb::winapi::ResEntry;
using qorb::winapi::ResId;
using qorb::winapi::ResImage;

namespace {

// Less than a root node's header holds nothing a query could find.
constexpr size_t kMinBlock = 6;

// The version block in resources: the first RT_VERSION resource,
// VS_VERSION_INFO preferred, cut to the length its root declares.
DWORD VersionBlockIn(const ResImage* resources, std::span<const uint8_t>& block) {
  if (!resources) return ERROR_RESOURCE_DATA_NOT_FOUND;
  const ResId type = ResId::Ordinal(RT_VERSION_ID);
  DWORD findErr = ERROR_SUCCESS;
  const ResEntry* e = resources->Find(type, ResId::Ordinal(VS_VERSION_INFO), findErr);
  if (!e) {
    for (const ResEntry& any : resources->Entries()) {
      if (any.type.Matches(type)) {
        e = &any;
        break;
      }
    }
  }
  if (!e) return ERROR_RESOURCE_TYPE_NOT_FOUND;
  const std::span<const uint8_t> data(resources->Data(*e), e->size);
  const size_t length = qorb::winapi::VersionBlockLength(data);
  if (length == 0) return ERROR_RESOURCE_DATA_NOT_FOUND;
  block = data.first(length);
  return ERROR_SUCCESS;
}

// Calls use(block) with the file's version block while its bytes are valid.
template <class F>
DWORD WithVersionBlock(LPCWSTR fileName, F&& use) {
  if (!fileName || !*fileName) return ERROR_FILE_NOT_FOUND;
  const std::string path = Utf16ToUtf8(std::u16string_view(fileName));
  const qorb::winapi::ResourceReader read = [&](const ResImage* resources) -> DWORD {
    std::span<const uint8_t> block;
    if (const DWORD err = VersionBlockIn(resources, block); err != ERROR_SUCCESS) return err;
    return use(block);
  };
  // A library we hold is read from its loaded image, as a data-file load of
  // an already loaded module is on the platform.
  DWORD result = ERROR_SUCCESS;
  if (qorb::winapi::ModuleTable::Instance().LoadedResources(qorb::winapi::FullPath(path), read, result))
    return result;
  std::shared_ptr<const FileImage> image;
  if (const DWORD err = qorb::winapi::LoadFileImage(path, image); err != ERROR_SUCCESS) return err;
  if (image->elfError != ERROR_SUCCESS) return image->elfError;
  return read(image->resources ? &*image->resources : nullptr);
}

}  // namespace

DWORD GetFileVersionInfoSizeW(LPCWSTR fileName, DWORD* handle) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::VersionSize);
  if (fileName) timer.Report().WidePath = fileName;
  if (handle) *handle = 0;
  try {
    DWORD size = 0;
    const DWORD err = WithVersionBlock(fileName, [&](std::span<const uint8_t> block) -> DWORD {
      size = static_cast<DWORD>(block.size());
      return ERROR_SUCCESS;
    });
    if (err != ERROR_SUCCESS) SetLastError(err);
    return size;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

BOOL GetFileVersionInfoW(LPCWSTR fileName, DWORD /*handle*/, DWORD length, LPVOID data) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::VersionRead);
  if (fileName) timer.Report().WidePath = fileName;
  if (!data || length == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  try {
    const DWORD err = WithVersionBlock(fileName, [&](std::span<const uint8_t> block) -> DWORD {
      const size_t copied = std::min<size_t>(length, block.size());
      if (copied < kMinBlock) return ERROR_INSUFFICIENT_BUFFER;
      std::memcpy(data, block.data(), copied);
      if (copied < block.size()) {
        // Queries go by the root's length; it must not reach past the buffer.
        const WORD root = static_cast<WORD>(copied);
        std::memcpy(data, &root, sizeof root);
      }
      return ERROR_SUCCESS;
    });
    if (err != ERROR_SUCCESS) {
      SetLastError(err);
      return FALSE;
    }
    return TRUE;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, UINT* length) noexcept {
  if (buffer) *buffer = nullptr;
  if (length) *length = 0;
  if (!block || !subBlock || !buffer) return FALSE;
  WORD declared;
  std::memcpy(&declared, block, sizeof declared);
  const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(block), declared);
  const void* value = nullptr;
  UINT found = 0;
  if (!qorb::winapi::QueryVersionValue(bytes, std::u16string_view(subBlock), value, found)) return FALSE;
  *buffer = const_cast<void*>(value);
  if (length) *length = found;
  return TRUE;
}
