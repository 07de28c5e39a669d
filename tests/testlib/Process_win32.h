// Windows only: running a program from a raw command line, passed to
// CreateProcessA verbatim, as a logon script or Explorer starts it.
#pragma once

#include <memory>
#include <string>

#include "testlib/Process.h"

namespace wmtest {

// Runs a raw command line, passed to CreateProcessA verbatim.
ProcessResult RunCommandLine(const std::string& commandLine, const ProcessOptions& options = {});

// A raw command line started without waiting for it; its standard output is
// read as it comes. A process still running when this goes away is ended.
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
