// The end-to-end cases of every platform, through the fixture in EndToEnd.h.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/EndToEnd.h"
#include "main/ArgumentLine.h"

namespace wmtest {
namespace {

TEST_F(EndToEnd, ServerAndUserWriteAndRegisterTheProfile) {
  ProcessResult run = Run({"server1", "jsmith"});
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

TEST_F(EndToEnd, RunOnceTwiceChangesNothingTheSecondTime) {
  ProcessResult first = Run({"server1", "RUNONCE"});
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.output, kBanner + kSuccessLine);
  ExpectRegisteredEverywhere();

  // Mark the file and the registry so that any change would show.
  WriteFileBytes(PrfPath(), "marker");
  ClearRegistry();
  Registry().SetValue(SetupKey("12.0"), "ImportPRF", Sz("marker"));
  Registry().SetValue(SetupKey("12.0"), "FirstRun", Sz("1"));

  ProcessResult second = Run({"server1", "RUNONCE"});
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.output, kBanner + kAlreadyLine);
  EXPECT_EQ(ReadFileBytes(PrfPath()), "marker");
  EXPECT_EQ(
      Registry().Values(SetupKey("12.0")),
      (std::map<std::string, RegistryValue>{{"ImportPRF", Sz("marker")}, {"FirstRun", Sz("1")}}));
  EXPECT_EQ(Registry().Subkeys(kOffice), std::vector<std::string>{"12.0"});
}

TEST_F(EndToEnd, OnlyEmptyTwiceWritesBothTimes) {
  // Before the runs: no file, the profile of the run before, an empty file,
  // some other file.
  const std::optional<std::string> earlier[] = {std::nullopt, std::nullopt, "", "marker"};
  for (const std::optional<std::string>& file : earlier) {
    SCOPED_TRACE(file ? "\"" + *file + "\"" : "as it is");
    if (file) {
      WriteFileBytes(PrfPath(), *file);
    }
    ProcessResult result = Run({"server1", "ONLY_EMPTY"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[9], "DefaultProfile=No");
    EXPECT_EQ(lines[10], "OverwriteProfile=No");
    ExpectRegisteredEverywhere();
  }
}

// A mistyped option is refused before anything is written: it never becomes
// the server's or the mailbox's name, and is never dropped.
TEST_F(EndToEnd, AMistypedOptionIsRefused) {
  struct Case {
    std::vector<std::string> arguments;
    wm::Status refusal;  // its message, in the words the program has for it
  };
  const Case cases[] = {
      {{"/x", "jsmith"}, wm::UnknownFirstWord("/x")},
      {{"-server1", "jsmith"}, wm::UnknownFirstWord("-server1")},
      {{"--version", "server1"}, wm::UnknownFirstWord("--version")},
      {{"/??", "server1", "jsmith"}, wm::UnknownFirstWord("/??")},
      {{"srv", "/RUNONCE"}, wm::UnknownOption("/RUNONCE")},
      {{"srv", "-runonce"}, wm::UnknownOption("-runonce")},
      {{"srv", "RUN_ONCE"}, wm::UnknownOption("RUN_ONCE")},
      {{"srv", "-h", "/?"}, wm::UnknownOption("-h")},
      {{"srv", "jsmith", "/ONLY_EMPTY"}, wm::UnknownOption("/ONLY_EMPTY")},
      {{"srv", "jsmith", "RUNONCE", "ONLY_EMPTY"}, wm::OptionAfterTheThirdWord("ONLY_EMPTY")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    for (const bool earlier : {false, true}) {
      std::filesystem::remove(PrfPath());
      if (earlier) {
        WriteFileBytes(PrfPath(), "earlier profile");
      }
      ProcessResult run = Run(c.arguments);
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_EQ(run.output, kBanner + "Error: " + c.refusal.message() +
                                "; no profile was written or registered.\r\n");
      EXPECT_EQ(std::filesystem::exists(PrfPath()), earlier);
      if (earlier) {
        EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
      }
      ExpectNothingRegistered();
    }
  }
}

TEST_F(EndToEnd, AFolderNamedOutlookPrfIsAFailure) {
  std::filesystem::create_directory(PrfPath());
  for (const char* option : {"RUNONCE", "ONLY_EMPTY", ""}) {
    SCOPED_TRACE(option);
    ProcessResult run = Run(*option != '\0' ? std::vector<std::string>{"server1", option}
                                            : std::vector<std::string>{"server1"});
    ExpectOneErrorLine(run, PrfPath());
    EXPECT_TRUE(std::filesystem::is_directory(PrfPath()));
    ExpectNothingRegistered();
  }
}

// The file in its place is what RUNONCE takes for a finished job: a run whose
// registration fails leaves none, and takes back what it registered (no
// version points at a missing file), so that the next RUNONCE run, once the
// registry can be written, does the whole job.
TEST_F(EndToEnd, RegistrationFailureIsReportedAfterTheNewestVersion) {
  for (const Blocker& blocker : RegistrationBlockers("11.0")) {
    SCOPED_TRACE(blocker.how);
    ClearRegistry();
    blocker.block();
    Registry().SetValue(SetupKey("12.0"), "ImportPRF", Sz("C:\\earlier.prf"));
    ProcessResult run = Run({"server1", "RUNONCE"});
    ExpectOneErrorLine(run, "Cannot register the profile for Outlook 11.0: ");
    ExpectOneErrorLine(run, blocker.reason);
    ExpectOneErrorLine(run, std::string(wm::kNothingChanged) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(PrfPath()));
    EXPECT_EQ(Registry().Values(SetupKey("11.0")).count("ImportPRF"), 0u);
    EXPECT_EQ(Registry().KeyExists(SetupKey("11.0")), blocker.leavesTheSetupKey);
    bool before = true;  // the versions before it taken back, the later ones untouched
    for (const std::string version : kOfficeVersions) {
      before = before && version != "11.0";
      if (before) {
        EXPECT_EQ(Registry().Values(SetupKey(version)),
                  (std::map<std::string, RegistryValue>{{"ImportPRF", Sz("C:\\earlier.prf")}}));
      } else if (version != "11.0") {
        EXPECT_FALSE(Registry().KeyExists(std::string(kOffice) + "\\" + version)) << version;
      }
    }

    ClearRegistry();
    run = Run({"server1", "RUNONCE"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + kSuccessLine);
    EXPECT_EQ(PrfLines().size(), 242u);
    ExpectRegisteredEverywhere();
    std::filesystem::remove(PrfPath());
  }
}

TEST_F(EndToEnd, BrokenStandardOutputGivesStatusOne) {
  WriteFileBytes(PrfPath(), "earlier profile");
  for (const ProcessOptions& options : BrokenStandardOutputs()) {
    SCOPED_TRACE(options.outputFile);
    ProcessResult run = Run({"server1", "jsmith"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
    ExpectNothingRegistered();
  }
}

}  // namespace
}  // namespace wmtest
