#include "support/EventLog.h"
#include "support/EventLog_win32.h"

#include <string>

#include <windows.h>

#include "EventMessages.h"  // generated from src/ui/resources/EventMessages.mc
#include "support/CodePage_win32.h"

namespace wm {

namespace {

constexpr DWORD kIdentifiers[] = {
    WM_EVENT_COMMAND_LINE,   WM_EVENT_LOGON_NAME, WM_EVENT_APPLICATION_DATA,
    WM_EVENT_PROFILE_FILE,   WM_EVENT_REGISTRY,   WM_EVENT_STANDARD_OUTPUT,
    WM_EVENT_SYSTEM_ACCOUNT, WM_EVENT_UNEXPECTED,
};
static_assert(sizeof kIdentifiers / sizeof kIdentifiers[0] ==
                  sizeof kFailureClasses / sizeof kFailureClasses[0],
              "one message for each failure class");

constexpr bool MatchTheTable() {
  for (const FailureClassEntry& entry : kFailureClasses) {
    if ((kIdentifiers[static_cast<int>(entry.failureClass)] & 0xFFFF) != entry.eventId) {
      return false;
    }
  }
  return true;
}
static_assert(MatchTheTable(), "the message file's IDs are the failure classes' event IDs");

}  // namespace

unsigned long EventIdentifier(FailureClass failureClass) {
  return kIdentifiers[static_cast<int>(failureClass)];
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
