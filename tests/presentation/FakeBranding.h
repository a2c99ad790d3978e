#pragma once
// Recording stand-ins for the IDE's About box and splash screen. The splash
// screen copies the picture during the call, as the IDE does; the About box
// keeps the handle.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "rtl/InterfacedObject.h"
#include "toolsapi/AboutBoxServices.h"
#include "toolsapi/BorlandIDEServices.h"
#include "toolsapi/SplashScreenServices.h"
#include "vcl/Bitmap.h"

// A 24-bit picture read back from a bitmap handle: B,G,R per pixel.
struct TCopiedPicture {
  int Width = 0, Height = 0, BitsPerPixel = 0;
  std::vector<uint8_t> Bytes;
  uint32_t Pixel(int x, int y) const {  // 0xRRGGBB
    const uint8_t* p = &Bytes[static_cast<size_t>((y * Width + x) * 3)];
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  }
};

inline TCopiedPicture CopyPicture(HBITMAP h) {
  TCopiedPicture c;
  BITMAP info{};
  if (GetObjectW(h, sizeof(info), &info) != sizeof(info)) return c;
  c.Width = info.bmWidth;
  c.Height = info.bmHeight;
  c.BitsPerPixel = info.bmBitsPixel;
  if (c.BitsPerPixel != 24) return c;
  for (int y = 0; y < c.Height; ++y) {
    const auto* row = static_cast<const uint8_t*>(info.bmBits) + y * info.bmWidthBytes;
    c.Bytes.insert(c.Bytes.end(), row, row + c.Width * 3);
  }
  return c;
}

struct TSplashCall {
  UnicodeString Caption;
  HBITMAP Handle;
  TCopiedPicture Picture;
  bool Flag;
  UnicodeString Status, Further;
};

class TFakeSplash : public TInterfacedObjectOf<IOTASplashScreenServices> {
 public:
  std::vector<TSplashCall> Calls;
  bool Raise = false;
  void StatusMessage(UnicodeStringRef) override {}
  void AddPluginBitmap(UnicodeStringRef Caption, HBITMAP Bitmap, bool Flag, UnicodeStringRef Status,
                       UnicodeStringRef Further) override {
    Calls.push_back({UnicodeString(Caption), Bitmap, CopyPicture(Bitmap), Flag, UnicodeString(Status),
                     UnicodeString(Further)});
    if (Raise) throw std::runtime_error("splash screen gone");
  }
};

struct TAboutCall {
  UnicodeString Title, Description;
  HBITMAP Handle;
  bool Flag1;
  UnicodeString Status, Further;
  bool Flag2;
};

class TFakeAboutBox : public TInterfacedObjectOf<IBorlandIDEServices, IOTAAboutBoxServices> {
 public:
  std::vector<TAboutCall> Added;
  std::vector<int32_t> Removed;
  int Calls = 0;
  bool RaiseOnRemove = false;
  int32_t NextIndex = 7;
  int32_t AddPluginInfo(UnicodeStringRef Title, UnicodeStringRef Description, HBITMAP Image, bool Flag1,
                        UnicodeStringRef Status, UnicodeStringRef Further, bool Flag2) override {
    ++Calls;
    Added.push_back({UnicodeString(Title), UnicodeString(Description), Image, Flag1, UnicodeString(Status),
                     UnicodeString(Further), Flag2});
    return NextIndex;
  }
  void RemovePluginInfo(int32_t Index) override {
    ++Calls;
    Removed.push_back(Index);
    if (RaiseOnRemove) throw std::runtime_error("about box gone");
  }
  void UpdatePluginInfo(int32_t, UnicodeStringRef, UnicodeStringRef) override { ++Calls; }
};
