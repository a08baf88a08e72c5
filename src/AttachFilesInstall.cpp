// The payload store's working operations: writing one entry to a file with its stored time,
// queueing entries for installation by overwrite mode, and collecting the targets that lie
// in the host's public data folder.
#include <cmath>
#include <string_view>

#include "AttachFiles.h"
#include "DayCount.h"
#include "Errors.h"
#include "InstUtils.h"
#include "MessageBoxes.h"
#include "os/Machine.h"

bool TrackPublicFiles = false;

namespace {

// The message for a file that cannot be created, around the file's path.
constexpr std::string_view kCannotCreateFileBefore = "Cannot create file \"";
constexpr std::string_view kCannotCreateFileAfter =
    "\".\rAnother application might already be using this file.\r\r"
    "Please make sure that the setup of Veloquin Word Processor is not blocked by your "
    "security software (firewall/antivirus) in any way.\rYou might want to temporarily "
    "disable your security software and try again.";

std::string CannotCreateFileMessage(const std::string& target) {
  std::string text;
  text.reserve(kCannotCreateFileBefore.size() + target.size() + kCannotCreateFileAfter.size());
  text.append(kCannotCreateFileBefore).append(target).append(kCannotCreateFileAfter);
  return text;
}

// Everything up to and including the target's last backslash or colon.
std::string FolderPart(const std::string& target) {
  const auto cut = target.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
}

// Gives the open file the entry's stamp as its last-write time, packed into a DOS date and
// time of local time. A stamp the DOS format cannot hold, or a failed conversion, leaves the
// time of the writing.
void SetStampedWriteTime(os::Handle file, double stamp) {
  auto& os = os::Machine();
  const std::uint32_t packed = DosDateTimeFromDayCount(stamp);
  if (packed == 0) return;
  os::FileTime local;
  os::FileTime utc;
  if (!os.DosDateTimeToFileTime(static_cast<std::uint16_t>(packed >> 16),
                                static_cast<std::uint16_t>(packed & 0xFFFF), local)) {
    return;
  }
  if (!os.LocalFileTimeToFileTime(local, utc)) return;
  os.SetFileLastWriteTime(file, utc);
}

}  // namespace

std::string PublicDataFolder() {
  return JoinPath(SpecialFolder(os::kCsidlCommonAppData), "Veloquin\\Public\\");
}

const TAttachedFile& TAttachedFiles::EntryNamed(const std::string& name) const {
  for (auto it = Entries.rbegin(); it != Entries.rend(); ++it) {
    if (SamePath(it->Name, name)) return *it;
  }
  throw EEntryNotFound("The setup's payload holds no entry \"" + name + "\"");
}

bool TAttachedFiles::WriteEntry(const TAttachedFile& entry, const std::string& target) const {
  auto& os = os::Machine();
  MakeFolders(FolderPart(target));
  const std::u16string wideTarget = WidePath(target);
  const os::Handle file = os.CreateFileW(wideTarget, os::kGenericRead | os::kGenericWrite, 0,
                                         os::kCreateAlways, os::kFileAttributeNormal);
  if (file == os::kInvalidHandle) return false;
  std::uint32_t written = 0;
  os.WriteFile(file, Data.get() + entry.DataOffset, static_cast<std::uint32_t>(entry.Size),
               written);
  os.CloseHandle(file);

  const os::Handle reopened =
      os.CreateFileW(wideTarget, os::kGenericWrite, os::kFileShareRead, os::kOpenExisting,
                     os::kFileAttributeNormal | os::kFileFlagSequentialScan);
  if (reopened != os::kInvalidHandle) {
    SetStampedWriteTime(reopened, entry.Stamp);
    os.CloseHandle(reopened);
  }
  return true;
}

bool TAttachedFiles::ExtractFile(const TAttachedFile* entry, const std::string& name,
                                 const std::string& target) {
  const TAttachedFile& chosen = entry != nullptr ? *entry : EntryNamed(name);
  for (;;) {
    if (WriteEntry(chosen, target)) return true;
    const int answer =
        ShowMessageBox(CannotCreateFileMessage(target), mtError, mbAbort | mbRetry | mbIgnore);
    if (answer == mrAbort) return false;
    if (answer == mrIgnore) return true;
  }
}

bool TAttachedFiles::QueueFiles(const std::string& name, const std::string& folder,
                                std::uint8_t queue, std::uint8_t mode) {
  if (name.empty() || queue >= std::size(Queues)) return false;
  const QueueRequest request{folder, queue, OverwriteAll ? std::uint8_t{2} : mode, mode};
  if (LastChar(name) == '\\') {
    bool queued = false;
    for (const auto& entry : Entries) {
      if (SamePath(entry.Name.substr(0, name.size()), name)) {
        queued = QueueEntry(entry, request) || queued;
      }
    }
    return queued;
  }
  for (const auto& entry : Entries) {
    if (SamePath(entry.Name, name)) return QueueEntry(entry, request);
  }
  return false;
}

bool TAttachedFiles::QueueEntry(const TAttachedFile& entry, const QueueRequest& request) {
  const std::string target = JoinPath(request.folder, entry.Name);
  if (request.decidingMode != 2 && FileExists(target)) {
    if (request.decidingMode != 1) return false;
    if (FileWriteStamp(target) == entry.Stamp) return false;
  }
  Queues[request.queue].push_back(TFileToInstall{&entry, target});

  if (TrackPublicFiles) {
    const std::string publicFolder = PublicDataFolder();
    if (SamePath(target.substr(0, publicFolder.size()), publicFolder)) {
      PublicFiles.push_back(request.passedMode == 0 ? target + "\t!" : target);
    }
  }
  return true;
}
