#include "support/CurrentUser.h"
#include "support/CurrentUser_win32.h"

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "support/SystemError.h"

namespace {

// The logon session's own account of who is logged on.
TEST(CurrentLogonName, IsTheLoggedOnUser) {
  char expected[1000] = {};
  DWORD length = GetEnvironmentVariableA("USERNAME", expected, sizeof expected);
  ASSERT_GT(length, 0u) << "USERNAME is not set";
  ASSERT_LT(length, sizeof expected);
  std::string name = wm::CurrentLogonName().value();
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name, std::string(expected, length));
}

// The real token: an ordinary user's, which the run goes on with; a token
// that cannot be read (a handle that gives none) stops it, saying why.
TEST(CurrentUserSid, IsAnOrdinaryUsersOwnAndAnUnreadableOneStopsTheRun) {
  const std::string sid = wm::CurrentUserSid().value();
  EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
  EXPECT_TRUE(wm::CheckAccount(sid)) << sid;
  const wm::Status unread = wm::CheckAccount(wm::ProcessUserSid(nullptr));
  EXPECT_EQ(unread.message(),
            "Cannot tell whether the tool runs as a system account: the process's token cannot "
            "be opened: " +
                wm::SystemErrorMessage(ERROR_INVALID_HANDLE));
  EXPECT_EQ(unread.failureClass(), wm::FailureClass::SystemAccount);
}

}  // namespace
