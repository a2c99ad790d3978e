#pragma once
// Base fixture of the imaging suites: every test starts and ends with no
// GDI object alive, so a test that leaks a handle fails by name.
#include <gtest/gtest.h>

#include "winapi/Gdi.h"

class GdiLeakCheck : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GdiLiveObjectCount(), 0u) << "a GDI object outlived an earlier test"; }
  void TearDown() override { EXPECT_EQ(GdiLiveObjectCount(), 0u) << "GDI objects leaked by this test"; }
};
