#include "payload/PayloadStream.h"

#include <zlib.h>
#include <zopfli/deflate.h>
#include <zopfli/zopfli.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>

#include "payload/Sha256.h"

namespace payload {

namespace {

// zopfli's own setting for large inputs is 1 MB parts, each split into at most 15 blocks.
// Parts that end at entry boundaries and blocks split without a limit make the shipped
// stream some 3 KB smaller for a little more time; more iterations gain less than 0.1%.
constexpr int kZopfliIterations = 15;
constexpr std::size_t kMaxPart = 1000000;
// A part smaller than this (a short text between two large files) joins the next one: its
// own block headers would cost more than codes fitted to it save.
constexpr std::size_t kMinPart = 64 * 1024;

// Written into the cache key, so that a change of compressor settings never reuses a stream
// made with the old ones.
constexpr const char* kZopfliTag = "zopfli 1.0.3 i15 max0 entry-parts 1000000/65536";

// Deflate output of one part: whole bytes, the last one holding `lastBits` bits (8 when full).
struct BitRun {
  Bytes bytes;
  int lastBits = 8;
};

// Appends a run of bits to `out`, whose last byte holds `usedBits` bits.
void AppendBits(Bytes& out, int& usedBits, const BitRun& run) {
  for (std::size_t i = 0; i < run.bytes.size(); ++i) {
    const int count = i + 1 == run.bytes.size() ? run.lastBits : 8;
    const unsigned value = run.bytes[i] & ((1u << count) - 1);
    if (usedBits == 8) {
      out.push_back(static_cast<std::uint8_t>(value));
      usedBits = count;
    } else {
      out.back() = static_cast<std::uint8_t>(out.back() | value << usedBits);
      const int spill = usedBits + count - 8;
      if (spill > 0) {
        out.push_back(static_cast<std::uint8_t>(value >> (count - spill)));
        usedBits = spill;
      } else {
        usedBits += count;
      }
    }
  }
}

// The parts that zopfli compresses one by one: the data cut at `cuts`, tiny pieces joined
// to the next one, large ones split into equal pieces of at most kMaxPart bytes.
std::vector<std::pair<std::size_t, std::size_t>> Parts(std::size_t size,
                                                       std::span<const std::size_t> cuts) {
  std::vector<std::size_t> ends;
  for (std::size_t cut : cuts) {
    if (cut > 0 && cut < size && (ends.empty() || cut > ends.back())) ends.push_back(cut);
  }
  ends.push_back(size);

  std::vector<std::pair<std::size_t, std::size_t>> parts;
  std::size_t start = 0;
  for (std::size_t end : ends) {
    if (end - start < kMinPart && end != size) continue;
    const std::size_t length = end - start;
    const std::size_t pieces = std::max<std::size_t>(1, (length + kMaxPart - 1) / kMaxPart);
    for (std::size_t piece = 0; piece < pieces; ++piece) {
      parts.emplace_back(start + length * piece / pieces, start + length * (piece + 1) / pieces);
    }
    start = end;
  }
  return parts;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

std::vector<std::size_t> EntryBoundaries(std::span<const std::uint8_t> catalogue) {
  std::vector<std::size_t> boundaries;
  std::size_t offset = 0;
  while (offset < catalogue.size()) {
    const std::size_t nameLength = catalogue[offset];
    const std::size_t sizeAt = offset + 1 + nameLength + 8;
    if (sizeAt + 4 > catalogue.size()) break;
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
      size = size << 8 | catalogue[sizeAt + i];
    // A damaged size only costs compression, never correctness: stop guessing there.
    if (size > catalogue.size() - (sizeAt + 4)) break;
    offset = sizeAt + 4 + size;
    if (offset < catalogue.size()) boundaries.push_back(offset);
  }
  return boundaries;
}

Bytes CompressZopfli(std::span<const std::uint8_t> bytes, std::span<const std::size_t> cuts,
                     unsigned threads) {
  ZopfliOptions options;
  ZopfliInitOptions(&options);
  options.numiterations = kZopfliIterations;
  options.blocksplittingmax = 0;

  // An empty input still needs one (final, empty) deflate block.
  const auto parts = bytes.empty() ? std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}}
                                   : Parts(bytes.size(), cuts);
  std::vector<BitRun> runs(parts.size());
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < parts.size(); i = next++) {
      unsigned char* out = nullptr;
      std::size_t outSize = 0;
      unsigned char bitPointer = 0;
      // Each part sees the bytes before it as its window, as one pass over all would.
      ZopfliDeflatePart(&options, 2, i + 1 == parts.size() ? 1 : 0, bytes.data(), parts[i].first,
                        parts[i].second, &bitPointer, &out, &outSize);
      runs[i].bytes.assign(out, out + outSize);
      runs[i].lastBits = bitPointer == 0 ? 8 : bitPointer;
      std::free(out);
    }
  };
  threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(parts.size()));
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t)
    pool.emplace_back(work);
  work();
  for (std::thread& thread : pool)
    thread.join();

  // The zlib frame: CMF 78 (deflate, 32 KiB window) and FLG DA (maximum compression, no
  // dictionary, check bits), the deflate bits, then the Adler-32 of the data, big-endian.
  Bytes stream{0x78, 0xDA};
  int usedBits = 8;
  for (const BitRun& run : runs)
    AppendBits(stream, usedBits, run);
  uLong adler = adler32(0, nullptr, 0);
  for (std::size_t done = 0; done < bytes.size();) {
    const auto chunk = static_cast<uInt>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    adler = adler32(adler, bytes.data() + done, chunk);
    done += chunk;
  }
  for (int shift = 24; shift >= 0; shift -= 8)
    stream.push_back(static_cast<std::uint8_t>(adler >> shift));
  return stream;
}

Bytes CompressPayload(std::span<const std::uint8_t> catalogue, Method method, unsigned threads) {
  if (method == Method::kZlib) return Compress(catalogue);
  return CompressZopfli(catalogue, EntryBoundaries(catalogue), threads);
}

bool StreamHolds(std::span<const std::uint8_t> stream, std::span<const std::uint8_t> catalogue) {
  if (stream.size() < 6 || stream[0] != 0x78 || stream[1] != 0xDA) return false;
  if (stream.size() > UINT32_MAX || catalogue.size() >= UINT32_MAX) return false;
  Bytes out(catalogue.size() + 1);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  const bool whole = result == Z_STREAM_END && z.avail_in == 0 && z.total_out == catalogue.size();
  inflateEnd(&z);
  return whole && std::equal(catalogue.begin(), catalogue.end(), out.begin());
}

std::filesystem::path StreamCache::PathFor(std::span<const std::uint8_t> catalogue,
                                           Method method) const {
  Sha256 hash;
  hash.Update(method == Method::kZlib ? std::string("zlib ") + zlibVersion() + " level 9"
                                      : std::string(kZopfliTag));
  hash.Update(std::string_view("\n", 1));
  hash.Update(catalogue);
  return folder_ / (hash.FinishHex() + ".z");
}

Bytes StreamCache::Get(std::span<const std::uint8_t> catalogue, Method method, unsigned threads,
                       Outcome* outcome) const {
  const std::filesystem::path path = PathFor(catalogue, method);
  const std::string stored = ReadFile(path);
  const std::span<const std::uint8_t> storedBytes(
      reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size());
  if (StreamHolds(storedBytes, catalogue)) {
    if (outcome != nullptr) *outcome = Outcome::kHit;
    return Bytes(storedBytes.begin(), storedBytes.end());
  }

  Bytes stream = CompressPayload(catalogue, method, threads);
  if (outcome != nullptr) *outcome = Outcome::kMiss;
  // The cache only saves time: a folder that cannot be written leaves the build as it is.
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  // Named by process, so that two builds storing the same stream never write one file.
  std::string partialName = path.filename().string();
  partialName += '.';
  partialName += std::to_string(getpid());
  partialName += ".partial";
  const std::filesystem::path partial = path.parent_path() / partialName;
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(stream.data()),
               static_cast<std::streamsize>(stream.size()));
    if (!file.flush()) error = std::make_error_code(std::errc::io_error);
  }
  if (!error) std::filesystem::rename(partial, path, error);
  if (error) std::filesystem::remove(partial, error);
  return stream;
}

}  // namespace payload
