#include "main/ArgumentLine.h"

#include <iterator>

#include "main/ProgramArguments.h"
#include "scan/SimpleParseUnit.h"
#include "support/CodePage.h"
#include "support/Text.h"

namespace wm {

namespace {

bool IsQuote(char c) {
  return c == '\'' || c == '"';
}

// A quoted token: skips the opening quote, takes characters up to the next
// quote of either kind (or the end of the line) and consumes that quote. A
// bare word: skips exactly one leading space, takes characters up to the next
// space and consumes that space; quotes inside it are ordinary characters.
std::string ReadToken(TSimpleParse& parser) {
  const bool quoted = IsQuote(parser.Current);
  if (quoted || parser.Current == ' ') {
    parser.Next();
  }
  std::string token;
  while (!parser.AtEnd && !(quoted ? IsQuote(parser.Current) : parser.Current == ' ')) {
    token += parser.Current;
    parser.Next();
  }
  parser.Next();
  return token;
}

// A word as the misspelling check sees it: trimmed, upper-cased, without
// "_", "-" and a leading "/".
std::string Letters(const std::string& token) {
  std::string letters;
  for (char c : UpperCase(Trim(token))) {
    if (c != '_' && c != '-' && !(c == '/' && letters.empty())) {
      letters += c;
    }
  }
  return letters;
}

// How a token is compared with the option words: Exactly, trimmed and in any
// case; Loosely, both as the misspelling check sees them (Letters).
enum class Match { Exactly, Loosely };

// The option word the token is, compared so, or nullptr.
const OptionWord* FindOption(const std::string& token, Match match = Match::Exactly) {
  for (const OptionWord& option : kOptionWords) {
    if (match == Match::Loosely ? Letters(token) == Letters(option.word)
                                : UpperCase(Trim(token)) == option.word) {
      return &option;
    }
  }
  return nullptr;
}

bool StartsLikeAnOption(const std::string& token) {
  const std::string word = Trim(token);
  return !word.empty() && (word[0] == '/' || word[0] == '-');
}

// A refused word's message, with the word shown as the code page can hold
// it, and as given for the system's log.
Status RefusedWord(const char* before, const std::string& word, const std::string& after) {
  auto message = [&](const std::string& shown) {
    return before + ("\"" + Printable(shown) + "\"") + after;
  };
  return Status::Failure(FailureClass::CommandLine, message(AnsiFromGiven(word).text),
                         message(word));
}

// "RUNONCE and ONLY_EMPTY": the option words, as the refusals name them.
std::string OptionWordsNamed() {
  std::string named = kOptionWords[0].word;
  for (size_t i = 1; i < std::size(kOptionWords); ++i) {
    named += (i + 1 < std::size(kOptionWords) ? ", " : " and ") + std::string(kOptionWords[i].word);
  }
  return named;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    line += argument;
    line += ' ';
  }

  TSimpleParse parser;
  parser.LoadFromString(line);
  parser.Next();
  Arguments parsed;
  parsed.ExchangeServer = ReadToken(parser);
  parsed.UserName = ReadToken(parser);
  const std::string option = ReadToken(parser);

  for (const std::string& word : {parsed.UserName, option}) {
    if (const OptionWord* given = FindOption(word)) {
      parsed.*given->sets = true;
    } else if (parsed.wordsAccepted &&
               (StartsLikeAnOption(word) || FindOption(word, Match::Loosely))) {
      parsed.wordsAccepted = UnknownOption(word);  // an option's sign, or a word misspelt
    }
  }
  while (!parser.AtEnd) {
    const std::string later = ReadToken(parser);
    if (parsed.wordsAccepted && FindOption(later, Match::Loosely) != nullptr) {
      parsed.wordsAccepted = OptionAfterTheThirdWord(later);
    }
  }

  if (FindOption(parsed.UserName) != nullptr) {
    parsed.UserName.clear();
  }
  return parsed;
}

Status UnknownOption(const std::string& word) {
  return RefusedWord("Unknown option ", word,
                     ": the options are " + OptionWordsNamed() +
                         ", spelt so (in any case), as the second or third word; a mailbox whose "
                         "name starts with \"/\" or \"-\" is given by another of its aliases");
}

Status OptionAfterTheThirdWord(const std::string& word) {
  return RefusedWord("The option ", word,
                     " comes after the third word, where nothing is read: the options are " +
                         OptionWordsNamed() +
                         ", as the second or third word, after the server name and the user name "
                         "(if any)");
}

Status UnknownFirstWord(const std::string& firstWord) {
  return RefusedWord("Unknown option ", firstWord,
                     ": the Exchange server's name must come first (/? shows how to call the "
                     "tool)");
}

FirstWord ClassifyFirstWord(const std::string& firstWord) {
  const std::string word = UpperCase(Trim(firstWord));
  if (word.empty()) {
    return FirstWord::None;
  }
  for (const char* help : {"/?", "-?", "/H", "-H", "/HELP", "-HELP", "--HELP"}) {
    if (word == help) {
      return FirstWord::HelpRequest;
    }
  }
  // A host name starts with a letter or a digit, never with an option's sign.
  if (StartsLikeAnOption(word)) {
    return FirstWord::UnknownOption;
  }
  return FirstWord::ServerName;
}

Arguments ParseArguments(int argc, char** argv) {
  return ParseArguments(ProgramArguments(argc, argv));
}

}  // namespace wm
