// payload_builder LISTING OUTPUT [-D NAME=PATH ...] [--zlib] [--cache FOLDER]
//
// Reads the catalogue listing, writes the catalogue of its entries and compresses it into
// OUTPUT, the bytes of the setup's payload resource. -D NAME=PATH (or -DNAME=PATH) gives the
// path that ${NAME} stands for in the listing's sources. The stream is made with zopfli, or
// with zlib at level 9 given --zlib. --cache keeps streams in FOLDER by the catalogue's
// content hash, so that an unchanged catalogue is not compressed again. Exit code 0 on
// success, 1 when the listing or a source is refused (the message names the listing line),
// 2 on a usage error.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "payload/Listing.h"
#include "payload/PayloadStream.h"

namespace {

namespace fs = std::filesystem;

int Usage(const std::string& why) {
  std::fprintf(
      stderr,
      "payload_builder: %s\nusage: payload_builder LISTING OUTPUT [-D NAME=PATH ...] [--zlib] "
      "[--cache FOLDER]\n",
      why.c_str());
  return 2;
}

// Writes beside the output and renames, so that a failed build never leaves a payload
// behind that looks complete.
void WriteOutput(const fs::path& output, const payload::Bytes& bytes) {
  if (output.has_parent_path()) fs::create_directories(output.parent_path());
  fs::path partial = output;
  partial += ".partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::error_code ignored;
      fs::remove(partial, ignored);
      throw payload::BuildError(output.string() + ": cannot be written");
    }
  }
  fs::rename(partial, output);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> paths;
  payload::Defines defines;
  payload::Method method = payload::Method::kZopfli;
  std::string cache;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--zlib") {
      method = payload::Method::kZlib;
    } else if (arg == "--cache") {
      if (++i == argc) return Usage("--cache needs a folder");
      cache = argv[i];
    } else if (arg.starts_with("-D")) {
      arg.remove_prefix(2);
      if (arg.empty()) {
        if (++i == argc) return Usage("-D needs NAME=PATH");
        arg = argv[i];
      }
      const std::size_t equals = arg.find('=');
      if (equals == 0 || equals == std::string_view::npos) {
        return Usage("-D needs NAME=PATH, not \"" + std::string(arg) + "\"");
      }
      defines[std::string(arg.substr(0, equals))] = std::string(arg.substr(equals + 1));
    } else if (arg.starts_with("-") && arg.size() > 1) {
      return Usage("unknown option " + std::string(arg));
    } else {
      paths.emplace_back(arg);
    }
  }
  if (paths.size() != 2) return Usage("expected a listing and an output file");

  try {
    const payload::Bytes catalogue = payload::BuildCatalogue(paths[0], defines);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    WriteOutput(paths[1], cache.empty()
                              ? payload::CompressPayload(catalogue, method, threads)
                              : payload::StreamCache(cache).Get(catalogue, method, threads));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "payload_builder: %s\n", error.what());
    return 1;
  }
  return 0;
}
