// The system's log, for the administrator who never sees a logon script's
// console.
#pragma once

#include "support/FailureClass.h"

namespace wm {

// Records an error's text (one line, no line end, UTF-8) in the system's log:
// Windows: the Application event log, as an Error event from the event
// source "Wendelmarquistone" with its failure class's event ID
// (FailureClass.h) and the text as its one string, in wide characters, so
// that a name outside the ANSI code page is logged as it is. The exe holds
// the message table that shows that string as the event's description, once
// the source is registered with the exe as its message file (see
// docs/deploying.md; without that, Event Viewer says that the description
// cannot be found and then shows the text).
// Linux: syslog, priority LOG_ERR, facility LOG_USER, ident
// "Wendelmarquistone".
// A failure to log is ignored: logging never changes what the program does
// or prints. Out of memory, ASCII text is still logged as it stands.
void LogError(FailureClass failureClass, const char* text) noexcept;

}  // namespace wm
