// The end-to-end cases only Windows has: quoting on the raw command line, as
// an administrator's logon script writes it, and the usage window.
#include <windows.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/EndToEnd.h"
#include "support/EventLog_win32.h"
#include "testlib/WindowProbe.h"
#include "ui/ExplanationFormUnit_win32.h"

namespace wmtest {
namespace {

std::string LogonName() {
  char name[1000] = {};
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) ? std::string(name) : std::string();
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
    std::filesystem::remove(PrfPath());
    ClearRegistry();
    ProcessResult run = Run({c.arguments});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[42], "MailboxName=" + c.mailbox);
    EXPECT_EQ(lines[43], "HomeServer=" + c.server);
  }
}

// No server name, or a help request: Windows users ask for help with /?,
// which must show the usage, not become the name of an Exchange server in a
// profile that replaces the user's own. The cases run side by side, each
// program with its own window, so that one wait shows them all waiting.
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
  std::vector<std::unique_ptr<WindowProbe>> programs;
  std::vector<WindowHandle> windows;
  for (const Case& c : cases) {
    programs.push_back(std::make_unique<WindowProbe>("\"" + ProgramPath() + "\" " + c.arguments));
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].arguments);
    windows.push_back(programs[i]->WaitForWindow(wm::kExplanationFormClass));
    ASSERT_NE(windows[i], nullptr) << programs[i]->failure();
  }
  // 200 ms after the last window appeared, every program is still running.
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.arguments);
    EXPECT_TRUE(programs[i]->StillRunningAfter(i == 0 ? 200 : 0))
        << "the program waits for the window";
    EXPECT_TRUE(c.byCloseBox ? programs[i]->PressClose(windows[i])
                             : programs[i]->PressOk(windows[i]));
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].arguments);
    ProcessResult run = programs[i]->Wait();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner) << "the banner and nothing else";
  }
  EXPECT_FALSE(std::filesystem::exists(PrfPath()));
  ExpectNothingRegistered();
}

TEST_F(EndToEnd, LineBreakInAnArgumentIsRefused) {
  WriteFileBytes(PrfPath(), "earlier profile");
  for (const char* arguments : {"\"server\n1\" jsmith", "server1 \"j\rsmith\""}) {
    SCOPED_TRACE(arguments);
    ProcessResult run = Run({arguments});
    EXPECT_EQ(run.exitCode, 1);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_EQ(run.output.find(kSuccessLine), std::string::npos);
    EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
    ExpectNothingRegistered();
  }
}

// Event Viewer shows an event's description as the exe's message table
// gives it, looked up by the event's whole identifier: for every failure
// class, it is the event's string itself, the error line, and nothing else.
TEST(MessageTable, EachEventIdShowsTheErrorLineAsItIs) {
  const std::string program = ProgramPath();
  const std::wstring exe(program.begin(), program.end());
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "error " << GetLastError();
  const std::wstring line =
      L"Error: The user name \"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\" has 100% of it; %2 stays.";
  for (const wm::FailureClassEntry& entry : wm::kFailureClasses) {
    const unsigned long identifier = wm::EventIdentifier(entry.failureClass);
    SCOPED_TRACE(entry.eventId);
    EXPECT_EQ(identifier & 0xFFFF, entry.eventId);
    EXPECT_EQ(identifier >> 30, 3u) << "the Error severity";
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(line.c_str())};
    wchar_t text[1024] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module,
                       identifier, 0, text, 1024, reinterpret_cast<va_list*>(inserts));
    ASSERT_NE(length, 0u) << "no message for this ID: error " << GetLastError();
    EXPECT_TRUE(std::wstring(text, length) == line) << "the description differs from the line";
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace wmtest
