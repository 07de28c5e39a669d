// Running the real program, or any other, as a separate process: its standard
// output bytes and its exit status, with a timeout so that no test can hang.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wmtest {

enum class OutputMode {
  Capture,  // standard output is read through a pipe
  Closed,   // the child starts with no standard output at all
  File,     // standard output goes to ProcessOptions::outputFile
  Append,   // standard output is appended to ProcessOptions::outputFile
};

struct ProcessOptions {
  // Variables to set (a value) or remove (no value) in the child's environment.
  std::vector<std::pair<std::string, std::optional<std::string>>> environment;
  OutputMode output = OutputMode::Capture;
  std::string outputFile;
  int timeoutMs = 30000;
};

struct ProcessResult {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;
  std::string output;  // standard output, byte for byte
  std::string error;   // why the process could not be started
};

// A path of the build machine as this platform sees it: unchanged on Linux,
// on drive Z: under Wine.
std::string HostPath(const std::string& buildPath);

// The program under test (the Wendelmarquistone executable of this build).
std::string ProgramPath();

// Runs a program with the given arguments. On Windows each argument is put on
// the command line in double quotes when it is empty or holds a separator.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options = {});

}  // namespace wmtest
