#include "testlib/Process_win32.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <thread>

namespace wmtest {

namespace {

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    return argument;
  }
  return "\"" + argument + "\"";
}

// The environment block for a child: ours with the options' changes.
std::string EnvironmentBlock(const ProcessOptions& options) {
  std::map<std::string, std::string> variables;
  char* block = GetEnvironmentStringsA();
  for (const char* p = block; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
    std::string entry(p);
    size_t equals = entry.find('=', 1);
    if (equals != std::string::npos) {
      variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
  }
  FreeEnvironmentStringsA(block);
  for (const auto& [name, value] : options.environment) {
    if (value) {
      variables[name] = *value;
    } else {
      variables.erase(name);
    }
  }
  std::string result;
  for (const auto& [name, value] : variables) {
    result += name + "=" + value;
    result += '\0';
  }
  result += '\0';
  return result;
}

// Every program a test starts runs in one job, which ends them all when the
// test's process ends, however it ends (ctest's timeout kills it): Windows,
// and Wine, keep a started program running after its parent is gone.
HANDLE TestProgramsJob() {
  static HANDLE job = [] {
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (created != nullptr && !SetInformationJobObject(created, JobObjectExtendedLimitInformation,
                                                       &limits, sizeof limits)) {
      CloseHandle(created);
      created = nullptr;
    }
    return created;
  }();
  return job;
}

}  // namespace

std::string HostPath(const std::string& buildPath) {
  std::string path = buildPath;
  if (!path.empty() && path[0] == '/') {
    path = "Z:" + path;
  }
  for (char& c : path) {
    if (c == '/') {
      c = '\\';
    }
  }
  return path;
}

std::string ProgramPath() {
  return HostPath(WM_PROGRAM_PATH);
}

struct StartedProcess::State {
  std::string error;
  PROCESS_INFORMATION process{};
  HANDLE readEnd = nullptr;
  std::thread reader;
  ProcessResult result;

  ~State() {
    if (process.hProcess != nullptr) {
      if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 5000);
      }
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    if (reader.joinable()) {
      reader.join();
    }
    if (readEnd != nullptr) {
      CloseHandle(readEnd);
    }
  }
};

StartedProcess::StartedProcess(const std::string& commandLine, const ProcessOptions& options)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childOutput = nullptr;
  if (options.output == OutputMode::Capture) {
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&s.readEnd, &writeEnd, &inherit, 0)) {
      s.error = "CreatePipe failed with error " + std::to_string(GetLastError());
      return;
    }
    SetHandleInformation(s.readEnd, HANDLE_FLAG_INHERIT, 0);
    childOutput = writeEnd;
  } else if (options.output == OutputMode::File || options.output == OutputMode::Append) {
    const bool append = options.output == OutputMode::Append;
    childOutput = CreateFileA(options.outputFile.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ, &inherit, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (childOutput == INVALID_HANDLE_VALUE) {
      s.error = "cannot create " + options.outputFile;
      return;
    }
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = childOutput;  // null when the output is to be closed
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string environment = EnvironmentBlock(options);
  std::string mutableLine = commandLine;
  // Started suspended, so that it is in the job before it can start another.
  BOOL created =
      CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                     environment.data(), nullptr, &startup, &s.process);
  DWORD createError = GetLastError();
  if (childOutput != nullptr) {
    CloseHandle(childOutput);
  }
  if (!created) {
    s.process = PROCESS_INFORMATION{};
    s.error = "CreateProcess failed with error " + std::to_string(createError);
    return;
  }
  HANDLE job = TestProgramsJob();
  if (job == nullptr || !AssignProcessToJobObject(job, s.process.hProcess)) {
    s.error =
        "the program cannot be put in the tests' job: error " + std::to_string(GetLastError());
    return;  // not started: ended, still suspended, when this goes away
  }
  ResumeThread(s.process.hThread);
  s.result.started = true;
  if (s.readEnd != nullptr) {
    s.reader = std::thread([&s] {
      char buffer[4096];
      DWORD n = 0;
      while (ReadFile(s.readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        s.result.output.append(buffer, n);
      }
    });
  }
}

StartedProcess::~StartedProcess() = default;

bool StartedProcess::started() const {
  return state_->result.started;
}

const std::string& StartedProcess::error() const {
  return state_->error;
}

unsigned long StartedProcess::processId() const {
  return state_->process.dwProcessId;
}

bool StartedProcess::EndsWithin(int ms) {
  return started() &&
         WaitForSingleObject(state_->process.hProcess, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

ProcessResult StartedProcess::Wait(int timeoutMs) {
  State& s = *state_;
  if (!started()) {
    ProcessResult failed;
    failed.error = s.error;
    return failed;
  }
  if (!EndsWithin(timeoutMs)) {
    s.result.timedOut = true;
    TerminateProcess(s.process.hProcess, 255);
    WaitForSingleObject(s.process.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(s.process.hProcess, &code);
  s.result.exitCode = static_cast<int>(code);
  if (s.reader.joinable()) {
    s.reader.join();
  }
  return s.result;
}

ProcessResult RunCommandLine(const std::string& commandLine, const ProcessOptions& options) {
  StartedProcess child(commandLine, options);
  return child.Wait(options.timeoutMs);
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options) {
  std::string line = QuoteArgument(program);
  for (const std::string& argument : arguments) {
    line += " " + QuoteArgument(argument);
  }
  return RunCommandLine(line, options);
}

}  // namespace wmtest
