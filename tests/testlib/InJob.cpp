// A program that runs a command line in a job that ends every program in it
// when this one ends, however it ends: Windows, and Wine, keep a started
// program running after its parent is gone, so the shell cases start cmd
// through it, and a case that hangs leaves nothing running once its test is
// stopped.
//   in_job COMMAND LINE...   (the rest of this program's command line, as it is)
// Exit status: the command's, or 126 when it cannot be started.
#include <windows.h>

#include <cstdio>

int main() {
  // The rest of the command line after this program's own name.
  char* line = GetCommandLineA();
  bool quoted = false;
  for (; *line != '\0' && (quoted || (*line != ' ' && *line != '\t')); ++line) {
    quoted = *line == '"' ? !quoted : quoted;
  }
  while (*line == ' ' || *line == '\t') {
    ++line;
  }
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (job == nullptr ||
      !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "in_job: cannot start %s: error %lu\n", line, GetLastError());
    return 126;
  }
  if (!AssignProcessToJobObject(job, process.hProcess)) {
    std::fprintf(stderr, "in_job: cannot put %s in a job: error %lu\n", line, GetLastError());
    TerminateProcess(process.hProcess, 126);
    return 126;
  }
  ResumeThread(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 126;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
