#include "support/CurrentUser.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

TEST(CurrentLogonName, IsTheEffectiveUsersNameNotTheEnvironments) {
  const struct passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  const std::string expected = entry->pw_name;

  std::optional<std::string> savedUser;
  std::optional<std::string> savedLogName;
  if (const char* value = std::getenv("USER")) {
    savedUser = value;
  }
  if (const char* value = std::getenv("LOGNAME")) {
    savedLogName = value;
  }
  ::setenv("USER", "someone-else", 1);
  ::setenv("LOGNAME", "someone-else", 1);
  std::string name = wm::CurrentLogonName().value();
  savedUser ? ::setenv("USER", savedUser->c_str(), 1) : ::unsetenv("USER");
  savedLogName ? ::setenv("LOGNAME", savedLogName->c_str(), 1) : ::unsetenv("LOGNAME");

  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name, expected);
}

}  // namespace
