// The end-to-end cases only Linux has: arguments as a shell hands them over,
// the XDG configuration folder, the usage text on standard output, and
// standard output that fails after the banner (a file-size limit).
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/EndToEnd.h"

namespace wmtest {
namespace {

namespace fs = std::filesystem;

std::string LogonName() {
  struct passwd* entry = getpwuid(geteuid());
  return entry != nullptr ? entry->pw_name : "";
}

TEST_F(EndToEnd, ArgumentsAsTheShellHandsThemOver) {
  struct Case {
    std::vector<std::string> arguments;
    std::string mailbox;
    std::string server;
    bool defaultProfile;
  };
  const Case cases[] = {
      {{"server1", "", "RUNONCE"}, LogonName(), "server1", true},
      {{"'exchange", "one'", "'John", "Smith'"}, "'John", "exchange one", true},
      {{"server1", "'John", "Smith'", "ONLY_EMPTY"}, "John Smith", "server1", false},
      {{"server1", "  "}, LogonName(), "server1", true},
      {{"two words"}, "words", "two", true},
      // The longest names taken, counted once trimmed.
      {{std::string(255, 's') + "\t", "\t" + std::string(256, 'u')},
       "\t" + std::string(256, 'u'),
       std::string(255, 's') + "\t",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size() > 1 ? c.arguments[1] : c.arguments[0]);
    fs::remove(PrfPath());
    ClearRegistry();
    ProcessResult run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[9], c.defaultProfile ? "DefaultProfile=Yes" : "DefaultProfile=No");
    EXPECT_EQ(lines[42], "MailboxName=" + c.mailbox);
    EXPECT_EQ(lines[43], "HomeServer=" + c.server);
  }
}

TEST_F(EndToEnd, WithoutXdgConfigHomeTheFileGoesToHomeConfig) {
  TempDir home;
  fs::create_directories(home.path() / ".config");
  ProcessOptions options;
  options.environment = {{"HOME", home.path().string()}, {"XDG_CONFIG_HOME", std::nullopt}};
  ProcessResult run = Run({"server1"}, options);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);
  EXPECT_TRUE(fs::is_regular_file(home.path() / ".config" / "outlook.prf"));
}

// No server name, or a help request (which must never become a server's
// name in a profile that replaces the user's own): the usage, and nothing
// written or registered.
TEST_F(EndToEnd, NoServerOrAHelpRequestWritesTheUsageText) {
  const std::vector<std::vector<std::string>> runs = {
      {},         {"'", "'"}, {" "},
      {"", ""},   {"/?"},     {"-?"},
      {"/H"},     {"-help"},  {"--HELP", "jsmith", "RUNONCE"},
      {"'/help'"}};
  for (const auto& arguments : runs) {
    SCOPED_TRACE(arguments.empty() ? "(none)" : arguments[0]);
    ProcessResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + ExpectedText("usage-text.txt"));
    EXPECT_FALSE(fs::exists(PrfPath()));
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, FailuresLeaveEverythingAsItWas) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string mention;
  };
  const Case cases[] = {
      {"LineBreakInServer", {"server\n1", "jsmith"}, "server name"},
      {"LineBreakInUser", {"server1", "j\rsmith"}, "user name"},
      {"ServerTooLong",
       {std::string(256, 's'), "jsmith"},
       "server name is 256 characters long, more than the 255"},
      {"UserTooLong",
       {"server1", std::string(257, 'u'), "RUNONCE"},
       "user name is 257 characters long, more than the 256"},
      // A control character in an option cannot break the error line (on
      // Windows a line break between words separates them).
      {"LineBreakInAnOption", {"-a\nb"}, "\"-a?b\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(PrfPath(), "earlier profile");
    ProcessResult run = Run(c.arguments);
    ExpectOneErrorLine(run, c.mention);
    EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, MissingOrUnwritableApplicationDataFolder) {
  TempDir temp;
  for (const std::string& folder : {(temp.path() / "missing").string(), std::string("/proc")}) {
    SCOPED_TRACE(folder);
    ProcessOptions options;
    options.environment = {{"XDG_CONFIG_HOME", folder}};
    ProcessResult run = Run({"server1"}, options);
    ExpectOneErrorLine(run, folder + "/outlook.prf");
  }
  EXPECT_FALSE(fs::exists(temp.path() / "missing"));
}

// A logon whose run is stopped at any step (the machine turned off, the
// process killed) is never taken for done: the run is killed before each
// flush, rename and removal it makes, in turn (every state the profile file
// and the registry store pass through); after it, either
// no profile file is there or it is registered for every version, and the
// next RUNONCE run leaves it registered for every version.
TEST_F(EndToEnd, ARunKilledAtAnyStepIsNeverTakenForDone) {
  ProcessOptions options;
  // LeakSanitizer cannot work under ptrace (the sanitizer build): leaks are
  // looked for in the runs without strace. The program is started by
  // setpriv, so that it ends with strace (a traced program outlives its
  // tracer), and strace ends with the test.
  options.environment = {{"XDG_CONFIG_HOME", fs::path(PrfPath()).parent_path().string()},
                         {"ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1"}};
  int killed = 0;
  for (const char* call : {"fsync", "rename", "unlink"}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
      fs::remove(PrfPath());
      ClearRegistry();
      ProcessResult run = RunProgram(
          "/usr/bin/strace",
          {"-qq", "-o", "/dev/null", "-e", std::string("trace=") + call, "-e",
           "inject=" + std::string(call) + ":signal=KILL:when=" + std::to_string(n),
           "/usr/bin/setpriv", "--pdeathsig", "KILL", ProgramPath(), "server1", "RUNONCE"},
          options);
      ASSERT_TRUE(run.started) << run.error;
      if (run.exitCode == 0) {
        break;  // the run made fewer such calls: it was not stopped
      }
      ASSERT_EQ(run.exitCode, 128 + SIGKILL) << run.output;
      ++killed;
      if (fs::exists(PrfPath())) {
        ExpectRegisteredEverywhere();
      }
      ProcessResult next = Run({"server1", "RUNONCE"});
      EXPECT_EQ(next.exitCode, 0);
      ExpectRegisteredEverywhere();
      if (HasFailure()) {
        return;
      }
    }
  }
  EXPECT_EQ(killed, 2 + 4 * static_cast<int>(std::size(kOfficeVersions)))
      << "a flush and a rename for the file and each version's value, two deletions a version";
}

// Standard output that fails after the banner, on the line that reports
// the outcome: a file whose size limit (RLIMIT_FSIZE, inherited by the
// program) leaves room for the banner and not for the next line, while the
// profile and the registry store, far smaller than the limit, are written.
class FailingOutputAfterTheBanner {
 public:
  explicit FailingOutputAfterTheBanner(const fs::path& file) : file_(file) {
    WriteFileBytes(file_, std::string(kLimit - kBanner.size() - 10, '.'));
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write instead of a signal
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved_), 0);
    struct rlimit lowered = saved_;
    lowered.rlim_cur = kLimit;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
  }
  ~FailingOutputAfterTheBanner() {
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &saved_), 0);
    std::signal(SIGXFSZ, savedHandler_);
  }
  ProcessOptions Options() const {
    ProcessOptions options;
    options.output = OutputMode::Append;
    options.outputFile = file_.string();
    return options;
  }
  // What reached the file after the filling: the banner and 10 bytes.
  std::string Written() const { return ReadFileBytes(file_).substr(kLimit - kBanner.size() - 10); }

 private:
  static constexpr size_t kLimit = 65536;
  fs::path file_;
  struct rlimit saved_ {};
  void (*savedHandler_)(int) = SIG_DFL;
};

TEST_F(EndToEnd, StandardOutputFailingOnTheSuccessLineGivesStatusOne) {
  TempDir temp;
  ProcessResult run;
  std::string written;
  {
    FailingOutputAfterTheBanner output(temp.path() / "stdout");
    run = Run({"server1", "jsmith"}, output.Options());
    written = output.Written();
  }
  EXPECT_EQ(run.exitCode, 1) << "the outcome could not be reported";
  EXPECT_EQ(written, kBanner + kSuccessLine.substr(0, 10));
  // The profile itself was written and registered before that.
  EXPECT_EQ(PrfLines().size(), 242u);
  ExpectRegisteredEverywhere();
}

TEST_F(EndToEnd, StandardOutputFailingOnTheAlreadyGeneratedLineGivesStatusOne) {
  WriteFileBytes(PrfPath(), "earlier profile");
  TempDir temp;
  ProcessResult run;
  std::string written;
  {
    FailingOutputAfterTheBanner output(temp.path() / "stdout");
    run = Run({"server1", "RUNONCE"}, output.Options());
    written = output.Written();
  }
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(written, kBanner + kAlreadyLine.substr(0, 10));
  EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
  ExpectNothingRegistered();
}

}  // namespace
}  // namespace wmtest
