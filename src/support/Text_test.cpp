#include "support/Text.h"

#include <string>

#include <gtest/gtest.h>

namespace wm {
namespace {

TEST(Text, TrimRemovesCodes32AndBelowOnly) {
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(" \t\r\n\x01 "), "");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(Trim("\xa0x\xa0"), "\xa0x\xa0") << "bytes above 127 are not blank";
}

TEST(Text, UpperCaseMapsOnlyAsciiLetters) {
  EXPECT_EQ(UpperCase("only_empty"), "ONLY_EMPTY");
  EXPECT_EQ(UpperCase("run\xe9once"), "RUN\xe9ONCE");
  EXPECT_EQ(UpperCase("az{}@[`"), "AZ{}@[`");
}

TEST(Text, HasLineBreak) {
  EXPECT_FALSE(HasLineBreak("server1"));
  EXPECT_TRUE(HasLineBreak("a\rb"));
  EXPECT_TRUE(HasLineBreak("a\n"));
}

TEST(Text, PrintableShowsControlCharactersAsQuestionMarks) {
  EXPECT_EQ(Printable("/x"), "/x");
  EXPECT_EQ(Printable(std::string("-a\r\nb\0c\x7f\td", 10)), "-a??b?c??d");
  EXPECT_EQ(Printable("/\xe9t\xe9"), "/\xe9t\xe9") << "high bytes are text in the ANSI code page";
}

}  // namespace
}  // namespace wm
