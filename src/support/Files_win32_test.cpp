// Windows only: replacing a file that another program (another run of ours,
// at the same logon) holds open for a moment.
#include "support/Files.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "testlib/TestSupport.h"

namespace {

// The target held open without sharing for `heldMs` (or for the whole test
// when negative) while it is replaced: the rename is tried again for about
// 1.5 s, then the system's reason is given; no temporary file is left.
TEST(WriteFileAtomically, WaitsBrieflyForABusyFileThenGivesUp) {
  struct Case {
    int heldMs;
    bool replaced;
  };
  for (const Case& c : {Case{200, true}, Case{-1, false}}) {
    SCOPED_TRACE(c.heldMs);
    wmtest::TempDir dir;
    const std::string path = (dir.path() / "outlook.prf").string();
    wmtest::WriteFileBytes(path, "old");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release;
    if (c.heldMs >= 0) {
      release = std::thread([&] {
        Sleep(static_cast<DWORD>(c.heldMs));
        CloseHandle(held);
      });
    }
    const auto start = std::chrono::steady_clock::now();
    wm::Status status = wm::WriteFileAtomically(path, "new", "Cannot write the profile file");
    const auto took = std::chrono::steady_clock::now() - start;
    if (release.joinable()) {
      release.join();
    } else {
      CloseHandle(held);
    }
    EXPECT_EQ(status.ok(), c.replaced) << status.message();
    EXPECT_EQ(wmtest::ReadFileBytes(path), c.replaced ? "new" : "old");
    EXPECT_LT(took, std::chrono::seconds(3));
    if (!c.replaced) {
      EXPECT_GE(took, std::chrono::milliseconds(1000)) << "tried again for a while";
      EXPECT_NE(status.message().find("(error "), std::string::npos) << status.message();
    }
    EXPECT_EQ(wmtest::FolderEntries(dir.path()), std::vector<std::string>{"outlook.prf"});
  }
}

}  // namespace
