// The folder lookup against what the shell itself reports.
#include "support/SpecialFolder.h"

#include <string>

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

// The shell's own answer for a folder identifier, with a backslash.
std::string ShellFolder(int identifier) {
  char path[MAX_PATH] = {};
  HRESULT result = SHGetFolderPathA(nullptr, identifier, nullptr, SHGFP_TYPE_CURRENT, path);
  EXPECT_TRUE(SUCCEEDED(result)) << "identifier " << identifier;
  return std::string(path) + "\\";
}

struct Case {
  const char* name;
  int identifier;
};

class ShellFolderName : public ::testing::TestWithParam<Case> {};

TEST_P(ShellFolderName, MatchesTheShell) {
  std::string expected = ShellFolder(GetParam().identifier);
  ASSERT_GT(expected.size(), 1u);
  EXPECT_EQ(wm::GetSpecialFolder(GetParam().name), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellFolderName,
    ::testing::Values(Case{"APPLICATION_DATA", CSIDL_APPDATA}, Case{"DESKTOP", CSIDL_DESKTOP},
                      Case{"PROGRAMS", CSIDL_PROGRAMS}, Case{"STARTMENU", CSIDL_STARTMENU},
                      Case{"COMMON_PROGRAMS", CSIDL_COMMON_PROGRAMS},
                      Case{"PROGRAM_FILES", CSIDL_PROGRAM_FILES},
                      // Names are compared exactly; anything else is the desktop.
                      Case{"application_data", CSIDL_DESKTOP}, Case{"", CSIDL_DESKTOP},
                      Case{"APPLICATION_DATA ", CSIDL_DESKTOP},
                      Case{"NO_SUCH_FOLDER", CSIDL_DESKTOP}));

TEST(SpecialFolder, ApplicationDataIsTheRoamingFolder) {
  std::string folder = wm::GetSpecialFolder("APPLICATION_DATA");
  ASSERT_GT(folder.size(), 1u);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_NE(folder.find("\\AppData\\Roaming\\"), std::string::npos) << folder;
}

TEST(SpecialFolder, SystemAndWindowsDirectories) {
  char system[MAX_PATH] = {};
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  EXPECT_EQ(wm::GetSpecialFolder("SYSTEM"), std::string(system) + "\\");
  EXPECT_EQ(wm::GetSpecialFolder("WINDOWS"), std::string(windows) + "\\");
  EXPECT_EQ(wm::GetSpecialFolder("system"), ShellFolder(CSIDL_DESKTOP));
}

}  // namespace
