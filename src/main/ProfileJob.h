// The job a server name's run does: the names Outlook is given, each checked
// here once for everything that refuses a name, and the profile written and
// registered for import in the order that leaves nothing a later run could
// take for done.
#pragma once

#include <string>

#include "profile/Registry.h"
#include "support/Status.h"

namespace wm {

enum class Name {
  Server,  // the first word: a DNS name or an IP address
  User,    // the second word: the mailbox name
  Logon,   // the logon name, where the user name is left out
};

// The one check of a name Outlook is given: the name, as given (UTF-8), in
// the ANSI code page, as the profile and the registry hold it; or its refusal,
// saying what to do, where it is longer than its limit, has a character the
// code page cannot hold exactly, or has a line break (which would split the
// profile's lines). The refusal shows "?" for what the code page cannot hold,
// its given() form (for the system's log) the name as given. A user name blank
// once trimmed is given back: the job puts the logon name in its place.
Result<std::string> NameInAnsi(Name name, const std::string& given);

// Writes the profile document (ProfileLines) to PrfPath and registers it for
// import (ImportRegistration.h) through the registry. ExchangeServer and
// UserName are as NameInAnsi gave them.
// - A UserName that is blank once trimmed is replaced by the logon name
//   (CurrentLogonName), checked as a name; one that cannot be found or is
//   refused leaves nothing written or registered.
// - Every line ends with CR LF. The file at PrfPath is replaced in one step
//   (the old file or the new one, never a mixture). Where there was none, a
//   failure to register leaves none, so that a later RUNONCE run never takes
//   a half-done job for done; where there was one, a failure to replace it
//   registers nothing, and a failure to register leaves the new file.
Status WriteProfile(const std::string& ExchangeServer, const std::string& UserName,
                    const std::string& PrfPath, bool OnlyEmpty, Registry& registry);

}  // namespace wm
