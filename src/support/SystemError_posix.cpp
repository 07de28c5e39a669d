#include "support/SystemError.h"

#include <system_error>

namespace wm {

std::string SystemErrorMessage(unsigned long code) {
  return std::generic_category().message(static_cast<int>(code)) + " (error " +
         std::to_string(code) + ")";
}

}  // namespace wm
