// Fuzz target: the payload store's construction from any bytes as the "FILES" resource, and
// the catalogue walk on any bytes as an inflated catalogue.
//
// Each input is used twice. As the resource, the store must either come up with entries that
// lie inside its data or refuse with EPayloadError. As a catalogue, deflated and given to the
// store as its resource, the store must find exactly the entries that ReadCatalogue finds in
// the bytes themselves, or refuse exactly when ReadCatalogue does. Anything else, a crash or
// a read outside the data ends the run.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "AttachFiles.h"
#include "Errors.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

os::SimOs& Machine() {
  static os::SimOs machine;
  static os::MachineScope scope(machine);
  return machine;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// The entries of the store built from `resource`, or nothing when it refuses the payload.
std::unique_ptr<TAttachedFiles> Store(const Bytes& resource) {
  Machine().SetResource("FILES", "FILES", resource);
  try {
    auto store = std::make_unique<TAttachedFiles>();
    // Entries lie one after another inside the data and fill it.
    std::int64_t offset = 0;
    for (const TAttachedFile& entry : store->Entries) {
      Check(entry.Size >= 0 && entry.DataOffset > offset);
      Check(entry.DataOffset == offset + 13 + static_cast<std::int64_t>(entry.Name.size()));
      offset = static_cast<std::int64_t>(entry.DataOffset) + entry.Size;
      Check(offset <= store->DataSize);
      // Touch the entry's bytes, so that the address sanitizer sees every one is inside.
      volatile std::uint8_t sink = 0;
      for (std::int32_t i = 0; i < entry.Size; i += 97)
        sink = sink + store->Data[static_cast<std::size_t>(entry.DataOffset + i)];
    }
    Check(offset == store->DataSize);
    return store;
  } catch (const EPayloadError&) {
    return nullptr;
  }
}

Bytes Deflate(const std::uint8_t* data, std::size_t size) {
  uLongf length = compressBound(static_cast<uLong>(size));
  Bytes stream(length);
  Check(compress2(stream.data(), &length, data, static_cast<uLong>(size), 1) == Z_OK);
  stream.resize(length);
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Store(Bytes(data, data + size));

  // Copied, so that a read past the end of the catalogue is a read past a heap block.
  const auto catalogue = std::make_unique<std::uint8_t[]>(size);
  if (size > 0) std::memcpy(catalogue.get(), data, size);
  std::vector<TAttachedFile> walked;
  bool refused = false;
  try {
    walked = ReadCatalogue(catalogue.get(), static_cast<std::int32_t>(size));
  } catch (const EPayloadError&) {
    refused = true;
  }
  const auto store = Store(Deflate(data, size));
  // An empty catalogue compresses to a stream like any other and gives an empty store.
  Check((store == nullptr) == refused);
  if (store != nullptr) {
    Check(store->DataSize == static_cast<std::int32_t>(size));
    Check(store->Entries.size() == walked.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
      const TAttachedFile& a = store->Entries[i];
      const TAttachedFile& b = walked[i];
      Check(a.Name == b.Name && a.Size == b.Size && a.DataOffset == b.DataOffset);
      Check(std::memcmp(&a.Stamp, &b.Stamp, sizeof a.Stamp) == 0);
    }
  }
  return 0;
}
