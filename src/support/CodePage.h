// Text as the user gave it, and the same text in the system's ANSI code page,
// which is what the profile, the registry values and Outlook (every version) use.
//
// Text as given is UTF-8: on Windows converted from the system's own wide
// characters (the command line, the logon name), on Linux the bytes as they
// come, which are the ANSI text as well.
#pragma once

#include <string>
#include <string_view>

namespace wm {

struct AnsiText {
  // The text in the ANSI code page, with "?" for each character it cannot
  // hold (never a look-alike, "best fit": "Ł" does not become "L").
  std::string text;
  // True when every character was held: converted back, the text is the one
  // given.
  bool exact = true;
};

AnsiText AnsiFromGiven(std::string_view given);

// ANSI text as UTF-8, for what takes text as given (the event log).
std::string GivenFromAnsi(std::string_view ansi);

}  // namespace wm
