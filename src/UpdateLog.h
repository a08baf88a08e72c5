// The install stamp and the update log that a normal installation leaves for the host.
//
// The install stamp is the moment of the installation as a day count (DayCount.h), stored as
// the eight bytes of the double in little-endian order. The update log is a text file of
// 8-bit lines ended by CR LF: each installation appends a separator line made from its stamp
// and, under it, the sorted full paths of the public files it installed. Older lines naming
// the same files are dropped first, and separators left with nothing under them go too, so
// that every file stands in the log once, under the installation that wrote it last.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The stamp's eight bytes as the stamp file holds them: the double, little-endian.
std::string InstallStampBytes(double stamp);

// The separator line of an installation: "*" and the stamp's eight bytes in file order, each
// as two upper-case hexadecimal digits, high half first. 45000.5 gives "*0000000010F9E540".
std::string UpdateLogSeparator(double stamp);

// Sorts the list in place by the system's locale comparison with letter case ignored (string
// sort); lines that compare equal keep their order.
void SortPublicFiles(std::vector<std::string>& files);

struct UpdateLogMerge {
  std::vector<std::string> sortedFiles;  // the public files as SortPublicFiles orders them
  std::string log;                       // the new log's bytes, every line ended by CR LF
};

// The new update log from the old one's bytes (empty when there is no log yet):
//  - the old text is split into lines at CR, LF or CR LF; the bytes of a line are kept as
//    they are, whatever their length or value;
//  - empty lines and lines equal to a public file (the sort's comparison, case ignored) go;
//  - of two successive separator lines (lines beginning with "*") the later goes, and a
//    separator left as the last line goes, so no separator stands without files under it;
//  - then this installation's separator and its sorted public files follow.
// Pure: it touches no file, only the machine's text comparison.
UpdateLogMerge MergeUpdateLog(std::string_view oldLog, std::vector<std::string> publicFiles,
                              double stamp);

// Brings the update log at `path` up to date for this installation and leaves `publicFiles`
// sorted. With no public files nothing happens: the log is neither read nor written.
// Otherwise the old log is read when a file (not a folder) is at the path, and the whole new
// log is written in its place; the log's folder is not created. A log that cannot be opened,
// read, created or written raises the quiet error EAbort; a failed read leaves the old file
// untouched.
void WriteUpdateLog(const std::string& path, std::vector<std::string>& publicFiles, double stamp);
