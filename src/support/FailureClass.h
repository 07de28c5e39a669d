// What kind of failure stopped a run: the one table that gives each kind its
// event ID in the system's log (stable: administrators filter and alert on
// them) and the words its error line ends with. Every error line takes both
// from here; the build makes the message file from it (EventMessages.cmake).
#pragma once

#include <iterator>

namespace wm {

enum class FailureClass {
  CommandLine,      // a word or a name on the command line refused
  LogonName,        // the logon name not found, or not usable as a mailbox name
  ApplicationData,  // the roaming application-data folder not found or not expressible
  ProfileFile,      // the profile file not written
  Registry,         // the registry not changed
  StandardOutput,   // standard output not writable
  SystemAccount,    // run as one of the system's own accounts
  Unexpected,       // anything else (out of memory, ...); also a failure no caller put in a class
  Count,            // not a class: how many there are
};

struct FailureClassEntry {
  FailureClass failureClass;
  unsigned short eventId;  // as Event Viewer shows it; the message file has one message each
  const char* ending;      // what the error line ends with, after the message
};

// What a line ends with where the run changed nothing: nothing was written,
// or what was is taken back.
inline constexpr const char kNothingChanged[] = "; no profile was written or registered.";

// Where nothing was changed, the line says so; where some of the work stands,
// it says which (a failure that knows better says so itself, Status::Standing).
inline constexpr FailureClassEntry kFailureClasses[] = {
    {FailureClass::CommandLine, 1, kNothingChanged},
    {FailureClass::LogonName, 2, kNothingChanged},
    {FailureClass::ApplicationData, 3, kNothingChanged},
    {FailureClass::ProfileFile, 4, "; an earlier profile file is left as it was."},
    {FailureClass::Registry, 5, "; the versions after it were not changed."},
    // Its moment varies (before the work or after it): the message says which line failed.
    {FailureClass::StandardOutput, 6, ""},
    {FailureClass::SystemAccount, 7, kNothingChanged},
    {FailureClass::Unexpected, 8, "; the run was stopped."},
};

static_assert(std::size(kFailureClasses) == static_cast<size_t>(FailureClass::Count),
              "one row for each class");
constexpr bool InTheEnumsOrder() {
  for (size_t i = 0; i < std::size(kFailureClasses); ++i) {
    if (static_cast<size_t>(kFailureClasses[i].failureClass) != i) {
      return false;
    }
  }
  return true;
}
static_assert(InTheEnumsOrder(), "the rows in the enum's order");

constexpr const FailureClassEntry& Describe(FailureClass failureClass) {
  return kFailureClasses[static_cast<size_t>(failureClass)];
}

}  // namespace wm
