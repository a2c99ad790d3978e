// The About command end to end: the simulated IDE loads the real package
// from a folder of the test's own, with two plug-ins and a recording About
// library beside it, and the test clicks the menu item.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "ide/IDE.h"
#include "ide/MainMenu.h"
#include "tests/language/Printing.h"
#include "tests/language/fixtures/AboutRecorder.h"
#include "vcl/Menus.h"
#include "winapi/Gdi.h"
#include "winapi/SysColors.h"

namespace fs = std::filesystem;

namespace {

enum class TAboutLibrary { Recording, WithoutExport, Missing, Example };

class AboutCommandTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ide.reset();
    AboutRecord() = TAboutRecord();
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
  }

  // A package folder with both plug-ins and the chosen About library, and
  // an IDE that has loaded the package in Language.
  void Start(TAboutLibrary Library, const char16_t* Language = u"en") {
    std::string tmpl = (fs::temp_directory_path() / "qorb-about-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    folder = tmpl;
    fs::create_directory(folder / "Plugins");
    fs::copy_file(QORB_PACKAGE_PATH, folder / "Qorb_DelphiMain.bpl");
    fs::copy_file(QORB_FIXTURE_ICONPLUGIN, folder / "Plugins" / "iconplugin.dll");
    fs::copy_file(QORB_FIXTURE_PLAINPLUGIN, folder / "Plugins" / "plainplugin.dll");
    if (Library == TAboutLibrary::Recording) fs::copy_file(QORB_FIXTURE_RECORDING_ABOUT, AboutLibraryPath());
    if (Library == TAboutLibrary::WithoutExport) fs::copy_file(QORB_FIXTURE_NOEXPORT_ABOUT, AboutLibraryPath());
    if (Library == TAboutLibrary::Example) fs::copy_file(QORB_EXAMPLE_ABOUT_PATH, AboutLibraryPath());

    TIDEOptions options;
    options.UILanguage = UnicodeString(Language);
    options.RootDirectory = folder;
    ide = std::make_unique<TIDE>(std::move(options));
    ASSERT_TRUE(ide->LoadPackage(folder / "Qorb_DelphiMain.bpl"));
    ide->MessageBoxes().Clear();
  }

  fs::path AboutLibraryPath() const { return folder / "DelphiMainProc.dll"; }

  TMenuItem& AboutItem(const char16_t* Path = u"Qorb/About Qorb...") {
    TMenuItem* item = FindMenuItemByPath(ide->MainMenu(), Path);
    if (!item) throw std::logic_error("no About item");
    return *item;
  }

  bool AboutLibraryMapped() const {
    void* h = ::dlopen(AboutLibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) ::dlclose(h);
    return h != nullptr;
  }

  fs::path folder;
  std::unique_ptr<TIDE> ide;
};

const TRecordedPlugin& PluginNamed(const TRecordedCall& call, std::u16string_view name) {
  for (const TRecordedPlugin& p : call.Plugins)
    if (p.Name == name) return p;
  throw std::logic_error("plug-in not in the record");
}

TEST_F(AboutCommandTest, TheLibraryGetsTheRecordAndTheHandlesAreDeletedAfterwards) {
  Start(TAboutLibrary::Recording);
  const size_t gdiBefore = GdiLiveObjectCount();
  AboutItem().Click();

  ASSERT_EQ(AboutRecord().Calls.size(), 1u);
  const TRecordedCall& call = AboutRecord().Calls[0];
  int32_t structSize = 0;
  const char16_t* tag = nullptr;
  std::memcpy(&structSize, call.Raw + 0, 4);
  std::memcpy(&tag, call.Raw + 56, 8);
  EXPECT_EQ(structSize, 64);
  EXPECT_EQ(std::u16string(tag), u"en");
  EXPECT_EQ(call.ParentWnd, ide->ParentHandle());
  EXPECT_FALSE(call.NullTexts);
  EXPECT_EQ(call.ProductName, u"Qorb Tool-Suite for Delphi");
  EXPECT_EQ(call.Version, u"1.0.0.0");
  EXPECT_EQ(call.Company, u"Tessary Systems");
  EXPECT_EQ(call.Copyright, u"Copyright (c) 2026 Tessary Systems");
  EXPECT_FALSE(call.Website.empty());

  ASSERT_EQ(call.PluginCount, 2);
  const TRecordedPlugin& icon = PluginNamed(call, u"Icon Plug-in");
  const TRecordedPlugin& plain = PluginNamed(call, u"Plain Plug-in");
  EXPECT_EQ(icon.Version, u"2.1.0.0");
  EXPECT_EQ(icon.WebURL, u"Tessary Systems");
  // The icon as a 32-bit bitmap drawn on the window colour: its clear
  // corner is that colour, its half-transparent one (200, 100, 50 at alpha
  // 128) a blend of both.
  ASSERT_TRUE(icon.ImageSeen.Live);
  EXPECT_EQ(icon.ImageSeen.BitsPerPixel, 32);
  EXPECT_EQ(icon.ImageSeen.Width, 32);
  EXPECT_EQ(icon.ImageSeen.Height, 32);
  const DWORD window = GetSysColor(COLOR_WINDOW);
  const int wr = window & 0xFF, wg = (window >> 8) & 0xFF, wb = (window >> 16) & 0xFF;
  auto channel = [](uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
  EXPECT_EQ(channel(icon.ImageSeen.BottomRight, 16), wr);
  EXPECT_EQ(channel(icon.ImageSeen.BottomRight, 8), wg);
  EXPECT_EQ(channel(icon.ImageSeen.BottomRight, 0), wb);
  EXPECT_NEAR(channel(icon.ImageSeen.TopLeft, 16), (200 + wr) / 2, 1);
  EXPECT_NEAR(channel(icon.ImageSeen.TopLeft, 8), (100 + wg) / 2, 1);
  EXPECT_NEAR(channel(icon.ImageSeen.TopLeft, 0), (50 + wb) / 2, 1);
  // No icon: no handle. An empty company: an empty text, not a null one.
  EXPECT_EQ(plain.Image, nullptr);
  EXPECT_FALSE(plain.NullTexts);
  EXPECT_EQ(plain.WebURL, u"");

  BITMAP bm;
  EXPECT_EQ(GetObjectW(icon.Image, sizeof bm, &bm), 0);
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore);
  EXPECT_TRUE(ide->MessageBoxes().Shown().empty());
}

TEST_F(AboutCommandTest, EveryClickLoadsAndUnloadsTheLibrary) {
  Start(TAboutLibrary::Recording);
  AboutItem().Click();
  EXPECT_FALSE(AboutLibraryMapped());
  AboutRecord().Answer = 0;  // a failing dialog is not reported
  AboutItem().Click();
  EXPECT_FALSE(AboutLibraryMapped());
  EXPECT_EQ(AboutRecord().Calls.size(), 2u);
  EXPECT_EQ(AboutRecord().Loads, 2);
  EXPECT_EQ(AboutRecord().Unloads, 2);
  EXPECT_TRUE(ide->MessageBoxes().Shown().empty());
}

// The example dialog leaves nothing behind that would keep it mapped.
TEST_F(AboutCommandTest, TheExampleDialogShowsItselfAndGoesAway) {
  Start(TAboutLibrary::Example);
  AboutItem().Click();
  AboutItem().Click();
  EXPECT_FALSE(AboutLibraryMapped());
  const auto boxes = ide->MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Caption, u"About Qorb Tool-Suite for Delphi");
  EXPECT_NE(boxes[0].Text.ToUtf8().find("\n  Plain Plug-in 0.9.0.0"), std::string::npos) << boxes[0].Text.ToUtf8();
}

TEST_F(AboutCommandTest, AnErrorOfTheDialogReachesTheClickAfterTheUnload) {
  Start(TAboutLibrary::Recording);
  const size_t gdiBefore = GdiLiveObjectCount();
  AboutRecord().Throw = true;
  EXPECT_THROW(AboutItem().Click(), std::runtime_error);
  EXPECT_EQ(AboutRecord().Unloads, 1);
  EXPECT_FALSE(AboutLibraryMapped());
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore);
}

TEST_F(AboutCommandTest, AMissingLibraryIsOneErrorBoxWithPathAndCode) {
  Start(TAboutLibrary::Missing);
  AboutItem().Click();
  const auto boxes = ide->MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  const std::string text = boxes[0].Text.ToUtf8();
  EXPECT_EQ(text, "Could not load the About DLL:\r\n" + AboutLibraryPath().string() +
                      "\r\n\r\nWin32 error: 126 (The specified module could not be found.)");
  EXPECT_TRUE(boxes[0].Type & 0x10) << "an error box";
}

TEST_F(AboutCommandTest, ALibraryWithoutTheExportIsReportedAndUnloaded) {
  Start(TAboutLibrary::WithoutExport);
  AboutItem().Click();
  const auto boxes = ide->MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Export \"ShowQorbAboutDialog\" not found in the About DLL.");
  EXPECT_EQ(AboutRecord().Loads, 1);
  EXPECT_EQ(AboutRecord().Unloads, 1);
  EXPECT_FALSE(AboutLibraryMapped());
}

TEST_F(AboutCommandTest, GermanIDEGermanMenuTagAndMessages) {
  Start(TAboutLibrary::Recording, u"de-DE");
  AboutItem(u"Qorb/Ueber Qorb...").Click();
  ASSERT_EQ(AboutRecord().Calls.size(), 1u);
  EXPECT_EQ(AboutRecord().Calls[0].LanguageTag, u"de");

  fs::remove(AboutLibraryPath());
  AboutItem(u"Qorb/Ueber Qorb...").Click();
  const auto boxes = ide->MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text.ToUtf8().rfind("About-DLL konnte nicht geladen werden:\r\n", 0), 0u);
}

}  // namespace
