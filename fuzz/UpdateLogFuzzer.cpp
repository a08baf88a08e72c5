// Fuzz target: the update log's merge with any bytes as the old log.
//
// Whatever the old log holds, the new one must be lines ended by CR LF, none empty, no
// separator directly above another or at the end, this installation's separator and its
// files last, each file standing once; and merging the new log again for the same
// installation must give it back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "UpdateLog.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void InstallMachine() {
  static os::SimOs machine;
  static os::MachineScope scope(machine);
}

const std::vector<std::string>& PublicFiles() {
  static const std::vector<std::string> files = {
      "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\hunspell.dll",
      "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\bg_BG.dic",
      "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\bg_BG.aff",
      "C:\\ProgramData\\Veloquin\\Public\\Orthographe\\Bulgarian.hyph",
      "C:\\ProgramData\\Veloquin\\Public\\Orthographe\\Bulgarian.thes",
  };
  return files;
}

std::vector<std::string_view> Lines(std::string_view log) {
  std::vector<std::string_view> lines;
  while (!log.empty()) {
    const std::size_t end = log.find("\r\n");
    Check(end != std::string_view::npos);
    lines.push_back(log.substr(0, end));
    log.remove_prefix(end + 2);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InstallMachine();
  const std::string_view old(reinterpret_cast<const char*>(data), size);
  const double stamp = 45000.5;
  const UpdateLogMerge merged = MergeUpdateLog(old, PublicFiles(), stamp);

  const std::vector<std::string_view> lines = Lines(merged.log);
  const std::vector<std::string>& files = merged.sortedFiles;
  Check(files.size() == PublicFiles().size());
  Check(lines.size() >= files.size() + 1);
  const std::size_t tail = lines.size() - files.size() - 1;
  Check(lines[tail] == UpdateLogSeparator(stamp));
  for (std::size_t i = 0; i < files.size(); ++i)
    Check(lines[tail + 1 + i] == files[i]);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Check(!lines[i].empty());
    Check(lines[i].find_first_of("\r\n") == std::string_view::npos);
    const bool separator = lines[i].front() == '*';
    if (separator) Check(i + 1 < lines.size() && lines[i + 1].front() != '*');
    if (i < tail) {
      for (const std::string& file : files)
        Check(lines[i] != file);
    }
  }

  Check(MergeUpdateLog(merged.log, PublicFiles(), stamp).log == merged.log);
  return 0;
}
