// A small program that does nothing but ShowUsage, so that the usage window
// and its text form can be tested as a separate process, as a user meets them.
// Exit status 0 when the window was shown or the text written, 1 otherwise.
#include "support/Console.h"
#include "ui/ExplanationFormUnit.h"

int main() {
  wm::PrepareConsole();
  return wm::ShowUsage() ? 0 : 1;
}
