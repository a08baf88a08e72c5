// Installation utilities: paths, special folders, drive queries, temporary files, folder
// creation and file writing. None of them reports a failure: a failed system call gives
// empty text, false or nothing, and callers learn of it by what they find afterwards.
//
// Text is 8-bit in the system's ANSI code page. Folder paths from CurrentFolder, TempFolder
// and JoinPath end with one backslash; SpecialFolder gives the shell's path without one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Set by the installation run once it has built its queue and before it writes the first
// file; read by the program entry to decide whether the settings are saved at the end.
extern bool InstallStarted;

// ---- Start-up and shut-down -------------------------------------------------------------

// Before any window exists: OLE initialised for the thread, then the shell's folder-path
// function looked up in shell32.dll, else in shfolder.dll (both from the system folder).
void InstUtilsStartup();
// After every window is gone: the folder stack released, OLE uninitialised.
void InstUtilsShutdown();

// ---- Paths ------------------------------------------------------------------------------

// Empty text stays empty; a final slash or backslash becomes a backslash; otherwise a
// backslash is appended. Nothing else in the text changes.
void EnsureBackslash(std::string& path);
// The folder with exactly one final backslash, then the name; an empty folder gives the name.
std::string JoinPath(std::string folder, std::string_view name);
// The last character; '\0' for empty text.
char LastChar(const std::string& text);
void DropFirstChar(std::string& text);
void DropLastChar(std::string& text);
// Equal after upper-casing both with the system's case mapping; nothing else is normalised.
bool SamePath(const std::string& a, const std::string& b);

// The text widened to UTF-16 with the system's ANSI code page, the one the 8-bit calls use.
std::u16string WidePath(std::string_view path);

// ---- Folders ----------------------------------------------------------------------------

// The process's current directory with a final backslash; empty when it cannot be read.
std::string CurrentFolder();
void PushCurrentFolder();
void PopCurrentFolder();
// True when the system accepts the path as current directory and reports it back the same,
// letter case aside. Relative paths and paths with "." or ".." parts are not accepted.
bool FolderExists(const std::string& path);
// The system's temporary folder, else the documents folder, with a final backslash; empty
// when neither is known.
std::string TempFolder();
// The shell's folder for a CSIDL id, without a final backslash; empty on failure.
std::string SpecialFolder(int id);

// ---- Files and drives -------------------------------------------------------------------

// The file's last-write time as a local day count at the two-second precision of the DOS
// date and time format. A path that names nothing gives the present moment; a time the DOS
// format cannot hold gives NaN, which equals no stamp.
double FileWriteStamp(const std::string& path);
// GetDriveType of the root of the path's drive part (a drive letter or a server share).
std::uint32_t DriveKind(const std::string& path);
// The path's drive part: "C:" for a lettered path, "\\server\share" for a network path,
// empty otherwise.
std::string DrivePart(const std::string& path);
// A removable drive, or a fixed drive attached by USB or IEEE 1394 or reporting removable
// media.
bool IsPortableDrive(const std::string& path);

// ---- Temporary files, folder creation, file writing -------------------------------------

// A file (not a folder) is at the path, as a search finds it.
bool FileExists(const std::string& path);
// "~" and the ASCII letters of the setup's title.
std::string TempFilePrefix();
// The first numbered temporary-file name in the temporary folder under which no file
// exists; nothing is created.
std::string NewTempFileName();
// Deletes every file and folder in the temporary folder whose name begins with the prefix
// (letter case counts). A link is removed as a link; nothing behind it is touched.
void DeleteTempFiles();
// Creates the folder and every missing folder above it, outermost first.
void MakeFolders(const std::string& path);
// Creates or replaces the file so that it holds exactly the bytes; its folder is not made.
void WriteFileBytes(const std::string& path, std::string_view bytes);
// Deletes everything in the folder, depth first, then the folder. Links are removed as links
// and never walked into; files that cannot be deleted stay, with the folders that hold them.
void DeleteFolderTree(const std::string& path);
