// Running the real program, or any other, as a separate process: its standard
// output bytes and its exit status, with a timeout so that no test can hang.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wmtest {

enum class OutputMode {
  Capture,  // standard output is read through a pipe
  Closed,   // the child starts with no standard output at all
  File,     // standard output goes to ProcessOptions::outputFile
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

// Windows only: the environment block for a child, ours with the options'
// changes (for CreateProcessA).
std::string EnvironmentBlock(const ProcessOptions& options);

// Windows only: runs a raw command line, passed to CreateProcessA verbatim.
ProcessResult RunCommandLine(const std::string& commandLine, const ProcessOptions& options = {});

// Windows only: a raw command line started without waiting for it; its
// standard output is read as it comes. A process still running when this
// goes away is ended.
class StartedProcess {
 public:
  StartedProcess(const std::string& commandLine, const ProcessOptions& options);
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  bool started() const;
  const std::string& error() const;  // why the process did not start
  unsigned long processId() const;

  // True when the process ends within this many milliseconds.
  bool EndsWithin(int ms);

  // Waits for the process to end (ending it on timeout, with timedOut set)
  // and gives its exit status and standard output.
  ProcessResult Wait(int timeoutMs);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace wmtest
