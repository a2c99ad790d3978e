#include <gtest/gtest.h>

#include <algorithm>

#include "ide/IDE.h"
#include "ide/MessageView.h"

namespace {
bool AnyHas(const std::vector<UnicodeString>& lines, std::u16string_view part) {
  return std::any_of(lines.begin(), lines.end(),
                     [part](const UnicodeString& l) { return l.view().find(part) != std::u16string_view::npos; });
}
}  // namespace

// The package with the example plug-ins, as the IDE loads it: their lines
// reach the "Qorb" group, and unloading takes every one of them away again
// (the IDE would otherwise hold objects of an unmapped library).
TEST(PackageLogging, PlugInLinesShowInTheQorbGroupUntilThePackageGoes) {
  TIDE ide;
  ASSERT_TRUE(ide.LoadPackage(QORB_PACKAGE));
  ide.MainLoop().RunUntilIdle();
  ComPtr<TMessageGroup> group = ide.Services().Service<TMessageView>()->FindGroup(u"Qorb");
  ASSERT_TRUE(group);
  EXPECT_TRUE(AnyHas(group->Texts(), u"] [Hello] [Info] "));
  EXPECT_EQ(ide.Services().Service<TMessageView>()->Groups().size(), 1u);

  EXPECT_EQ(ide.Shutdown(), std::vector<UnicodeString>{});
  EXPECT_EQ(group->Count(), 0u);
}
