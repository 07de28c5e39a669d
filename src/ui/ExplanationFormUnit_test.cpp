#include "ui/ExplanationFormUnit.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/TestSupport.h"

namespace wm {
namespace {

// The usage text as the user reads it, byte for byte, one line a label.
std::vector<std::string> ExpectedLines() {
  std::vector<std::string> lines = wmtest::SplitCrLf(wmtest::ExpectedText("usage-text.txt"));
  lines.pop_back();  // after the last line's CR LF
  return lines;
}

TEST(UsageText, HasEveryLabelsTextInTheWindowsOrder) {
  EXPECT_EQ(UsageTextLines(), ExpectedLines());
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
