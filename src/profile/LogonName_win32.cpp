#include "profile/LogonName.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

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

std::string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return std::string();
  }
  std::string sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  // DWORD elements keep the SID's pointer in the buffer aligned.
  std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
  char* text = nullptr;
  if (size != 0 &&
      GetTokenInformation(token, TokenUser, buffer.data(),
                          static_cast<DWORD>(buffer.size() * sizeof(DWORD)), &size) &&
      ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    sid = text;
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

}  // namespace wm
