// extract_check OUTDIR [TEMPDIR]: writes every entry of the real payload into OUTDIR the way the
// setup does, then checks that each file holds the entry's bytes and carries its stored time, read
// back the way the setup reads it. With TEMPDIR, that folder becomes the temporary folder and a
// temporary file is made and swept there as the setup does. Prints one line per entry and the
// time the seven add-on files take against plain writes of the same bytes. Exit code 0 when
// every check holds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AttachFiles.h"
#include "InstUtils.h"
#include "os/Machine.h"
#include "os/win32/Win32Os.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return true;
}

void PlainWrite(const std::string& path, const std::uint8_t* data, DWORD size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: extract_check OUTDIR [TEMPDIR]\n");
    return 2;
  }
  if (argc == 3) {
    CreateDirectoryA(argv[2], nullptr);
    SetEnvironmentVariableA("TMP", argv[2]);
    SetEnvironmentVariableA("TEMP", argv[2]);
  }
  os::Win32Os machine;
  os::MachineScope scope(machine);
  InstUtilsStartup();
  const std::string out = JoinPath(argv[1], "");
  int failures = 0;
  {
    TAttachedFiles store;
    for (const TAttachedFile& entry : store.Entries) {
      const std::string target = out + entry.Name;
      const bool written = store.ExtractFile(&entry, "", target);
      std::string bytes;
      const bool read = ReadWholeFile(target, bytes);
      const bool same =
          read && bytes.size() == static_cast<std::size_t>(entry.Size) &&
          std::memcmp(bytes.data(), store.Data.get() + entry.DataOffset, bytes.size()) == 0;
      const double stamp = FileWriteStamp(target);
      const bool timed = stamp == entry.Stamp;
      std::printf("%-16s %9d bytes  %s  stamp %.8f read back %.8f  %s\n", entry.Name.c_str(),
                  entry.Size, same ? "same bytes" : "DIFFERENT BYTES", entry.Stamp, stamp,
                  written && same && timed ? "ok" : "FAILED");
      if (!(written && same && timed)) ++failures;
    }

    // The seven add-on files, written by ExtractFile and by plain writes, alternately.
    const char* addOn[] = {"Bulgarian.asc", "hunspell.dll",   "bg_BG.dic",     "bg_BG.aff",
                           "userdicbg.tlx", "Bulgarian.hyph", "Bulgarian.thes"};
    std::vector<double> extract, plain;
    for (int run = 0; run < 21; ++run) {
      auto start = std::chrono::steady_clock::now();
      for (const char* name : addOn)
        store.ExtractFile(nullptr, name, out + "x\\" + name);
      extract.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      start = std::chrono::steady_clock::now();
      for (const char* name : addOn) {
        for (const TAttachedFile& entry : store.Entries) {
          if (entry.Name == name) {
            PlainWrite(out + "p\\" + name, store.Data.get() + entry.DataOffset,
                       static_cast<DWORD>(entry.Size));
          }
        }
      }
      plain.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      if (run == 0) CreateDirectoryA((out + "p").c_str(), nullptr);
    }
    if (argc == 3) {
      // A temporary file in the given folder, named and swept as the setup does it.
      const std::string temp = NewTempFileName();
      const bool inFolder = temp.rfind(JoinPath(argv[2], ""), 0) == 0;
      store.ExtractFile(nullptr, "License.txt", temp);
      const bool made = GetFileAttributesA(temp.c_str()) != INVALID_FILE_ATTRIBUTES;
      DeleteTempFiles();
      const bool swept = GetFileAttributesA(temp.c_str()) == INVALID_FILE_ATTRIBUTES;
      std::printf("temporary file %s: %s%s%s\n", temp.c_str(),
                  inFolder ? "in the folder" : "ELSEWHERE", made ? ", written" : ", NOT WRITTEN",
                  swept ? ", swept" : ", NOT SWEPT");
      if (!(inFolder && made && swept)) ++failures;
    }
    std::printf(
        "seven add-on files, median of 21: ExtractFile %.2f ms, plain writes %.2f ms, ratio %.2f\n",
        Median(extract), Median(plain), Median(extract) / Median(plain));
  }
  InstUtilsShutdown();
  std::printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
