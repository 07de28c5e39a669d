// The program's entry.
#include <string>

#include "main/ArgumentLine.h"
#include "support/Console.h"

int main(int argc, char** argv) {
  wm::PrepareConsole();
  std::string ExchangeServer;
  std::string UserName;
  bool RunOnce = false;
  bool OnlyEmpty = false;
  wm::ParseArguments(argc, argv, ExchangeServer, UserName, RunOnce, OnlyEmpty);
  // The run sequence is not built yet: say so rather than pretend.
  wm::WriteLine("Wendelmarquistone: this build only reads its arguments; no profile was written.");
  return 1;
}
