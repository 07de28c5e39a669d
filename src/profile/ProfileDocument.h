// The profile description (outlook.prf) that Outlook imports at its next
// start: a fixed template in which only the Exchange server, the mailbox name
// and two overwrite settings vary.
#pragma once

#include <string>
#include <vector>

#include "profile/Registry.h"
#include "support/Status.h"

namespace wm {

// The 241 lines of the document, without line ends. The server and user
// names go in exactly as given (no trimming, quoting or escaping) as the
// values of "HomeServer=" and "MailboxName=" in [ServiceEGS] and [Service1].
// OnlyEmpty turns "DefaultProfile" and "OverwriteProfile" from Yes to No.
std::vector<std::string> ProfileLines(const std::string& ExchangeServer,
                                      const std::string& UserName, bool OnlyEmpty);

// Writes the document to PrfPath and registers it for import (see
// ImportRegistration.h).
// - A UserName that is empty once trimmed is replaced by the logon name of
//   the current user (CurrentLogonName()) in the ANSI code page. A logon name
//   that cannot be found, or that the code page cannot hold exactly, is
//   refused with a message telling to give the mailbox name on the command
//   line, and nothing is written or registered.
// - A server or user name holding a line break (CR or LF) would split lines
//   and inject settings: it is refused, and nothing is written or registered.
// - Every line ends with CR LF. The file at PrfPath is replaced in one step
//   (the old file or the new one, never a mixture). Where there was none, a
//   failure to register leaves none, so that a later RUNONCE run never takes
//   a half-done job for done; where there was one, a failure to replace it
//   registers nothing, and a failure to register leaves the new file.
Status WriteProfile(const std::string& ExchangeServer, const std::string& UserName,
                    const std::string& PrfPath, bool OnlyEmpty);

// The same, registering through a given registry.
Status WriteProfile(const std::string& ExchangeServer, const std::string& UserName,
                    const std::string& PrfPath, bool OnlyEmpty, Registry& registry);

}  // namespace wm
