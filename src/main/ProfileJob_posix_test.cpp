#include "main/ProfileJob.h"

#include <filesystem>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "support/CurrentUser.h"
#include "testlib/RecordingRegistry.h"
#include "testlib/TestSupport.h"

namespace {

// Run as a user the password database does not know, the lookup fails and
// says why, and a profile for a blank user name is refused, not written with
// an empty mailbox name. The lookup is made in a child process
// that takes such a user id, which needs root.
TEST(WriteProfile, RefusesABlankUserNameWhereTheLogonNameCannotBeFound) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root can run a process as a user id without an entry";
  }
  uid_t unknown = 54321;
  while (::getpwuid(unknown) != nullptr) {
    ++unknown;
  }
  wmtest::TempDir dir;
  ASSERT_EQ(::chown(dir.path().c_str(), unknown, unknown), 0);
  const std::string prf = (dir.path() / "outlook.prf").string();

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(unknown) != 0 || ::setuid(unknown) != 0) {
      ::_exit(10);
    }
    if (wm::CurrentLogonName()) {
      ::_exit(11);
    }
    wmtest::RecordingRegistry registry;
    wm::Status status = wm::WriteProfile("server1", " ", prf, false, registry);
    const bool refused = !status.ok() && status.message().rfind(
                                             "The logon name of the current user cannot be "
                                             "found: the password database has no entry for "
                                             "the user ID " +
                                                 std::to_string(unknown) +
                                                 "; give the mailbox name on the command line",
                                             0) == 0;
    ::_exit(refused && registry.calls.empty() ? 0 : 12);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0)
      << "10: no such user id, 11: a name was found, 12: not refused as it should be";
  EXPECT_FALSE(std::filesystem::exists(prf));
}

}  // namespace
