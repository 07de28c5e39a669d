// The profile description (outlook.prf) that Outlook imports at its next
// start: a fixed template in which only the Exchange server, the mailbox name
// and two overwrite settings vary. Written and registered by the run's job
// (main/ProfileJob.h).
#pragma once

#include <string>
#include <vector>

namespace wm {

// The 241 lines of the document, without line ends. The server and user
// names go in exactly as given (no trimming, quoting or escaping) as the
// values of "HomeServer=" and "MailboxName=" in [ServiceEGS] and [Service1].
// OnlyEmpty turns "DefaultProfile" and "OverwriteProfile" from Yes to No.
std::vector<std::string> ProfileLines(const std::string& ExchangeServer,
                                      const std::string& UserName, bool OnlyEmpty);

}  // namespace wm
