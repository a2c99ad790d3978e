#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "workbench/MessageViewReport.h"

// The package with the example plug-ins, as the IDE loads it: their lines
// reach the "Qorb" group, and unloading takes every one of them away again
// (the IDE would otherwise hold objects of an unmapped library).
TEST(PackageLogging, PlugInLinesShowInTheQorbGroupUntilThePackageGoes) {
  TIDE ide;
  ASSERT_TRUE(ide.LoadPackage(QORB_PACKAGE));
  ide.MainLoop().RunUntilIdle();
  const std::string shown = FormatQorbMessages(ide);
  EXPECT_NE(shown.find("] [Hello] [Info] "), std::string::npos) << shown;
  ComPtr<TMessageGroup> group = ide.Services().Service<TMessageView>()->FindGroup(u"Qorb");
  ASSERT_TRUE(group);
  EXPECT_EQ(ide.Shutdown(), std::vector<UnicodeString>{});
  EXPECT_EQ(group->Count(), 0u);
}
