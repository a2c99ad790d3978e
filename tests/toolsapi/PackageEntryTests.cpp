#include <gtest/gtest.h>

#include <stdexcept>

#include "rtl/InterfaceCast.h"
#include "toolsapi/PackageEntry.h"
#include "toolsapi/ToolsAPI.h"

TEST(PackageEntry, RunPackageEntryTurnsExceptionsIntoADescription) {
  TPackageEntryError error;
  bool ran = false;
  EXPECT_TRUE(RunPackageEntry(&error, u"Unit.A", [&] { ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(error.Unit.IsEmpty());

  // What a start-up without the native services raises.
  EXPECT_FALSE(RunPackageEntry(&error, u"Qorb.Main.RegisterUnits",
                               [] { InterfaceCast<INTAServices>(BorlandIDEServices); }));
  EXPECT_EQ(error.Unit, u"Qorb.Main.RegisterUnits");
  EXPECT_EQ(error.ClassName, u"EIntfCastError");
  EXPECT_EQ(error.Message, u"Interface not supported");

  EXPECT_FALSE(RunPackageEntry(&error, u"Unit.B", [] { throw std::runtime_error("boom"); }));
  EXPECT_EQ(error.Unit, u"Unit.B");
  EXPECT_EQ(error.ClassName, u"runtime_error");
  EXPECT_EQ(error.Message, u"boom");

  EXPECT_FALSE(RunPackageEntry(nullptr, u"Unit.C", [] { throw 42; }));
}
