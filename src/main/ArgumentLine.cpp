#include "main/ArgumentLine.h"

#include "main/ProgramArguments.h"
#include "scan/SimpleParseUnit.h"
#include "support/CodePage.h"
#include "support/Text.h"

namespace wm {

namespace {

bool IsQuote(char c) {
  return c == '\'' || c == '"';
}

// Skips exactly one leading space, then takes characters up to the next space
// and consumes that space. Quotes inside the word are ordinary characters.
std::string ReadBareWord(TSimpleParse& parser) {
  std::string token;
  if (parser.Current == ' ') {
    parser.Next();
  }
  while (!parser.AtEnd) {
    if (parser.Current == ' ') {
      break;
    }
    token += parser.Current;
    parser.Next();
  }
  parser.Next();
  return token;
}

// Skips the opening quote and takes characters up to the next quote of either
// kind (or the end of the line), then consumes the closing quote.
std::string ReadQuoted(TSimpleParse& parser) {
  std::string token;
  parser.Next();
  while (!parser.AtEnd) {
    if (IsQuote(parser.Current)) {
      break;
    }
    token += parser.Current;
    parser.Next();
  }
  parser.Next();
  return token;
}

std::string ReadToken(TSimpleParse& parser) {
  return IsQuote(parser.Current) ? ReadQuoted(parser) : ReadBareWord(parser);
}

bool IsOption(const std::string& token, const char* word) {
  return UpperCase(Trim(token)) == word;
}

// Characters of UTF-8 text: every byte but the continuation bytes.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return count;
}

Result<std::string> NameInAnsi(const std::string& what, const std::string& given, size_t limit,
                               const char* limitReason, const char* advice) {
  const char* const kNothingDone = "; no profile was written or registered.";
  const size_t length = CharacterCount(Trim(given));
  if (length > limit) {
    return Status::Failure("The " + what + " is " + std::to_string(length) +
                           " characters long, more than the " + std::to_string(limit) + " " +
                           limitReason + kNothingDone);
  }
  AnsiText ansi = AnsiFromGiven(given);
  if (!ansi.exact) {
    auto message = [&](const std::string& name) {
      return "The " + what + " \"" + Printable(name) +
             "\" has characters that the system's ANSI code page cannot hold; " + advice +
             kNothingDone;
    };
    return Status::Failure(message(ansi.text), message(given));
  }
  return ansi.text;
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

  const std::string& user = parsed.UserName;
  parsed.RunOnce = IsOption(option, "RUNONCE") || IsOption(user, "RUNONCE");
  parsed.OnlyEmpty = IsOption(option, "ONLY_EMPTY") || IsOption(user, "ONLY_EMPTY");
  if (IsOption(user, "RUNONCE") || IsOption(user, "ONLY_EMPTY")) {
    parsed.UserName.clear();
  }
  return parsed;
}

FirstWord ClassifyFirstWord(const std::string& ExchangeServer) {
  const std::string word = UpperCase(Trim(ExchangeServer));
  if (word.empty()) {
    return FirstWord::None;
  }
  for (const char* help : {"/?", "-?", "/H", "-H", "/HELP", "-HELP", "--HELP"}) {
    if (word == help) {
      return FirstWord::HelpRequest;
    }
  }
  // A host name starts with a letter or a digit, never with an option's sign.
  if (word[0] == '/' || word[0] == '-') {
    return FirstWord::UnknownOption;
  }
  return FirstWord::ServerName;
}

Result<std::string> ServerNameInAnsi(const std::string& ExchangeServer) {
  return NameInAnsi("server name", ExchangeServer, kServerNameLimit, "a DNS name can have",
                    "give the server's DNS name or IP address");
}

Result<std::string> UserNameInAnsi(const std::string& UserName) {
  return NameInAnsi("user name", UserName, kUserNameLimit, "a Windows account name can have",
                    "give the mailbox name in characters of that code page, or leave it out to "
                    "use the logon name");
}

Arguments ParseArguments(int argc, char** argv) {
  return ParseArguments(ProgramArguments(argc, argv));
}

}  // namespace wm
