// The About command end to end: the simulated IDE loads the real package
// from a folder of the test's own, with two plug-ins and an About library
// beside it, and the test clicks the menu item.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "ide/IDE.h"
#include "tests/support/Raised.h"
#include "ide/MainMenu.h"
#include "tests/language/LanguageTest.h"
#include "tests/language/fixtures/AboutHandler.h"
#include "tests/support/TestSupport.h"
#include "winapi/LastError.h"
#include "vcl/Menus.h"
#include "winapi/SysColors.h"

namespace fs = std::filesystem;

namespace {

class AboutCommandTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ide.reset();
    AboutHandler() = nullptr;
    if (!folder.empty()) fs::remove_all(folder);
  }

  // A package folder with both plug-ins and Library (if any) as the About
  // library, and an IDE that has loaded the package in Language.
  void Start(const char* Library, const char16_t* Language = u"en") {
    TearDown();
    folder = fs::temp_directory_path() / ("qorb-about-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Plugins");
    fs::copy_file(QORB_PACKAGE_PATH, folder / "Qorb_DelphiMain.bpl");
    fs::copy_file(QORB_FIXTURE_ICONPLUGIN, folder / "Plugins" / "iconplugin.dll");
    fs::copy_file(QORB_FIXTURE_PLAINPLUGIN, folder / "Plugins" / "plainplugin.dll");
    if (Library) fs::copy_file(Library, AboutLibraryPath());
    aboutItem = Language[0] == u'd' ? u"Qorb/Ueber Qorb..." : u"Qorb/About Qorb...";
    TIDEOptions options;
    options.UILanguage = UnicodeString(Language);
    options.RootDirectory = folder;
    ide = std::make_unique<TIDE>(std::move(options));
    ASSERT_TRUE(ide->LoadPackage(folder / "Qorb_DelphiMain.bpl"));
    ide->MessageBoxes().Clear();
  }

  fs::path AboutLibraryPath() const { return folder / "DelphiMainProc.dll"; }

  void Click() {
    TMenuItem* item = FindMenuItemByPath(ide->MainMenu(), aboutItem);
    if (!item) throw std::logic_error("no About item");
    item->Click();
  }


  fs::path folder;
  const char16_t* aboutItem = nullptr;
  std::unique_ptr<TIDE> ide;
};

// Every text is there, empty or not.
std::u16string_view Text(const char16_t* p) { return p ? p : u"(null)"; }

TEST_F(AboutCommandTest, EveryClickHandsTheRecordToAFreshlyLoadedLibraryAndCleansUp) {
  Start(QORB_FIXTURE_RECORDING_ABOUT);
  const size_t gdiBefore = GdiLiveObjectCount();
  HBITMAP icon = nullptr;
  AboutHandler() = [&](HWND parent, const TQorbAboutInfo& info) {
    EXPECT_EQ(info.StructSize, 64);
    EXPECT_EQ(Text(info.LanguageTag), u"en");
    EXPECT_EQ(parent, ide->ParentHandle());
    EXPECT_EQ(Text(info.Company), u"Tessary Systems");
    EXPECT_EQ(info.PluginCount, 2);
    for (int i = 0; i < info.PluginCount; ++i) {
      const TQorbPluginInfo& p = info.Plugins[i];
      const bool plain = Text(p.PluginName) == u"Plain Plug-in";
      // No icon: no handle. An empty company: an empty text.
      EXPECT_EQ(Text(p.WebURL), plain ? u"" : u"Tessary Systems");
      EXPECT_EQ(p.Image == nullptr, plain);
      if (!plain) icon = p.Image;
    }
    // The icon drawn on the window colour: its clear corner is that colour,
    // its corner of (200, 100, 50) at alpha 128 a blend of both.
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(icon, sizeof bm, &bm), static_cast<int>(sizeof bm));
    if (!bm.bmBits || bm.bmBitsPixel != 32) return 1;
    const auto* corner = static_cast<const uint8_t*>(bm.bmBits);
    const uint8_t* clear = corner + 31 * bm.bmWidthBytes + 31 * 4;
    const DWORD window = GetSysColor(COLOR_WINDOW);
    const int blended[] = {50, 100, 200};  // blue, green, red
    for (int k = 0; k < 3; ++k) {
      const int w = (window >> (16 - 8 * k)) & 0xFF;
      EXPECT_EQ(clear[k], w) << k;
      EXPECT_NEAR(corner[k], (blended[k] + w) / 2, 1) << k;
    }
    return 0;  // a failing dialog is not reported
  };
  Click();
  ASSERT_NE(icon, nullptr);
  BITMAP bm;
  EXPECT_EQ(GetObjectW(icon, sizeof bm, &bm), 0);
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore);
  EXPECT_FALSE(IsLibraryMapped(AboutLibraryPath()));

  // Every click loads the library again; an error of the dialog reaches the
  // click after the unload.
  AboutHandler() = [&](HWND, const TQorbAboutInfo&) -> int32_t { throw std::runtime_error("the dialog failed"); };
  EXPECT_EQ(Raised([&] { Click(); }), "runtime_error: the dialog failed");
  EXPECT_FALSE(IsLibraryMapped(AboutLibraryPath()));
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore);
  EXPECT_TRUE(ide->MessageBoxes().Shown().empty());
}

// A plug-in stands in for a library without the export.
TEST_F(AboutCommandTest, ALibraryThatFailsIsOneErrorBoxAndUnloaded) {
  const struct {
    const char* Library;
    const char16_t* Language;
    std::string Text;  // a missing library adds its path and the error
  } cases[] = {
      {nullptr, u"en", "Could not load the About DLL:"},
      {nullptr, u"de", "About-DLL konnte nicht geladen werden:"},
      {QORB_FIXTURE_PLAINPLUGIN, u"en", "Export \"ShowQorbAboutDialog\" not found in the About DLL."},
  };
  for (const auto& c : cases) {
    Start(c.Library, c.Language);
    Click();
    const auto boxes = ide->MessageBoxes().Shown();
    ASSERT_EQ(boxes.size(), 1u);
    // The system's own text for the error: Wine words it otherwise than Windows.
    const std::string error = "\r\n" + AboutLibraryPath().string() + "\r\n\r\nWin32 error: 126 (" +
                              Utf16ToUtf8(SysErrorMessage(ERROR_MOD_NOT_FOUND)) + ")";
    EXPECT_EQ(boxes[0].Text.ToUtf8(), c.Text + (c.Library ? "" : error));
    EXPECT_TRUE(boxes[0].Type & 0x10) << "an error box";
    EXPECT_FALSE(IsLibraryMapped(AboutLibraryPath()));
  }
}

}  // namespace
