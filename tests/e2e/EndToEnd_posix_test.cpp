// The end-to-end cases only Linux has: arguments as a shell hands them over,
// the XDG configuration folder, the usage text on standard output, and
// standard output that fails after the banner (a file-size limit).
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <map>
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
      {"LineBreakInServer", {"server\n1", "jsmith"}, "server name contains a line break"},
      {"LineBreakInUser", {"server1", "j\rsmith"}, "user name contains a line break"},
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
// process killed) is never taken for done, nor one where that step fails: the
// run is killed before each flush, rename and removal it makes, in turn
// (every state the profile file and the registry store pass through), and
// then that call is made to fail; after a kill, either no profile file is
// there or it is registered for every version; after a failure, one error
// line (the system's log has it too), no file, and each version's ImportPRF
// as it was (a value that named the missing file is gone); and the next
// RUNONCE run leaves it registered for every version. Last, the taking back
// itself fails for the newest version: the line says what stands.
TEST_F(EndToEnd, ARunKilledOrFailingAtAnyStepIsNeverTakenForDone) {
  ProcessOptions options;
  // LeakSanitizer cannot work under ptrace (the sanitizer build): leaks are
  // looked for in the runs without strace. The program is started by
  // setpriv, so that it ends with strace (a traced program outlives its
  // tracer), and strace ends with the test. The system's log is reached as
  // if it were there (connect succeeds), so that strace shows what it sends.
  options.environment = {{"XDG_CONFIG_HOME", fs::path(PrfPath()).parent_path().string()},
                         {"ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1"}};
  TempDir temp;
  const std::string trace = (temp.path() / "trace").string();
  auto traced = [&](const std::vector<std::string>& injections) {
    for (const std::string& name : FolderEntries(fs::path(PrfPath()).parent_path())) {
      fs::remove_all(fs::path(PrfPath()).parent_path() / name);  // a killed run's too
    }
    Registry().SetValue(SetupKey("12.0"), "ImportPRF", Sz(PrfPath()));
    Registry().SetValue(SetupKey("8.0"), "ImportPRF", Sz("C:\\earlier.prf"));
    Registry().SetValue(SetupKey("8.0"), "FirstRun", Sz("1"));
    std::vector<std::string> arguments = {
        "-qq", "-o", trace, "-s", "4096", "-e", "inject=connect:retval=0"};
    std::string calls = "trace=connect,sendto";
    for (const std::string& injection : injections) {
      arguments.insert(arguments.end(), {"-e", "inject=" + injection});
      calls += "," + injection.substr(0, injection.find(':'));
    }
    arguments.insert(arguments.end(), {"-e", calls});
    arguments.insert(arguments.end(), {"/usr/bin/setpriv", "--pdeathsig", "KILL", ProgramPath(),
                                       "server1", "RUNONCE"});
    ProcessResult run = RunProgram("/usr/bin/strace", arguments, options);
    EXPECT_TRUE(run.started) << run.error;
    return run;
  };
  auto expectFailed = [&](const ProcessResult& run, const std::string& ending) {
    ExpectOneErrorLine(run, ending + "\r\n");
    std::string line = run.output.substr(kBanner.size(), run.output.size() - kBanner.size() - 2);
    for (size_t at = 0; (at = line.find_first_of("\"\\", at)) != std::string::npos; at += 2) {
      line.insert(at, "\\");  // as strace shows it
    }
    EXPECT_NE(ReadFileBytes(trace).find("<11>"), std::string::npos) << "user.err";
    EXPECT_NE(ReadFileBytes(trace).find("]: " + line + "\""), std::string::npos)
        << ReadFileBytes(trace);
    EXPECT_FALSE(fs::exists(PrfPath()));
    EXPECT_EQ(FolderEntries(fs::path(PrfPath()).parent_path()),
              std::vector<std::string>{"Wendelmarquistone"});
  };
  auto expectNextRunDoesTheJob = [&] {
    ProcessResult next = Run({"server1", "RUNONCE"});
    EXPECT_EQ(next.exitCode, 0);
    ExpectRegisteredEverywhere();
  };
  int killed = 0;
  for (const char* call : {"fsync", "rename", "unlink"}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
      const std::string when = ":when=" + std::to_string(n);
      ProcessResult run = traced({call + (":signal=KILL" + when)});
      if (run.exitCode == 0) {
        break;  // the run made fewer such calls: it was not stopped
      }
      ASSERT_EQ(run.exitCode, 128 + SIGKILL) << run.output;
      ++killed;
      if (fs::exists(PrfPath())) {
        ExpectRegisteredEverywhere();
      }
      expectNextRunDoesTheJob();

      run = traced({call + (":error=EIO" + when)});
      expectFailed(run, wm::kNothingChanged);
      // Where it failed before it set 12.0's value (the file's flush comes
      // first), the value naming the missing file is as it was.
      const bool before12 = (n == 1 && call == std::string("fsync")) ||
                            run.output.find("Outlook 12.0: ") != std::string::npos;
      for (const std::string version : kOfficeVersions) {
        const bool kept = version == "8.0" || (version == "12.0" && before12);
        EXPECT_EQ(Registry().Values(SetupKey(version)).count("ImportPRF"), kept ? 1u : 0u)
            << version;
      }
      EXPECT_EQ(Registry().Values(SetupKey("8.0"))["ImportPRF"], Sz("C:\\earlier.prf"));
      expectNextRunDoesTheJob();
      if (HasFailure()) {
        return;
      }
    }
  }
  const int versions = static_cast<int>(std::size(kOfficeVersions));
  EXPECT_EQ(killed, 2 + 4 * versions)
      << "a flush and a rename for the file and each version's value, two deletions a version";

  // The file's rename fails, and so does the first removal of the taking back.
  ProcessResult run = traced({"rename:error=EIO:when=" + std::to_string(versions + 1),
                              "unlink:error=EPERM:when=" + std::to_string(2 * versions + 1)});
  expectFailed(run,
               "; taking its registration back failed too (deleting value \"ImportPRF\" in "
               "HKEY_CURRENT_USER\\" +
                   SetupKey("12.0") +
                   " failed: Operation not permitted (error 1)): Outlook 12.0 is left "
                   "pointed at \"" +
                   PrfPath() +
                   "\", where no file was put; the next run, RUNONCE included, does the "
                   "whole job.");
  EXPECT_EQ(run.output.find("Error: Cannot write the profile file"), kBanner.size());
  EXPECT_EQ(Registry().Values(SetupKey("12.0"))["ImportPRF"], Sz(PrfPath()));
  EXPECT_TRUE(Registry().KeyExists(SetupKey("11.0")) && Registry().Values(SetupKey("11.0")).empty())
      << "its key made, and left";
  EXPECT_EQ(Registry().Values(SetupKey("8.0")),
            (std::map<std::string, RegistryValue>{{"ImportPRF", Sz("C:\\earlier.prf")}}))
      << "FirstRun deleted, ImportPRF put back";
  expectNextRunDoesTheJob();
}

// A run that runs out of memory (every allocation past the start's small
// ones fails) stops with the one line that needs none, logged, and status 1,
// before anything is written or registered.
TEST_F(EndToEnd, OutOfMemoryStopsTheRunWithStatusOne) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizer's allocator does not go through malloc";
#endif
  TempDir temp;
  const std::string trace = (temp.path() / "trace").string();
  ProcessOptions options;
  options.environment = {{"XDG_CONFIG_HOME", fs::path(PrfPath()).parent_path().string()}};
  ProcessResult run = RunProgram(
      "/usr/bin/strace",
      {"-qq", "-o", trace, "-s", "4096", "-e", "trace=connect,sendto", "-e",
       "inject=connect:retval=0", "-E", std::string("LD_PRELOAD=") + WM_FAILING_ALLOCATOR_PATH,
       ProgramPath(), "server1", "jsmith"},
      options);
  ASSERT_TRUE(run.started) << run.error;
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output, kBanner + "Error: Out of memory; the run was stopped.\r\n");
  EXPECT_NE(ReadFileBytes(trace).find("<11>"), std::string::npos) << "user.err";
  EXPECT_NE(ReadFileBytes(trace).find("]: Error: Out of memory; the run was stopped.\""),
            std::string::npos)
      << ReadFileBytes(trace);
  EXPECT_FALSE(fs::exists(PrfPath()));
  ExpectNothingRegistered();
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
