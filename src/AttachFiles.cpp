#include "AttachFiles.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "Errors.h"
#include "InstUtils.h"
#include "os/Machine.h"

TAttachedFiles* AttachedFiles = nullptr;

namespace {

// Name length byte, stamp and size field of one catalogue entry, beside the name itself.
constexpr std::int64_t kEntryHeaderSize = 1 + 8 + 4;

std::int32_t ReadInt32LE(const std::uint8_t* bytes) {
  const std::uint32_t value =
      static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
      static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return static_cast<std::int32_t>(value);
}

// The stamp is little-endian in the catalogue, as it is in memory on every target.
double ReadStamp(const std::uint8_t* bytes) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = bits << 8 | bytes[i];
  double stamp = 0.0;
  static_assert(sizeof stamp == sizeof bits);
  std::memcpy(&stamp, &bits, sizeof stamp);
  return stamp;
}

void ResizeBlock(TByteBlock& block, std::size_t size) {
  void* resized = std::realloc(block.get(), size);
  if (resized == nullptr) throw std::bad_alloc();
  (void)block.release();
  block.reset(static_cast<std::uint8_t*>(resized));
}

// Ends the inflation on every way out of InflateBuffer.
class InflateStream {
 public:
  InflateStream() = default;
  ~InflateStream() {
    if (initialised_) inflateEnd(&stream_);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;

  z_stream& stream() { return stream_; }
  void MarkInitialised() { initialised_ = true; }

 private:
  z_stream stream_{};
  bool initialised_ = false;
};

[[noreturn]] void ThrowStreamError(const char* what, const z_stream& stream) {
  std::string message = std::string("payload stream ") + what;
  if (stream.msg != nullptr) message += std::string(" (") + stream.msg + ")";
  throw EPayloadError(message);
}

}  // namespace

std::span<const std::uint8_t> LoadPayloadResource(std::string_view name, std::string_view type) {
  const auto resource = os::Machine().FindResource(name, type);
  if (!resource) {
    throw EPayloadError("resource " + std::string(name) + " of type " + std::string(type) +
                        " is missing");
  }
  return *resource;
}

void InflateBuffer(const void* source, std::int32_t sourceLength, TByteBlock& output,
                   std::int32_t& outputLength, std::int32_t estimate, int* enlargements) {
  // With nothing to read the growth step would be 0 and the loop would never end.
  if (source == nullptr || sourceLength <= 0) throw EPayloadError("payload stream is empty");

  const std::int64_t growthStep = (static_cast<std::int64_t>(sourceLength) + 255) & ~0xFF;
  std::int64_t length = estimate > 0 ? estimate : growthStep;
  length = std::min<std::int64_t>(length, kMaxCatalogueSize);

  TByteBlock block(static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(length))));
  if (!block) throw std::bad_alloc();

  int grown = 0;
  InflateStream inflation;
  z_stream& stream = inflation.stream();
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
  stream.avail_in = static_cast<uInt>(sourceLength);
  stream.next_out = block.get();
  stream.avail_out = static_cast<uInt>(length);
  const int initResult = inflateInit(&stream);
  if (initResult == Z_MEM_ERROR) throw std::bad_alloc();
  if (initResult != Z_OK) ThrowStreamError("cannot be read", stream);
  inflation.MarkInitialised();

  for (;;) {
    const int result = inflate(&stream, Z_NO_FLUSH);
    if (result == Z_STREAM_END) break;
    switch (result) {
      case Z_OK:
      case Z_BUF_ERROR:
        break;
      case Z_NEED_DICT:
        ThrowStreamError("needs a preset dictionary", stream);
      case Z_DATA_ERROR:
        ThrowStreamError("is damaged", stream);
      case Z_MEM_ERROR:
        throw std::bad_alloc();
      default:
        ThrowStreamError("cannot be inflated", stream);
    }
    if (stream.avail_out == 0) {
      // The output is full: grow by one step, up to the bound.
      if (length >= kMaxCatalogueSize) {
        throw EPayloadError("payload inflates to more than " + std::to_string(kMaxCatalogueSize) +
                            " bytes");
      }
      length = std::min<std::int64_t>(length + growthStep, kMaxCatalogueSize);
      ResizeBlock(block, static_cast<std::size_t>(length));
      ++grown;
      stream.next_out = block.get() + stream.total_out;
      stream.avail_out = static_cast<uInt>(length - static_cast<std::int64_t>(stream.total_out));
    } else if (stream.avail_in == 0 || result == Z_BUF_ERROR) {
      // Room left but no more input, and the stream has not ended.
      throw EPayloadError("payload stream is cut short");
    }
    // Otherwise inflate made progress and stopped early; call it again.
  }

  const std::int64_t produced = static_cast<std::int64_t>(stream.total_out);
  if (produced == 0) {
    block.reset();
  } else if (produced < length) {
    ResizeBlock(block, static_cast<std::size_t>(produced));
  }
  output = std::move(block);
  outputLength = static_cast<std::int32_t>(produced);
  if (enlargements != nullptr) *enlargements = grown;
}

std::vector<TAttachedFile> ReadCatalogue(const std::uint8_t* data, std::int32_t size) {
  std::vector<TAttachedFile> entries;
  // 64-bit arithmetic, so that no offset computed from a hostile size can wrap.
  std::int64_t offset = 0;
  const std::int64_t end = size;
  while (offset < end) {
    const auto damaged = [&](const std::string& what) {
      return EPayloadError("payload entry " + std::to_string(entries.size()) + " at offset " +
                           std::to_string(offset) + " " + what);
    };
    const std::int64_t nameLength = data[offset];
    if (offset + nameLength + kEntryHeaderSize > end) throw damaged("runs past the end");

    TAttachedFile entry;
    entry.Name.assign(reinterpret_cast<const char*>(data + offset + 1),
                      static_cast<std::size_t>(nameLength));
    const std::int64_t stampAt = offset + 1 + nameLength;
    entry.Stamp = ReadStamp(data + stampAt);
    entry.Size = ReadInt32LE(data + stampAt + 8);
    const std::int64_t dataAt = stampAt + 12;
    if (entry.Size < 0) throw damaged("has a negative size");
    if (dataAt + entry.Size > end) throw damaged("has data running past the end");
    entry.DataOffset = static_cast<std::int32_t>(dataAt);
    offset = dataAt + entry.Size;
    entries.push_back(std::move(entry));
  }
  return entries;
}

TAttachedFiles::TAttachedFiles() {
  const std::span<const std::uint8_t> resource = LoadPayloadResource("FILES", "FILES");
  // The resource holds at most what a 32-bit length can say; anything bigger is no payload.
  if (resource.size() > static_cast<std::size_t>(INT32_MAX)) {
    throw EPayloadError("payload resource is too large");
  }
  const auto sourceLength = static_cast<std::int32_t>(resource.size());
  // Five times the compressed size holds the shipped payload in one pass; beyond the bound
  // the estimate is capped by InflateBuffer.
  const std::int64_t estimate =
      std::min<std::int64_t>(5 * static_cast<std::int64_t>(sourceLength), kMaxCatalogueSize);
  InflateBuffer(resource.data(), sourceLength, Data, DataSize, static_cast<std::int32_t>(estimate));
  Entries = ReadCatalogue(Data.get(), DataSize);
}

// Releases the store in a fixed order, then sweeps the setup's temporary files: the wizard is
// gone by now, so none of them is in use.
TAttachedFiles::~TAttachedFiles() {
  PublicFiles.clear();
  for (auto& queue : Queues) {
    while (!queue.empty())
      queue.pop_back();
  }
  Data.reset();
  DataSize = 0;
  while (!Entries.empty())
    Entries.pop_back();
  DeleteTempFiles();
}
