#pragma once
// GDI bitmaps over plain memory. An HBITMAP names a device-independent
// bitmap in a process-wide handle table: 24 or 32 bits per pixel, rows top
// down, each row padded to a multiple of four bytes, bytes blue, green, red
// (and alpha). Handles are never reused, so a stale or foreign handle is
// answered as unknown instead of reaching freed memory.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "winapi/WinTypes.h"

struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HDC__;
using HDC = HDC__*;
using HGDIOBJ = void*;

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr int32_t OBJ_BITMAP = 7;

struct BITMAP {
  int32_t bmType;  // always 0
  int32_t bmWidth;
  int32_t bmHeight;
  int32_t bmWidthBytes;  // row stride
  WORD bmPlanes;  // always 1
  WORD bmBitsPixel;  // 24 or 32
  LPVOID bmBits;  // first (top) row; valid until the handle is deleted
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  int32_t biWidth;
  int32_t biHeight;  // negative: top-down rows
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  uint8_t rgbBlue;
  uint8_t rgbGreen;
  uint8_t rgbRed;
  uint8_t rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// Only top-down (negative biHeight), uncompressed 24 and 32-bit DIBs are
// made; anything else answers null with ERROR_INVALID_PARAMETER, and a
// bitmap too large for memory null with ERROR_NOT_ENOUGH_MEMORY. The pixels
// start out zero. hdc, hSection and offset are accepted and ignored.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD offset);

// FALSE for null and for handles that are not (or no longer) live.
BOOL DeleteObject(HGDIOBJ ho);

// Fills a BITMAP for a live bitmap handle and answers sizeof(BITMAP); with a
// null buffer answers the size needed. 0 for unknown handles or a buffer
// smaller than a BITMAP.
int GetObjectW(HGDIOBJ h, int c, LPVOID pv);

// GDI objects alive in the process: what tests and the IDE's shut-down
// report check to prove that nothing leaked.
size_t GdiLiveObjectCount();

// While on, each new GDI object keeps the return addresses of the calls
// that made it, so that one left alive can be named by the code that made
// it (the IDE turns this on). Off by default: it costs a stack walk.
void GdiRecordCreators(bool On) noexcept;
// For each live object, its creation call chain, innermost first (empty
// when it was made while recording was off).
std::vector<std::vector<void*>> GdiLiveObjectCreators();

// Owns a bitmap handle and deletes it when it goes.
class unique_hbitmap {
 public:
  unique_hbitmap() noexcept = default;
  explicit unique_hbitmap(HBITMAP h) noexcept : h_(h) {}
  unique_hbitmap(unique_hbitmap&& o) noexcept : h_(o.release()) {}
  unique_hbitmap& operator=(unique_hbitmap&& o) noexcept {
    reset(o.release());
    return *this;
  }
  unique_hbitmap(const unique_hbitmap&) = delete;
  unique_hbitmap& operator=(const unique_hbitmap&) = delete;
  ~unique_hbitmap() { reset(); }

  HBITMAP get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  HBITMAP release() noexcept { return std::exchange(h_, nullptr); }
  void reset(HBITMAP h = nullptr) noexcept {
    if (HBITMAP old = std::exchange(h_, h)) DeleteObject(old);
  }

 private:
  HBITMAP h_ = nullptr;
};
