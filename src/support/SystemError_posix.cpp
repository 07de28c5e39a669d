#include "support/SystemError.h"

#include <cerrno>
#include <system_error>

namespace wm {

unsigned long LastSystemError() {
  return static_cast<unsigned long>(errno);
}

std::string SystemErrorMessage(unsigned long code) {
  return std::generic_category().message(static_cast<int>(code)) + " (error " +
         std::to_string(code) + ")";
}

}  // namespace wm
