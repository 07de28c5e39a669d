// The Linux program run as a separate process, with its home and
// configuration folders in a temporary folder: its output bytes, its exit
// status, the profile file and the registry store on disk.
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Expected.h"
#include "testlib/Process.h"
#include "testlib/TestSupport.h"

namespace wmtest {
namespace {

namespace fs = std::filesystem;

std::string LogonName() {
  struct passwd* entry = getpwuid(geteuid());
  return entry != nullptr ? entry->pw_name : "";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = temp_.path() / "home";
    config_ = temp_.path() / "config";
    fs::create_directories(home_);
    fs::create_directories(config_);
  }

  fs::path PrfPath() const { return config_ / "outlook.prf"; }
  fs::path StoreRoot() const { return config_ / "Wendelmarquistone" / "Registry"; }
  fs::path SetupKey(const char* version) const {
    return StoreRoot() / "HKEY_CURRENT_USER" / "Software" / "Microsoft" / "Office" / version /
           "Outlook" / "Setup";
  }
  // The stored value file: its type line, then the data bytes.
  std::string StoredValue(const char* version, const char* name) const {
    return ReadFileBytes(SetupKey(version) / (std::string("@") + name));
  }

  ProcessResult Run(const std::vector<std::string>& arguments, ProcessOptions options = {}) {
    options.environment.push_back({"HOME", home_.string()});
    options.environment.push_back({"XDG_CONFIG_HOME", config_.string()});
    ProcessResult result = RunProgram(ProgramPath(), arguments, options);
    EXPECT_TRUE(result.started) << result.error;
    EXPECT_FALSE(result.timedOut);
    return result;
  }

  void ExpectRegisteredEverywhere() {
    for (const char* version : kOfficeVersions) {
      EXPECT_EQ(StoredValue(version, "ImportPRF"),
                "REG_SZ\n" + PrfPath().string() + std::string(1, '\0'))
          << version;
    }
  }

  void ExpectNothingRegistered() {
    EXPECT_FALSE(fs::exists(StoreRoot())) << "the registry store must be left as it was";
  }

  void ExpectOneErrorLine(const ProcessResult& run, const std::string& mention) {
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.output.substr(0, kBanner.size()), kBanner);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_EQ(error.find("\r\n"), error.size() - 2) << "one line: " << error;
    EXPECT_NE(error.find(mention), std::string::npos) << error;
  }

  std::vector<std::string> PrfLines() { return SplitCrLf(ReadFileBytes(PrfPath())); }

  TempDir temp_;
  fs::path home_;
  fs::path config_;
};

TEST_F(EndToEnd, ServerAndUserWriteAndRegisterTheProfile) {
  ProcessResult run = Run({"server1", "jsmith"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);
  std::vector<std::string> lines = PrfLines();
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[240], "");
  EXPECT_EQ(lines[42], "MailboxName=jsmith");
  EXPECT_EQ(lines[43], "HomeServer=server1");
  ExpectRegisteredEverywhere();
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
    fs::remove_all(config_);
    fs::create_directories(config_);
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
  fs::create_directories(home_ / ".config");
  ProcessOptions options;
  options.environment = {{"HOME", home_.string()}, {"XDG_CONFIG_HOME", std::nullopt}};
  ProcessResult run = RunProgram(ProgramPath(), {"server1"}, options);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);
  EXPECT_TRUE(fs::is_regular_file(home_ / ".config" / "outlook.prf"));
}

TEST_F(EndToEnd, RunOnceTwiceChangesNothingTheSecondTime) {
  ProcessResult first = Run({"server1", "RUNONCE"});
  EXPECT_EQ(first.output, kBanner + kSuccessLine);
  ExpectRegisteredEverywhere();
  WriteFileBytes(PrfPath(), "marker");
  fs::remove_all(StoreRoot());

  ProcessResult second = Run({"server1", "RUNONCE"});
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.output, kBanner + kAlreadyLine);
  EXPECT_EQ(ReadFileBytes(PrfPath()), "marker");
  ExpectNothingRegistered();
}

TEST_F(EndToEnd, OnlyEmptyTwiceWritesBothTimes) {
  for (int run = 0; run < 2; ++run) {
    ProcessResult result = Run({"server1", "ONLY_EMPTY"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[9], "DefaultProfile=No");
    EXPECT_EQ(lines[10], "OverwriteProfile=No");
  }
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
    EXPECT_EQ(run.output, kBanner + ReadFileBytes(SourcePath("tests/ui/UsageText.expected")));
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

TEST_F(EndToEnd, AFolderNamedOutlookPrfIsAFailure) {
  fs::create_directory(PrfPath());
  for (const char* option : {"RUNONCE", "ONLY_EMPTY"}) {
    ProcessResult run = Run({"server1", option});
    ExpectOneErrorLine(run, PrfPath().string());
    EXPECT_TRUE(fs::is_directory(PrfPath()));
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, MissingOrUnwritableApplicationDataFolder) {
  for (const std::string& folder : {(temp_.path() / "missing").string(), std::string("/proc")}) {
    SCOPED_TRACE(folder);
    ProcessOptions options;
    options.environment = {{"HOME", home_.string()}, {"XDG_CONFIG_HOME", folder}};
    ProcessResult run = RunProgram(ProgramPath(), {"server1"}, options);
    ExpectOneErrorLine(run, folder + "/outlook.prf");
  }
  EXPECT_FALSE(fs::exists(temp_.path() / "missing"));
}

TEST_F(EndToEnd, RegistrationFailureIsReportedAfterTheNewestVersion) {
  // In 11.0: a plain file where the key's folder would go; a first-run
  // marker that cannot be deleted (a folder with something in it where its
  // value file is), which would keep Outlook from importing the profile.
  const fs::path blocked[] = {SetupKey("11.0").parent_path().parent_path(),
                              SetupKey("11.0") / "@First-Run" / "x"};
  for (const fs::path& blocker : blocked) {
    SCOPED_TRACE(blocker);
    fs::remove_all(StoreRoot());
    fs::create_directories(SetupKey("12.0").parent_path().parent_path().parent_path());
    fs::create_directories(blocker.parent_path());
    WriteFileBytes(blocker, "in the way");
    ProcessResult run = Run({"server1", "jsmith"});
    ExpectOneErrorLine(run, "Cannot register the profile for Outlook 11.0: ");
    EXPECT_EQ(StoredValue("12.0", "ImportPRF"),
              "REG_SZ\n" + PrfPath().string() + std::string(1, '\0'));
    for (const char* version : {"10.0", "9.0", "8.0"}) {
      EXPECT_FALSE(fs::exists(SetupKey(version).parent_path().parent_path())) << version;
    }
  }
}

TEST_F(EndToEnd, BrokenStandardOutputGivesStatusOne) {
  WriteFileBytes(PrfPath(), "earlier profile");
  ProcessOptions closed;
  closed.output = OutputMode::Closed;
  ProcessOptions full;
  full.output = OutputMode::File;
  full.outputFile = "/dev/full";
  for (const ProcessOptions& options : {closed, full}) {
    ProcessResult run = Run({"server1", "jsmith"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
    ExpectNothingRegistered();
  }
}

TEST_F(EndToEnd, AnOptionWhereTheServerBelongsIsRefused) {
  for (const std::string word : {"/x", "-server1", "--version", "/??"}) {
    SCOPED_TRACE(word);
    ProcessResult run = Run({word, "jsmith"});
    ExpectOneErrorLine(run, "\"" + word + "\"");
    EXPECT_NE(run.output.find("/? shows how to call the tool"), std::string::npos);
    EXPECT_FALSE(fs::exists(PrfPath()));
    ExpectNothingRegistered();
  }
  // A control character in the word cannot break the error line.
  ProcessResult run = Run({"-a\nb"});
  ExpectOneErrorLine(run, "\"-a?b\"");
}

TEST_F(EndToEnd, OptionWordsLaterOnAreNames) {
  ProcessResult run = Run({"server1", "-h", "/?"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kSuccessLine);
  std::vector<std::string> lines = PrfLines();
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[42], "MailboxName=-h");
  EXPECT_EQ(lines[43], "HomeServer=server1");
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
  ProcessResult run;
  std::string written;
  {
    FailingOutputAfterTheBanner output(temp_.path() / "stdout");
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
  ProcessResult run;
  std::string written;
  {
    FailingOutputAfterTheBanner output(temp_.path() / "stdout");
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
