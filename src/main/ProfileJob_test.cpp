#include "main/ProfileJob.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/ImportRegistration.h"
#include "support/CurrentUser.h"
#include "testlib/RecordingRegistry.h"
#include "testlib/RegistryProbe.h"
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

TEST_F(WriteProfileTest, OnlyEmptyReachesTheFile) {
  ASSERT_TRUE(wm::WriteProfile("server1", "jsmith", prf_, true, registry_).ok());
  std::vector<std::string> lines = SplitCrLf(ReadFileBytes(prf_));
  ASSERT_EQ(lines.size(), 242u);
  EXPECT_EQ(lines[9], "DefaultProfile=No");
  EXPECT_EQ(lines[10], "OverwriteProfile=No");
}

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

// With the current user's real registry (on Linux: the store), read back
// without our own layer.
class WriteProfileRealTest : public ::testing::Test {
 protected:
  wmtest::RegistryProbe probe_;
  std::unique_ptr<wm::Registry> registry_ = probe_.Open();
  TempDir dir_;
  std::string prf_ = (dir_.path() / "outlook.prf").string();
};

TEST_F(WriteProfileRealTest, RegistersTheFileItWrote) {
  wm::Status status = wm::WriteProfile("server1", "jsmith", prf_, false, *registry_);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(ReadFileBytes(prf_), ReadFileBytes(wmtest::SourcePath(kGolden)));
  for (const char* version : wmtest::kOfficeVersions) {
    EXPECT_EQ(probe_.Values(wmtest::SetupKey(version)),
              (std::map<std::string, wmtest::RegistryValue>{{"ImportPRF", wmtest::Sz(prf_)}}))
        << version;
  }
}

TEST_F(WriteProfileRealTest, RegistersNothingWhenTheWriteFails) {
  WriteFileBytes(prf_, "old\r\n");
  wm::Status status = wm::Status::Ok();
  {
    wmtest::WriteBlocker blocker(prf_);
    status = wm::WriteProfile("server1", "jsmith", prf_, false, *registry_);
  }
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(ReadFileBytes(prf_), "old\r\n");
  EXPECT_FALSE(probe_.KeyExists("Software\\Microsoft\\Office\\12.0"));
}

}  // namespace
