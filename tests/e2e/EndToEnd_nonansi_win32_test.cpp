// The program for a user whose roaming application-data folder has a path
// that the ANSI code page cannot hold: a user folder named in Greek on a
// Western (code page 1252) system. The profile must land in that folder, and
// Outlook must be given a path to it that the ANSI code page can hold (the
// folder's short name). It points the user's AppData shell folder elsewhere
// for the time of each test, so nothing else runs in its prefix meanwhile
// (the environment without a display).
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Expected.h"
#include "testlib/Process_win32.h"
#include "testlib/RegistryProbe.h"
#include "testlib/TestSupport.h"

namespace wmtest {
namespace {

const char* const kOffice = "Software\\Microsoft\\Office";
const wchar_t* const kUserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void WriteAppData(const wchar_t* key, DWORD type, const std::wstring& path) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"AppData", type, path.c_str(),
                            static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

std::wstring ShellAppData() {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// A file's bytes, opened through the wide or the ANSI API.
std::string ReadAll(HANDLE file) {
  std::string bytes;
  if (file != INVALID_HANDLE_VALUE) {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      bytes.append(buffer, n);
    }
    CloseHandle(file);
  }
  return bytes;
}

std::string ReadWide(const std::wstring& path) {
  return ReadAll(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string ReadAnsi(const std::string& path) {
  return ReadAll(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string ImportPrf(const char* version) {
  std::string key = std::string(kOffice) + "\\" + version + "\\Outlook\\Setup";
  char data[2048] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "ImportPRF", RRF_RT_ANY, &type, data, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ || size == 0 || data[size - 1] != '\0') {
    return "(no REG_SZ value)";
  }
  return std::string(data, size - 1);
}

class NonAnsiAppData : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "these cases are written for code page 1252";
    wchar_t profile[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile), S_OK);
    profile_ = profile;
    user_ = profile_ + L"\\" + UserFolderName(profile_.size());
    folder_ = user_ + L"\\Roaming";
    for (const std::wstring& folder : {user_, folder_}) {
      ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                  GetLastError() == ERROR_ALREADY_EXISTS)
          << "cannot make the folder: error " << GetLastError();
    }
    WriteAppData(kUserShellFolders, REG_EXPAND_SZ, folder_);
    WriteAppData(kShellFolders, REG_SZ, folder_);
    ASSERT_EQ(ShellAppData(), folder_) << "the shell does not take the new AppData folder";
    RegDeleteTreeA(HKEY_CURRENT_USER, kOffice);
  }
  void TearDown() override {
    // Wine's own values, not the ones found: a run stopped before this point
    // (ctest's timeout) leaves the folder pointed elsewhere, and the next run
    // would take that for the user's own.
    WriteAppData(kUserShellFolders, REG_EXPAND_SZ, L"%USERPROFILE%\\AppData\\Roaming");
    WriteAppData(kShellFolders, REG_SZ, profile_ + L"\\AppData\\Roaming");
    DeleteFileW(PrfPath().c_str());
    RemoveDirectoryW(folder_.c_str());
    RemoveDirectoryW(user_.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kOffice);
  }

  // The folder that stands for the user's own: "Δοκιμή" ("test"), which
  // code page 1252 cannot hold.
  virtual std::wstring UserFolderName(size_t /*profileLength*/) const {
    return L"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae";
  }
  std::wstring PrfPath() const { return folder_ + L"\\outlook.prf"; }
  std::string ShortFolder() const {
    wchar_t shortPath[MAX_PATH] = {};
    GetShortPathNameW(folder_.c_str(), shortPath, MAX_PATH);
    std::string ascii;
    for (const wchar_t* c = shortPath; *c != L'\0'; ++c) {
      ascii += *c < 128 ? static_cast<char>(*c) : '?';
    }
    return ascii;
  }

  ProcessResult Run(const std::string& arguments) {
    ProcessResult result = RunCommandLine("\"" + ProgramPath() + "\" " + arguments);
    EXPECT_TRUE(result.started) << result.error;
    EXPECT_FALSE(result.timedOut);
    return result;
  }

  std::wstring user_;
  std::wstring folder_;
  std::wstring profile_;
};

TEST_F(NonAnsiAppData, TheProfileLandsInTheFolderAndOutlookIsGivenItsShortPath) {
  ProcessResult run = Run("server1 jsmith");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);

  const std::string golden = ReadFileBytes(SourcePath("tests/testdata/outlook-server1-jsmith.prf"));
  ASSERT_EQ(golden.size(), 7362u);
  EXPECT_EQ(ReadWide(PrfPath()), golden) << "the file's bytes, in the real folder";

  const std::string registered = ShortFolder() + "\\outlook.prf";
  EXPECT_EQ(registered.find('?'), std::string::npos) << registered;
  for (const char* version : kOfficeVersions) {
    EXPECT_EQ(ImportPrf(version), registered) << version;
  }
  EXPECT_EQ(ReadAnsi(ImportPrf("12.0")), golden)
      << "the registered path, opened with the ANSI API, reads the same file";
}

TEST_F(NonAnsiAppData, RunOnceFindsTheProfileThere) {
  ProcessResult first = Run("server1 RUNONCE");
  EXPECT_EQ(first.output, kBanner + kSuccessLine);
  ASSERT_FALSE(ReadWide(PrfPath()).empty());
  RegDeleteTreeA(HKEY_CURRENT_USER, kOffice);

  ProcessResult second = Run("server1 RUNONCE");
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.output, kBanner + kAlreadyLine);
  HKEY office = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kOffice, 0, KEY_READ, &office), ERROR_SUCCESS)
      << "nothing registered the second time";
}

// A roaming folder whose path is as long as a folder can be and still hold
// outlook.prf within MAX_PATH: 247 characters. The temporary file beside the
// profile must fit wherever the profile does.
class LongAppData : public NonAnsiAppData {
 protected:
  std::wstring UserFolderName(size_t profileLength) const override {
    // <profile>\xx...x\Roaming
    return std::wstring(247 - profileLength - 1 - std::wcslen(L"\\Roaming"), L'x');
  }
};

TEST_F(LongAppData, TheLongestFolderThatHoldsTheProfileTakesTheRun) {
  ASSERT_EQ(folder_.size(), 247u);
  ProcessResult run = Run("server1 jsmith");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, kBanner + kSuccessLine);
  EXPECT_EQ(ImportPrf("8.0").size(), 259u);
}

}  // namespace
}  // namespace wmtest
