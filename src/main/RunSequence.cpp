#include "main/RunSequence.h"

#include <cstdio>

#include "main/ArgumentLine.h"
#include "profile/LogonName.h"
#include "profile/ProfileDocument.h"
#include "support/CodePage.h"
#include "support/Console.h"
#include "support/EventLog.h"
#include "support/Files.h"
#include "support/SpecialFolder.h"
#include "support/Text.h"
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
  const std::string& ExchangeServer = arguments.ExchangeServer;

  for (const std::string& line : BannerLines()) {
    Status written = WriteLine(line);
    if (!written) {
      return ReportFailure(written);
    }
  }

  switch (ClassifyFirstWord(ExchangeServer)) {
    case FirstWord::None:
    case FirstWord::HelpRequest: {
      Status shown = ShowUsage();
      return shown ? 0 : ReportFailure(shown);
    }
    case FirstWord::UnknownOption:
      return ReportFailure(UnknownFirstWord(ExchangeServer));
    case FirstWord::ServerName:
      break;
  }
  if (!arguments.WordsAccepted) {
    return ReportFailure(arguments.WordsAccepted);
  }

  // The names as Outlook will be given them, before anything is looked at
  // or written: a name it cannot be given exactly is refused.
  const Result<std::string> server = ServerNameInAnsi(ExchangeServer);
  if (!server) {
    return ReportFailure(server.status());
  }
  const Result<std::string> user = UserNameInAnsi(arguments.UserName);
  if (!user) {
    return ReportFailure(user.status());
  }

  // A per-user tool run as a system account (from a computer startup script
  // or a system task) would serve a profile that no user ever sees.
  const Status account = CheckAccount(CurrentUserSid());
  if (!account) {
    return ReportFailure(account);
  }

  const SpecialFolder folder = FindSpecialFolder("APPLICATION_DATA");
  switch (folder.status) {
    case FolderStatus::Found:
      break;
    case FolderStatus::NotFound:
      return ReportFailure(
          Status::Failure(FailureClass::ApplicationData,
                          "Cannot find the user's application-data folder" +
                              (folder.reason.empty() ? std::string() : ": " + folder.reason)));
    case FolderStatus::NoAnsiPath:
      return ReportFailure(Status::Failure(
          FailureClass::ApplicationData,
          "The user's application-data folder \"" + folder.path +
              "\" has characters outside the ANSI code page in its path and " + folder.reason));
  }
  const std::string PrfPath = folder.path + "outlook.prf";

  if (arguments.RunOnce && FileExists(PrfPath)) {
    Status written = WriteLine(kAlreadyGenerated);
    return written ? 0 : ReportFailure(written);
  }

  Status profile = WriteProfile(server.value(), user.value(), PrfPath, arguments.OnlyEmpty);
  if (!profile) {
    return ReportFailure(profile);
  }
  Status written = WriteLine(kGenerated);
  return written ? 0 : ReportFailure(written);
}

}  // namespace wm
