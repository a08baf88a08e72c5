// The registry under HKEY_CURRENT_USER: keys made on the way, values read back with their
// type and bytes, names compared without regard to case.
#include <cstdint>
#include <string>
#include <vector>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

os::Bytes BytesOf(std::string_view text) {
  return os::Bytes(text.begin(), text.end());
}

using RegistryContract = ContractTest;

TEST_F(RegistryContract, ValuesReadBackWithTypeAndBytes) {
  std::optional<os::KeyHandle> key = os().RegCreateKeyCurrentUser(env().registryKey);
  ASSERT_TRUE(key.has_value());

  struct Case {
    std::string name;
    std::uint32_t type;
    os::Bytes data;
  };
  const Case cases[] = {
      {"MAINDIR", os::kRegSz, BytesOf(std::string_view("C:\\Program Files\\Host\0", 23))},
      {"LAUNCH", os::kRegDword, {1, 0, 0, 0}},
      {"Empty", os::kRegBinary, {}},
      {"Big", os::kRegBinary, os::Bytes(3000, 0xA5)},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(os().RegSetValueExA(*key, c.name, c.type, c.data)) << c.name;
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<os::RegistryValue> value = os().RegQueryValueExA(*key, c.name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->data, c.data);
  }
  EXPECT_FALSE(os().RegQueryValueExA(*key, "Missing").has_value());
  EXPECT_TRUE(os().RegCloseKey(*key));
}

TEST_F(RegistryContract, KeyKeepsItsValuesAcrossOpenings) {
  const std::string path = env().registryKey + "\\Nested\\Deeper";
  std::optional<os::KeyHandle> key = os().RegCreateKeyCurrentUser(path);
  ASSERT_TRUE(key.has_value());
  const os::Bytes zero = {0, 0, 0, 0};
  ASSERT_TRUE(os().RegSetValueExA(*key, "LAUNCH", os::kRegDword, zero));
  ASSERT_TRUE(os().RegCloseKey(*key));

  // Opened again under other letter case; the value name is not case-sensitive either.
  std::string upper = path;
  os().CharUpperBuffA(upper);
  key = os().RegCreateKeyCurrentUser(upper);
  ASSERT_TRUE(key.has_value());
  std::optional<os::RegistryValue> value = os().RegQueryValueExA(*key, "launch");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, os::kRegDword);
  EXPECT_EQ(value->data, zero);

  // Writing again replaces type and bytes.
  const os::Bytes text = BytesOf(std::string_view("1\0", 2));
  ASSERT_TRUE(os().RegSetValueExA(*key, "Launch", os::kRegSz, text));
  value = os().RegQueryValueExA(*key, "LAUNCH");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, os::kRegSz);
  EXPECT_EQ(value->data, text);
  EXPECT_TRUE(os().RegCloseKey(*key));
}

}  // namespace
}  // namespace contract
