#include "main/ArgumentLine.h"

#include "main/CommandLine.h"
#include "scan/SimpleParseUnit.h"
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

}  // namespace

void ParseArguments(const std::vector<std::string>& arguments, std::string& ExchangeServer,
                    std::string& UserName, bool& RunOnce, bool& OnlyEmpty) {
  std::string line;
  for (const std::string& argument : arguments) {
    line += argument;
    line += ' ';
  }

  TSimpleParse parser;
  parser.LoadFromString(line);
  parser.Next();
  ExchangeServer = ReadToken(parser);
  UserName = ReadToken(parser);
  const std::string option = ReadToken(parser);

  RunOnce = IsOption(option, "RUNONCE") || IsOption(UserName, "RUNONCE");
  OnlyEmpty = IsOption(option, "ONLY_EMPTY") || IsOption(UserName, "ONLY_EMPTY");
  if (IsOption(UserName, "RUNONCE") || IsOption(UserName, "ONLY_EMPTY")) {
    UserName.clear();
  }
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

void ParseArguments(int argc, char** argv, std::string& ExchangeServer, std::string& UserName,
                    bool& RunOnce, bool& OnlyEmpty) {
  ParseArguments(ProgramArguments(argc, argv), ExchangeServer, UserName, RunOnce, OnlyEmpty);
}

}  // namespace wm
