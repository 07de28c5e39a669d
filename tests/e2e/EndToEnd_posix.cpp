// The end-to-end fixture on Linux: the program with its home and
// configuration folders in a temporary folder, the profile in the
// configuration folder and the registry store beside it.
#include <filesystem>

#include "e2e/EndToEnd.h"

namespace wmtest {

namespace fs = std::filesystem;

struct EndToEnd::Host {
  TempDir temp;
  fs::path home = temp.path() / "home";
  fs::path config = temp.path() / "config";
  fs::path store = config / "Wendelmarquistone" / "Registry";
  RegistryProbe registry{store.string()};
};

EndToEnd::EndToEnd() : host_(std::make_unique<Host>()) {
  fs::create_directories(host_->home);
  fs::create_directories(host_->config);
}

EndToEnd::~EndToEnd() = default;

ProcessResult EndToEnd::Run(const std::vector<std::string>& arguments, ProcessOptions options) {
  // The test's own settings come after these, so they win.
  options.environment.insert(
      options.environment.begin(),
      {{"HOME", host_->home.string()}, {"XDG_CONFIG_HOME", host_->config.string()}});
  ProcessResult result = RunProgram(ProgramPath(), arguments, options);
  EXPECT_TRUE(result.started) << result.error;
  EXPECT_FALSE(result.timedOut);
  return result;
}

std::string EndToEnd::PrfPath() const {
  return (host_->config / "outlook.prf").string();
}

RegistryProbe& EndToEnd::Registry() {
  return host_->registry;
}

void EndToEnd::ClearRegistry() {
  fs::remove_all(host_->store);
}

void EndToEnd::ExpectNothingRegistered() {
  EXPECT_FALSE(fs::exists(host_->store)) << "the registry store must be left as it was";
}

std::vector<EndToEnd::Blocker> EndToEnd::RegistrationBlockers(const char* version) {
  const std::string key = std::string(kOffice) + "\\" + version;
  const fs::path marker = host_->store / "HKEY_CURRENT_USER" / "Software" / "Microsoft" / "Office" /
                          version / "Outlook" / "Setup" / "@First-Run" / "x";
  const fs::path folder = marker.parent_path().parent_path().parent_path().parent_path();
  // The second would keep Outlook from importing the profile; the third is
  // there but cannot be looked at (a link to itself).
  return {{"a plain file where the key's folder would go",
           [this, key] { Registry().BlockKey(key); }, false, "Not a directory"},
          {"a first-run marker that cannot be deleted (a folder with something in it)",
           [marker] {
             fs::create_directories(marker.parent_path());
             WriteFileBytes(marker, "in the way");
           },
           true, "Is a directory"},
          {"a symbolic link to itself where the key's folder would go",
           [folder] {
             fs::create_directories(folder.parent_path());
             fs::create_symlink(folder.filename(), folder);
           },
           false, "Too many levels of symbolic links"}};
}

std::vector<ProcessOptions> EndToEnd::BrokenStandardOutputs() const {
  ProcessOptions closed;
  closed.output = OutputMode::Closed;
  ProcessOptions full;
  full.output = OutputMode::File;
  full.outputFile = "/dev/full";
  return {closed, full};
}

}  // namespace wmtest
