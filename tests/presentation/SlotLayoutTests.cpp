// The slots the host calls by number: the welcome page's register (11),
// unregister (12) and make-view-frame (16), its painter (4), the view
// frame's caption (9) and content (11) slots, the options dialog's register
// (3) and unregister (4), and the options frame contract (3 to 5).
#include <gtest/gtest.h>

#include "otahelper/Qorb.OTAHelper.Options.h"
#include "rtl/InterfacedObject.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/EnvironmentOptions.h"
#include "toolsapi/ObjectInterfaces.h"
#include "toolsapi/WelcomePage.h"

namespace {

int lastSlot = 0;
const void* lastArg = nullptr;

class TWelcomeService : public TInterfacedObjectOf<INTAWelcomePagePluginService, INTAWelcomePagePainter> {
 public:
  int32_t GetPluginCount() override { return lastSlot = 3; }
  INTAWelcomePagePlugin* GetPlugin(int32_t) override { return lastSlot = 4, nullptr; }
  INTAWelcomePagePlugin* FindPlugin(UnicodeStringRef) override { return lastSlot = 5, nullptr; }
  bool IsPluginRegistered(UnicodeStringRef) override { return lastSlot = 6, false; }
  void GetActivePluginID(UnicodeString&) override { lastSlot = 7; }
  bool SetActivePluginID(UnicodeStringRef) override { return lastSlot = 8, false; }
  void ShowWelcomePage() override { lastSlot = 9; }
  bool GetWelcomePageShowing() override { return lastSlot = 10, false; }
  void RegisterPlugin(INTAWelcomePagePlugin* P) override { lastSlot = 11, lastArg = P; }
  void UnRegisterPlugin(UnicodeStringRef ID) override { lastSlot = 12, lastArg = ID.Raw(); }
  void GetPluginCaption(UnicodeString&, UnicodeStringRef) override { lastSlot = 13; }
  TColor GetBackgroundColor() override { return lastSlot = 14, clWindow; }
  TColor GetCaptionColor() override { return lastSlot = 15, clWindowText; }
  TFrame* CreateViewFrame(UnicodeStringRef ID, UnicodeStringRef, TWinControl* Parent) override {
    lastSlot = 16;
    lastArg = ID.Raw();
    return reinterpret_cast<TFrame*>(Parent);
  }
  void PaintBackground(TCanvas* C, TWinControl*, TColor Color, uint8_t Alpha) override {
    lastSlot = 104;
    lastArg = C;
    color = Color;
    alpha = Alpha;
  }
  TColor color = 0;
  uint8_t alpha = 0;
};

class TViewSlots : public TObjectInterfaces<INTAWelcomePageCaptionFrame> {
 public:
  void GetPluginID(UnicodeString&) override { lastSlot = 3; }
  int32_t GetCaptionHeight() override { return lastSlot = 4; }
  void SetCaptionHeight(int32_t) override { lastSlot = 5; }
  bool GetCaptionVisible() override { return lastSlot = 6, true; }
  void SetCaptionVisible(bool) override { lastSlot = 7; }
  TFrame* GetCaptionFrame() override { return lastSlot = 8, nullptr; }
  void SetCaptionFrame(TFrame* F) override { lastSlot = 9, lastArg = F; }
  TFrame* GetContentFrame() override { return lastSlot = 10, nullptr; }
  void SetContentFrame(TFrame* F) override { lastSlot = 11, lastArg = F; }
};

class TOptionsService : public TInterfacedObjectOf<INTAEnvironmentOptionsServices> {
 public:
  void RegisterAddInOptions(INTAAddInOptions* O) override { lastSlot = 3, lastArg = O; }
  void UnregisterAddInOptions(INTAAddInOptions* O) override { lastSlot = 4, lastArg = O; }
};

class TOptionsFrame : public TObjectInterfaces<IQorbOptionsFrame> {
 public:
  void LoadSettings() override { lastSlot = 3; }
  void SaveSettings() override { lastSlot = 4; }
  bool ValidateContents(UnicodeString& Msg) override {
    lastSlot = 5;
    Msg = u"why";
    return false;
  }
};

}  // namespace

TEST(PresentationSlots, WelcomePageServiceAndPainter) {
  auto service = Make<TWelcomeService>();
  void* s = static_cast<INTAWelcomePagePluginService*>(service.get());
  int marker = 0;
  RawSlot<void (*)(void*, void*)>(s, 11)(s, &marker);
  EXPECT_EQ(lastSlot, 11);
  EXPECT_EQ(lastArg, &marker);
  const UnicodeString id(u"Id");
  RawSlot<void (*)(void*, const char16_t*)>(s, 12)(s, id.Raw());
  EXPECT_EQ(lastSlot, 12);
  EXPECT_EQ(lastArg, id.Raw());
  EXPECT_EQ(RawSlot<void* (*)(void*, const char16_t*, const char16_t*, void*)>(s, 16)(s, id.Raw(), nullptr, &marker),
            &marker);
  EXPECT_EQ(lastSlot, 16);

  void* painter = static_cast<INTAWelcomePagePainter*>(service.get());
  RawSlot<void (*)(void*, void*, void*, int32_t, uint8_t)>(painter, 4)(painter, &marker, nullptr, 0x1FFFFFFF, 64);
  EXPECT_EQ(lastSlot, 104);
  EXPECT_EQ(service->color, 0x1FFFFFFF);
  EXPECT_EQ(service->alpha, 64);
}

TEST(PresentationSlots, ViewFrameCaptionAndContent) {
  TViewSlots view;
  void* v = static_cast<INTAWelcomePageCaptionFrame*>(&view);
  int frame = 0;
  RawSlot<void (*)(void*, void*)>(v, 9)(v, &frame);
  EXPECT_EQ(lastSlot, 9);
  RawSlot<void (*)(void*, void*)>(v, 11)(v, &frame);
  EXPECT_EQ(lastSlot, 11);
  EXPECT_EQ(lastArg, &frame);
  // Not counted: the owner frees such objects.
  EXPECT_EQ(view.AddRef(), -1);
  EXPECT_EQ(view.Release(), -1);
}

TEST(PresentationSlots, OptionsDialogAndOptionsFrame) {
  auto service = Make<TOptionsService>();
  void* s = static_cast<INTAEnvironmentOptionsServices*>(service.get());
  int page = 0;
  RawSlot<void (*)(void*, void*)>(s, 3)(s, &page);
  EXPECT_EQ(lastSlot, 3);
  RawSlot<void (*)(void*, void*)>(s, 4)(s, &page);
  EXPECT_EQ(lastSlot, 4);
  EXPECT_EQ(lastArg, &page);

  TOptionsFrame frame;
  void* f = static_cast<IQorbOptionsFrame*>(&frame);
  RawSlot<void (*)(void*)>(f, 3)(f);
  EXPECT_EQ(lastSlot, 3);
  RawSlot<void (*)(void*)>(f, 4)(f);
  EXPECT_EQ(lastSlot, 4);
  // Msg is an out string: the address of the caller's variable.
  UnicodeString msg;
  EXPECT_FALSE(RawSlot<bool (*)(void*, UnicodeString*)>(f, 5)(f, &msg));
  EXPECT_EQ(lastSlot, 5);
  EXPECT_EQ(msg, u"why");
}
