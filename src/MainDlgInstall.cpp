// The installation run: where the add-on's files go, which of them are written, and the
// writing itself, all inside the step to the Installing page.
#include <array>
#include <string>

#include "AttachFiles.h"
#include "InstUtils.h"
#include "MainDlg.h"

namespace {

struct AddOnFile {
  const char* name;
  std::uint8_t mode;  // 0: only when missing; 1: when missing or its time differs; 2: always
};

// In the order they are written. The user dictionary holds the user's own words: it is
// written only where none exists yet.
constexpr std::array<AddOnFile, 7> kAddOnFiles = {{
    {"Bulgarian.asc", 2},
    {"hunspell.dll", 1},
    {"bg_BG.dic", 1},
    {"bg_BG.aff", 1},
    {"userdicbg.tlx", 0},
    {"Bulgarian.hyph", 1},
    {"Bulgarian.thes", 1},
}};

}  // namespace

bool TMainDlgForm::IsPortableInstall() const {
  return IsPortableDrive(Options.MainDir);
}

// A host on a portable drive gets the files in its own folders and keeps what is already
// current there; otherwise they go to the host's machine-wide folders and are all written
// anew. "Spellcheck\" is filled when it exists or when "Orthographe\" does not; the
// latter only when it exists.
bool TMainDlgForm::RunInstallation() {
  const bool portable = IsPortableInstall();
  AttachedFiles->OverwriteAll = !portable;
  TrackPublicFiles = true;

  const auto& subfolders = TargetSubfolders();
  std::array<std::string, 2> targets;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    targets[i] = portable ? JoinPath(Options.MainDir, subfolders[i])
                          : JoinPath(HostDataBaseFolder(), "Veloquin\\Public\\" + subfolders[i]);
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (!FolderExists(targets[i]) && !(i == 0 && !FolderExists(targets[1]))) continue;
    for (const AddOnFile& file : kAddOnFiles) {
      AttachedFiles->QueueFiles(file.name, targets[i], 0, file.mode);
    }
  }

  InstallStarted = true;
  const auto& queue = AttachedFiles->Queues[0];
  for (std::size_t i = 0; i < queue.size(); ++i) {
    if (!AttachedFiles->ExtractFile(queue[i].Entry, "", queue[i].Target)) return false;
  }
  return true;
}
