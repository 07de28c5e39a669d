#include "support/Files.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TemporaryFile.h"
#include "testlib/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using wmtest::FolderEntries;
using wmtest::ReadFileBytes;
using wmtest::TempDir;
using wmtest::WriteFileBytes;

TEST(FileExists, IsTrueOnlyForAFile) {
  TempDir dir;
  WriteFileBytes(dir.path() / "file.txt", "x");
  fs::create_directory(dir.path() / "folder");
  EXPECT_TRUE(wm::FileExists((dir.path() / "file.txt").string()));
  EXPECT_FALSE(wm::FileExists((dir.path() / "folder").string()));
  EXPECT_FALSE(wm::FileExists((dir.path() / "missing.txt").string()));
  EXPECT_FALSE(wm::FileExists((dir.path() / "missing" / "file.txt").string()));
}

TEST(FileExists, IsTrueForAnEmptyFile) {
  TempDir dir;
  WriteFileBytes(dir.path() / "empty", "");
  EXPECT_TRUE(wm::FileExists((dir.path() / "empty").string()));
}

TEST(WriteFileAtomically, CreatesTheFileWithExactlyTheBytes) {
  TempDir dir;
  const std::string bytes("line\r\nnul\0here\n\xff", 17);
  std::string path = (dir.path() / "out.bin").string();
  wm::Status status = wm::WriteFileAtomically(path, bytes, "Cannot write the file");
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(ReadFileBytes(path), bytes);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"out.bin"});
}

TEST(WriteFileAtomically, WritesAnEmptyFile) {
  TempDir dir;
  std::string path = (dir.path() / "empty").string();
  ASSERT_TRUE(wm::WriteFileAtomically(path, "", "Cannot write the file").ok());
  EXPECT_TRUE(wm::FileExists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(WriteFileAtomically, ReplacesALongerFileCompletely) {
  TempDir dir;
  std::string path = (dir.path() / "out.txt").string();
  WriteFileBytes(path, std::string(5000, 'o'));
  wm::Status status = wm::WriteFileAtomically(path, "new", "Cannot write the file");
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(ReadFileBytes(path), "new");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(WriteFileAtomically, FailsInAMissingFolderAndSaysWhere) {
  TempDir dir;
  std::string path = (dir.path() / "missing" / "out.txt").string();
  wm::Status status = wm::WriteFileAtomically(path, "bytes", "Cannot write the file");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind("Cannot write the file \"" + path + "\": ", 0), 0u)
      << status.message();
  EXPECT_NE(status.message().find("(error "), std::string::npos) << status.message();
  EXPECT_EQ(status.message().find('\n'), std::string::npos);
  EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

TEST(WriteFileAtomically, FailsOnAFolderAndLeavesNoTemporaryFile) {
  TempDir dir;
  fs::path target = dir.path() / "taken";
  fs::create_directory(target);
  WriteFileBytes(target / "inside", "kept");
  const auto start = std::chrono::steady_clock::now();
  wm::Status status =
      wm::WriteFileAtomically(target.string(), "bytes", "Cannot write the profile file");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1))
      << "a folder in the way is final at once, not waited for as a busy file";
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(
      status.message().rfind("Cannot write the profile file \"" + target.string() + "\": ", 0), 0u)
      << status.message();
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(ReadFileBytes(target / "inside"), "kept");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"taken"});
}

TEST(WriteFileAtomically, SucceedsAgainAndAgainOnTheSamePath) {
  TempDir dir;
  std::string path = (dir.path() / "out.txt").string();
  for (int round = 0; round < 5; ++round) {
    std::string bytes(static_cast<size_t>(round) * 100, static_cast<char>('a' + round));
    ASSERT_TRUE(wm::WriteFileAtomically(path, bytes, "Cannot write the file").ok());
    EXPECT_EQ(ReadFileBytes(path), bytes);
  }
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

// The name of the temporary file: beside the target and no longer than its
// name (so it fits wherever the file does), with the process id, a new one
// for every name found taken, and no endless trying.
TEST(CreateTemporaryBeside, TriesTheNextNameWhileTheNameIsTaken) {
  struct Case {
    std::string path;
    std::string first;  // the first name tried, but for the counter's two digits
  };
  const Case cases[] = {
      {"C:\\dir\\outlook.prf", "C:\\dir\\~00000010xx"},
      {"/dir/outlook.prf", "/dir/~00000010xx"},
      {"@ImportPRF", "~0000010xx"},
      {"/d/a", "/d/~00010xx"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> tried;
    std::string made = wm::CreateTemporaryBeside(c.path, 0x10, [&](const std::string& name) {
      tried.push_back(name);
      return tried.size() < 3 ? wm::CreateResult::NameTaken : wm::CreateResult::Created;
    });
    ASSERT_EQ(tried.size(), 3u);
    EXPECT_EQ(made, tried.back());
    // The counter is the process's: the digits after the process id vary.
    EXPECT_EQ(tried[0].substr(0, tried[0].size() - 2), c.first.substr(0, c.first.size() - 2));
    EXPECT_EQ(tried[0].size(), c.first.size());
    EXPECT_NE(tried[0], tried[1]);
    EXPECT_NE(tried[1], tried[2]);
  }
}

TEST(CreateTemporaryBeside, StopsAtAFailureAndAfterAHundredTakenNames) {
  int calls = 0;
  EXPECT_EQ(wm::CreateTemporaryBeside("f", 1,
                                      [&](const std::string&) {
                                        ++calls;
                                        return wm::CreateResult::Failed;
                                      }),
            "");
  EXPECT_EQ(calls, 1);
  calls = 0;
  EXPECT_EQ(wm::CreateTemporaryBeside("f", 1,
                                      [&](const std::string&) {
                                        ++calls;
                                        return wm::CreateResult::NameTaken;
                                      }),
            "");
  EXPECT_EQ(calls, 100);
}

}  // namespace
