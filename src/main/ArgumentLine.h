// ParseArguments: the program's arguments turned into the four values that
// drive a run.
#pragma once

#include <string>
#include <vector>

namespace wm {

// Joins the arguments into one line (each followed by one space), scans it
// with a TSimpleParse, and reads three tokens: the server name, the user name
// and the option word. A token may be enclosed in single or double quotes.
// RunOnce and OnlyEmpty are set when the option word or the user name, trimmed
// and upper-cased, is "RUNONCE" or "ONLY_EMPTY"; a user name that is an option
// word becomes empty. All four outputs are always assigned.
void ParseArguments(const std::vector<std::string>& arguments, std::string& ExchangeServer,
                    std::string& UserName, bool& RunOnce, bool& OnlyEmpty);

// The same, with the arguments obtained from the platform.
void ParseArguments(int argc, char** argv, std::string& ExchangeServer, std::string& UserName,
                    bool& RunOnce, bool& OnlyEmpty);

// What the first word of the command line (ExchangeServer) asks for.
enum class FirstWord {
  ServerName,     // anything else: the Exchange server's name
  None,           // empty once trimmed: show the usage
  HelpRequest,    // /? -? /h -h /help -help --help, in any case: show the usage
  UnknownOption,  // any other word starting with "/" or "-": not a host name
};
// Judged on the word trimmed; letters compared without regard to case.
FirstWord ClassifyFirstWord(const std::string& ExchangeServer);

}  // namespace wm
