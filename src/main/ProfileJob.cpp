#include "main/ProfileJob.h"

#include <iterator>
#include <string_view>

#include "profile/ImportRegistration.h"
#include "profile/ProfileDocument.h"
#include "support/CodePage.h"
#include "support/CurrentUser.h"
#include "support/Files.h"
#include "support/Text.h"

namespace wm {

namespace {

const char* const kGiveTheMailbox =
    "give the mailbox name on the command line (Wendelmarquistone <server> <mailbox>)";

// What a name's refusals say of it, and its limit, counted in characters once
// trimmed (a DNS name has at most 255, a Windows account name at most 256); a
// row for each Name.
struct NameRules {
  const char* what;
  FailureClass failureClass;
  size_t limit;
  const char* limitReason;
  const char* advice;  // what to do where the code page cannot hold it
};
const NameRules kRules[] = {
    {"server name", FailureClass::CommandLine, 255, "a DNS name can have",
     "give the server's DNS name or IP address"},
    {"user name", FailureClass::CommandLine, 256, "a Windows account name can have",
     "give the mailbox name in characters of that code page, or leave it out to use the logon "
     "name"},
    {"logon name", FailureClass::LogonName, 256, "a Windows account name can have",
     kGiveTheMailbox},
};
static_assert(std::size(kRules) == static_cast<size_t>(Name::Logon) + 1, "a row for each Name");

// Characters of UTF-8 text: every byte but the continuation bytes.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return count;
}

// The logon name, where the user name is left out.
Result<std::string> LogonNameInAnsi() {
  const Result<std::string> logon = CurrentLogonName();
  if (!logon || Trim(logon.value()).empty()) {
    return Status::Failure(FailureClass::LogonName,
                           "The logon name of the current user cannot be found" +
                               (logon ? std::string() : ": " + logon.status().message()) + "; " +
                               kGiveTheMailbox);
  }
  return NameInAnsi(Name::Logon, logon.value());
}

// A first run that fails once it has registered (a later version, or the
// file's rename) takes back what it registered: no version may point Outlook
// at a file that is not there. The failure then says what is left.
Status RegisterThenPutInPlace(Registry& registry, const std::string& PrfPath, StagedFile& staged) {
  const Registration registration = RegisterImportUndoably(registry, PrfPath);
  const Status done =
      registration.status ? staged.Commit().In(FailureClass::ProfileFile) : registration.status;
  if (done) {
    return done;
  }
  const TakenBack takenBack = TakeBackImport(registry, registration.replaced);
  if (takenBack.left.empty()) {
    return done.Standing(kNothingChanged);
  }
  std::string versions;
  for (const char* version : takenBack.left) {
    versions += (versions.empty() ? "Outlook " : ", ") + std::string(version);
  }
  return done.Standing("; taking its registration back failed too (" + takenBack.reason +
                       "): " + versions + (takenBack.left.size() == 1 ? " is" : " are") +
                       " left pointed at \"" + PrfPath +
                       "\", where no file was put; the next run, RUNONCE included, does the "
                       "whole job.");
}

}  // namespace

Result<std::string> NameInAnsi(Name name, const std::string& given) {
  const NameRules& rules = kRules[static_cast<size_t>(name)];
  const std::string the = std::string("The ") + rules.what;
  const size_t length = CharacterCount(Trim(given));
  const AnsiText ansi = AnsiFromGiven(given);
  auto outsideTheCodePage = [&](const std::string& shown) {
    return the + " \"" + Printable(shown) +
           "\" has characters that the system's ANSI code page cannot hold; " + rules.advice;
  };
  if (name == Name::User && length == 0) {
    return given;
  }
  if (length > rules.limit) {
    return Status::Failure(rules.failureClass, the + " is " + std::to_string(length) +
                                                   " characters long, more than the " +
                                                   std::to_string(rules.limit) + " " +
                                                   rules.limitReason);
  }
  if (!ansi.exact) {
    return Status::Failure(rules.failureClass, outsideTheCodePage(ansi.text),
                           outsideTheCodePage(given));
  }
  if (HasLineBreak(given)) {
    return Status::Failure(rules.failureClass, the + " contains a line break");
  }
  return ansi.text;
}

Status WriteProfile(const std::string& ExchangeServer, const std::string& UserName,
                    const std::string& PrfPath, bool OnlyEmpty, Registry& registry) {
  const Result<std::string> mailbox = Trim(UserName).empty() ? LogonNameInAnsi() : UserName;
  if (!mailbox) {
    return mailbox.status();
  }
  // The file in its place is what a later RUNONCE run takes for a finished
  // job. Where there is none yet, it is put there last: written in full
  // beside its place, registered, and only then renamed into place, so that
  // a run that fails or is stopped before that leaves none, and the next run
  // does the whole job again. Where one is there already, it is replaced
  // first and then registered: a file that cannot be replaced (another run
  // holds it) must not have Outlook pointed at the old one.
  const bool replacing = FileExists(PrfPath);
  std::string document;
  for (const std::string& line : ProfileLines(ExchangeServer, mailbox.value(), OnlyEmpty)) {
    document += line + "\r\n";
  }
  Result<StagedFile> staged = StageFile(PrfPath, document, "Cannot write the profile file");
  if (!staged) {
    const Status failed = staged.status().In(FailureClass::ProfileFile);
    return replacing ? failed : failed.Standing(kNothingChanged);
  }
  if (!replacing) {
    return RegisterThenPutInPlace(registry, PrfPath, staged.value());
  }
  Status replaced = staged.value().Commit();
  return replaced ? RegisterImport(registry, PrfPath) : replaced.In(FailureClass::ProfileFile);
}

}  // namespace wm
