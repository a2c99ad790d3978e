#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "ide/OptionsDialog.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "otahelper/Qorb.OTAHelper.Options.h"
#include "tests/presentation/SimulatedIde.h"
#include "tests/support/Raised.h"
#include "toolsapi/ObjectInterfaces.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"

namespace {

std::vector<std::string> journal;
bool valid;  // what the frames' validation answers, with this message
UnicodeString message;
// The page whose frame is saving: the frame is still attached to it then.
TQorbOptionsPageBase* owningPage;
bool saveFails;

// Records what the page asks of it. The test program's resources translate
// its list's entry.
class TRecordingFrame : public TFrame, public TObjectInterfaces<IQorbOptionsFrame> {
 public:
  explicit TRecordingFrame(TComponent* AOwner) : TFrame(AOwner) {
    list = new TListBox(this);
    list->SetName(u"lbChoices");
    list->SetParent(this);
    list->Items()->Add(u"Red");
  }
  void LoadSettings() override { journal.push_back("load"); }
  void SaveSettings() override {
    journal.push_back(owningPage && owningPage->GetOptionsFrame() ? "save" : "save detached");
    if (saveFails) throw std::runtime_error("disk full");
  }
  bool ValidateContents(UnicodeString& Msg) override {
    journal.push_back("validate");
    Msg = message;
    return valid;
  }
  TListBox* list;
};

class TRecordingPage : public TQorbOptionsPageBase {
 public:
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<TRecordingFrame>; }
  UnicodeString PageCaption() override { return UnicodeString(u"General"); }
};

// An options dialog whose first withdrawal fails.
class TBusyDialog : public TInterfacedObjectOf<IBorlandIDEServices, INTAEnvironmentOptionsServices> {
 public:
  std::vector<INTAAddInOptions*> withdrawn;
  void RegisterAddInOptions(INTAAddInOptions*) override {}
  void UnregisterAddInOptions(INTAAddInOptions* O) override {
    withdrawn.push_back(O);
    if (withdrawn.size() == 1) throw std::runtime_error("busy");
  }
};

class OptionsPage : public SimulatedIdeTest {
 protected:
  OptionsPage() { journal.clear(), valid = true, message.Clear(), owningPage = page.get(), saveFails = false; }
  void TearDown() override {
    UnregisterOptionsPages();
    SetLocLanguage(llEnglish);
    SimulatedIdeTest::TearDown();
  }
  TOptionsDialog& Dialog() { return Service<TOptionsDialog>(); }

  ComPtr<TRecordingPage> page = Make<TRecordingPage>();
};

}  // namespace

TEST_F(OptionsPage, OpenedUnderQorbTranslatedOnceOnTheFormLoadedValidatedAndSaved) {
  SetLocLanguage(llGerman);
  ASSERT_TRUE(RegisterOptionsPage(page));
  ASSERT_EQ(Dialog().Pages().size(), 1u);
  const TOptionsPageInfo info = Dialog().Pages()[0];
  EXPECT_EQ(std::tuple(info.Area, info.Caption, info.HelpContext, info.IncludeInIDEInsight),
            std::tuple(u"Qorb", u"General", 0, true));

  UnicodeString shownItem;
  const TOptionsPageRun run = Dialog().OpenPage(u"Qorb", u"General", true, [&](TCustomFrame& f, const TOptionsPageRun&) {
    shownItem = static_cast<TRecordingFrame&>(f).list->Items()->Strings(0);
  });
  EXPECT_TRUE(run.Accepted);
  EXPECT_EQ(run.FrameClassName, u"TRecordingFrame");
  EXPECT_EQ(shownItem, u"Rot");
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "validate", "save"}));
  UnregisterOptionsPages();
  EXPECT_TRUE(Dialog().Pages().empty());
}

TEST_F(OptionsPage, FailedValidationShowsItsMessageEvenEmptyInTheIdesDialogOrElseAMessageBox) {
  valid = false;
  ASSERT_TRUE(RegisterOptionsPage(page));
  EXPECT_FALSE(Dialog().OpenPage(u"Qorb", u"General", true).Accepted);
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "validate"}));
  const std::vector<TShownDialog> shown = Service<TUIServices>().Dialogs();
  ASSERT_EQ(shown.size(), 1u);
  // An error with only OK ({mbOK} is 4).
  EXPECT_EQ(std::tuple(shown[0].Text, shown[0].Type, shown[0].Buttons, shown[0].HelpCtx), std::tuple(u"", mtError, 4, 0));

  message = u"Choose a colour.";
  ASSERT_TRUE(ide.Services().SetEnabled(INTAIDEUIServices::IID, false));
  ide.MessageBoxes().Clear();  // the IDE's dialog was one too
  EXPECT_FALSE(Dialog().OpenPage(u"Qorb", u"General", true).Accepted);
  const std::vector<TShownMessageBox> boxes = ide.MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  // MB_OK | MB_ICONERROR is 16.
  EXPECT_EQ(std::tuple(boxes[0].Caption, boxes[0].Text, boxes[0].Type), std::tuple(u"Qorb", u"Choose a colour.", 16u));
  EXPECT_EQ(Service<TUIServices>().Dialogs().size(), 1u);
}

TEST_F(OptionsPage, FrameIsThemedAndLoadedSavedOnlyWhenAcceptedAndAlwaysForgotten) {
  TRecordingFrame frame(nullptr);
  page->FrameCreated(&frame);
  const size_t themed = Service<TThemingServices>().Themed().size();
  EXPECT_GT(themed, 0u);
  EXPECT_TRUE(page->GetOptionsFrame());
  page->DialogClosed(false);
  EXPECT_FALSE(page->GetOptionsFrame());

  Service<TThemingServices>().SetThemingEnabled(false);
  page->FrameCreated(&frame);
  EXPECT_EQ(Service<TThemingServices>().Themed().size(), themed);
  page->DialogClosed(true);
  EXPECT_FALSE(page->GetOptionsFrame());
  // A save that raises still leaves the frame forgotten.
  saveFails = true;
  page->FrameCreated(&frame);
  EXPECT_EQ(Raised([&] { page->DialogClosed(true); }), "runtime_error: disk full");
  EXPECT_FALSE(page->GetOptionsFrame());

  // A frame without the contract, or none, is neither loaded, validated nor saved.
  TFrame plain(nullptr);
  for (TFrame* other : {&plain, static_cast<TFrame*>(nullptr)}) {
    page->FrameCreated(other);
    EXPECT_FALSE(page->GetOptionsFrame());
    EXPECT_TRUE(page->ValidateContents());
    page->DialogClosed(true);
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "load", "save", "load", "save"}));
}

TEST_F(OptionsPage, AbsentPageOrDialogRegistersNothingAndWithdrawalForgetsTheListInOrderWhateverFails) {
  EXPECT_FALSE(RegisterOptionsPage(nullptr));
  BorlandIDEServices = nullptr;
  EXPECT_FALSE(RegisterOptionsPage(page));
  EXPECT_EQ(page->RefCount(), 1);

  BorlandIDEServices = ide.ServicesObject();
  ASSERT_TRUE(RegisterOptionsPage(page));
  EXPECT_EQ(page->RefCount(), 3);  // the dialog's and the list's
  BorlandIDEServices = nullptr;
  UnregisterOptionsPages();
  EXPECT_EQ(page->RefCount(), 2);
  BorlandIDEServices = ide.ServicesObject();
  UnregisterOptionsPages();
  EXPECT_EQ(Dialog().Pages().size(), 1u);
  Dialog().Clear();

  // Pages are withdrawn in order even when one withdrawal fails.
  auto busy = Make<TBusyDialog>();
  BorlandIDEServices = busy.As<IBorlandIDEServices>();
  auto second = Make<TRecordingPage>();
  ASSERT_TRUE(RegisterOptionsPage(page));
  ASSERT_TRUE(RegisterOptionsPage(second));
  EXPECT_NO_THROW(UnregisterOptionsPages());
  EXPECT_EQ(busy->withdrawn, (std::vector<INTAAddInOptions*>{page.get(), second.get()}));
  EXPECT_EQ(page->RefCount(), 1);
  EXPECT_EQ(second->RefCount(), 1);
  UnregisterOptionsPages();
  EXPECT_EQ(busy->withdrawn.size(), 2u);
}
