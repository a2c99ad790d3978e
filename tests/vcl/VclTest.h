#pragma once
// Shared by the imaging suites: a base fixture that fails, by name, any
// test leaving a GDI object alive; and the committed PNG fixtures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/Bitmap.h"
#include "vcl/MemoryStream.h"

class GdiLeakCheck : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GdiLiveObjectCount(), 0u) << "a GDI object outlived an earlier test"; }
  void TearDown() override { EXPECT_EQ(GdiLiveObjectCount(), 0u) << "GDI objects leaked by this test"; }
};

using Bytes = std::vector<uint8_t>;

inline std::u16string FixturePath(const char* name) {
  return Utf8ToUtf16(std::string(QORB_TEST_IMAGES_DIR) + "/" + name);
}

inline Bytes ReadFixture(const char* name) {
  TMemoryStream s;
  s.LoadFromFile(FixturePath(name));
  const auto* p = static_cast<const uint8_t*>(s.Memory());
  return Bytes(p, p + s.Size());
}

// The pixel's 3 or 4 bytes, blue first.
inline Bytes Pixel(const TBitmap& b, int x, int y) {
  const int n = b.PixelFormat() == pf32bit ? 4 : 3;
  return Bytes(b.ScanLine(y) + x * n, b.ScanLine(y) + x * n + n);
}

inline void SetPixel(TBitmap& b, int x, int y, const Bytes& value) {
  for (size_t i = 0; i < value.size(); ++i) b.ScanLine(y)[x * value.size() + i] = value[i];
}
