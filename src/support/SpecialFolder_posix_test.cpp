// The Linux counterparts of the well-known folders, with the environment
// pointed at a temporary folder.
#include "support/SpecialFolder.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/TestSupport.h"

namespace {

// Sets or removes the folder variables for one test and restores them after.
class SpecialFolderTest : public ::testing::Test {
 protected:
  SpecialFolderTest() {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name,
                          value != nullptr ? std::optional<std::string>(value) : std::nullopt);
      ::unsetenv(name);
    }
    home_ = dir_.path().string() + "/home";
    Set("HOME", home_);
  }
  ~SpecialFolderTest() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  static void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

  static constexpr const char* kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                               "XDG_DATA_DIRS", "XDG_DESKTOP_DIR"};
  wmtest::TempDir dir_;
  std::string home_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(SpecialFolderTest, ApplicationDataIsXdgConfigHome) {
  Set("XDG_CONFIG_HOME", dir_.path().string() + "/config");
  EXPECT_EQ(wm::GetSpecialFolder("APPLICATION_DATA").path, dir_.path().string() + "/config/");
}

TEST_F(SpecialFolderTest, ApplicationDataEndsWithExactlyOneSlash) {
  Set("XDG_CONFIG_HOME", dir_.path().string() + "/config//");
  EXPECT_EQ(wm::GetSpecialFolder("APPLICATION_DATA").path, dir_.path().string() + "/config/");
}

class UnusableConfigHome : public SpecialFolderTest,
                           public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(UnusableConfigHome, FallsBackToDotConfigInHome) {
  if (GetParam()) {
    Set("XDG_CONFIG_HOME", *GetParam());
  }
  EXPECT_EQ(wm::GetSpecialFolder("APPLICATION_DATA").path, home_ + "/.config/");
}

INSTANTIATE_TEST_SUITE_P(UnsetEmptyOrRelative, UnusableConfigHome,
                         ::testing::Values(std::nullopt, std::string(""),
                                           std::string("relative/config")));

TEST_F(SpecialFolderTest, WithoutHomeTheAccountsHomeFolderIsUsed) {
  ::unsetenv("HOME");
  const struct passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  std::string home = entry->pw_dir;
  while (home.size() > 1 && home.back() == '/') {
    home.pop_back();
  }
  std::string expected = home == "/" ? "/.config/" : home + "/.config/";
  EXPECT_EQ(wm::GetSpecialFolder("APPLICATION_DATA").path, expected);
  Set("HOME", "not/absolute");
  EXPECT_EQ(wm::GetSpecialFolder("APPLICATION_DATA").path, expected);
}

TEST_F(SpecialFolderTest, DesktopDefaultsToDesktopInHome) {
  EXPECT_EQ(wm::GetSpecialFolder("DESKTOP").path, home_ + "/Desktop/");
}

TEST_F(SpecialFolderTest, DesktopFromUserDirs) {
  Set("XDG_CONFIG_HOME", dir_.path().string() + "/config");
  std::filesystem::create_directories(dir_.path() / "config");
  wmtest::WriteFileBytes(dir_.path() / "config" / "user-dirs.dirs",
                         "# written by xdg-user-dirs-update\n"
                         "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  EXPECT_EQ(wm::GetSpecialFolder("DESKTOP").path, home_ + "/Schreibtisch/");
}

TEST_F(SpecialFolderTest, DesktopFromTheEnvironmentComesFirst) {
  Set("XDG_DESKTOP_DIR", dir_.path().string() + "/desk");
  EXPECT_EQ(wm::GetSpecialFolder("DESKTOP").path, dir_.path().string() + "/desk/");
}

class UnknownName : public SpecialFolderTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnknownName, GivesTheDesktop) {
  EXPECT_EQ(wm::GetSpecialFolder(GetParam()).path, home_ + "/Desktop/");
}

INSTANTIATE_TEST_SUITE_P(NamesAreExact, UnknownName,
                         ::testing::Values("", "application_data", "Application_Data",
                                           "APPLICATION_DATA ", " APPLICATION_DATA", "SYSTEM32",
                                           "NO_SUCH_FOLDER"));

TEST_F(SpecialFolderTest, ProgramsAreTheUsersApplicationsFolder) {
  EXPECT_EQ(wm::GetSpecialFolder("PROGRAMS").path, home_ + "/.local/share/applications/");
  EXPECT_EQ(wm::GetSpecialFolder("STARTMENU").path, home_ + "/.local/share/applications/");
  Set("XDG_DATA_HOME", dir_.path().string() + "/data");
  EXPECT_EQ(wm::GetSpecialFolder("PROGRAMS").path, dir_.path().string() + "/data/applications/");
}

TEST_F(SpecialFolderTest, CommonProgramsComeFromTheFirstAbsoluteDataDir) {
  EXPECT_EQ(wm::GetSpecialFolder("COMMON_PROGRAMS").path, "/usr/local/share/applications/");
  Set("XDG_DATA_DIRS", "relative/share::/srv/share/:/usr/share");
  EXPECT_EQ(wm::GetSpecialFolder("COMMON_PROGRAMS").path, "/srv/share/applications/");
}

TEST_F(SpecialFolderTest, SystemFolders) {
  EXPECT_EQ(wm::GetSpecialFolder("PROGRAM_FILES").path, "/opt/");
  EXPECT_EQ(wm::GetSpecialFolder("SYSTEM").path, "/usr/lib/");
  EXPECT_EQ(wm::GetSpecialFolder("WINDOWS").path, "/usr/");
}

}  // namespace
