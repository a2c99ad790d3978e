#include <gtest/gtest.h>

#include <dlfcn.h>

#include "ide/IDE.h"
#include "ide/Library.h"
#include "ide/MenuTree.h"
#include "tests/ide/Fixtures.h"
#include "tests/ide/JournalService.h"
#include "toolsapi/ToolsAPI.h"
#include "vcl/Menus.h"

namespace {

using Events = std::vector<std::string>;
const std::string StandardMenu =
    "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\nHelp\n";

std::u16string U(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

class TLooseWizard : public TNotifierObjectOf<IOTAWizard> {
 public:
  void GetIDString(UnicodeString& Result) override { Result = u"Test.Loose"; }
  void GetName(UnicodeString& Result) override { Result = u"Loose"; }
  TWizardState GetState() override { return {wsEnabled}; }
  void Execute() override {}
};

}  // namespace

TEST(PackageLoader, LoadsRegistersAndUnloadsInOrder) {
  ASSERT_FALSE(IsLibraryMapped(GoodPackage));
  TIDE ide;
  TJournalService& journal = ide.Services().Add<TJournalService>();

  ASSERT_TRUE(ide.LoadPackage(GoodPackage)) << (ide.Errors().empty() ? "" : ide.Errors()[0].ToUtf8());
  EXPECT_TRUE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(journal.Events, (Events{"Initialize", "Register", "wizard created"}));
  EXPECT_EQ(BorlandIDEServices.get(), ide.ServicesObject().get());
  ASSERT_EQ(ide.Packages().size(), 1u);
  const std::vector<TRegisteredWizard> wizards = ide.Wizards();
  ASSERT_EQ(wizards.size(), 1u);
  EXPECT_EQ(wizards[0].IDString, u"Fixture.Wizard");
  EXPECT_EQ(wizards[0].Name, u"Fixture Wizard");
  EXPECT_EQ(wizards[0].Package, GoodPackage);
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()),
            "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\nFixture\nHelp\n");
  // Already loaded, under its own name or through a link: nothing happens.
  const std::filesystem::path link = std::filesystem::temp_directory_path() / "qorb-ide-test-link.bpl";
  std::filesystem::remove(link);
  std::filesystem::create_symlink(GoodPackage, link);
  EXPECT_TRUE(ide.LoadPackage(GoodPackage));
  EXPECT_TRUE(ide.LoadPackage(link));
  std::filesystem::remove(link);
  EXPECT_EQ(journal.Events.size(), 3u);
  EXPECT_EQ(ide.Packages().size(), 1u);

  EXPECT_TRUE(ide.Shutdown().empty());
  // The wizard goes first, then the units are finalised with the services
  // still published, then the library is unmapped and the globals cleared.
  EXPECT_EQ(journal.Events,
            (Events{"Initialize", "Register", "wizard created", "Destroyed", "wizard destroyed", "Finalize"}));
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(BorlandIDEServices, nullptr);
  EXPECT_TRUE(ide.Packages().empty());
  EXPECT_TRUE(ide.Wizards().empty());
  EXPECT_TRUE(ide.Errors().empty());
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()), StandardMenu);
  EXPECT_FALSE(ide.LoadPackage(GoodPackage));  // not after shut-down
}

TEST(PackageLoader, RegistrationWithoutNativeServicesIsReportedAndTheIDEGoesOn) {
  TIDE ide;
  TJournalService& journal = ide.Services().Add<TJournalService>();
  ide.Services().SetEnabled(INTAServices::IID, false);

  EXPECT_FALSE(ide.LoadPackage(GoodPackage));
  const UnicodeString expected(u"Registration procedure, Fixture.Package.Register in package " + U(GoodPackage) +
                               u" raised exception class EIntfCastError: Interface not supported.");
  ASSERT_EQ(ide.Errors().size(), 1u);
  EXPECT_EQ(ide.Errors()[0], expected);
  const std::vector<TShownMessageBox> boxes = ide.MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, expected);
  EXPECT_EQ(boxes[0].Caption, u"Error");

  // Finalised and unloaded at once; nothing is left behind.
  EXPECT_EQ(journal.Events, (Events{"Initialize", "Register", "Finalize"}));
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(BorlandIDEServices, nullptr);
  EXPECT_TRUE(ide.Packages().empty());
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()), StandardMenu);

  // The IDE goes on: with the service back, the same package loads.
  ide.Services().SetEnabled(INTAServices::IID, true);
  EXPECT_TRUE(ide.LoadPackage(GoodPackage));
  EXPECT_TRUE(ide.Shutdown().empty());
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
}

TEST(PackageLoader, AWizardRegisteredBeforeRegisterRaisesIsReleasedBeforeFinalize) {
  TIDE ide;
  TJournalService& journal = ide.Services().Add<TJournalService>();
  ASSERT_TRUE(ide.LoadPackage(GoodPackage));  // a second package stays loaded meanwhile

  EXPECT_FALSE(ide.LoadPackage(RaisingPackage));
  ASSERT_EQ(ide.Errors().size(), 1u);
  EXPECT_EQ(ide.Errors()[0], UnicodeString(u"Registration procedure, Fixture.Raising.Register in package " +
                                           U(RaisingPackage) +
                                           u" raised exception class runtime_error: register failed on purpose."));
  EXPECT_EQ(journal.Events, (Events{"Initialize", "Register", "wizard created",                       // good
                                    "Initialize", "Register", "wizard created", "Destroyed",        // raising
                                    "wizard destroyed", "Finalize"}));
  EXPECT_FALSE(IsLibraryMapped(RaisingPackage));
  // The other package is untouched and the globals stay published for it.
  EXPECT_TRUE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(BorlandIDEServices.get(), ide.ServicesObject().get());
  EXPECT_EQ(ide.Wizards().size(), 1u);
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()),
            "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\nFixture\nHelp\n");
  EXPECT_TRUE(ide.Shutdown().empty());
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
}

TEST(PackageLoader, MissingFilesAndForeignLibraries) {
  TIDE ide;
  const std::filesystem::path missing = FixturePath("no-such-package.bpl");
  EXPECT_FALSE(ide.LoadPackage(missing));
  ASSERT_EQ(ide.Errors().size(), 1u);
  EXPECT_EQ(ide.Errors()[0].view().substr(0, 19), u"Can't load package ");
  EXPECT_NE(ide.Errors()[0].view().find(U(missing) + u".\n"), std::u16string_view::npos);
  EXPECT_EQ(BorlandIDEServices, nullptr);

  // A library without package entries loads and unloads quietly, and its
  // dependencies' exports are not taken for its own.
  std::string error;
  TLibrary lib = TLibrary::Open(RaisingPackage, error);
  ASSERT_TRUE(lib.IsOpen()) << error;
  EXPECT_NE(lib.OwnExport("Register"), nullptr);
  void* same = dlopen(RaisingPackage.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(same, nullptr);
  EXPECT_NE(dlsym(same, "malloc"), nullptr);  // found among its dependencies...
  dlclose(same);
  EXPECT_EQ(lib.OwnExport("malloc"), nullptr);  // ...but it is not the package's
  lib.Close();
  EXPECT_FALSE(IsLibraryMapped(RaisingPackage));
  EXPECT_TRUE(ide.Shutdown().empty());
}

TEST(PackageLoader, ReportsWhatOutlivesTheUnload) {
  TIDE ide;
  ASSERT_TRUE(ide.LoadPackage(GoodPackage));
  // Someone else keeps the library mapped, and a wizard registered outside
  // any package entry is kept alive by its creator.
  void* pin = dlopen(GoodPackage.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(pin, nullptr);
  ComPtr<IOTAWizard> loose = Make<TLooseWizard>();
  RegisterPackageWizard(loose);
  ASSERT_EQ(ide.Wizards().size(), 2u);
  EXPECT_TRUE(ide.Wizards()[0].Package.empty());

  const std::vector<UnicodeString> leftovers = ide.Shutdown();
  dlclose(pin);
  ASSERT_EQ(leftovers.size(), 2u);
  EXPECT_EQ(leftovers[0], u"wizard Test.Loose is still referenced 1 time(s) after the IDE released it");
  EXPECT_EQ(leftovers[1], UnicodeString(u"package " + U(GoodPackage) + u" is still loaded after unloading"));
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
}
