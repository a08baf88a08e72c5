// SHA-256 (FIPS 180-4), for naming cached payload streams by the catalogue they hold.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace payload {

class Sha256 {
 public:
  Sha256();
  // Adds bytes to the message; may be called any number of times.
  Sha256& Update(std::span<const std::uint8_t> bytes);
  Sha256& Update(std::string_view text);
  // The digest of everything added; the object is spent afterwards.
  std::array<std::uint8_t, 32> Finish();
  // The digest as 64 lower-case hex digits.
  std::string FinishHex();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;
};

}  // namespace payload
