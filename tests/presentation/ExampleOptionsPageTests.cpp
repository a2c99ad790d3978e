// The example options page plug-in, loaded into the simulated IDE as the
// host would load it, and opened in the IDE's options dialog.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "ide/OptionsDialog.h"
#include "ide/UIServices.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "tests/presentation/SimulatedIde.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"

namespace {

class ExampleOptionsPage : public SimulatedIdeTest {
 protected:
  void Load() {
    library = dlopen(QORB_OPTIONS_EXAMPLE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto init = reinterpret_cast<void (*)(const TGetInterface*)>(dlsym(library, "InitPlugin"));
    ASSERT_NE(init, nullptr);
    const TGetInterface nothing;
    init(&nothing);
  }
  void TearDown() override {
    if (library) {
      reinterpret_cast<void (*)()>(dlsym(library, "Shutdown"))();
      EXPECT_TRUE(Dialog().Pages().empty());
      dlclose(library);
      EXPECT_EQ(dlopen(QORB_OPTIONS_EXAMPLE, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the example stayed loaded";
    }
    SimulatedIdeTest::TearDown();
  }
  TOptionsDialog& Dialog() { return *ide->Services().Service<TOptionsDialog>(); }

  void* library = nullptr;
};

}  // namespace

TEST_F(ExampleOptionsPage, LoadsValidatesAndSavesItsSetting) {
  Load();
  ASSERT_EQ(Dialog().Pages().size(), 1u);
  EXPECT_EQ(Dialog().Pages()[0].Area, u"Qorb");
  EXPECT_EQ(Dialog().Pages()[0].Caption, u"Logging");

  int loaded = -2;
  TOptionsPageRun run = Dialog().OpenPage(u"Qorb", u"Logging", true, [&](TCustomFrame& f, const TOptionsPageRun& r) {
    auto* list = dynamic_cast<TListBox*>(f.FindComponent(u"lbLogLevel"));
    ASSERT_NE(list, nullptr);
    if (r.Validated) return;
    loaded = list->ItemIndex();
    list->SetItemIndex(3);
  });
  EXPECT_EQ(run.FrameClassName, u"TExampleOptionsFrame");
  EXPECT_EQ(loaded, 1);
  EXPECT_TRUE(run.Accepted);

  // The stored choice comes back; with none chosen the page says so.
  int calls = 0;
  run = Dialog().OpenPage(u"Qorb", u"Logging", true, [&](TCustomFrame& f, const TOptionsPageRun&) {
    if (calls++ > 0) return;
    auto* list = dynamic_cast<TListBox*>(f.FindComponent(u"lbLogLevel"));
    loaded = list->ItemIndex();
    list->SetItemIndex(-1);
  });
  EXPECT_EQ(loaded, 3);
  EXPECT_FALSE(run.Accepted);
  const std::vector<TShownDialog> shown = ide->Services().Service<TUIServices>()->Dialogs();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, u"Choose the lowest log level.");
}

TEST_F(ExampleOptionsPage, SpeaksTheIdesLanguage) {
  ide->SetUILanguage(UnicodeString(u"de-DE"));
  Load();
  ASSERT_EQ(Dialog().Pages().size(), 1u);
  EXPECT_EQ(Dialog().Pages()[0].Caption, u"Protokoll");
  UnicodeString label, item;
  Dialog().OpenPage(u"Qorb", u"Protokoll", false, [&](TCustomFrame& f, const TOptionsPageRun&) {
    label = static_cast<TControl*>(f.FindComponent(u"lblLogLevel"))->Caption();
    item = dynamic_cast<TListBox*>(f.FindComponent(u"lbLogLevel"))->Items()->Strings(2);
  });
  EXPECT_EQ(label, u"Niedrigste Stufe, die das Beispiel protokolliert:");
  EXPECT_EQ(item, u"Warnung");
}
