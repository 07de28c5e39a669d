// The run sequence: the program from its arguments to its exit status.
#pragma once

#include <array>
#include <string>

#include "support/Status.h"

namespace wm {

// The seven banner lines written at the start of every run, each exactly 47
// characters wide.
const std::array<std::string, 7>& BannerLines();

extern const char* const kAlreadyGenerated;  // RUNONCE and the file is there
extern const char* const kGenerated;         // written and registered

// Reads the arguments, writes the banner and then exactly one of: the usage
// window (no server name), the RUNONCE report (the profile is already there),
// or the profile written and registered with the success line. Returns the
// exit status: 0 on those paths, 1 after an error line when something failed.
int RunSequence(int argc, char** argv);

// Writes "Error: <message><ending>" as one line to standard output (to
// standard error as well when standard output itself fails), the ending
// being its class's (FailureClass.h), records the same line in the system's
// log under its class's event ID (with the message as given, where the
// failure has one) and gives exit status 1.
int ReportFailure(const Status& failure);

}  // namespace wm
