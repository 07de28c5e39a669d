#include "profile/LogonName.h"

#include <windows.h>

namespace wm {

std::string CurrentLogonName() {
  char buffer[1000] = {};
  DWORD size = sizeof buffer;
  if (!GetUserNameA(buffer, &size)) {
    return std::string();
  }
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

}  // namespace wm
