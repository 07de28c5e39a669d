// A program that runs a command line as the tests start a program
// (Process_win32.h): in the job that ends every program in it when this one
// ends, however it ends, so that a shell case whose programs hang leaves
// nothing running once its test is stopped. Its standard output follows once
// the command has ended.
//   in_job COMMAND LINE...   (the rest of this program's command line, as it is)
// Exit status: the command's, or 126 when it cannot be started.
#include <windows.h>

#include <cstdio>

#include "testlib/Process_win32.h"

int main() {
  const char* line = GetCommandLineA();  // this program's name, then the command's line
  for (bool quoted = false; *line != '\0' && (quoted || (*line != ' ' && *line != '\t')); ++line) {
    quoted = *line == '"' ? !quoted : quoted;
  }
  while (*line == ' ' || *line == '\t') {
    ++line;
  }
  wmtest::ProcessOptions options;
  options.timeoutMs = 10 * 60 * 1000;  // the test's own time limit comes first
  wmtest::ProcessResult run = wmtest::RunCommandLine(line, options);
  std::fwrite(run.output.data(), 1, run.output.size(), stdout);
  if (!run.started) {
    std::fprintf(stderr, "in_job: cannot start %s: %s\n", line, run.error.c_str());
    return 126;
  }
  return run.exitCode;
}
