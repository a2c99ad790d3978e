// The example About library's parts: what it copies from the host's record,
// and how it shows the dialog in the simulated IDE.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "examples/about/AboutData.h"
#include "examples/about/AboutPicture.h"
#include "examples/about/AboutPresenter.h"
#include "examples/about/AboutText.h"
#include "ide/IDE.h"
#include "vcl/PngImage.h"
#include "winapi/Gdi.h"

namespace fs = std::filesystem;

namespace {

const uint16_t* U(const char16_t* s) { return reinterpret_cast<const uint16_t*>(s); }

// A solid red 32-bit bitmap handle, as the host makes icons.
unique_hbitmap RedIcon(int size) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) std::memcpy(bitmap.ScanLine(y) + 4 * x, "\x00\x00\xFF\xFF", 4);
  return unique_hbitmap(bitmap.ReleaseHandle());
}

struct TRecord {
  QorbPluginInfo Plugins[2] = {};
  QorbAboutInfo Info = {};
  unique_hbitmap Icon = RedIcon(32);

  TRecord() {
    Plugins[0] = {U(u"Alpha"), U(u"1.2"), U(u"Tessary Systems"), Icon.get()};
    Plugins[1] = {U(u"Beta"), U(u""), U(u""), nullptr};
    Info.StructSize = 64;
    Info.ProductName = U(u"Qorb Tool-Suite for Delphi");
    Info.Version = U(u"1.0.0.0");
    Info.Company = U(u"Tessary Systems");
    Info.Copyright = U(u"(c) 2026");
    Info.Website = U(u"https://example.test");
    Info.PluginCount = 2;
    Info.Plugins = Plugins;
    Info.LanguageTag = U(u"en");
  }
};

TEST(AboutData, CopiesEverythingItShowsAndOwnsIt) {
  TRecord record;
  TAboutData data;
  ASSERT_TRUE(CopyAboutInfo(&record.Info, data));
  record.Icon.reset();  // the host deletes its handles right after the call

  EXPECT_EQ(data.ProductName, u"Qorb Tool-Suite for Delphi");
  EXPECT_FALSE(data.German);
  ASSERT_EQ(data.Plugins.size(), 2u);
  ASSERT_NE(data.Plugins[0].Icon, nullptr);
  EXPECT_EQ(data.Plugins[0].Icon->Width(), 32);
  EXPECT_EQ(data.Plugins[0].Icon->ScanLine(31)[2], 0xFF);
  EXPECT_EQ(data.Plugins[1].Icon, nullptr);
  EXPECT_EQ(AboutText(data),
            u"Qorb Tool-Suite for Delphi\nVersion 1.0.0.0\nTessary Systems\n(c) 2026\nhttps://example.test\n\n"
            u"Loaded plug-ins:\n  Alpha 1.2 (Tessary Systems) [icon]\n  Beta");
}

TEST(AboutData, ABrokenRecordIsReadCarefully) {
  TAboutData data;
  EXPECT_FALSE(CopyAboutInfo(nullptr, data));
  TRecord record;
  record.Info.StructSize = 63;
  EXPECT_FALSE(CopyAboutInfo(&record.Info, data));

  record.Info.StructSize = 64;
  record.Info.Company = nullptr;
  record.Info.LanguageTag = U(u"de");
  record.Plugins[0].Image = reinterpret_cast<void*>(0x1234);  // no bitmap
  ASSERT_TRUE(CopyAboutInfo(&record.Info, data));
  EXPECT_EQ(data.Company, u"");
  EXPECT_TRUE(data.German);
  EXPECT_EQ(data.Plugins[0].Icon, nullptr);
  EXPECT_NE(AboutText(data).find(u"Geladene Plug-ins:\n"), std::u16string::npos);

  record.Info.PluginCount = -5;
  ASSERT_TRUE(CopyAboutInfo(&record.Info, data));
  EXPECT_TRUE(data.Plugins.empty());
  EXPECT_NE(AboutText(data).find(u"Keine Plug-ins geladen"), std::u16string::npos);
}

int RedPixels(const TBitmap& picture) {
  int n = 0;
  const int step = picture.PixelFormat() == pf32bit ? 4 : 3;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const uint8_t* p = picture.ScanLine(y) + step * x;
      if (p[0] == 0 && p[1] == 0 && p[2] == 0xFF) ++n;
    }
  return n;
}

TEST(AboutPicture, OneRowPerPlugInWithItsIcon) {
  TRecord record;
  TAboutData data;
  ASSERT_TRUE(CopyAboutInfo(&record.Info, data));
  const std::unique_ptr<TBitmap> two = DrawAboutDialog(data);
  // The red icon is drawn at its size; nothing else in the dialog is red.
  EXPECT_EQ(RedPixels(*two), 32 * 32);
  data.Plugins.pop_back();
  const std::unique_ptr<TBitmap> one = DrawAboutDialog(data);
  EXPECT_EQ(one->Width(), two->Width());
  EXPECT_LT(one->Height(), two->Height());
}

TEST(AboutPresenter, PictureWhenTheIDEIsAskedForOneTextOtherwise) {
  TRecord record;
  TAboutData data;
  ASSERT_TRUE(CopyAboutInfo(&record.Info, data));
  const fs::path dir = fs::temp_directory_path() / ("qorb-about-pictures-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    TIDEOptions options;
    options.PicturesDirectory = dir;
    TIDE ide(std::move(options));
    ASSERT_TRUE(PresentAboutDialog(data));
    EXPECT_TRUE(ide.MessageBoxes().Shown().empty());
    TPngImage png;
    png.LoadFromFile(Utf8ToUtf16((dir / "about-dialog.png").string()));
    EXPECT_GT(png.Height(), 200);
  }
  {
    TIDEOptions options;
    options.PicturesDirectory = dir / "not" / "there";
    TIDE ide(std::move(options));
    EXPECT_FALSE(PresentAboutDialog(data));
  }
  {
    TIDE ide;
    ASSERT_TRUE(PresentAboutDialog(data));
    const auto boxes = ide.MessageBoxes().Shown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, u"About Qorb Tool-Suite for Delphi");
    EXPECT_EQ(boxes[0].Text, UnicodeString(AboutText(data)));
  }
  fs::remove_all(dir);
}

}  // namespace
