// ParseArguments: the program's arguments turned into the four values that
// drive a run.
#pragma once

#include <string>
#include <vector>

#include "support/Status.h"

namespace wm {

// The four values that drive a run, and whether the words after the server
// name were accepted.
struct Arguments {
  std::string ExchangeServer;
  std::string UserName;
  bool RunOnce = false;
  bool OnlyEmpty = false;
  // Ok, or the first mistyped option's refusal (UnknownOption,
  // OptionAfterTheThirdWord), ready for the error line.
  Status wordsAccepted = Status::Ok();
};

// The option words (in any case) and what each sets: the one list the
// parser, the misspelling check and the refusals read.
struct OptionWord {
  const char* word;
  bool Arguments::*sets;
};
inline constexpr OptionWord kOptionWords[] = {
    {"RUNONCE", &Arguments::RunOnce},
    {"ONLY_EMPTY", &Arguments::OnlyEmpty},
};

// Joins the arguments into one line (each followed by one space), scans it
// with a TSimpleParse, and reads three tokens: the server name, the user name
// and the option word. A token may be enclosed in single or double quotes.
// An option's value is set when the option word or the user name, trimmed
// and upper-cased, is that option's word; a user name that is an option word
// becomes empty. The words after the third are read only to be checked (see
// Arguments::wordsAccepted).
Arguments ParseArguments(const std::vector<std::string>& arguments);

// The same, with the arguments obtained from the platform.
Arguments ParseArguments(int argc, char** argv);

// What the first word of the command line asks for: a server name, the
// usage, or an option given where the server name goes.
enum class FirstWord {
  ServerName,     // anything else: the Exchange server's name
  None,           // empty once trimmed: show the usage
  HelpRequest,    // /? -? /h -h /help -help --help, in any case: show the usage
  UnknownOption,  // any other word starting with "/" or "-": not a host name
};
// Judged on the word trimmed; letters compared without regard to case.
FirstWord ClassifyFirstWord(const std::string& firstWord);
// The refusal of a first word that is an UnknownOption.
Status UnknownFirstWord(const std::string& firstWord);
// A mistyped option is refused, never taken for a mailbox or dropped: a later
// word starting with "/" or "-" or spelt otherwise ("RUN_ONCE", "OnlyEmpty")
// than an option word; an option word after the third word.
Status UnknownOption(const std::string& word);
Status OptionAfterTheThirdWord(const std::string& word);

}  // namespace wm
