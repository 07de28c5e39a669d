// The end-to-end fixture on Windows: the program started with a raw command
// line, as a logon script starts it; the profile in the user's roaming
// application-data folder; the real registry. Both persist in the prefix:
// each test starts without them and leaves none.
#include <windows.h>
#include <shlobj.h>

#include <filesystem>

#include "e2e/EndToEnd.h"
#include "testlib/Process_win32.h"

namespace wmtest {

struct EndToEnd::Host {
  std::string prfPath;
  RegistryProbe registry;
};

EndToEnd::EndToEnd() : host_(std::make_unique<Host>()) {
  char folder[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder), S_OK);
  host_->prfPath = std::string(folder) + "\\outlook.prf";
  std::error_code ignored;
  std::filesystem::remove_all(host_->prfPath, ignored);
  ClearRegistry();
}

EndToEnd::~EndToEnd() {
  std::error_code ignored;
  std::filesystem::remove_all(host_->prfPath, ignored);
  ClearRegistry();
}

ProcessResult EndToEnd::Run(const std::vector<std::string>& arguments, ProcessOptions options) {
  std::string line = "\"" + ProgramPath() + "\"";
  for (const std::string& argument : arguments) {
    line += " " + argument;
  }
  ProcessResult result = RunCommandLine(line, options);
  EXPECT_TRUE(result.started) << result.error;
  EXPECT_FALSE(result.timedOut);
  return result;
}

std::string EndToEnd::PrfPath() const {
  return host_->prfPath;
}

RegistryProbe& EndToEnd::Registry() {
  return host_->registry;
}

void EndToEnd::ClearRegistry() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kOffice);
}

void EndToEnd::ExpectNothingRegistered() {
  EXPECT_FALSE(Registry().KeyExists(kOffice)) << "the registry must be left as it was";
}

std::vector<EndToEnd::Blocker> EndToEnd::RegistrationBlockers(const char* version) {
  const std::string key = std::string(kOffice) + "\\" + version;
  // It lives as long as the wineserver; ClearRegistry removes it.
  return {{"a volatile key, which cannot hold a normal one",
           [this, key] { Registry().BlockKey(key); }, false, "(error 1021)"}};
}

std::vector<ProcessOptions> EndToEnd::BrokenStandardOutputs() const {
  ProcessOptions closed;
  closed.output = OutputMode::Closed;
  return {closed};
}

}  // namespace wmtest
