// setup_bench WIN_BUILD_DIR: the start-up, memory and size figures of the setup, each with
// its goal. Times are medians of kRuns runs, the runs of the things compared interleaved so
// that a busy machine slows them alike; ratios are taken within this one run.
//
//   start-up  the store's construction (resource to catalogue) on the real payload, held as
//             the program's resource by a simulated machine, against the floor: a bare
//             one-shot zlib inflate of the same stream into a block of the right size. A
//             faster inflater (libdeflate) on the same stream shows the limit of the format.
//   memory    whether the payload inflates in one pass, and the heap's peak while the store
//             is built; what one enlargement of the block would cost.
//   size      setup.exe without its payload, and the payload against zlib at level 9.
//
// setup_bench --profile-store WIN_BUILD_DIR builds the store kRuns times and prints nothing;
// --profile-floor does the floor's inflate as often. For callgrind, whose counts repeat where
// times do not:
//   valgrind --tool=callgrind setup_bench --profile-store build/win
#include <libdeflate.h>
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AttachFiles.h"
#include "CountingMalloc.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "payload/Catalogue.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 31;

Bytes ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path.string() + ": cannot be read");
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

// The floor: one inflate call with all input and all output space, as zlib's uncompress does.
void InflateOnce(const Bytes& stream, std::size_t size) {
  auto* out = static_cast<std::uint8_t*>(std::malloc(size));
  z_stream z{};
  if (out == nullptr || inflateInit(&z) != Z_OK) throw std::runtime_error("zlib cannot start");
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out;
  z.avail_out = static_cast<uInt>(size);
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  std::free(out);
  if (result != Z_STREAM_END) throw std::runtime_error("the floor's inflate failed");
}

void InflateLibdeflate(const Bytes& stream, std::size_t size) {
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  auto* out = static_cast<std::uint8_t*>(std::malloc(size));
  std::size_t produced = 0;
  const libdeflate_result result =
      libdeflate_zlib_decompress(decompressor, stream.data(), stream.size(), out, size, &produced);
  std::free(out);
  libdeflate_free_decompressor(decompressor);
  if (result != LIBDEFLATE_SUCCESS || produced != size) {
    throw std::runtime_error("libdeflate cannot inflate the payload");
  }
}

std::unique_ptr<TAttachedFiles> BuildStore() {
  return std::make_unique<TAttachedFiles>();
}

enum class Mode { kFigures, kProfileStore, kProfileFloor };

int Run(const fs::path& win, Mode mode) {
  const Bytes stream = ReadFile(win / "resources" / "payload.z");
  const auto sourceLength = static_cast<std::int32_t>(stream.size());

  os::SimOs machine;
  machine.SetResource("FILES", "FILES", stream);
  os::MachineScope scope(machine);

  if (mode == Mode::kProfileStore) {
    for (int run = 0; run < kRuns; ++run)
      BuildStore().reset();
    return 0;
  }

  // Every large block straight from the system, as in a new process, where the pages of the
  // block are touched for the first time: glibc would otherwise keep freed blocks around and
  // hand them back already paged in.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  mallopt(M_TRIM_THRESHOLD, 128 * 1024);

  std::int32_t inflatedSize = 0;
  {
    const auto store = BuildStore();
    inflatedSize = store->DataSize;
  }
  const auto size = static_cast<std::size_t>(inflatedSize);
  if (mode == Mode::kProfileFloor) {
    for (int run = 0; run < kRuns; ++run)
      InflateOnce(stream, size);
    return 0;
  }

  // Start-up.
  std::vector<double> storeTimes, floorTimes, fastTimes;
  for (int run = -1; run < kRuns; ++run) {  // run -1 warms the caches and is not kept
    std::unique_ptr<TAttachedFiles> store;
    const double storeTime = Milliseconds([&] { store = BuildStore(); });
    store.reset();
    const double floorTime = Milliseconds([&] { InflateOnce(stream, size); });
    const double fastTime = Milliseconds([&] { InflateLibdeflate(stream, size); });
    if (run < 0) continue;
    storeTimes.push_back(storeTime);
    floorTimes.push_back(floorTime);
    fastTimes.push_back(fastTime);
  }
  const double storeMs = Median(storeTimes), floorMs = Median(floorTimes),
               fastMs = Median(fastTimes);
  std::printf("start-up, median of %d runs (payload %d bytes -> %d bytes):\n", kRuns, sourceLength,
              inflatedSize);
  std::printf("  store construction       %8.2f ms\n", storeMs);
  std::printf("  floor: one-shot inflate  %8.2f ms\n", floorMs);
  std::printf("  libdeflate (the limit)   %8.2f ms\n", fastMs);
  std::printf("  store / floor            %8.3f   goal <= 1.10: %s\n", storeMs / floorMs,
              Verdict(storeMs / floorMs <= 1.10));
  std::printf("  libdeflate / floor       %8.3f\n", fastMs / floorMs);

  // Memory.
  const std::int64_t firstBlock = 5 * static_cast<std::int64_t>(sourceLength);
  const double ratio = static_cast<double>(inflatedSize) / sourceLength;
  int enlargements = -1;
  {
    TByteBlock block;
    std::int32_t length = 0;
    InflateBuffer(stream.data(), sourceLength, block, length, static_cast<std::int32_t>(firstBlock),
                  &enlargements);
  }
  bench::StartCounting();
  auto built = BuildStore();
  const bench::HeapCount heap = bench::StopCounting();
  built.reset();
  std::printf("memory of the store's construction:\n");
  std::printf("  inflated / compressed    %8.3f   goal <= 5 (one pass): %s\n", ratio,
              Verdict(ratio <= 5.0));
  std::printf("  enlargements             %8d\n", enlargements);
  std::printf("  first block (5 x %d)     %10lld bytes\n", sourceLength,
              static_cast<long long>(firstBlock));
  std::printf(
      "  heap peak                %10lld bytes (first block + %lld)   at the first "
      "block: %s\n",
      static_cast<long long>(heap.peak), static_cast<long long>(heap.peak - firstBlock),
      Verdict(heap.peak < firstBlock + 256 * 1024));
  std::printf("  kept after construction  %10lld bytes\n", static_cast<long long>(heap.live));

  // What one enlargement costs: a first block a little short of the result grows once.
  const std::int64_t growthStep = (static_cast<std::int64_t>(sourceLength) + 255) & ~0xFF;
  const auto shortBlock = static_cast<std::int32_t>(inflatedSize - growthStep / 2);
  std::vector<double> onePass, grown;
  for (int run = -1; run < kRuns; ++run) {
    TByteBlock block;
    std::int32_t length = 0;
    int grownTimes = 0;
    const double a = Milliseconds([&] {
      InflateBuffer(stream.data(), sourceLength, block, length,
                    static_cast<std::int32_t>(firstBlock));
    });
    block.reset();
    const double b = Milliseconds([&] {
      InflateBuffer(stream.data(), sourceLength, block, length, shortBlock, &grownTimes);
    });
    if (grownTimes != 1) throw std::runtime_error("the short block did not grow exactly once");
    if (run < 0) continue;
    onePass.push_back(a);
    grown.push_back(b);
  }
  std::printf("  one enlargement costs    %8.2f ms (%.2f ms grown once, %.2f ms in one pass)\n",
              Median(grown) - Median(onePass), Median(grown), Median(onePass));

  // Size.
  const auto unsignedSize = static_cast<long long>(fs::file_size(win / "setup-unsigned.exe"));
  const long long programSize = unsignedSize - sourceLength;
  TByteBlock catalogue;
  std::int32_t catalogueSize = 0;
  InflateBuffer(stream.data(), sourceLength, catalogue, catalogueSize, inflatedSize);
  const auto zlib9 = static_cast<long long>(
      payload::Compress(std::span<const std::uint8_t>(catalogue.get(), catalogueSize)).size());
  const double saved = 1.0 - static_cast<double>(sourceLength) / zlib9;
  std::printf("size:\n");
  std::printf("  setup-unsigned.exe       %10lld bytes\n", unsignedSize);
  if (fs::exists(win / "setup.exe")) {
    std::printf("  setup.exe (signed)       %10lld bytes\n",
                static_cast<long long>(fs::file_size(win / "setup.exe")));
  }
  std::printf("  without the payload      %10lld bytes (%.1f KB)   goal < 400 KB: %s\n",
              programSize, programSize / 1024.0, Verdict(programSize < 400 * 1024));
  std::printf("  payload (zopfli)         %10d bytes\n", sourceLength);
  std::printf("  payload at zlib level 9  %10lld bytes\n", zlib9);
  std::printf("  zopfli saves             %9.2f %%   goal >= 8 %%: %s\n", 100 * saved,
              Verdict(saved >= 0.08));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Mode mode = Mode::kFigures;
  if (argc == 3 && std::string(argv[1]) == "--profile-store") mode = Mode::kProfileStore;
  if (argc == 3 && std::string(argv[1]) == "--profile-floor") mode = Mode::kProfileFloor;
  if (argc != 2 && mode == Mode::kFigures) {
    std::fprintf(stderr, "usage: setup_bench [--profile-store | --profile-floor] WIN_BUILD_DIR\n");
    return 2;
  }
  try {
    return Run(argv[argc - 1], mode);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "setup_bench: %s\n", error.what());
    return 1;
  }
}
