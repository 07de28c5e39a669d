#include "main/ArgumentLine.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace wm {
namespace {

struct ArgumentCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string server;
  std::string user;
  bool RunOnce;
  bool OnlyEmpty;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseArgumentsTable : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ParseArgumentsTable, GivesTheFourValues) {
  const ArgumentCase& c = GetParam();
  const Arguments parsed = ParseArguments(c.arguments);
  EXPECT_EQ(parsed.ExchangeServer, c.server);
  EXPECT_EQ(parsed.UserName, c.user);
  EXPECT_EQ(parsed.RunOnce, c.RunOnce);
  EXPECT_EQ(parsed.OnlyEmpty, c.OnlyEmpty);
}

const ArgumentCase kCases[] = {
    {"NoArguments", {}, "", "", false, false},
    {"ServerOnly", {"server1"}, "server1", "", false, false},
    {"OnlyEmptySecond", {"server1", "ONLY_EMPTY"}, "server1", "", false, true},
    {"UserThenRunOnce", {"server1", "jsmith", "RUNONCE"}, "server1", "jsmith", true, false},
    {"UserThenOnlyEmpty", {"server1", "jsmith", "only_empty"}, "server1", "jsmith", false, true},
    {"LowerCaseOption", {"server1", "runonce"}, "server1", "", true, false},
    {"BothOptions", {"server1", "RUNONCE", "ONLY_EMPTY"}, "server1", "", true, true},
    {"SameOptionTwice", {"server1", "RUNONCE", "RUNONCE"}, "server1", "", true, false},
    {"FourthArgumentIgnored",
     {"server1", "jsmith", "extra", "RUNONCE"},
     "server1",
     "jsmith",
     false,
     false},
    {"OptionFirstIsTheServer", {"RUNONCE"}, "RUNONCE", "", false, false},
    {"OptionWithTrailingTab", {"server1", "RUNONCE\t"}, "server1", "", true, false},
    {"OptionWithLeadingControl", {"server1", "\x01only_empty"}, "server1", "", false, true},
    {"ServerNotTrimmedOrChanged", {"Server1\t"}, "Server1\t", "", false, false},
    {"SingleQuotedServerRejoined", {"'my", "server'"}, "my server", "", false, false},
    {"DoubleQuotedServerRejoined", {"\"my", "server\""}, "my server", "", false, false},
    {"QuoteClosedByOtherKind", {"'my", "server\"", "jsmith"}, "my server", "jsmith", false, false},
    {"InnerSpaceSplits", {"two words"}, "two", "words", false, false},
    {"QuotedUserOfTwoWords",
     {"server1", "'John", "Smith'", "RUNONCE"},
     "server1",
     "John Smith",
     true,
     false},
    {"QuotedServerThenQuotedUser", {"'srv'", "'John", "Smith'"}, "srv", "'John", false, false},
    {"BareTokenKeepsItsQuote", {"server1", "O'Brien"}, "server1", "O'Brien", false, false},
    {"UnclosedQuoteTakesTheRest", {"'server1", "jsmith"}, "server1 jsmith ", "", false, false},
    {"RunOfSpacesGivesEmptyTokens", {"word1   word2"}, "word1", "", false, false},
    {"RunOfSpacesOptionInThird", {"server1   RUNONCE"}, "server1", "", true, false},
    {"SpaceBetweenSingleQuotes", {"'", "'"}, " ", "", false, false},
    {"SpaceAloneIsAnEmptyToken", {" "}, "", "", false, false},
    {"HighBytesKept", {"s\xe9rver", "J\xfcrgen"}, "s\xe9rver", "J\xfcrgen", false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseArgumentsTable, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

// A mistyped option is refused, never taken for a mailbox or dropped; the
// options spelt right, in any case and either place, are not.
TEST(ParseArguments, RefusesMistypedOptions) {
  struct Case {
    std::vector<std::string> arguments;
    const char* refused;  // the word the message names, or nullptr
  };
  const Case cases[] = {
      {{"srv", "/RUNONCE"}, "/RUNONCE"},
      {{"srv", "-runonce"}, "-runonce"},
      {{"srv", "RUN_ONCE"}, "RUN_ONCE"},
      {{"srv", "jsmith", "/ONLY_EMPTY"}, "/ONLY_EMPTY"},
      {{"srv", "jsmith", "OnlyEmpty"}, "OnlyEmpty"},
      {{"srv", "jsmith", "only-empty"}, "only-empty"},
      {{"srv", "-jsmith"}, "-jsmith"},
      {{"srv", "'/x y'"}, "/x y"},
      {{"srv", "jsmith", "RUNONCE", "ONLY_EMPTY"}, "ONLY_EMPTY"},
      {{"srv", "jsmith", "extra", "/runonce"}, "/runonce"},
      {{"srv", "RUN_ONCE", "ONLYEMPTY"}, "RUN_ONCE"},
      {{"srv", "jsmith", "runonce"}, nullptr},
      {{"srv", "ONLY_EMPTY"}, nullptr},
      {{"srv", "RUNONCE", "only_empty"}, nullptr},
      {{"srv", "jsmith", "extra", "more"}, nullptr},
      {{"srv", "runoncer"}, nullptr},
      {{"srv", "jsmith-x"}, nullptr},
  };
  for (const Case& c : cases) {
    const Status refusal = ParseArguments(c.arguments).wordsAccepted;
    SCOPED_TRACE(refusal.message());
    if (c.refused == nullptr) {
      EXPECT_TRUE(refusal.ok()) << c.arguments.back();
      continue;
    }
    ASSERT_FALSE(refusal.ok()) << c.refused;
    EXPECT_EQ(refusal.failureClass(), FailureClass::CommandLine);
    EXPECT_NE(refusal.message().find(std::string("\"") + c.refused + "\""), std::string::npos);
    for (const OptionWord& option : kOptionWords) {
      EXPECT_NE(refusal.message().find(option.word), std::string::npos) << "names the options";
    }
  }
}

// The first word decides between the usage, an error and a run: a help
// request must never be taken for a server's name.
TEST(ClassifyFirstWord, TellsHelpAndOptionsFromServerNames) {
  struct Case {
    const char* word;
    FirstWord expected;
  };
  const Case cases[] = {
      {"", FirstWord::None},
      {" \t ", FirstWord::None},
      {"/?", FirstWord::HelpRequest},
      {"-?", FirstWord::HelpRequest},
      {"/h", FirstWord::HelpRequest},
      {"/H", FirstWord::HelpRequest},
      {"-h", FirstWord::HelpRequest},
      {"/help", FirstWord::HelpRequest},
      {"/HeLp", FirstWord::HelpRequest},
      {"-help", FirstWord::HelpRequest},
      {"--help", FirstWord::HelpRequest},
      {"--HELP", FirstWord::HelpRequest},
      {" /? ", FirstWord::HelpRequest},
      {"/x", FirstWord::UnknownOption},
      {"-", FirstWord::UnknownOption},
      {"/", FirstWord::UnknownOption},
      {"--version", FirstWord::UnknownOption},
      {"/??", FirstWord::UnknownOption},
      {"-server1", FirstWord::UnknownOption},
      {"/help/", FirstWord::UnknownOption},
      {"server1", FirstWord::ServerName},
      {"mail.corp.example", FirstWord::ServerName},
      {"10.0.0.5", FirstWord::ServerName},
      {"server-1", FirstWord::ServerName},
      {"?", FirstWord::ServerName},
      {"h", FirstWord::ServerName},
      {"RUNONCE", FirstWord::ServerName},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyFirstWord(c.word), c.expected) << '"' << c.word << '"';
  }
}

}  // namespace
}  // namespace wm
