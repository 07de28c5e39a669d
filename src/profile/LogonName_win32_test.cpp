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

// The real token: an ordinary user's, which the run goes on with.
TEST(CurrentUserSid, IsAnOrdinaryUsersOwn) {
  const std::string sid = wm::CurrentUserSid();
  EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
  EXPECT_EQ(wm::SystemAccountName(sid), nullptr) << sid;
}

}  // namespace
