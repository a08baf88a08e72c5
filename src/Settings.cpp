#include "Settings.h"

#include <algorithm>
#include <cstdint>

#include "os/Machine.h"

TSettingsKey::TSettingsKey() : key_(os::Machine().RegCreateKeyCurrentUser(kSettingsKeyPath)) {}

TSettingsKey::~TSettingsKey() {
  if (key_) os::Machine().RegCloseKey(*key_);
}

std::optional<os::Bytes> TSettingsKey::ReadBytes(std::string_view name) const {
  if (!key_) return std::nullopt;
  auto value = os::Machine().RegQueryValueExA(*key_, name);
  if (!value) return std::nullopt;
  return std::move(value->data);
}

bool TSettingsKey::ValueExists(std::string_view name) const {
  return ReadBytes(name).has_value();
}

std::string TSettingsKey::ReadText(std::string_view name) const {
  const auto bytes = ReadBytes(name);
  if (!bytes || bytes->empty()) return {};
  // Whatever the stored type: the bytes as they are, ending at the first zero (a REG_SZ
  // carries its terminator, and a value written without one simply has none to cut).
  const auto end = std::find(bytes->begin(), bytes->end(), std::uint8_t{0});
  return std::string(bytes->begin(), end);
}

bool TSettingsKey::ReadFlag(std::string_view name) const {
  const auto bytes = ReadBytes(name);
  if (!bytes) return false;
  std::uint32_t value = 0;
  const std::size_t count = std::min<std::size_t>(bytes->size(), 4);
  for (std::size_t i = 0; i < count; ++i) {
    value |= static_cast<std::uint32_t>((*bytes)[i]) << (8 * i);
  }
  return value != 0;
}

void TSettingsKey::WriteText(std::string_view name, std::string_view text) {
  if (!key_) return;
  os::Bytes data(text.begin(), text.end());
  data.push_back(0);
  os::Machine().RegSetValueExA(*key_, name, os::kRegSz, data);
}

void TSettingsKey::WriteFlag(std::string_view name, bool value) {
  if (!key_) return;
  const os::Bytes data{value ? std::uint8_t{1} : std::uint8_t{0}, 0, 0, 0};
  os::Machine().RegSetValueExA(*key_, name, os::kRegDword, data);
}
