#include "profile/ProfileDocument.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/TestSupport.h"

namespace {

using wmtest::ReadFileBytes;
using wmtest::SplitCrLf;

const char* const kGolden = "tests/testdata/outlook-server1-jsmith.prf";

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
  const bool OnlyEmpty = GetParam();
  std::vector<std::string> lines = wm::ProfileLines("server1", "jsmith", OnlyEmpty);
  std::vector<std::string> other = wm::ProfileLines("server1", "jsmith", !OnlyEmpty);
  ASSERT_EQ(lines.size(), 241u);
  EXPECT_EQ(lines[9], OnlyEmpty ? "DefaultProfile=No" : "DefaultProfile=Yes");
  EXPECT_EQ(lines[10], OnlyEmpty ? "OverwriteProfile=No" : "OverwriteProfile=Yes");
  for (size_t index = 0; index < lines.size(); ++index) {
    if (index != 9 && index != 10) {
      EXPECT_EQ(lines[index], other[index]) << "line " << index + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothChoices, OnlyEmptyTest, ::testing::Bool());

struct Substitution {
  const char* server;
  const char* user;
};

class SubstitutionTest : public ::testing::TestWithParam<Substitution> {};

TEST_P(SubstitutionTest, ValuesGoInExactlyAsGiven) {
  const std::string server = GetParam().server;
  const std::string user = GetParam().user;
  std::vector<std::string> lines = wm::ProfileLines(server, user, false);
  ASSERT_EQ(lines.size(), 241u);
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

}  // namespace
