#include "main/RunSequence.h"

#include <cstdio>
#include <memory>

#include "main/ArgumentLine.h"
#include "main/ProfileJob.h"
#include "profile/Registry.h"
#include "support/CodePage.h"
#include "support/Console.h"
#include "support/CurrentUser.h"
#include "support/EventLog.h"
#include "support/Files.h"
#include "support/SpecialFolder.h"
#include "ui/ExplanationFormUnit.h"

#include "Version.h"

namespace wm {

namespace {

constexpr size_t kBannerWidth = 47;
const char* const kWebAddress = "www.brackenhulme.example";
const char* const kSupportAddress = "support@brackenhulme.example";

// "= " + text, padded with spaces to 46 characters, then "=".
std::string FramedLine(const std::string& text) {
  std::string line = "= " + text;
  if (line.size() < kBannerWidth - 1) {
    line.append(kBannerWidth - 1 - line.size(), ' ');
  }
  return line + "=";
}

// Where the profile goes: outlook.prf in the user's application-data folder.
Result<std::string> ProfilePath(const SpecialFolder& folder) {
  if (folder.status == FolderStatus::Found) {
    return folder.path + "outlook.prf";
  }
  return Status::Failure(FailureClass::ApplicationData,
                         folder.status == FolderStatus::NoAnsiPath
                             ? "The user's application-data folder \"" + folder.path +
                                   "\" has characters outside the ANSI code page in its path and " +
                                   folder.reason
                             : "Cannot find the user's application-data folder" +
                                   (folder.reason.empty() ? std::string() : ": " + folder.reason));
}

// A run given a server name, up to and with its outcome line.
Status ServerNameRun(const Arguments& arguments) {
  if (!arguments.wordsAccepted) {
    return arguments.wordsAccepted;
  }
  // The names as Outlook will be given them, before anything is looked at
  // or written: a name it cannot be given exactly is refused.
  const Result<std::string> server = NameInAnsi(Name::Server, arguments.ExchangeServer);
  const Result<std::string> user = server ? NameInAnsi(Name::User, arguments.UserName) : server;
  if (!user) {
    return user.status();  // the server name's refusal, or else the user name's
  }
  // A per-user tool run as a system account (from a computer startup script
  // or a system task) would serve a profile that no user ever sees.
  const Status account = CheckAccount(CurrentUserSid());
  if (!account) {
    return account;
  }
  const SpecialFolder folder = GetSpecialFolder("APPLICATION_DATA");
  const Result<std::string> PrfPath = ProfilePath(folder);
  if (!PrfPath) {
    return PrfPath.status();
  }
  if (arguments.RunOnce && FileExists(PrfPath.value())) {
    return WriteLine(kAlreadyGenerated);
  }
  const std::unique_ptr<Registry> registry = OpenCurrentUserRegistry(folder.path);
  const Status profile =
      WriteProfile(server.value(), user.value(), PrfPath.value(), arguments.OnlyEmpty, *registry);
  return profile ? WriteLine(kGenerated) : profile;
}

}  // namespace

const char* const kAlreadyGenerated = "Profile Already Genreated - No changes made";
const char* const kGenerated = "Profile for user generated successfully";

const std::array<std::string, 7>& BannerLines() {
  static const std::array<std::string, 7> lines = {
      std::string(kBannerWidth, '='),
      FramedLine("Brackenhulme Wendelmarquistone"),
      FramedLine("Generating Microsoft Outlook (R) Profile"),
      FramedLine(kWebAddress),
      FramedLine(std::string("Contact: ") + kSupportAddress),
      FramedLine(std::string("Version: ") + WM_VERSION_DATE),
      std::string(kBannerWidth, '='),
  };
  return lines;
}

int ReportFailure(const Status& failure) {
  const std::string ending = failure.ending();
  const std::string line = "Error: " + failure.message() + ending;
  if (!WriteLine(line)) {
    // Standard output is gone: standard error is the last place left to say it.
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
  }
  // A logon script's console is rarely seen: the system's log is where an administrator
  // finds what went wrong.
  const std::string given =
      "Error: " + (failure.given().empty() ? GivenFromAnsi(failure.message()) : failure.given()) +
      GivenFromAnsi(ending);
  LogError(failure.failureClass(), given.c_str());
  return 1;
}

int RunSequence(int argc, char** argv) {
  const Arguments arguments = ParseArguments(argc, argv);
  for (const std::string& line : BannerLines()) {
    Status written = WriteLine(line);
    if (!written) {
      return ReportFailure(written);
    }
  }
  Status ended = Status::Ok();
  switch (ClassifyFirstWord(arguments.ExchangeServer)) {
    case FirstWord::None:
    case FirstWord::HelpRequest:
      ended = ShowUsage();
      break;
    case FirstWord::UnknownOption:
      ended = UnknownFirstWord(arguments.ExchangeServer);
      break;
    case FirstWord::ServerName:
      ended = ServerNameRun(arguments);
      break;
  }
  return ended ? 0 : ReportFailure(ended);
}

}  // namespace wm
