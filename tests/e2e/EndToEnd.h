// The end-to-end tests' fixture: the real program run as a separate process,
// judged by its output bytes, its exit status, the profile file and the
// registry, read back without the program's own layer. What differs between
// the platforms (how the program is started, where the profile lands, how
// the registry is emptied or made to fail) is implemented once per platform
// (EndToEnd_posix.cpp, EndToEnd_win32.cpp); the cases both platforms share
// are in EndToEnd_test.cpp, each platform's own in its _test file.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Expected.h"
#include "testlib/Process.h"
#include "testlib/RegistryProbe.h"
#include "testlib/TestSupport.h"

namespace wmtest {

class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd();
  ~EndToEnd() override;

  // Runs the program. Linux: the arguments are its argv, its home and
  // configuration folders in a temporary folder. Windows: the arguments are
  // written after the program's quoted path as they are, separated by single
  // spaces, so that a test gives the exact raw command line.
  ProcessResult Run(const std::vector<std::string>& arguments, ProcessOptions options = {});
  // Where the program writes the profile.
  std::string PrfPath() const;
  // The current user's registry, as the program sees it.
  RegistryProbe& Registry();
  // Removes every Office key.
  void ClearRegistry();
  // No Office key was made (Linux: no registry store at all).
  void ExpectNothingRegistered();
  // The ways this platform can make registering Office <version> fail for
  // real: what each does, whether the version's Setup key exists afterwards,
  // and the system's reason the error line gives.
  struct Blocker {
    std::string how;
    std::function<void()> block;
    bool leavesTheSetupKey;
    std::string reason;
  };
  std::vector<Blocker> RegistrationBlockers(const char* version);
  // Standard outputs that cannot be written: none at all, and any other this
  // platform can give.
  std::vector<ProcessOptions> BrokenStandardOutputs() const;

  void ExpectRegisteredEverywhere() {
    for (const char* version : kOfficeVersions) {
      EXPECT_EQ(Registry().Values(SetupKey(version))["ImportPRF"], Sz(PrfPath())) << version;
    }
  }
  // The banner, then one error line that mentions this.
  void ExpectOneErrorLine(const ProcessResult& run, const std::string& mention) {
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.output.substr(0, kBanner.size()), kBanner);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_EQ(error.find("\r\n"), error.size() - 2) << "one line: " << error;
    EXPECT_NE(error.find(mention), std::string::npos) << error;
    EXPECT_EQ(error.find(wm::Describe(wm::FailureClass::Unexpected).ending), std::string::npos)
        << "a failure put in no class by its caller: " << error;
  }
  std::vector<std::string> PrfLines() { return SplitCrLf(ReadFileBytes(PrfPath())); }

  static constexpr const char* kOffice = "Software\\Microsoft\\Office";

 private:
  struct Host;
  std::unique_ptr<Host> host_;
};

}  // namespace wmtest
