// The registry layer's contract, the same cases on every platform: the real
// registry on Windows (under Wine in the tests), the store of folders and
// files on Linux, each read back by the probe without our own layer.
#include "profile/Registry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/RegistryProbe.h"

namespace {

using wmtest::kRegDword;
using wmtest::kRegSz;
using wmtest::RegistryProbe;
using wmtest::RegistryValue;
using wmtest::Sz;

class RegistryContract : public ::testing::Test {
 protected:
  std::string Key(const std::string& below) const {
    return std::string(RegistryProbe::kTestKey) + "\\" + below;
  }
  RegistryProbe probe_;
  std::unique_ptr<wm::Registry> registry_ = probe_.Open();
};

TEST_F(RegistryContract, CreateKeyMakesTheKeysOnTheWayAndOpensAnExistingKey) {
  const std::string key = Key("One\\Two\\Three");
  ASSERT_FALSE(probe_.KeyExists(Key("One")));
  wm::Status created = registry_->CreateKey(key);
  ASSERT_TRUE(created.ok()) << created.message();
  EXPECT_TRUE(probe_.KeyExists(Key("One")));
  EXPECT_TRUE(probe_.KeyExists(Key("One\\Two")));
  EXPECT_TRUE(probe_.KeyExists(key));
  EXPECT_TRUE(probe_.Values(key).empty());

  probe_.SetValue(key, "Kept", Sz("yes"));
  registry_->CloseKey();
  ASSERT_TRUE(registry_->CreateKey(key).ok());
  ASSERT_TRUE(registry_->SetStringValue("New", "value").ok());
  std::map<std::string, RegistryValue> expected{{"Kept", Sz("yes")}, {"New", Sz("value")}};
  EXPECT_EQ(probe_.Values(key), expected);
}

TEST_F(RegistryContract, SetStringValueWritesRegSzWithItsNulAndOverwritesAnyOldValue) {
  const std::string key = Key("Values");
  probe_.SetValue(key, "Longer", Sz("a much longer old value"));
  probe_.SetValue(key, "Number", RegistryValue{kRegDword, std::string("\x07\0\0\0", 4)});
  ASSERT_TRUE(registry_->CreateKey(key).ok());
  for (const auto& [name, value] :
       std::map<std::string, std::string>{{"Longer", "short"},
                                          {"Number", "text now"},
                                          {"Empty", ""},
                                          {"", "default"},
                                          {"High bytes", "C:\\Users\\J\xF6rg\\\xAE"}}) {
    SCOPED_TRACE(name);
    wm::Status set = registry_->SetStringValue(name, value);
    ASSERT_TRUE(set.ok()) << set.message();
  }
  std::map<std::string, RegistryValue> expected{{"Longer", Sz("short")},
                                                {"Number", Sz("text now")},
                                                {"Empty", Sz("")},
                                                {"", Sz("default")},
                                                {"High bytes", Sz("C:\\Users\\J\xF6rg\\\xAE")}};
  EXPECT_EQ(probe_.Values(key), expected);
}

TEST_F(RegistryContract, DeleteValueRemovesItAndAMissingOneCountsAsDeleted) {
  const std::string key = Key("Deletions");
  probe_.SetValue(key, "FirstRun", Sz("1"));
  probe_.SetValue(key, "Other", Sz("kept"));
  ASSERT_TRUE(registry_->CreateKey(key).ok());
  wm::Status deleted = registry_->DeleteValue("FirstRun");
  EXPECT_TRUE(deleted.ok()) << deleted.message();
  wm::Status missing = registry_->DeleteValue("FirstRun");
  EXPECT_TRUE(missing.ok()) << missing.message();
  EXPECT_EQ(probe_.Values(key), (std::map<std::string, RegistryValue>{{"Other", Sz("kept")}}));
}

TEST_F(RegistryContract, ValuesNeedAnOpenKey) {
  EXPECT_EQ(registry_->SetStringValue("ImportPRF", "x").message(),
            "setting value \"ImportPRF\" failed: no registry key is open");
  EXPECT_EQ(registry_->DeleteValue("FirstRun").message(),
            "deleting value \"FirstRun\" failed: no registry key is open");
  ASSERT_TRUE(registry_->CreateKey(Key("Closed")).ok());
  registry_->CloseKey();
  registry_->CloseKey();  // closing twice is harmless
  EXPECT_FALSE(registry_->SetStringValue("ImportPRF", "x").ok());
  EXPECT_TRUE(probe_.Values(Key("Closed")).empty());
}

TEST_F(RegistryContract, CreatingAKeyClosesTheOneOpenBefore) {
  ASSERT_TRUE(registry_->CreateKey(Key("First")).ok());
  ASSERT_TRUE(registry_->CreateKey(Key("Second")).ok());
  ASSERT_TRUE(registry_->SetStringValue("Where", "second").ok());
  EXPECT_TRUE(probe_.Values(Key("First")).empty());
  EXPECT_EQ(probe_.Values(Key("Second")),
            (std::map<std::string, RegistryValue>{{"Where", Sz("second")}}));
}

// Names that the Linux store has to encode, and that must neither collide
// there nor reach outside the store's folder; on Windows they are plain
// names. A backslash separates keys, so it is only tried in a value name.
TEST_F(RegistryContract, AnyNameStaysWhatItIsAndInsideTheStore) {
  const std::vector<std::string> keyNames = {"100%", "@key", ".hidden", "..",
                                             ".",    "a/b",  "%41",     "Caf\xE9"};
  const std::vector<std::string> valueNames = {"100%", "@",    "@@",  ".hidden", "..",
                                               "a/b",  "a\\b", "%41", "Caf\xE9"};
  for (const std::string& keyName : keyNames) {
    SCOPED_TRACE("key " + keyName);
    const std::string key = Key("Names\\" + keyName);
    wm::Status created = registry_->CreateKey(key);
    ASSERT_TRUE(created.ok()) << created.message();
    for (const std::string& valueName : valueNames) {
      wm::Status set = registry_->SetStringValue(valueName, keyName + " / " + valueName);
      ASSERT_TRUE(set.ok()) << valueName << ": " << set.message();
    }
    registry_->CloseKey();
    std::map<std::string, RegistryValue> expected;
    for (const std::string& valueName : valueNames) {
      expected[valueName] = Sz(keyName + " / " + valueName);
    }
    EXPECT_EQ(probe_.Values(key), expected);
  }
  std::vector<std::string> sortedKeys = keyNames;
  std::sort(sortedKeys.begin(), sortedKeys.end());
  EXPECT_EQ(probe_.Subkeys(Key("Names")), sortedKeys);

  for (const std::string& entry : probe_.StoreEntries()) {
    EXPECT_EQ(entry.rfind("store", 0), 0u) << entry << " is outside the store's folder";
  }
}

}  // namespace
