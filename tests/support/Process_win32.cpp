#include "support/Process.h"

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

}  // namespace

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

ProcessResult RunCommandLine(const std::string& commandLine, const ProcessOptions& options) {
  ProcessResult result;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  HANDLE child_stdout = nullptr;
  if (options.output == OutputMode::Capture) {
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
      result.error = "CreatePipe failed";
      return result;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    child_stdout = writeEnd;
  } else if (options.output == OutputMode::File) {
    child_stdout = CreateFileA(options.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (child_stdout == INVALID_HANDLE_VALUE) {
      result.error = "cannot create " + options.outputFile;
      return result;
    }
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = child_stdout;  // null when the output is to be closed
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

  std::string environment = EnvironmentBlock(options);
  std::string mutableLine = commandLine;
  PROCESS_INFORMATION process{};
  BOOL created = CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0,
                                environment.data(), nullptr, &startup, &process);
  if (child_stdout != nullptr) {
    CloseHandle(child_stdout);
  }
  if (!created) {
    result.error = "CreateProcess failed with error " + std::to_string(GetLastError());
    if (readEnd != nullptr) {
      CloseHandle(readEnd);
    }
    return result;
  }
  result.started = true;

  std::thread reader;
  if (readEnd != nullptr) {
    reader = std::thread([&result, readEnd] {
      char buffer[4096];
      DWORD n = 0;
      while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        result.output.append(buffer, n);
      }
    });
  }

  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(options.timeoutMs)) !=
      WAIT_OBJECT_0) {
    result.timedOut = true;
    TerminateProcess(process.hProcess, 255);
    WaitForSingleObject(process.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (reader.joinable()) {
    reader.join();
    CloseHandle(readEnd);
  }
  return result;
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
