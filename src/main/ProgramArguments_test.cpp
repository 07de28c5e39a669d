#include "main/ProgramArguments.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "main/ArgumentLine.h"

namespace wm {
namespace {

struct SplitCase {
  const char* name;
  std::string line;  // a whole command line, program name first
  std::vector<std::string> arguments;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class SplitCommandLineTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTable, SplitsAfterTheProgramName) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitCommandLine(SkipProgramName(c.line)), c.arguments);
}

const SplitCase kSplitCases[] = {
    {"NoArguments", "Wendelmarquistone.exe", {}},
    {"TrailingSpaces", "Wendelmarquistone.exe   ", {}},
    {"Plain", "Wendelmarquistone.exe server1 jsmith RUNONCE", {"server1", "jsmith", "RUNONCE"}},
    {"QuotedProgramWithSpaces",
     "\"C:\\Program Files\\W\\Wendelmarquistone.exe\" server1",
     {"server1"}},
    {"EmptyProgramName", "\"\" server1", {"server1"}},
    {"LeadingBlanks", "  prog   a  ", {"a"}},
    {"QuotedArgumentKeepsSpaces", "prog \"my server\" x", {"my server", "x"}},
    {"EmptyQuotesVanish", "prog server1 \"\" RUNONCE", {"server1", "RUNONCE"}},
    {"OnlyEmptyQuotes", "prog \"\" \"\"\"\"", {}},
    {"TabsSeparate", "prog a\tb", {"a", "b"}},
    {"ControlCharactersSeparate",
     "prog a\x01"
     "b\x1f"
     "c",
     {"a", "b", "c"}},
    {"HighBytesDoNot", "prog caf\xe9\xa0x", {"caf\xe9\xa0x"}},
    {"QuotedStretchInsideArgument", "prog ab\"c d\"e", {"abc de"}},
    {"BackslashIsOrdinary", "prog \"a\\\"b c", {"a\\b", "c"}},
    {"DoubledQuotesAreTwoQuotes", "prog \"a\"\"b\"", {"ab"}},
    {"UnclosedQuoteRunsToTheEnd", "prog \"unclosed  stretch", {"unclosed  stretch"}},
    {"SingleQuotesAreOrdinary", "prog 'my server'", {"'my", "server'"}},
    {"QuotedSpaceIsKept", "prog \" \"", {" "}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTable, ::testing::ValuesIn(kSplitCases),
                         [](const auto& p) { return std::string(p.param.name); });

// From a raw command line to the four values, as the Windows program reads it.
TEST(CommandLineToArguments, EmptyUserNameInQuotesActsAsLeftOut) {
  const Arguments parsed =
      ParseArguments(SplitCommandLine(SkipProgramName("prog server1 \"\" RUNONCE")));
  EXPECT_EQ(parsed.ExchangeServer, "server1");
  EXPECT_EQ(parsed.UserName, "");
  EXPECT_TRUE(parsed.RunOnce);
}

TEST(CommandLineToArguments, DoubleQuotedTwoWordsAreSplitAgain) {
  const Arguments parsed =
      ParseArguments(SplitCommandLine(SkipProgramName("prog \"word1   word2\"")));
  EXPECT_EQ(parsed.ExchangeServer, "word1");
  EXPECT_EQ(parsed.UserName, "");
}

TEST(CommandLineToArguments, SpaceInDoubleQuotesIsAnEmptyServer) {
  const Arguments parsed = ParseArguments(SplitCommandLine(SkipProgramName("prog \" \"")));
  EXPECT_EQ(parsed.ExchangeServer, "");
  EXPECT_EQ(parsed.UserName, "");
  EXPECT_FALSE(parsed.RunOnce);
  EXPECT_FALSE(parsed.OnlyEmpty);
}

}  // namespace
}  // namespace wm
