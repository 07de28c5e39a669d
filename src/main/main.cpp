// The program's entry: runs the sequence and turns anything unexpected that
// escapes it into one error line and exit status 1.
#include <array>
#include <exception>
#include <new>
#include <string>

#include "main/RunSequence.h"
#include "support/Console.h"
#include "support/EventLog.h"

int main(int argc, char** argv) {
  wm::PrepareConsole();
  try {
    return wm::RunSequence(argc, argv);
  } catch (const std::bad_alloc&) {
    // Nothing may be allocated here: the line, put together by the compiler
    // with its class's ending, goes out as it stands, and its failure leaves
    // nothing else to try.
    static constexpr std::array<char, 64> kLine = [] {
      std::array<char, 64> line{};
      size_t n = 0;
      for (const char* part :
           {"Error: Out of memory", wm::Describe(wm::FailureClass::Unexpected).ending}) {
        while (*part != '\0') {
          line[n++] = *part++;
        }
      }
      line[n] = '\0';
      return line;
    }();
    (void)wm::WriteOutput(kLine.data());
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
