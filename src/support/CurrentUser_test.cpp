#include "support/CurrentUser.h"

#include <gtest/gtest.h>

namespace {

// The system's own accounts are told from a user's, whose profile a run
// serves.
TEST(SystemAccountName, NamesOnlyTheThreeSystemAccounts) {
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-18"), "SYSTEM");
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-19"), "LOCAL SERVICE");
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-20"), "NETWORK SERVICE");
  for (const char* sid :
       {"S-1-5-21-1004336348-1177238915-682003330-512", "S-1-5-18-1", "S-1-5-1", "S-1-5-180", ""}) {
    EXPECT_EQ(wm::SystemAccountName(sid), nullptr) << sid;
  }
}

}  // namespace
