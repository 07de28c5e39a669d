// The program's entry: runs the sequence and turns anything unexpected that
// escapes it into one error line and exit status 1.
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "main/RunSequence.h"
#include "support/Console.h"
#include "support/EventLog.h"
#include "support/Hardening.h"

int main(int argc, char** argv) {
  wm::HardenProcess();  // first: before anything can load a library
  wm::PrepareConsole();
  try {
    return wm::RunSequence(argc, argv);
  } catch (const std::bad_alloc&) {
    // Nothing may be allocated here: the line goes out as it stands, and its
    // failure leaves nothing else to try.
    static constexpr std::string_view kLine = "Error: Out of memory; the run was stopped.";
    static_assert(kLine.ends_with(wm::Describe(wm::FailureClass::Unexpected).ending));
    (void)wm::WriteOutput(kLine);
    (void)wm::WriteOutput("\r\n");
    wm::LogError(wm::FailureClass::Unexpected, kLine.data());
    return 1;
  } catch (const std::exception& failure) {
    return wm::ReportFailure(wm::Status::Failure(
        wm::FailureClass::Unexpected, std::string("Unexpected failure: ") + failure.what()));
  } catch (...) {
    return wm::ReportFailure(
        wm::Status::Failure(wm::FailureClass::Unexpected, "Unexpected failure"));
  }
}
