// ShowUsage as a separate program on Linux, where there is never a window:
// the text form on standard output, byte for byte, and a failure when there
// is no standard output to write it to.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/Process.h"
#include "testlib/TestSupport.h"

namespace wm {
namespace {

// The same bytes the Windows program writes when it has no display.
std::string ExpectedTextForm() {
  return wmtest::ExpectedText("usage-text.txt");
}

TEST(ShowUsageWithoutADisplay, WritesTheTextFormAndEnds) {
  ASSERT_FALSE(ExpectedTextForm().empty());
  wmtest::ProcessOptions options;
  options.environment = {{"DISPLAY", std::nullopt}};
  options.timeoutMs = 20000;
  wmtest::ProcessResult run = wmtest::RunProgram(wmtest::HostPath(WM_USAGE_HOST_PATH), {}, options);
  ASSERT_TRUE(run.started) << run.error;
  EXPECT_FALSE(run.timedOut) << "a window appeared although there is no display";
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, ExpectedTextForm());
}

TEST(ShowUsageWithoutADisplay, FailsWhenThereIsNoStandardOutput) {
  wmtest::ProcessOptions options;
  options.environment = {{"DISPLAY", std::nullopt}};
  options.output = wmtest::OutputMode::Closed;
  options.timeoutMs = 20000;
  wmtest::ProcessResult run = wmtest::RunProgram(wmtest::HostPath(WM_USAGE_HOST_PATH), {}, options);
  ASSERT_TRUE(run.started) << run.error;
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
}  // namespace wm
