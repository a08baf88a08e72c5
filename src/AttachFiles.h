// The payload store. Everything the setup installs or shows travels inside setup.exe as the
// resource "FILES" of type "FILES": one zlib stream whose inflated bytes are the catalogue,
// entries laid one after another with no header and no terminator:
//
//   1 byte      name length n
//   n bytes     name, 8-bit characters, case as stored
//   8 bytes     stamp: last-write time as a little-endian IEEE double day count (DayCount.h)
//   4 bytes     size: signed 32-bit little-endian count of the data bytes
//   size bytes  data
//
// The store inflates the whole payload once at start-up and keeps it for the life of the
// process; entries refer to their bytes by offset into that one block.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The largest catalogue the store inflates. The shipped one is about 7 MB; the bound stops a
// damaged stream from taking all memory, and the payload builder refuses to make a bigger one.
inline constexpr std::int32_t kMaxCatalogueSize = 256 * 1024 * 1024;

// Bytes from malloc, so that inflation can grow and shrink the block in place with realloc.
struct TFreeBlock {
  void operator()(std::uint8_t* block) const noexcept { std::free(block); }
};
using TByteBlock = std::unique_ptr<std::uint8_t[], TFreeBlock>;

// One catalogue entry. Its bytes stay in the store's block, Size bytes at DataOffset.
class TAttachedFile {
 public:
  std::string Name;  // up to 255 bytes, exactly as stored
  std::int32_t Size = 0;
  double Stamp = 0.0;  // the stored day count, bit for bit
  std::int32_t DataOffset = 0;
};

// One queued install action: the entry to write and the full path to write it to.
class TFileToInstall {
 public:
  const TAttachedFile* Entry = nullptr;  // owned by the store's Entries
  std::string Target;
};

class TAttachedFiles {
 public:
  // Loads and inflates the payload resource and reads its catalogue. A missing, damaged or
  // cut-short payload, or a catalogue entry that runs past the data, raises EPayloadError.
  TAttachedFiles();
  virtual ~TAttachedFiles();

  TAttachedFiles(const TAttachedFiles&) = delete;
  TAttachedFiles& operator=(const TAttachedFiles&) = delete;

  // The inflated catalogue: exactly DataSize bytes (no block when it is empty).
  TByteBlock Data;
  std::int32_t DataSize = 0;
  // All entries in catalogue order. Complete after construction and never changed again, so
  // pointers to its items (TFileToInstall::Entry) stay valid for the life of the store.
  std::vector<TAttachedFile> Entries;
  // The install queue; index 0 is the only one.
  std::array<std::vector<TFileToInstall>, 1> Queues;
  // Queued targets that lie in the public data folder.
  std::vector<std::string> PublicFiles;
  // When set, queueing overwrites every existing file.
  bool OverwriteAll = false;

  // Writes an entry to `target` and gives the file the entry's stamp as its last-write time.
  // With no entry, the entry named `name` is taken, searching from the last entry; a name
  // that matches none raises EEntryNotFound. A file that cannot be created is told to the
  // user with Abort, Retry and Ignore: Abort gives false, Ignore true without the file,
  // Retry tries again.
  bool ExtractFile(const TAttachedFile* entry, const std::string& name, const std::string& target);

  // Queues entries for installation into `folder` by overwrite mode (0: only when missing;
  // 1: when missing or its time differs from the stamp; 2: always; others as 0). A name that
  // ends with a backslash queues every entry it begins; any other name the first entry of
  // that name. Gives true when something was queued.
  bool QueueFiles(const std::string& name, const std::string& folder, std::uint8_t queue,
                  std::uint8_t mode);

 private:
  struct QueueRequest {
    const std::string& folder;
    std::uint8_t queue;
    std::uint8_t decidingMode;  // 2 when OverwriteAll is set
    std::uint8_t passedMode;    // as the caller gave it: mode 0 marks public targets
  };
  bool QueueEntry(const TAttachedFile& entry, const QueueRequest& request);
  const TAttachedFile& EntryNamed(const std::string& name) const;
  bool WriteEntry(const TAttachedFile& entry, const std::string& target) const;
};

// Set by the installation run before it queues: queued targets inside the public data
// folder are then collected in PublicFiles.
extern bool TrackPublicFiles;

// The host's public data folder: the machine-wide application-data folder joined with
// "Veloquin\Public\", asked afresh each time.
std::string PublicDataFolder();

// The one store of the process, created and destroyed by the program entry; null outside it.
extern TAttachedFiles* AttachedFiles;

// The bytes of a resource of the program's own module by name and named type. A missing
// resource raises EPayloadError. The bytes belong to the module and are only read.
std::span<const std::uint8_t> LoadPayloadResource(std::string_view name, std::string_view type);

// Inflates one zlib stream into a new block owned by the caller. The first block holds
// `estimate` bytes (one growth step when 0); while the output fills up, the block grows by
// one growth step, the source length rounded up to a multiple of 256, and in the end it is
// shrunk to the bytes produced. `enlargements`, when given, receives the number of times the
// block grew. An empty source, a damaged or cut-short stream, one that needs a preset
// dictionary, and output beyond kMaxCatalogueSize raise EPayloadError; memory exhaustion
// raises std::bad_alloc. On any error no block is handed out.
void InflateBuffer(const void* source, std::int32_t sourceLength, TByteBlock& output,
                   std::int32_t& outputLength, std::int32_t estimate, int* enlargements = nullptr);

// Walks the catalogue in `size` bytes at `data` and gives its entries in order, their data
// offsets counted from `data`. An entry whose header or data runs past the end, or a negative size,
// raises EPayloadError; nothing outside the bytes given is read.
std::vector<TAttachedFile> ReadCatalogue(const std::uint8_t* data, std::int32_t size);
