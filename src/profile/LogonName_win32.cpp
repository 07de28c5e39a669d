#include "profile/LogonName.h"

#include <windows.h>

#include "support/CodePage_win32.h"

namespace wm {

std::string CurrentLogonName() {
  wchar_t buffer[1000] = {};
  DWORD size = sizeof buffer / sizeof buffer[0];
  if (!GetUserNameW(buffer, &size)) {
    return std::string();
  }
  buffer[sizeof buffer / sizeof buffer[0] - 1] = L'\0';
  return Utf8FromWide(buffer);
}

}  // namespace wm
