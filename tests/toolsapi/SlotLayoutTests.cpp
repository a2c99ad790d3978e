#include <gtest/gtest.h>

#include "rtl/InterfacedObject.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ToolsAPI.h"

namespace {

// Every operation answers something that names its slot.
class TFakeServices : public TInterfacedObjectOf<IBorlandIDEServices, INTAServices, IOTAServices> {
 public:
  int updates = 0;
  UnicodeString foundName;

  void MenuBeginUpdate() override { ++updates; }
  void MenuEndUpdate() override { --updates; }
  TMenuItem* FindMenuItem(UnicodeStringRef Name) override {
    foundName = UnicodeString(Name);
    return reinterpret_cast<TMenuItem*>(0x55);
  }
  TMainMenu* GetMainMenu() override { return reinterpret_cast<TMainMenu*>(0x66); }

  void GetProductIdentifier(UnicodeString& R) override { R = u"s3"; }
  void GetIDEVersion(UnicodeString& R) override { R = u"s4"; }
  void GetRootDirectory(UnicodeString& R) override { R = u"s5"; }
  void GetBinDirectory(UnicodeString& R) override { R = u"s6"; }
  HWND GetParentHandle() override { return reinterpret_cast<HWND>(0x77); }
  void GetApplicationDataDirectory(UnicodeString& R) override { R = u"s8"; }
  void GetTemplateDirectory(UnicodeString& R) override { R = u"s9"; }
  bool IsValidIdent(UnicodeStringRef Ident) override { return Ident.view() == u"ok"; }
  void GetActiveDesignerType(UnicodeString& R) override { R = u"s11"; }
  void GetLocalApplicationDataDirectory(UnicodeString& R) override { R = u"s12"; }
  void GetDefaultProjectsDirectory(UnicodeString& R) override { R = u"s13"; }
  void GetInstanceName(UnicodeString& R) override { R = u"s14"; }
  void GetUILanguage(UnicodeString& R) override { R = u"de-DE"; }
};

using StringResultFn = void (*)(void* self, char16_t** result);

}  // namespace

TEST(ToolsApiLayout, NTAServicesMainMenuIsSlotSix) {
  ComPtr<TFakeServices> fake = Make<TFakeServices>();
  ComPtr<INTAServices> nta = fake.As<INTAServices>();
  ASSERT_TRUE(nta);
  void* p = nta.get();
  RawSlot<void (*)(void*)>(p, 3)(p);
  EXPECT_EQ(fake->updates, 1);
  RawSlot<void (*)(void*)>(p, 4)(p);
  EXPECT_EQ(fake->updates, 0);
  // A constant string parameter is the one string pointer, by value.
  UnicodeString name(u"HelpMenu");
  EXPECT_EQ(RawSlot<void* (*)(void*, const char16_t*)>(p, 5)(p, name.Raw()), reinterpret_cast<void*>(0x55));
  EXPECT_EQ(fake->foundName, u"HelpMenu");
  EXPECT_EQ(RawSlot<void* (*)(void*)>(p, 6)(p), reinterpret_cast<void*>(0x66));
}

TEST(ToolsApiLayout, IDEServicesParentWindowAndLanguageSlots) {
  ComPtr<TFakeServices> fake = Make<TFakeServices>();
  ComPtr<IOTAServices> ota = fake.As<IOTAServices>();
  ASSERT_TRUE(ota);
  void* p = ota.get();
  EXPECT_EQ(RawSlot<void* (*)(void*)>(p, 7)(p), reinterpret_cast<void*>(0x77));

  // The result variable's address comes right after the interface, and the
  // callee releases what it held before storing.
  UnicodeString lang(u"stale value");
  RawSlot<StringResultFn>(p, 15)(p, lang.put());
  EXPECT_EQ(lang, u"de-DE");
  UnicodeString held = UnicodeString::FromUtf8("shared");
  UnicodeString copy = held;  // count 2: storing over `copy` must drop one
  RawSlot<StringResultFn>(p, 15)(p, reinterpret_cast<char16_t**>(&copy));
  EXPECT_EQ(copy, u"de-DE");
  EXPECT_EQ(ustr::Header(held.Raw())->refCnt, 1);

  // The filler slots keep their order so that 7 and 15 stay where they are.
  const int stringSlots[] = {3, 4, 5, 6, 8, 9, 11, 12, 13, 14};
  for (int slot : stringSlots) {
    UnicodeString r;
    RawSlot<StringResultFn>(p, slot)(p, r.put());
    EXPECT_EQ(r.ToUtf8(), "s" + std::to_string(slot));
  }
  UnicodeString ok(u"ok");
  EXPECT_TRUE(RawSlot<bool (*)(void*, const char16_t*)>(p, 10)(p, ok.Raw()));
  EXPECT_FALSE(RawSlot<bool (*)(void*, const char16_t*)>(p, 10)(p, nullptr));
}
