#include "support/CurrentUser.h"
#include "support/CurrentUser_win32.h"

#include <sddl.h>

#include <vector>

#include "support/CodePage_win32.h"
#include "support/SystemError.h"

namespace wm {

Result<std::string> CurrentLogonName() {
  wchar_t buffer[1000] = {};
  DWORD size = sizeof buffer / sizeof buffer[0];
  if (!GetUserNameW(buffer, &size)) {
    return Status::Failure(SystemErrorMessage(GetLastError()));
  }
  buffer[sizeof buffer / sizeof buffer[0] - 1] = L'\0';
  return Utf8FromWide(buffer);
}

Result<std::string> ProcessUserSid(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
    return Status::Failure("the process's token cannot be opened: " +
                           SystemErrorMessage(GetLastError()));
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  // DWORD elements keep the SID's pointer in the buffer aligned.
  std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
  char* text = nullptr;
  Result<std::string> sid = Status::Failure("");
  if (!GetTokenInformation(token, TokenUser, buffer.data(),
                           static_cast<DWORD>(buffer.size() * sizeof(DWORD)), &size)) {
    sid = Status::Failure("the process's token cannot be read: " +
                          SystemErrorMessage(GetLastError()));
  } else if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                     &text)) {
    sid = Status::Failure("the token's user cannot be given as text: " +
                          SystemErrorMessage(GetLastError()));
  } else {
    sid = std::string(text);
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

Result<std::string> CurrentUserSid() {
  return ProcessUserSid(GetCurrentProcess());
}

}  // namespace wm
