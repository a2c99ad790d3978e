#include <dlfcn.h>
#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/Library.h"
#include "workbench/MenuTree.h"
#include "tests/ide/Fixtures.h"
#include "toolsapi/ToolsAPI.h"
#include "vcl/PngImage.h"

namespace {
using Events = std::vector<std::string>;
const std::string Menu = "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\n";

UnicodeString RegisterFailure(const char16_t* unit, const std::filesystem::path& p, const char16_t* what) {
  return UnicodeString(u"Registration procedure, " + std::u16string(unit) + u".Register in package " +
                       Utf8ToUtf16(p.string()) + u" raised exception class " + what + u".");
}
}  // namespace

TEST(PackageLoader, LoadsRegistersAndUnloadsInOrderAndAFailedRegisterReleasesItsWizardFirst) {
  TIDE ide;
  TJournalService& journal = ide.Services().Add<TJournalService>();
  ASSERT_TRUE(ide.LoadPackage(GoodPackage));
  EXPECT_TRUE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()), Menu + "Fixture\nHelp\n");
  // Already loaded, under its own name or through a link: nothing happens.
  const std::filesystem::path link = std::filesystem::temp_directory_path() / "qorb-ide-test-link.bpl";
  std::filesystem::remove(link);
  std::filesystem::create_symlink(GoodPackage, link);
  EXPECT_TRUE(ide.LoadPackage(GoodPackage));
  EXPECT_TRUE(ide.LoadPackage(link));
  std::filesystem::remove(link);
  EXPECT_EQ(ide.Packages().size(), 1u);

  // A second package fails; the first stays loaded with the globals published.
  EXPECT_FALSE(ide.LoadPackage(RaisingPackage));
  EXPECT_EQ(ide.Errors(), std::vector<UnicodeString>{RegisterFailure(u"Fixture.Raising", RaisingPackage,
                                                                     u"runtime_error: register failed on purpose")});
  EXPECT_FALSE(IsLibraryMapped(RaisingPackage));
  EXPECT_EQ(BorlandIDEServices.get(), ide.ServicesObject().get());
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()), Menu + "Fixture\nHelp\n");

  EXPECT_TRUE(ide.Shutdown().empty());
  // The wizard goes first, then the units are finalised with the services
  // still published, then the library is unmapped and the globals cleared.
  EXPECT_EQ(journal.Events, (Events{"Initialize", "Register", "wizard created",               // good
                                    "Initialize", "Register", "wizard created", "Destroyed",  // raising
                                    "wizard destroyed", "Finalize",                           //
                                    "Destroyed", "wizard destroyed", "Finalize"}));           // good
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(BorlandIDEServices, nullptr);
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()), Menu + "Help\n");
  EXPECT_FALSE(ide.LoadPackage(GoodPackage));  // not after shut-down
}

TEST(PackageLoader, FailuresAreReportedAndTheIDEGoesOn) {
  TIDE ide;
  TJournalService& journal = ide.Services().Add<TJournalService>();
  // A dependency's export is not taken for the package's own.
  std::string error;
  TLibrary lib = TLibrary::Open(RaisingPackage, error);
  ASSERT_TRUE(lib.IsOpen()) << error;
  EXPECT_NE(lib.OwnExport("Register"), nullptr);
  EXPECT_EQ(lib.OwnExport("malloc"), nullptr);
  lib.Close();
  EXPECT_FALSE(IsLibraryMapped(RaisingPackage));
  EXPECT_FALSE(ide.LoadPackage(GoodPackage.parent_path() / "missing.bpl"));
  ide.Services().SetEnabled(INTAServices::IID, false);
  EXPECT_FALSE(ide.LoadPackage(GoodPackage));
  const UnicodeString expected =
      RegisterFailure(u"Fixture.Package", GoodPackage, u"EIntfCastError: Interface not supported");
  ASSERT_EQ(ide.Errors().size(), 2u);
  EXPECT_EQ(ide.Errors()[0].view().substr(0, 19), u"Can't load package ");
  EXPECT_EQ(ide.Errors()[1], expected);
  EXPECT_EQ(ide.MessageBoxes().Shown().back().Text, expected);
  // Finalised and unloaded at once; nothing is left behind.
  EXPECT_EQ(journal.Events, (Events{"Initialize", "Register", "Finalize"}));
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
  EXPECT_EQ(BorlandIDEServices, nullptr);
  // With the service back the package loads; someone else keeping it mapped is reported at shut-down.
  ide.Services().SetEnabled(INTAServices::IID, true);
  ASSERT_TRUE(ide.LoadPackage(GoodPackage));
  void* pin = dlopen(GoodPackage.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(pin, nullptr);
  const std::vector<UnicodeString> leftovers = ide.Shutdown();
  dlclose(pin);
  EXPECT_EQ(leftovers, std::vector<UnicodeString>{UnicodeString(u"package " + Utf8ToUtf16(GoodPackage.string()) +
                                                                u" is still loaded after unloading")});
}

TEST(PackageLoader, ALibraryWithoutPackageEntriesIsRefusedAndOneMappedBeforeIsNoLeftover) {
  // The VCL is mapped already and exports none of the entries.
  Dl_info vcl{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&SavePngFile), &vcl), 0);
  const std::filesystem::path notAPackage = vcl.dli_fname;
  TIDE ide;
  EXPECT_FALSE(ide.LoadPackage(notAPackage));
  ASSERT_EQ(ide.Errors().size(), 1u);
  EXPECT_EQ(ide.Errors()[0], UnicodeString(u"Can't load package " + Utf8ToUtf16(notAPackage.string()) +
                                           u".\nIt is not a package: it exports no Initialize, Register or Finalize."));
  EXPECT_TRUE(IsLibraryMapped(notAPackage)) << "still the process's";

  // A package something else had mapped before the IDE loaded it stays mapped: not the IDE's doing.
  void* pin = dlopen(GoodPackage.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(pin, nullptr) << dlerror();
  ASSERT_TRUE(ide.LoadPackage(GoodPackage));
  EXPECT_TRUE(ide.Shutdown().empty());
  EXPECT_TRUE(IsLibraryMapped(GoodPackage));
  dlclose(pin);
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
}
