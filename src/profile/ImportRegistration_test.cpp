#include "profile/ImportRegistration.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/RecordingRegistry.h"
#include "testlib/RegistryProbe.h"
#include "testlib/TestSupport.h"

namespace {

using wmtest::kOfficeVersions;
using wmtest::kRegDword;
using wmtest::RecordingRegistry;
using wmtest::RegistryProbe;
using wmtest::RegistryValue;
using wmtest::SetupKey;
using wmtest::Sz;

// With a registry that records the calls.

TEST(RegisterImportCalls, OnePassAVersionNewestFirst) {
  RecordingRegistry registry;
  ASSERT_TRUE(wm::RegisterImport(registry, "C:\\Users\\x\\outlook.prf").ok());
  EXPECT_EQ(registry.calls, wmtest::RegisteredCalls("C:\\Users\\x\\outlook.prf"));
  EXPECT_FALSE(registry.keyOpen);
}

// Whatever fails (a key, either first-run marker, the value), the run stops
// there, says which version and what, and leaves no key open; a marker that
// stays would keep Outlook from ever importing the file.
TEST(RegisterImportCalls, StopsAtTheFirstFailureAndClosesTheKey) {
  struct Case {
    std::string failOn;
    const char* version;
    size_t callsInPass;  // calls of that version's pass made before "close"
    std::string failure;
  };
  const std::string key = "HKEY_CURRENT_USER\\";
  const char* const newest = kOfficeVersions[0];  // the first pass, where a value call fails
  const Case cases[] = {
      {"create " + SetupKey(kOfficeVersions[1]), kOfficeVersions[1], 1,
       "creating key " + key + SetupKey(kOfficeVersions[1]) + " failed: told to fail"},
      {"delete FirstRun", newest, 2,
       "deleting value \"FirstRun\" in " + key + SetupKey(newest) + " failed: told to fail"},
      {"delete First-Run", newest, 3,
       "deleting value \"First-Run\" in " + key + SetupKey(newest) + " failed: told to fail"},
      {"set ImportPRF=p", newest, 4,
       "setting value \"ImportPRF\" in " + key + SetupKey(newest) + " failed: told to fail"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failOn);
    RecordingRegistry registry;
    registry.failOn = c.failOn;
    wm::Status status = wm::RegisterImport(registry, "p");
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(), std::string("Cannot register the profile for Outlook ") +
                                    c.version + ": " + c.failure);
    // The calls of a successful run up to the failing one, then "close".
    std::vector<std::string> expected = wmtest::RegisteredCalls("p");
    auto pass = std::find(expected.begin(), expected.end(), "create " + SetupKey(c.version));
    ASSERT_NE(pass, expected.end());
    expected.erase(pass + static_cast<std::ptrdiff_t>(c.callsInPass), expected.end());
    expected.push_back("close");
    EXPECT_EQ(registry.calls, expected);
    EXPECT_FALSE(registry.keyOpen);
  }
}

// With the current user's real registry (on Linux: the store), read back
// without our own layer.

class RegisterImportTest : public ::testing::Test {
 protected:
  RegistryProbe probe_;
  std::unique_ptr<wm::Registry> registry_ = probe_.Open();
  wmtest::TempDir dir_;
  std::string prf_ = (dir_.path() / "outlook.prf").string();
  // Every version's key holds ImportPRF, the file's path, and nothing else.
  void ExpectRegisteredEverywhere() {
    for (const char* version : kOfficeVersions) {
      EXPECT_EQ(probe_.Values(SetupKey(version)), Registered()) << version;
    }
  }
  std::map<std::string, RegistryValue> Registered() const { return {{"ImportPRF", Sz(prf_)}}; }
};

TEST_F(RegisterImportTest, CreatesEveryVersionsKeyOnAnEmptyRegistry) {
  for (const char* version : kOfficeVersions) {
    ASSERT_FALSE(probe_.KeyExists(SetupKey(version)));
  }
  wm::Status status = wm::RegisterImport(*registry_, prf_);
  ASSERT_TRUE(status.ok()) << status.message();
  ExpectRegisteredEverywhere();
}

TEST_F(RegisterImportTest, RemovesTheFirstRunMarkersAndKeepsOtherValues) {
  for (const char* version : {"12.0", "9.0"}) {
    probe_.SetValue(SetupKey(version), "FirstRun", RegistryValue{kRegDword, std::string(4, '\0')});
    probe_.SetValue(SetupKey(version), "First-Run", Sz("yes"));
    probe_.SetValue(SetupKey(version), "Other", Sz("kept"));
  }
  probe_.SetValue(SetupKey("8.0"), "First-Run", RegistryValue{kRegDword, "\x01\0\0\0"});
  ASSERT_TRUE(wm::RegisterImport(*registry_, prf_).ok());
  for (const std::string version : kOfficeVersions) {
    std::map<std::string, RegistryValue> expected = Registered();
    if (version == "12.0" || version == "9.0") {
      expected["Other"] = Sz("kept");
    }
    EXPECT_EQ(probe_.Values(SetupKey(version)), expected) << version;
  }
}

TEST_F(RegisterImportTest, OverwritesAnExistingImportPrf) {
  probe_.SetValue(SetupKey("11.0"), "ImportPRF", Sz("D:\\a much longer old path\\outlook.prf"));
  probe_.SetValue(SetupKey("10.0"), "ImportPRF", RegistryValue{kRegDword, "\x07\0\0\0"});
  ASSERT_TRUE(wm::RegisterImport(*registry_, prf_).ok());
  ExpectRegisteredEverywhere();
}

TEST_F(RegisterImportTest, StopsAtAVersionWhoseKeyCannotBeCreated) {
  probe_.SetValue(SetupKey("12.0"), "FirstRun", Sz("1"));
  probe_.BlockKey("Software\\Microsoft\\Office\\11.0");
  wm::Status status = wm::RegisterImport(*registry_, prf_);
  ASSERT_FALSE(status.ok());
  const std::string expected =
      "Cannot register the profile for Outlook 11.0: creating key "
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\11.0\\Outlook\\Setup failed: ";
  EXPECT_EQ(status.message().rfind(expected, 0), 0u) << status.message();
  EXPECT_NE(status.message().find("(error "), std::string::npos) << status.message();
  EXPECT_EQ(status.message().find('\n'), std::string::npos);

  bool before = true;  // the versions before it registered, the later ones untouched
  for (const std::string version : kOfficeVersions) {
    before = before && version != "11.0";
    if (before) {
      EXPECT_EQ(probe_.Values(SetupKey(version)), Registered()) << version;
    } else {
      EXPECT_FALSE(probe_.KeyExists("Software\\Microsoft\\Office\\" + version +
                                    (version == "11.0" ? "\\Outlook" : "")))
          << version;
    }
  }
}

}  // namespace
