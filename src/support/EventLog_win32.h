// Windows only: the event identifiers of the message file, for the tests
// that read the exe's message table as Event Viewer does.
#pragma once

#include "support/FailureClass.h"

namespace wm {

// The whole identifier ReportEventW is given for a failure class: the
// message file's (severity and facility included), whose low 16 bits are
// the class's event ID.
unsigned long EventIdentifier(FailureClass failureClass);

}  // namespace wm
