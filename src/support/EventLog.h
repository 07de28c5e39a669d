// The system's log, for the administrator who never sees a logon script's
// console.
#pragma once

namespace wm {

// Records an error's text (one line, no line end, UTF-8) in the system's log:
// Windows: the Application event log, as an Error event (ID 1) from the event
// source "Wendelmarquistone" with the text as its one string, in wide
// characters, so that a name outside the ANSI code page is logged as it is.
// The source is not registered (that needs an administrator), so Event
// Viewer says that the event's description cannot be found and then shows
// the text.
// Linux: syslog, priority LOG_ERR, facility LOG_USER, ident
// "Wendelmarquistone".
// A failure to log is ignored: logging never changes what the program does
// or prints. Out of memory, ASCII text is still logged as it stands.
void LogError(const char* text) noexcept;

}  // namespace wm
