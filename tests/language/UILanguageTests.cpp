#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "otahelper/Qorb.OTAHelper.LocaleOverride.h"
#include "otahelper/Qorb.OTAHelper.UILanguage.h"
#include "rtl/InterfacedObject.h"
#include "tests/language/Printing.h"
#include "toolsapi/Globals.h"
#include "toolsapi/OTAServices.h"

namespace {

// An IDE whose only interesting answer is its UI language.
class TFakeIDE : public TInterfacedObjectOf<IBorlandIDEServices, IOTAServices> {
 public:
  std::optional<std::u16string> Language;  // none: the query raises
  int Queries = 0;

  void GetUILanguage(UnicodeString& Result) override {
    ++Queries;
    if (!Language) throw std::runtime_error("the IDE cannot tell");
    Result = UnicodeString(*Language);
  }
  void GetProductIdentifier(UnicodeString& Result) override { Result.Clear(); }
  void GetIDEVersion(UnicodeString& Result) override { Result.Clear(); }
  void GetRootDirectory(UnicodeString& Result) override { Result.Clear(); }
  void GetBinDirectory(UnicodeString& Result) override { Result.Clear(); }
  HWND GetParentHandle() override { return nullptr; }
  void GetApplicationDataDirectory(UnicodeString& Result) override { Result.Clear(); }
  void GetTemplateDirectory(UnicodeString& Result) override { Result.Clear(); }
  bool IsValidIdent(UnicodeStringRef) override { return false; }
  void GetActiveDesignerType(UnicodeString& Result) override { Result.Clear(); }
  void GetLocalApplicationDataDirectory(UnicodeString& Result) override { Result.Clear(); }
  void GetDefaultProjectsDirectory(UnicodeString& Result) override { Result.Clear(); }
  void GetInstanceName(UnicodeString& Result) override { Result.Clear(); }
};

// Services object without the IDE services interface.
class TBareIDE : public TInterfacedObjectOf<IBorlandIDEServices> {};

class UILanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    variable = LocaleOverrideVariable(u"").ToUtf8();
    ::unsetenv(variable.c_str());
    ResetUILanguageDetection();
    SetLocLanguage(llEnglish);
  }
  void TearDown() override {
    BorlandIDEServices.reset();
    ::unsetenv(variable.c_str());
    ResetUILanguageDetection();
    SetLocLanguage(llEnglish);
  }

  // A fresh decision with the IDE answering Tag and the override Override.
  TLocLanguage Decide(std::optional<std::u16string> Tag, const char* Override = nullptr) {
    ide = Make<TFakeIDE>();
    ide->Language = std::move(Tag);
    BorlandIDEServices = ComPtr<IBorlandIDEServices>(ide.get());
    if (Override)
      ::setenv(variable.c_str(), Override, 1);
    else
      ::unsetenv(variable.c_str());
    ResetUILanguageDetection();
    return DetectUILanguage();
  }

  std::string variable;
  ComPtr<TFakeIDE> ide;
};

TEST(NormalizeLanguageTag, PrimaryCodeOfTheFirstTag) {
  EXPECT_EQ(NormalizeLanguageTag(u"de-DE"), u"de");
  EXPECT_EQ(NormalizeLanguageTag(u" DE "), u"de");
  EXPECT_EQ(NormalizeLanguageTag(u"en-US,de"), u"en");
  EXPECT_EQ(NormalizeLanguageTag(u" , de"), u"");
  EXPECT_EQ(NormalizeLanguageTag(u"-de"), u"");
  EXPECT_EQ(NormalizeLanguageTag(u"de_DE"), u"de_de");
  EXPECT_EQ(NormalizeLanguageTag(u"\t\r\n"), u"");
  // Only the first piece is trimmed, and only before the cut.
  EXPECT_EQ(NormalizeLanguageTag(u"  fr -CA, de"), u"fr ");
}

TEST_F(UILanguageTest, GermanTagsFromTheIDE) {
  EXPECT_EQ(Decide(u"de-AT"), llGerman);
  EXPECT_EQ(Decide(u"DE"), llGerman);
  EXPECT_EQ(Decide(u"de,en"), llGerman);
}

TEST_F(UILanguageTest, AnyOtherIDELanguageIsEnglishWithoutAskingTheOverride) {
  EXPECT_EQ(Decide(u"en-US,de", "de-DE"), llEnglish);
  EXPECT_EQ(Decide(u"fr", "de-DE"), llEnglish);
  EXPECT_EQ(Decide(u"de_DE", "de-DE"), llEnglish);
}

TEST_F(UILanguageTest, AnEmptyAnswerFallsBackToTheOverride) {
  EXPECT_EQ(Decide(u"", "de-DE"), llGerman);
  EXPECT_EQ(Decide(u"-de", "de-DE"), llGerman);
  EXPECT_EQ(Decide(u"", "  de , en"), llGerman);
  EXPECT_EQ(Decide(u"", "en-GB"), llEnglish);
  EXPECT_EQ(Decide(u"", nullptr), llEnglish);
}

TEST_F(UILanguageTest, WithoutTheIDEServicesTheOverrideDecides) {
  BorlandIDEServices = Make<TBareIDE>();
  ::setenv(variable.c_str(), "de", 1);
  EXPECT_EQ(DetectUILanguage(), llGerman);

  BorlandIDEServices.reset();
  ::unsetenv(variable.c_str());
  ResetUILanguageDetection();
  UnicodeString code = u"stale";
  EXPECT_FALSE(TryGetIDELanguageTag(code));
  EXPECT_TRUE(code.IsEmpty());
  EXPECT_EQ(GetUILanguageCode(), u"");
  EXPECT_EQ(DetectUILanguage(), llEnglish);
}

TEST_F(UILanguageTest, AFailingQueryIsEnglishOnceAndForAll) {
  EXPECT_EQ(Decide(std::nullopt, "de"), llEnglish);
  EXPECT_EQ(ide->Queries, 1);
  ide->Language = u"de";
  EXPECT_EQ(DetectUILanguage(), llEnglish);
  EXPECT_EQ(ide->Queries, 1);
}

TEST_F(UILanguageTest, TheDecisionIsKeptAndHandedToTheTexts) {
  EXPECT_EQ(Decide(u"de-DE"), llGerman);
  ide->Language = u"en";
  EXPECT_EQ(DetectUILanguage(), llGerman);
  EXPECT_EQ(ide->Queries, 1);
  InitLocLanguage();
  EXPECT_EQ(LocLanguage(), llGerman);
  InitLocLanguage();
  EXPECT_EQ(LocLanguage(), llGerman);
}

TEST(LocaleOverride, VariableNamedAfterTheExecutable) {
  EXPECT_EQ(LocaleOverrideVariable(u"/opt/ide/qorb-ide"), u"QORB_IDE_LOCALE");
  EXPECT_EQ(LocaleOverrideVariable(u"studio.exe"), u"STUDIO_EXE_LOCALE");
  EXPECT_EQ(LocaleOverrideVariable(u"/opt/ide/"), u"");
  EXPECT_EQ(LocaleOverrideVariable(u""), u"LANGUAGE_TESTS_LOCALE");
  ::setenv("SOME_IDE_LOCALE", "de-CH", 1);
  EXPECT_EQ(GetLocaleOverride(u"/usr/bin/some-ide"), u"de-CH");
  ::unsetenv("SOME_IDE_LOCALE");
  EXPECT_EQ(GetLocaleOverride(u"/usr/bin/some-ide"), u"");
}

}  // namespace
