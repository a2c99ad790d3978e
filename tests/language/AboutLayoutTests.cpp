#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "host/Qorb.Main.About.Contract.h"

extern "C" size_t QorbAboutLayoutC(size_t* offsets);

namespace {

// The About library may be built by anyone, in C too: both headers must
// describe the same bytes.
TEST(AboutContract, CAndCppAgreeOnEveryOffset) {
  const std::vector<size_t> cpp = {
      offsetof(TQorbAboutInfo, StructSize), offsetof(TQorbAboutInfo, ProductName), offsetof(TQorbAboutInfo, Version),
      offsetof(TQorbAboutInfo, Company),    offsetof(TQorbAboutInfo, Copyright),   offsetof(TQorbAboutInfo, Website),
      offsetof(TQorbAboutInfo, PluginCount), offsetof(TQorbAboutInfo, Plugins),    offsetof(TQorbAboutInfo, LanguageTag),
      sizeof(TQorbAboutInfo),               offsetof(TQorbPluginInfo, PluginName), offsetof(TQorbPluginInfo, Version),
      offsetof(TQorbPluginInfo, WebURL),    offsetof(TQorbPluginInfo, Image),      sizeof(TQorbPluginInfo)};
  EXPECT_EQ(cpp, (std::vector<size_t>{0, 4, 12, 20, 28, 36, 44, 48, 56, 64, 0, 8, 16, 24, 32}));
  std::vector<size_t> c(cpp.size());
  ASSERT_EQ(QorbAboutLayoutC(c.data()), c.size());
  EXPECT_EQ(c, cpp);
}

}  // namespace
