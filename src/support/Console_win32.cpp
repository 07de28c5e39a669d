#include "support/Console.h"

#include <windows.h>

#include "support/SystemError.h"

namespace wm {

// WriteFile on the standard output handle bypasses the C runtime, so nothing
// is translated.
void PrepareConsole() {}

Status WriteOutput(std::string_view bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    return Status::Failure(FailureClass::StandardOutput,
                           "Cannot write to standard output: there is none");
  }
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 65536 ? 65536 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(out, bytes.data(), chunk, &written, nullptr)) {
      return Status::Failure(FailureClass::StandardOutput, "Cannot write to standard output: " +
                                                               SystemErrorMessage(GetLastError()));
    }
    if (written == 0) {
      return Status::Failure(FailureClass::StandardOutput,
                             "Cannot write to standard output: nothing was written");
    }
    bytes.remove_prefix(written);
  }
  return Status::Ok();
}

}  // namespace wm
