#include "testlib/Process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace wmtest {

std::string HostPath(const std::string& buildPath) {
  return buildPath;
}

std::string ProgramPath() {
  return WM_PROGRAM_PATH;
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options) {
  ProcessResult result;
  std::signal(SIGPIPE, SIG_IGN);

  int pipeFds[2] = {-1, -1};
  if (options.output == OutputMode::Capture && pipe(pipeFds) != 0) {
    result.error = std::strerror(errno);
    return result;
  }

  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) {
    argv.push_back(s.data());
  }
  argv.push_back(nullptr);

  const pid_t parent = getpid();
  pid_t pid = fork();
  if (pid < 0) {
    result.error = std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    // The child ends with the test, however the test ends (ctest's timeout
    // kills it), also when the test ended before this line.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
      _exit(127);
    }
    for (const auto& [name, value] : options.environment) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    switch (options.output) {
      case OutputMode::Capture:
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        break;
      case OutputMode::Closed:
        close(STDOUT_FILENO);
        break;
      case OutputMode::File:
      case OutputMode::Append: {
        int mode = options.output == OutputMode::Append ? O_APPEND : O_TRUNC;
        int fd = open(options.outputFile.c_str(), O_WRONLY | O_CREAT | mode, 0644);
        if (fd < 0) {
          _exit(126);
        }
        dup2(fd, STDOUT_FILENO);
        close(fd);
        break;
      }
    }
    std::signal(SIGPIPE, SIG_DFL);
    execv(program.c_str(), argv.data());
    _exit(127);
  }

  result.started = true;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeoutMs);
  auto remainingMs = [&] {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(left.count() > 0 ? left.count() : 0);
  };

  if (options.output == OutputMode::Capture) {
    close(pipeFds[1]);
    char buffer[4096];
    for (;;) {
      pollfd fd{pipeFds[0], POLLIN, 0};
      int ready = poll(&fd, 1, remainingMs());
      if (ready == 0) {
        result.timedOut = true;
        break;
      }
      if (ready < 0) {
        if (errno == EINTR) {
          continue;
        }
        break;
      }
      ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0) {
        break;
      }
      result.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
  }

  int status = 0;
  for (;;) {
    if (result.timedOut) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      break;
    }
    if (done < 0 && errno != EINTR) {
      break;
    }
    if (remainingMs() == 0) {
      result.timedOut = true;
      continue;
    }
    usleep(2000);
  }
  if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.exitCode = 128 + WTERMSIG(status);
  }
  return result;
}

}  // namespace wmtest
