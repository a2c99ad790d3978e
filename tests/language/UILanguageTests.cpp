#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "ide/IDE.h"
#include "otahelper/Qorb.OTAHelper.LocaleOverride.h"
#include "otahelper/Qorb.OTAHelper.UILanguage.h"
#include "tests/language/LanguageTest.h"
#include "tests/support/TestEnv.h"
#include "toolsapi/Globals.h"

namespace {

// Services objects that raise on every query, and that lack the IDE
// services interface.
class TFailingIDE : public TInterfacedObjectOf<IBorlandIDEServices> {
 public:
  HRESULT QueryInterface(const GUID&, void**) override { throw std::runtime_error("the IDE cannot tell"); }
};
class TBareIDE : public TInterfacedObjectOf<IBorlandIDEServices> {};

class UILanguageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    BorlandIDEServices.reset();
    SetOverride(nullptr);
    SetLocLanguage(llEnglish);
  }

  // The test program's own override variable; a fresh decision follows.
  void SetOverride(const char* Value) {
    const std::string name = LocaleOverrideVariable(u"").ToUtf8();
    Value ? SetTestEnv(name.c_str(), Value) : UnsetTestEnv(name.c_str());
    ResetUILanguageDetection();
  }

  // A fresh decision with the IDE answering Tag and the override Override.
  TLocLanguage Decide(const char16_t* Tag, const char* Override = nullptr) {
    ide.SetUILanguage(Tag);
    BorlandIDEServices = ide.ServicesObject();
    SetOverride(Override);
    return DetectUILanguage();
  }

  TIDE ide;
};

TEST_F(UILanguageTest, TheIDEsFirstTagDecidesAnEmptyOneTheOverride) {
  const struct {
    const char16_t* Tag;
    const char* Override;
    TLocLanguage Expected;
  } cases[] = {
      {u"de-AT", nullptr, llGerman}, {u"DE", nullptr, llGerman}, {u"de,en", nullptr, llGerman},
      // Any other answer of the IDE is English, whatever the override says.
      {u"en-US,de", "de-DE", llEnglish}, {u"fr", "de-DE", llEnglish}, {u"de_DE", "de-DE", llEnglish},
      {u"", "de-DE", llGerman}, {u"-de", "de-DE", llGerman}, {u"", "  de , en", llGerman},
      {u"", "en-GB", llEnglish}, {u"", nullptr, llEnglish}, {u" , de", nullptr, llEnglish},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Decide(c.Tag, c.Override), c.Expected)
        << UnicodeString(c.Tag).ToUtf8() << " / " << (c.Override ? c.Override : "none");
}

TEST_F(UILanguageTest, WithoutTheIDEServicesTheOverrideDecidesAndTheDecisionIsMadeOnce) {
  BorlandIDEServices = Make<TBareIDE>();
  SetOverride("de");
  EXPECT_EQ(DetectUILanguage(), llGerman);
  BorlandIDEServices.reset();
  SetOverride(nullptr);
  EXPECT_EQ(DetectUILanguage(), llEnglish);

  // A failing query is English once and for all.
  BorlandIDEServices = Make<TFailingIDE>();
  SetOverride("de");
  EXPECT_EQ(DetectUILanguage(), llEnglish);
  ide.SetUILanguage(u"de");
  BorlandIDEServices = ide.ServicesObject();
  EXPECT_EQ(DetectUILanguage(), llEnglish);

  EXPECT_EQ(Decide(u"de-DE"), llGerman);
  ide.SetUILanguage(u"en");
  InitLocLanguage();
  EXPECT_EQ(LocLanguage(), llGerman);
}

TEST(LocaleOverride, VariableNamedAfterTheExecutable) {
  EXPECT_EQ(LocaleOverrideVariable(u"/opt/ide/qorb-ide"), u"QORB_IDE_LOCALE");
  EXPECT_EQ(LocaleOverrideVariable(u"studio.exe"), u"STUDIO_EXE_LOCALE");
  // The running program's own name, with its extension where it has one.
  const std::u16string own(LocaleOverrideVariable(u"").view());
  EXPECT_TRUE(own == u"LANGUAGE_TESTS_LOCALE" || own == u"LANGUAGE_TESTS_EXE_LOCALE");
  SetTestEnv("SOME_IDE_LOCALE", "de-CH");
  EXPECT_EQ(GetLocaleOverride(u"/usr/bin/some-ide"), u"de-CH");
  UnsetTestEnv("SOME_IDE_LOCALE");
}

}  // namespace
