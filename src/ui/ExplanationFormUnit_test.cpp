#include "ui/ExplanationFormUnit.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace wm {
namespace {

// The usage text as the user reads it, byte for byte ("\xAE" is the
// registered sign in code page 1252).
const std::vector<std::string> kExpectedLines = {
    "The Brackenhulme Wendelmarquistone for Microsoft Outlook XP, 2003 & 2007\xAE needs to be "
    "called from the command line. The syntax is:",
    "Wendelmarquistone.exe [options]",
    "Possible Options:",
    "\"EXCHANGE SERVER\" (1st Argument) is the fully qualified domain name of the exchange "
    "server. (Required)",
    "\"USERNAME\"  (2nd Argument) option allows you to specify a different user than the one "
    "detected in the current profile. Wendelmarquistone will use this instead to connect to "
    "Microsoft Exchange (Optional)",
    "If you use the word RUNONCE as the last argument, it will only run the Wendelmarquistone "
    "once. This will overwrite any existing profile that was not created by Wendelmarquistone "
    "(Optional-Can't be used with ONLY_EMPTY)",
    "If you use the word ONLY_EMPTY as the last argument, it will only create a new profile if one "
    "does not already exist. Use this if you want to keep existing profiles. (Optinal-Can't be "
    "used with RUNONCE)",
    "Example: (Setup to connect to server1, and only new profiles)",
    "Wendelmarquistone.exe \"Server1\" ONLY_EMPTY",
    "The best placement of this command is in the users logon script. Once called, the user may "
    "launch Microsoft Outlook XP, 2003 & 2007\xAE with no further setup",
};

TEST(UsageText, HasEveryLabelsTextInTheWindowsOrder) {
  EXPECT_EQ(UsageTextLines(), kExpectedLines);
}

TEST(UsageText, KeepsTheDoubleSpaceAndTheTyposOfTheWindow) {
  std::vector<std::string> lines = UsageTextLines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[4].substr(0, 12), "\"USERNAME\"  ");
  EXPECT_NE(lines[6].find("(Optinal-Can't"), std::string::npos);
  EXPECT_EQ(lines[0].find("&&"), std::string::npos);
}

struct DisplayCase {
  const char* name;
  const char* stored;
  const char* shown;
};

void PrintTo(const DisplayCase& c, std::ostream* os) {
  *os << c.name;
}

class DisplayTextTable : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTextTable, ShowsWhatAStaticControlWouldShow) {
  EXPECT_EQ(DisplayText(GetParam().stored), GetParam().shown);
}

const DisplayCase kDisplayCases[] = {
    {"Empty", "", ""},
    {"NoAmpersand", "plain", "plain"},
    {"DoubledAmpersand", "2003 && 2007", "2003 & 2007"},
    {"TwoDoubledAmpersands", "&&&&", "&&"},
    {"MnemonicMarker", "&OK", "OK"},
    {"DoubledThenMarker", "a&&&b", "a&b"},
    {"MarkerAtTheEnd", "ends in &", "ends in "},
    {"BesideEightBitBytes", "\xAE&&\xAE", "\xAE&\xAE"},
};

INSTANTIATE_TEST_SUITE_P(Ampersands, DisplayTextTable, ::testing::ValuesIn(kDisplayCases),
                         [](const ::testing::TestParamInfo<DisplayCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(UsageLayout, EveryElementStandsInsideTheClientArea) {
  for (const UsageElement& element : UsageElements()) {
    SCOPED_TRACE(element.name);
    UsageBox box = element.box;
    if (element.parent != nullptr) {
      const UsageElement* panel = FindUsageElement(element.parent);
      ASSERT_NE(panel, nullptr);
      EXPECT_EQ(panel->kind, UsageKind::Panel);
      box.left += panel->box.left;
      box.top += panel->box.top;
    }
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.left + box.width, kUsageClientWidth);
    EXPECT_LE(box.top + box.height, kUsageClientHeight);
  }
}

}  // namespace
}  // namespace wm
