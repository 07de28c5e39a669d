#include "support/EventLog.h"

#include <string>

#include <windows.h>

#include "support/CodePage_win32.h"

namespace wm {

void LogError(const char* text) noexcept {
  HANDLE source = RegisterEventSourceW(nullptr, L"Wendelmarquistone");
  if (source == nullptr) {
    return;
  }
  try {
    const std::wstring wide = WideFromCodePage(CP_UTF8, text);
    const wchar_t* strings[] = {wide.c_str()};
    ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
  } catch (...) {
    // No memory for the wide text: the bytes as they are, right for ASCII.
    const char* strings[] = {text};
    ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
  }
  DeregisterEventSource(source);
}

}  // namespace wm
