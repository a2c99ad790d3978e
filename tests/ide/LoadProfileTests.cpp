// How the load profile reads the platform's module calls: which call is
// whose cost, and what InitPlugin's share is.
#include <gtest/gtest.h>

#include "workbench/LoadProfile.h"

using qorb::winapi::ModuleCall;
using namespace std::chrono_literals;

namespace {

const auto t0 = std::chrono::steady_clock::time_point{} + 1h;

TModuleCallEntry Call(ModuleCall call, const std::string& path, HMODULE module, std::chrono::microseconds start,
                      std::chrono::microseconds took, bool ok = true) {
  TModuleCallEntry e;
  e.Call = call;
  e.Path = path;
  e.Module = module;
  e.Start = t0 + start;
  e.Elapsed = took;
  e.Succeeded = ok;
  return e;
}

}  // namespace

TEST(LoadProfile, EachCallIsChargedToItsPluginAndInitPluginIsTheGapAfterTheLoad) {
  const std::string a = "/p/Plugins/a.dll", b = "/p/Plugins/b.dll", other = "/p/other.bpl";
  const std::vector<TModuleCallEntry> loading = {
      Call(ModuleCall::Load, other, 0x7000, 0us, 50us),
      Call(ModuleCall::Probe, a, 0x11, 100us, 3us),
      Call(ModuleCall::Free, a, 0x11, 103us, 1us),
      Call(ModuleCall::Load, a, 0x8000, 110us, 20us),
      // InitPlugin runs from 130 to 170; a library it loads is its own business.
      Call(ModuleCall::Load, "/usr/lib/x.so", 0x9000, 140us, 5us),
      Call(ModuleCall::VersionSize, a, 0, 170us, 2us),
      Call(ModuleCall::VersionRead, a, 0, 172us, 2us),
      Call(ModuleCall::FindResource, a, 0x8000, 180us, 4us),
      // b's InitPlugin raised: Shutdown, then the unload the load is followed by.
      Call(ModuleCall::Probe, b, 0x13, 200us, 3us),
      Call(ModuleCall::Free, b, 0x13, 203us, 1us),
      Call(ModuleCall::Load, b, 0xA000, 210us, 10us),
      Call(ModuleCall::Free, b, 0xA000, 250us, 7us),
      // A file the probe turned away is no plug-in of the run.
      Call(ModuleCall::Probe, "/p/Plugins/c.dll", 0, 300us, 2us, false),
  };
  const std::vector<TModuleCallEntry> shutDown = {Call(ModuleCall::Free, a, 0x8000, 1000us, 30us)};
  const TLoadProfile p = BuildLoadProfile(loading, shutDown, "/p/Plugins", t0 + 900us);
  ASSERT_EQ(p.Plugins.size(), 2u);
  const TPluginCost& ca = p.Plugins[0];
  EXPECT_EQ(ca.File, a);
  EXPECT_EQ(ca.Probe, 3us);
  EXPECT_EQ(ca.Load, 20us);
  EXPECT_EQ(ca.InitPlugin, 40us);
  EXPECT_EQ(ca.Version, 4us);
  EXPECT_EQ(ca.Icon, 4us);
  EXPECT_EQ(ca.Unload, 30us);
  const TPluginCost& cb = p.Plugins[1];
  EXPECT_EQ(cb.File, b);
  EXPECT_EQ(cb.InitPlugin, 30us);
  EXPECT_EQ(cb.Unload, 0us) << "unloaded while loading, not at shut-down";
  EXPECT_EQ(p.ShutdownPass, 100us);

  const std::string table = FormatLoadProfile(p);
  EXPECT_NE(table.find("\n  a.dll                            0.003     0.020      0.040     0.004     0.004     0.030     "
                       "0.101\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("\n  total  "), std::string::npos) << table;
}
