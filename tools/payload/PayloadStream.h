// The compressed stream of the payload resource, made as small as the format allows and
// cached, so that only a changed catalogue pays for the slow compression.
//
// Both methods give one zlib stream (RFC 1950) with a 32 KiB window and the header 78 DA,
// which the setup's one-pass inflate reads alike:
//   kZlib    zlib at level 9 (Compress in Catalogue.h): fast; the tests' small payloads.
//   kZopfli  zopfli's optimal parsing: about 8% smaller on the shipped catalogue, at some
//            hundred times the time, which is why the builder keeps its streams in a cache.
// The same catalogue always gives the same stream, whether from the cache or made afresh.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "payload/Catalogue.h"

namespace payload {

enum class Method { kZlib, kZopfli };

// One zlib stream of `bytes` made with zopfli. `cuts` are offsets where the data changes
// kind (the catalogue's entry boundaries): the stream's deflate blocks are chosen between
// them, which suits each block's codes to one kind of data. The parts are compressed on up
// to `threads` threads; the result does not depend on how many.
Bytes CompressZopfli(std::span<const std::uint8_t> bytes, std::span<const std::size_t> cuts = {},
                     unsigned threads = 1);

// The offsets at which the entries of a catalogue begin, after the first.
std::vector<std::size_t> EntryBoundaries(std::span<const std::uint8_t> catalogue);

// The stream of `catalogue` by `method`.
Bytes CompressPayload(std::span<const std::uint8_t> catalogue, Method method, unsigned threads = 1);

// A folder of compressed streams, each named by the content hash of the catalogue and the
// method that made it. A stored stream is used only when it inflates to exactly the
// catalogue; a damaged or foreign one is made again and replaced. Streams are written
// beside their final name and renamed, so builds running at the same time may share the
// folder.
class StreamCache {
 public:
  explicit StreamCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

  enum class Outcome { kHit, kMiss };
  // The stream of `catalogue` by `method`, from the folder or made now and stored.
  Bytes Get(std::span<const std::uint8_t> catalogue, Method method, unsigned threads = 1,
            Outcome* outcome = nullptr) const;

  // Where the stream of `catalogue` by `method` is kept.
  std::filesystem::path PathFor(std::span<const std::uint8_t> catalogue, Method method) const;

 private:
  std::filesystem::path folder_;
};

// Whether `stream` is one zlib stream with the header 78 DA that inflates to exactly
// `catalogue` and ends where the bytes end.
bool StreamHolds(std::span<const std::uint8_t> stream, std::span<const std::uint8_t> catalogue);

}  // namespace payload
