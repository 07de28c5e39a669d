#include "profile/ProfileDocument.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/ImportRegistration.h"
#include "profile/LogonName.h"
#include "testlib/RecordingRegistry.h"
#include "testlib/WriteBlocker.h"
#include "testlib/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using wmtest::FolderEntries;
using wmtest::ReadFileBytes;
using wmtest::RecordingRegistry;
using wmtest::RegisteredCalls;
using wmtest::SplitCrLf;
using wmtest::TempDir;
using wmtest::WriteFileBytes;

const char* const kGolden = "tests/testdata/outlook-server1-jsmith.prf";

class WriteProfileTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string prf_ = (dir_.path() / "outlook.prf").string();
  RecordingRegistry registry_;
};

TEST_F(WriteProfileTest, WritesTheGoldenDocumentAndRegistersIt) {
  wm::Status status = wm::WriteProfile("server1", "jsmith", prf_, false, registry_);
  ASSERT_TRUE(status.ok()) << status.message();
  std::string golden = ReadFileBytes(wmtest::SourcePath(kGolden));
  ASSERT_EQ(golden.size(), 7362u) << "golden file damaged (line ends converted?)";
  EXPECT_EQ(ReadFileBytes(prf_), golden);
  EXPECT_EQ(registry_.calls, RegisteredCalls(prf_));
  EXPECT_FALSE(registry_.keyOpen);
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"outlook.prf"});
}

// The golden file itself: 241 lines, each ended by CR LF, the last one empty,
// the trailing spaces and the three kinds of separator lines.
TEST(GoldenFile, HasTheDocumentsShape) {
  std::string bytes = ReadFileBytes(wmtest::SourcePath(kGolden));
  std::vector<std::string> lines = SplitCrLf(bytes);
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[241], "");  // nothing after the last CR LF
  EXPECT_EQ(lines[240], "");  // line 241 is empty
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
  }
  EXPECT_EQ(lines[123], "PathToPersonalFolders=PT_STRING8,0x6700 ");
  EXPECT_EQ(lines[131], "PathToPersonalFolders=PT_STRING8,0x6700 ");
  const std::string shortStars = "; " + std::string(62, '*');
  const std::string plainStars = ";" + std::string(63, '*');
  const std::string longStars = "; " + std::string(72, '*');
  for (int number : {3, 5, 16, 18}) {
    EXPECT_EQ(lines[number - 1], shortStars) << "line " << number;
  }
  for (int number : {27, 29, 33, 35, 66, 68, 70, 72}) {
    EXPECT_EQ(lines[number - 1], plainStars) << "line " << number;
  }
  for (int number : {169, 171}) {
    EXPECT_EQ(lines[number - 1], longStars) << "line " << number;
  }
}

TEST(ProfileLines, AreTheDocumentsLinesWithoutLineEnds) {
  std::string golden = ReadFileBytes(wmtest::SourcePath(kGolden));
  std::vector<std::string> expected = SplitCrLf(golden);
  expected.pop_back();
  EXPECT_EQ(wm::ProfileLines("server1", "jsmith", false), expected);
}

class OnlyEmptyTest : public ::testing::TestWithParam<bool> {};

TEST_P(OnlyEmptyTest, SwitchesLinesTenAndElevenOnly) {
  const bool onlyEmpty = GetParam();
  std::vector<std::string> lines = wm::ProfileLines("server1", "jsmith", onlyEmpty);
  std::vector<std::string> other = wm::ProfileLines("server1", "jsmith", !onlyEmpty);
  ASSERT_EQ(lines.size(), 241u);
  EXPECT_EQ(lines[9], onlyEmpty ? "DefaultProfile=No" : "DefaultProfile=Yes");
  EXPECT_EQ(lines[10], onlyEmpty ? "OverwriteProfile=No" : "OverwriteProfile=Yes");
  for (size_t index = 0; index < lines.size(); ++index) {
    if (index != 9 && index != 10) {
      EXPECT_EQ(lines[index], other[index]) << "line " << index + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothChoices, OnlyEmptyTest, ::testing::Bool());

TEST_F(WriteProfileTest, OnlyEmptyReachesTheFile) {
  ASSERT_TRUE(wm::WriteProfile("server1", "jsmith", prf_, true, registry_).ok());
  std::vector<std::string> lines = SplitCrLf(ReadFileBytes(prf_));
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[9], "DefaultProfile=No");
  EXPECT_EQ(lines[10], "OverwriteProfile=No");
}

struct Substitution {
  const char* server;
  const char* user;
};

class SubstitutionTest : public WriteProfileTest,
                         public ::testing::WithParamInterface<Substitution> {};

TEST_P(SubstitutionTest, ValuesGoInExactlyAsGiven) {
  const std::string server = GetParam().server;
  const std::string user = GetParam().user;
  ASSERT_TRUE(wm::WriteProfile(server, user, prf_, false, registry_).ok());
  std::vector<std::string> lines = SplitCrLf(ReadFileBytes(prf_));
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[42], "MailboxName=" + user);
  EXPECT_EQ(lines[48], "MailboxName=" + user);
  EXPECT_EQ(lines[43], "HomeServer=" + server);
  EXPECT_EQ(lines[49], "HomeServer=" + server);
  EXPECT_EQ(lines[40], "[ServiceEGS]");
  EXPECT_EQ(lines[45], "[Service1]");
}

INSTANTIATE_TEST_SUITE_P(
    Values, SubstitutionTest,
    ::testing::Values(Substitution{"server1", "jsmith"},
                      Substitution{" server1 ", "  jsmith\t"},                 // spaces kept
                      Substitution{"mail.example.com", "Smith, John \"JS\""},  // no quoting
                      Substitution{"srv;[x]=y", "%USERNAME%\\\xe4"},           // no escaping, 8-bit
                      Substitution{"", "jsmith"}));

class BlankUserNameTest : public WriteProfileTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(BlankUserNameTest, IsReplacedByTheLogonName) {
  const std::string logonName = wm::CurrentLogonName().value();
  ASSERT_FALSE(logonName.empty());
  ASSERT_TRUE(wm::WriteProfile("server1", GetParam(), prf_, false, registry_).ok());
  std::vector<std::string> lines = SplitCrLf(ReadFileBytes(prf_));
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[42], "MailboxName=" + logonName);
  EXPECT_EQ(lines[48], "MailboxName=" + logonName);
}

INSTANTIATE_TEST_SUITE_P(EmptyOnceTrimmed, BlankUserNameTest,
                         ::testing::Values("", " ", "   \t ", " \r\n "));

// The system's own accounts are told from a user's, whose profile a run
// serves.
TEST(SystemAccountName, NamesOnlyTheThreeSystemAccounts) {
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-18"), "SYSTEM");
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-19"), "LOCAL SERVICE");
  EXPECT_STREQ(wm::SystemAccountName("S-1-5-20"), "NETWORK SERVICE");
  for (const char* sid :
       {"S-1-5-21-1004336348-1177238915-682003330-512", "S-1-5-18-1", "S-1-5-1", "S-1-5-180", ""}) {
    EXPECT_EQ(wm::SystemAccountName(sid), nullptr) << sid;
  }
}

TEST_F(WriteProfileTest, ReplacesAnExistingFile) {
  WriteFileBytes(prf_, std::string(20000, 'x') + "\r\nold profile\r\n");
  ASSERT_TRUE(wm::WriteProfile("server1", "jsmith", prf_, false, registry_).ok());
  EXPECT_EQ(ReadFileBytes(prf_), ReadFileBytes(wmtest::SourcePath(kGolden)));
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"outlook.prf"});
}

TEST_F(WriteProfileTest, AFailedWriteKeepsTheOldFileAndRegistersNothing) {
  const std::string old = "[General]\r\nProfileName=Old\r\n";
  WriteFileBytes(prf_, old);
  wm::Status status = wm::Status::Ok();
  {
    wmtest::WriteBlocker blocker(prf_);
    status = wm::WriteProfile("server1", "jsmith", prf_, false, registry_);
  }
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind("Cannot write the profile file \"" + prf_ + "\": ", 0), 0u)
      << status.message();
  EXPECT_NE(status.message().find("(error "), std::string::npos) << status.message();
  EXPECT_EQ(status.failureClass(), wm::FailureClass::ProfileFile);
  EXPECT_EQ(ReadFileBytes(prf_), old);
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"outlook.prf"});
  EXPECT_TRUE(registry_.calls.empty());
}

TEST_F(WriteProfileTest, AMissingFolderIsReportedAndNothingRegistered) {
  std::string prf = (dir_.path() / "missing" / "outlook.prf").string();
  wm::Status status = wm::WriteProfile("server1", "jsmith", prf, false, registry_);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind("Cannot write the profile file \"" + prf + "\": ", 0), 0u)
      << status.message();
  EXPECT_TRUE(FolderEntries(dir_.path()).empty());
  EXPECT_TRUE(registry_.calls.empty());
}

// The file in its place is what a later RUNONCE run takes for a finished
// job: where there was none, a registration that fails at any step leaves
// none, and no temporary file; where there was one, it is replaced first.
TEST_F(WriteProfileTest, ARegistrationFailureLeavesNoNewFile) {
  const std::string failures[] = {RegisteredCalls(prf_)[0], "delete First-Run", "set ImportPRF="};
  const std::string failed = std::string("Cannot register the profile for Outlook ") +
                             wm::kOfficeVersions[0] + ": ";  // in the first pass, the newest
  for (const std::string& failure : failures) {
    for (const bool earlier : {false, true}) {
      SCOPED_TRACE(failure + (earlier ? ", an earlier file" : ", no file"));
      fs::remove(prf_);
      if (earlier) {
        WriteFileBytes(prf_, "old profile\r\n");
      }
      registry_ = RecordingRegistry();
      registry_.failOn = failure == failures[2] ? failure + prf_ : failure;
      wm::Status status = wm::WriteProfile("server1", "jsmith", prf_, false, registry_);
      ASSERT_FALSE(status.ok());
      EXPECT_EQ(status.message().rfind(failed, 0), 0u) << status.message();
      EXPECT_EQ(status.failureClass(), wm::FailureClass::Registry);
      EXPECT_EQ(FolderEntries(dir_.path()),
                earlier ? std::vector<std::string>{"outlook.prf"} : std::vector<std::string>{});
      if (earlier) {
        EXPECT_EQ(ReadFileBytes(prf_), ReadFileBytes(wmtest::SourcePath(kGolden)));
      }
    }
  }
}

struct LineBreakCase {
  const char* server;
  const char* user;
  const char* message;
};

class LineBreakTest : public WriteProfileTest,
                      public ::testing::WithParamInterface<LineBreakCase> {};

TEST_P(LineBreakTest, IsRefusedAndNothingIsWrittenOrRegistered) {
  const std::string old = "old profile\r\n";
  WriteFileBytes(prf_, old);
  wm::Status status = wm::WriteProfile(GetParam().server, GetParam().user, prf_, false, registry_);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.message(), GetParam().message);
  EXPECT_EQ(status.failureClass(), wm::FailureClass::CommandLine);
  EXPECT_EQ(ReadFileBytes(prf_), old);
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"outlook.prf"});
  EXPECT_TRUE(registry_.calls.empty());
}

const char* const kServerRefused = "The server name contains a line break";
const char* const kUserRefused = "The user name contains a line break";

INSTANTIATE_TEST_SUITE_P(
    CrOrLf, LineBreakTest,
    ::testing::Values(LineBreakCase{"server1\r\nBackupProfile=Yes", "jsmith", kServerRefused},
                      LineBreakCase{"server1\n", "jsmith", kServerRefused},
                      LineBreakCase{"ser\rver1", "jsmith", kServerRefused},
                      LineBreakCase{"server1", "jsmith\r\n[General]", kUserRefused},
                      LineBreakCase{"server1", "js\nmith", kUserRefused},
                      LineBreakCase{"server1", "jsmith\r", kUserRefused},
                      LineBreakCase{"a\nb", "c\nd", kServerRefused}));

}  // namespace
