#include "support/EventLog.h"
#include "support/EventLog_win32.h"

#include <string>

#include <windows.h>

#include "EventMessages.h"  // the message file made from FailureClass.h, compiled
#include "support/CodePage_win32.h"

namespace wm {

// The severity bits of the message file's messages, which are made with
// severity Error from the failure classes' table.
constexpr DWORD kErrorSeverity = 0xC0000000;
static_assert(kErrorSeverity >> 30 == WM_SEVERITY_ERROR, "the message file's severity");

unsigned long EventIdentifier(FailureClass failureClass) {
  return kErrorSeverity | Describe(failureClass).eventId;
}

void LogError(FailureClass failureClass, const char* text) noexcept {
  HANDLE source = RegisterEventSourceW(nullptr, L"Wendelmarquistone");
  if (source == nullptr) {
    return;
  }
  const DWORD identifier = EventIdentifier(failureClass);
  try {
    const std::wstring wide = WideFromCodePage(CP_UTF8, text);
    const wchar_t* strings[] = {wide.c_str()};
    ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, identifier, nullptr, 1, 0, strings, nullptr);
  } catch (...) {
    // No memory for the wide text: the bytes as they are, right for ASCII.
    const char* strings[] = {text};
    ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, identifier, nullptr, 1, 0, strings, nullptr);
  }
  DeregisterEventSource(source);
}

}  // namespace wm
