// Helpers shared by the tests of both builds.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace wmtest {

// A fresh, empty folder for one test, removed with everything in it when the
// object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file as bytes; empty when it cannot be read (check existence first).
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The names of everything in a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

// Text split at CR LF; the text after the last CR LF (empty for a file whose
// every line ends with CR LF) is the last element.
std::vector<std::string> SplitCrLf(const std::string& bytes);

// A file in the source tree, by its path relative to the project's root.
std::filesystem::path SourcePath(const std::string& relative);

// One of the texts the tests expect (tests/testdata), as the build wrote it
// for them: with the version filled in where it has one.
std::string ExpectedText(const std::string& name);

}  // namespace wmtest
