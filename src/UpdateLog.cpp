#include "UpdateLog.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "Errors.h"
#include "InstUtils.h"
#include "os/Machine.h"
#include "ui/Classes.h"

namespace {

constexpr std::uint32_t kLogComparison = os::kNormIgnoreCase | os::kSortStringSort;

int CompareLines(std::string_view a, std::string_view b) {
  return os::Machine().CompareStringA(kLogComparison, a, b);
}

bool IsSeparator(const std::string& line) {
  return !line.empty() && line.front() == '*';
}

// CR, LF and CR LF each end a line; text after the last line end is a line of its own.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

bool NamesPublicFile(const std::string& line, const std::vector<std::string>& files) {
  return std::any_of(files.begin(), files.end(), [&](const std::string& file) {
    return CompareLines(line, file) == os::kCstrEqual;
  });
}

std::string ReadWholeFile(const std::string& path) {
  ui::TFileStream stream(path, ui::TFileMode::OpenRead);
  const std::uint64_t size = stream.Size();
  if (size > std::numeric_limits<std::uint32_t>::max()) throw EAbort();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  stream.ReadBuffer(bytes.data(), static_cast<std::uint32_t>(size));
  return bytes;
}

}  // namespace

std::string InstallStampBytes(double stamp) {
  const auto bits = std::bit_cast<std::uint64_t>(stamp);
  std::string bytes(8, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  return bytes;
}

std::string UpdateLogSeparator(double stamp) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line = "*";
  for (const char c : InstallStampBytes(stamp)) {
    const auto byte = static_cast<std::uint8_t>(c);
    line += kDigits[byte >> 4];
    line += kDigits[byte & 0xF];
  }
  return line;
}

void SortPublicFiles(std::vector<std::string>& files) {
  std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return CompareLines(a, b) == os::kCstrLessThan;
  });
}

UpdateLogMerge MergeUpdateLog(std::string_view oldLog, std::vector<std::string> publicFiles,
                              double stamp) {
  SortPublicFiles(publicFiles);
  std::vector<std::string> lines = SplitLines(oldLog);

  // The files of this installation move under its own separator.
  std::erase_if(lines, [&](const std::string& line) {
    return line.empty() || NamesPublicFile(line, publicFiles);
  });

  // A separator followed by another has lost all its files. The later of the two goes, so
  // the files of the later installation end up under the earlier separator.
  for (std::size_t i = lines.size(); i-- > 1;) {
    if (IsSeparator(lines[i]) && IsSeparator(lines[i - 1])) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  if (!lines.empty() && IsSeparator(lines.back())) lines.pop_back();

  UpdateLogMerge merge;
  for (const std::string& line : lines) {
    merge.log += line;
    merge.log += "\r\n";
  }
  merge.log += UpdateLogSeparator(stamp);
  merge.log += "\r\n";
  for (const std::string& file : publicFiles) {
    merge.log += file;
    merge.log += "\r\n";
  }
  merge.sortedFiles = std::move(publicFiles);
  return merge;
}

void WriteUpdateLog(const std::string& path, std::vector<std::string>& publicFiles, double stamp) {
  if (publicFiles.empty()) return;
  const std::string oldLog = FileExists(path) ? ReadWholeFile(path) : std::string();
  UpdateLogMerge merge = MergeUpdateLog(oldLog, std::move(publicFiles), stamp);
  publicFiles = std::move(merge.sortedFiles);

  ui::TFileStream stream(path, ui::TFileMode::Create);
  stream.WriteBuffer(merge.log.data(), static_cast<std::uint32_t>(merge.log.size()));
}
