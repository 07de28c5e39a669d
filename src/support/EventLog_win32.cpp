#include "support/EventLog.h"

#include <windows.h>

namespace wm {

void LogError(const char* text) noexcept {
  HANDLE source = RegisterEventSourceA(nullptr, "Wendelmarquistone");
  if (source == nullptr) {
    return;
  }
  const char* strings[] = {text};
  ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

}  // namespace wm
