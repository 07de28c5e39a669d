#include "support/EventLog.h"

#include <syslog.h>

namespace wm {

void LogError(FailureClass /*failureClass*/, const char* text) noexcept {
  openlog("Wendelmarquistone", LOG_PID, LOG_USER);
  syslog(LOG_ERR, "%s", text);
  closelog();
}

}  // namespace wm
