// The Windows program as an administrator's logon script meets it: started
// with exact raw command lines, judged by its output bytes, its exit status,
// the file in the user's application-data folder and the registry, read back
// with plain Win32 calls.
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Expected.h"
#include "testlib/Process_win32.h"
#include "testlib/TestSupport.h"
#include "testlib/WindowProbe.h"

namespace wmtest {
namespace {

const char* const kOffice = "Software\\Microsoft\\Office";

std::string SetupKey(const char* version) {
  return std::string(kOffice) + "\\" + version + "\\Outlook\\Setup";
}

struct RegValue {
  DWORD type = 0;
  std::string data;
};

std::optional<RegValue> ReadValue(const char* version, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SetupKey(version).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegValue value;
  char buffer[2048];
  DWORD size = sizeof buffer;
  LONG status =
      RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.assign(buffer, size);
  return value;
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void SetString(const char* version, const char* name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SetupKey(version).c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

std::string AppDataFolder() {
  char path[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path), S_OK);
  return std::string(path) + "\\";
}

std::string LogonName() {
  char name[1000] = {};
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    prfPath_ = AppDataFolder() + "outlook.prf";
    Clean();
  }
  void TearDown() override { Clean(); }

  void Clean() {
    std::error_code ignored;
    std::filesystem::remove_all(prfPath_, ignored);
    RegDeleteTreeA(HKEY_CURRENT_USER, kOffice);
  }

  // Runs the program with the given text after its quoted path.
  ProcessResult Run(const std::string& arguments, ProcessOptions options = {}) {
    ProcessResult result = RunCommandLine("\"" + ProgramPath() + "\" " + arguments, options);
    EXPECT_TRUE(result.started) << result.error;
    EXPECT_FALSE(result.timedOut);
    return result;
  }

  void ExpectRegisteredEverywhere() {
    for (const char* version : kOfficeVersions) {
      auto value = ReadValue(version, "ImportPRF");
      ASSERT_TRUE(value) << version;
      EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << version;
      EXPECT_EQ(value->data, prfPath_ + std::string(1, '\0')) << version;
    }
  }

  void ExpectNothingRegistered() {
    EXPECT_FALSE(KeyExists(kOffice)) << "the registry must be left as it was";
  }

  std::vector<std::string> PrfLines() { return SplitCrLf(ReadFileBytes(prfPath_)); }

  std::string prfPath_;
};

TEST_F(EndToEnd, ServerAndUserWriteAndRegisterTheProfile) {
  ProcessResult run = Run("server1 jsmith");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);

  std::vector<std::string> lines = PrfLines();
  ASSERT_EQ(lines.size(), 242u) << "241 lines, each ending with CR LF";
  EXPECT_EQ(lines[241], "");
  EXPECT_EQ(lines[240], "") << "the last line is empty";
  EXPECT_EQ(lines[9], "DefaultProfile=Yes");
  EXPECT_EQ(lines[10], "OverwriteProfile=Yes");
  EXPECT_EQ(lines[42], "MailboxName=jsmith");
  EXPECT_EQ(lines[43], "HomeServer=server1");
  EXPECT_EQ(lines[48], "MailboxName=jsmith");
  EXPECT_EQ(lines[49], "HomeServer=server1");
  ExpectRegisteredEverywhere();
}

TEST_F(EndToEnd, QuotingOnTheRawCommandLine) {
  struct Case {
    const char* arguments;
    std::string mailbox;
    std::string server;
  };
  const std::string logon = LogonName();
  const Case cases[] = {
      {"'exchange one' 'John Smith'", "'John", "exchange one"},
      {"server1 'John Smith' RUNONCE", "John Smith", "server1"},
      {"\"server1\" \"\" RUNONCE", logon, "server1"},
      {"server1\t\"O'Brien\"", "O'Brien", "server1"},
      {"server1 runonce", logon, "server1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    Clean();
    ProcessResult run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[42], "MailboxName=" + c.mailbox);
    EXPECT_EQ(lines[43], "HomeServer=" + c.server);
  }
}

TEST_F(EndToEnd, RunOnceTwiceChangesNothingTheSecondTime) {
  ProcessResult first = Run("server1 RUNONCE");
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.output, kBanner + kSuccessLine);
  ExpectRegisteredEverywhere();

  // Mark the file and the registry so that any change would show.
  WriteFileBytes(prfPath_, "marker");
  SetString("12.0", "ImportPRF", "marker");
  SetString("12.0", "FirstRun", "1");

  ProcessResult second = Run("server1 RUNONCE");
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.output, kBanner + kAlreadyLine);
  EXPECT_EQ(ReadFileBytes(prfPath_), "marker");
  EXPECT_EQ(ReadValue("12.0", "ImportPRF")->data, std::string("marker\0", 7));
  EXPECT_TRUE(ReadValue("12.0", "FirstRun"));
}

TEST_F(EndToEnd, OnlyEmptyTwiceWritesBothTimes) {
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    WriteFileBytes(prfPath_, run == 0 ? "" : "marker");
    ProcessResult result = Run("server1 ONLY_EMPTY");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[9], "DefaultProfile=No");
    EXPECT_EQ(lines[10], "OverwriteProfile=No");
    ExpectRegisteredEverywhere();
  }
}

// No server name, or a help request: Windows users ask for help with /?,
// which must show the usage, not become the name of an Exchange server in a
// profile that replaces the user's own.
TEST_F(EndToEnd, NoServerOrAHelpRequestShowsTheUsageWindowUntilItIsClosed) {
  struct Case {
    const char* arguments;
    bool byCloseBox;
  };
  const Case cases[] = {{"", false},
                        {"' '", false},
                        {"\" \"", true},
                        {"\"\" \"\"", false},
                        {"/?", false},
                        {"-H", true},
                        {"--help server1 RUNONCE", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    WindowProbe program("\"" + ProgramPath() + "\" " + c.arguments);
    ASSERT_TRUE(program.started()) << program.error();
    WindowHandle window = program.WaitForWindow();
    ASSERT_NE(window, nullptr) << "the usage window did not appear";
    EXPECT_TRUE(program.StillRunningAfter(200)) << "the program waits for the window";
    EXPECT_TRUE(c.byCloseBox ? program.PressClose(window) : program.PressOk(window));
    ProcessResult run = program.Wait();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner) << "the banner and nothing else";
    EXPECT_FALSE(std::filesystem::exists(prfPath_));
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, AnOptionWhereTheServerBelongsIsRefused) {
  WriteFileBytes(prfPath_, "earlier profile");
  for (const char* word : {"/s", "-server1"}) {
    SCOPED_TRACE(word);
    ProcessResult run = Run(std::string(word) + " server1 jsmith");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, kBanner + "Error: Unknown option \"" + word +
                              "\": the Exchange server's name must come first (/? shows how to "
                              "call the tool); no profile was written or registered.\r\n");
    EXPECT_EQ(ReadFileBytes(prfPath_), "earlier profile");
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, AFolderNamedOutlookPrfIsAFailure) {
  std::filesystem::create_directory(prfPath_);
  for (const char* arguments : {"server1 RUNONCE", "server1"}) {
    SCOPED_TRACE(arguments);
    ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.output.substr(0, kBanner.size()), kBanner);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_NE(error.find(prfPath_), std::string::npos) << "the error names the path: " << error;
    EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line";
    EXPECT_TRUE(std::filesystem::is_directory(prfPath_));
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, LineBreakInAnArgumentIsRefused) {
  WriteFileBytes(prfPath_, "earlier profile");
  for (const char* arguments : {"\"server\n1\" jsmith", "server1 \"j\rsmith\""}) {
    SCOPED_TRACE(arguments);
    ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 1);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_EQ(run.output.find(kSuccessLine), std::string::npos);
    EXPECT_EQ(ReadFileBytes(prfPath_), "earlier profile");
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, RegistrationFailureIsReportedAfterTheNewestVersion) {
  // A non-volatile key cannot be created under a volatile one: 11.0's Setup
  // key fails for real. The key lives as long as the wineserver, so it is
  // removed at the end.
  HKEY office = nullptr;
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOffice, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &office, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(office, "11.0", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  RegCloseKey(office);

  ProcessResult run = Run("server1 jsmith");
  EXPECT_EQ(run.exitCode, 1);
  const std::string error = run.output.substr(kBanner.size());
  EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
  EXPECT_NE(error.find("11.0"), std::string::npos) << error;
  EXPECT_EQ(run.output.find(kSuccessLine), std::string::npos);
  ASSERT_TRUE(ReadValue("12.0", "ImportPRF"));
  EXPECT_EQ(ReadValue("12.0", "ImportPRF")->data, prfPath_ + std::string(1, '\0'));
  for (const char* version : {"10.0", "9.0", "8.0"}) {
    EXPECT_FALSE(KeyExists(std::string(kOffice) + "\\" + version)) << version;
  }
  EXPECT_FALSE(KeyExists(SetupKey("11.0")));
}

TEST_F(EndToEnd, BrokenStandardOutputGivesStatusOne) {
  WriteFileBytes(prfPath_, "earlier profile");
  ProcessOptions closed;
  closed.output = OutputMode::Closed;
  ProcessResult run = Run("server1 jsmith", closed);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ReadFileBytes(prfPath_), "earlier profile");
  ExpectNothingRegistered();
}

}  // namespace
}  // namespace wmtest
