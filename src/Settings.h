// The setup's remembered settings: the host's home folder and the launch choice, kept as two
// values of one key under HKEY_CURRENT_USER.
//
//   {
//     TSettingsKey key;                              // opened, created when missing
//     std::string home = key.ReadText(kMainDirValue);
//     key.WriteFlag(kLaunchValue, true);
//   }                                                // closed here
//
// Failures are silent by design: a key that cannot be opened reads as empty and ignores
// writes, so that the wizard falls back to its defaults and never stops over the registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "os/Types.h"

// The key under HKEY_CURRENT_USER and its two values.
inline constexpr std::string_view kSettingsKeyPath = "Software\\Veloquin Word Processor\\Install";
// REG_SZ: the host's home folder.
inline constexpr std::string_view kMainDirValue = "MAINDIR";
// REG_DWORD: 1 when the host is to be started at the end, 0 when not.
inline constexpr std::string_view kLaunchValue = "LAUNCH";

// The settings key, open for the lifetime of the object. Every access opens the key afresh
// and closes it at the end; do not keep one across the wizard's life.
class TSettingsKey {
 public:
  // Opens the key with full access, creating it when it is missing (also when only reading).
  TSettingsKey();
  ~TSettingsKey();
  TSettingsKey(const TSettingsKey&) = delete;
  TSettingsKey& operator=(const TSettingsKey&) = delete;

  // Whether the key could be opened. Nothing depends on it: every call below is safe either way.
  bool IsOpen() const { return key_.has_value(); }

  // Whether the value exists, whatever its type or size.
  bool ValueExists(std::string_view name) const;
  // The value's bytes up to the first zero byte, whatever its type; empty when the value is
  // missing, empty or unreadable.
  std::string ReadText(std::string_view name) const;
  // The value's first four bytes as a little-endian 32-bit integer, true when it is not zero.
  // Any type and size is read this way: a value shorter than four bytes counts with the bytes
  // it has (the missing high bytes are zero), so a one-byte 0x01 is true and an empty or
  // missing value is false. A REG_SZ "0" is therefore true (its byte '0' is not zero).
  bool ReadFlag(std::string_view name) const;

  // REG_SZ: the text's bytes and a terminating zero. Does nothing when the key is not open.
  void WriteText(std::string_view name, std::string_view text);
  // REG_DWORD: four bytes, 1 or 0. Does nothing when the key is not open.
  void WriteFlag(std::string_view name, bool value);

 private:
  std::optional<os::Bytes> ReadBytes(std::string_view name) const;

  std::optional<os::KeyHandle> key_;
};
