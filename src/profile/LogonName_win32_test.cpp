#include "profile/LogonName.h"

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The logon session's own account of who is logged on.
TEST(CurrentLogonName, IsTheLoggedOnUser) {
  char expected[1000] = {};
  DWORD length = GetEnvironmentVariableA("USERNAME", expected, sizeof expected);
  ASSERT_GT(length, 0u) << "USERNAME is not set";
  ASSERT_LT(length, sizeof expected);
  std::string name = wm::CurrentLogonName();
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name, std::string(expected, length));
}

}  // namespace
