#include "support/Console.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "support/SystemError.h"

namespace wm {

void PrepareConsole() {
  std::signal(SIGPIPE, SIG_IGN);
}

Status WriteOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Status::Failure(FailureClass::StandardOutput,
                             "Cannot write to standard output: " + SystemErrorMessage(errno));
    }
    if (written == 0) {
      return Status::Failure(FailureClass::StandardOutput,
                             "Cannot write to standard output: nothing was written");
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return Status::Ok();
}

}  // namespace wm
