// The folder list: its items from the drive's root down to the current folder and the
// folder's subfolders, the opening of a folder, and the move to another drive.
#include <algorithm>
#include <string>
#include <vector>

#include "FileCtrl.h"
#include "FileCtrlText.h"
#include "InstUtils.h"
#include "os/Machine.h"
#include "ui/Application.h"

namespace {

using filectrl::UpperLetter;

// The folder that the host's installer proposes under Program Files.
constexpr std::string_view kHostFolderName = "Veloquin";

char FirstChar(const std::string& text) {
  return text.empty() ? '\0' : text[0];
}

bool EndsWithBackslash(const std::string& path, const filectrl::LeadByteTest& isLead) {
  return !path.empty() && filectrl::LastSeparator(path, false, isLead) == path.size() - 1;
}

// Cuts the text after its last backslash (or colon); empty text when it holds none.
void CutAfterLastSeparator(std::string& path, bool colonToo, const filectrl::LeadByteTest& isLead) {
  const std::size_t cut = filectrl::LastSeparator(path, colonToo, isLead);
  path.resize(cut == std::string::npos ? 0 : cut + 1);
}

// Names kept in the locale's order with case ignored; a name equal to others goes after
// them, so that two folders whose names compare equal both stay, in the order found.
void InsertSorted(std::vector<std::string>& names, std::string name) {
  os::Os& os = os::Machine();
  std::size_t low = 0;
  std::size_t high = names.size();
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    const int order =
        os.CompareStringA(os::kNormIgnoreCase | os::kSortStringSort, name, names[middle]);
    if (order == os::kCstrLessThan) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  names.insert(names.begin() + static_cast<std::ptrdiff_t>(low), std::move(name));
}

// The visible subfolders of a folder, sorted. A folder that cannot be searched has none.
std::vector<std::string> Subfolders(const std::string& prefix) {
  constexpr std::uint32_t kPassedOver =
      os::kFileAttributeHidden | os::kFileAttributeSystem | os::kFileAttributeVolumeLabel;
  os::Os& os = os::Machine();
  std::vector<std::string> names;
  os::FindData entry;
  const os::Handle search = os.FindFirstFileA(prefix + "*.*", entry, true);
  if (search == os::kInvalidHandle) return names;
  do {
    if ((entry.attributes & kPassedOver) != 0) continue;
    if ((entry.attributes & os::kFileAttributeDirectory) == 0) continue;
    if (entry.name == "." || entry.name == "..") continue;
    InsertSorted(names, entry.name);
  } while (os.FindNextFileA(search, entry));
  os.FindClose(search);
  return names;
}

// One batch of changes to the items: the window's list is refilled once, at the end.
class ItemsUpdate {
 public:
  explicit ItemsUpdate(ui::TStrings& items) : items_(items) { items_.BeginUpdate(); }
  ~ItemsUpdate() { items_.EndUpdate(); }
  ItemsUpdate(const ItemsUpdate&) = delete;
  ItemsUpdate& operator=(const ItemsUpdate&) = delete;

 private:
  ui::TStrings& items_;
};

}  // namespace

TDirectoryListBox::TDirectoryListBox(ui::TComponent* owner) : ui::TCustomListBox(owner) {
  SetStyle(ui::TListBoxStyle::OwnerDrawFixed);
  openFolderImage_.LoadFromResourceName("OPENFOLDER");
  closedFolderImage_.LoadFromResourceName("CLOSEDFOLDER");
  // The font's cell height, and never less than a folder picture with a line of air.
  const int fontHeight = ui::TheApplication() != nullptr ? Canvas().TextHeight("0") : 0;
  SetItemHeight(std::max(fontHeight, openFolderImage_.Height() + 1));
}

TDirectoryListBox::~TDirectoryListBox() {
  // No window may draw an item after its picture is gone.
  DestroyHandle();
  if (driveSelector_ != nullptr) driveSelector_->dirList_ = nullptr;
}

void TDirectoryListBox::CreateWnd() {
  ui::TCustomListBox::CreateWnd();
  RebuildFolders();
  SetItemIndex(FolderLevel(folder_));
}

int TDirectoryListBox::FolderLevel(std::string_view path) {
  const auto isLead = filectrl::MachineLeadBytes();
  if (!path.empty() && filectrl::LastSeparator(path, false, isLead) == path.size() - 1) {
    path.remove_suffix(1);
  }
  return filectrl::CountBackslashes(path, isLead);
}

std::string TDirectoryListBox::ShownCase(std::string text) const {
  if (volumeKeepsCase_ || volumeIsCaseSensitive_) return text;
  os::Machine().CharLowerBuffA(text);
  return text;
}

bool TDirectoryListBox::SameFolderText(const std::string& a, const std::string& b) const {
  os::Os& os = os::Machine();
  if (volumeIsCaseSensitive_) return os.CompareStringA(0, a, b) == os::kCstrEqual;
  std::string lowerA = a;
  std::string lowerB = b;
  filectrl::LowerVolumeText(lowerA);
  filectrl::LowerVolumeText(lowerB);
  return os.CompareStringA(0, lowerA, lowerB) == os::kCstrEqual;
}

void TDirectoryListBox::RebuildFolders() {
  const auto isLead = filectrl::MachineLeadBytes();
  ItemsUpdate update(Items());
  Items().Clear();
  if (!filectrl::HasDriveLetter(folder_)) return;  // no folder: nothing to show

  // A volume that cannot be read is taken as one that keeps no case: names are shown in
  // lower case and compared without regard to case.
  const std::string root = folder_.substr(0, 2) + "\\";
  const auto volume = os::Machine().GetVolumeInformationA(root, false);
  const std::uint32_t flags = volume ? volume->fileSystemFlags : 0;
  volumeKeepsCase_ = (flags & (os::kFsCaseSensitive | os::kFsCaseIsPreserved)) != 0;
  volumeIsCaseSensitive_ = (flags & os::kFsCaseSensitive) != 0;

  // The folder and each level above it, each without its final backslash, then the root
  // with its backslash: an open folder's index is its level.
  std::string level = folder_;
  while (level.size() > 3) {
    if (EndsWithBackslash(level, isLead)) level.pop_back();
    Items().InsertObject(0, level, &openFolderImage_);
    CutAfterLastSeparator(level, false, isLead);
  }
  Items().InsertObject(0, level.empty() ? root : level, &openFolderImage_);
  const int current = Items().Count() - 1;

  std::string prefix = folder_;
  if (!EndsWithBackslash(prefix, isLead)) prefix += '\\';
  for (const std::string& name : Subfolders(prefix))
    Items().AddObject(prefix + name, &closedFolderImage_);

  if (HandleAllocated()) SetItemIndex(current);
}

void TDirectoryListBox::SetFolder(std::string path) {
  if (path.empty() || SameFolderText(path, folder_)) return;
  const auto isLead = filectrl::MachineLeadBytes();
  // Up to the nearest folder that exists; on a drive that is not there, its root.
  while (!FolderExists(path) && DrivePart(path).size() + 1 < path.size()) {
    if (EndsWithBackslash(path, isLead)) path.pop_back();
    CutAfterLastSeparator(path, true, isLead);
  }
  if (!filectrl::HasDriveLetter(path)) {
    SetNoFolder();
    return;
  }
  const bool driveChanged = UpperLetter(path[0]) != UpperLetter(FirstChar(folder_));
  folder_ = std::move(path);
  if (driveChanged) {
    // The list holds the new drive already, so the selector's move of the list is void:
    // only the selector's item and its current drive change.
    if (driveSelector_ != nullptr) {
      driveSelector_->SelectDrive(folder_[0]);
    } else {
      FollowDrive(folder_[0]);
    }
  }
  RebuildFolders();
  FolderChanged();
}

// A relative path walks up to empty text and a network path to its share: neither has a
// drive letter for the selector to show, so the list drops its folder and shows nothing.
void TDirectoryListBox::SetNoFolder() {
  if (folder_.empty()) return;
  folder_.clear();
  RebuildFolders();
  FolderChanged();
}

void TDirectoryListBox::FollowDrive(char letter) {
  if (static_cast<unsigned char>(letter) <= ' ') return;  // no drive
  const char drive = UpperLetter(letter);
  if (drive == UpperLetter(FirstChar(folder_))) return;

  std::string programFiles = SpecialFolder(os::kCsidlProgramFiles);
  if (!programFiles.empty() && drive == UpperLetter(programFiles[0])) {
    // The drive of Program Files: the host's usual home, else Program Files itself, with
    // the drive letter written as the system gives it.
    EnsureBackslash(programFiles);
    const std::string home = programFiles + std::string(kHostFolderName);
    folder_ = FolderExists(home) ? home : programFiles;
  } else {
    // The same path on the new drive when it exists there, else the drive's root.
    const std::size_t colon = folder_.find(':');
    std::string same;
    if (colon != std::string::npos) same = letter + folder_.substr(colon);
    folder_ = !same.empty() && FolderExists(same) ? same : std::string{letter, ':', '\\'};
  }
  RebuildFolders();
  FolderChanged();
}

void TDirectoryListBox::FolderChanged() {
  Change();
}

void TDirectoryListBox::Click() {
  // Each move of the selection opens the folder it lands on; OnClick is not fired.
  if (ItemIndex() >= 0) SetFolder(Items()[ItemIndex()]);
}

void TDirectoryListBox::DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState /*state*/) {
  ui::TCanvas& canvas = Canvas();
  canvas.FillRect(rect);

  int indent = 12 * index + 3;
  int pictureWidth = 16;
  if (const auto* picture = dynamic_cast<const ui::TBitmap*>(Items().Objects(index))) {
    // Subfolders all stand one step to the right of the current folder.
    if (picture == &closedFolderImage_) indent = 12 * (FolderLevel(folder_) + 1) + 3;
    pictureWidth = picture->Width();
    canvas.DrawTransparent(rect.Left + indent, rect.Top + (rect.Height() - picture->Height()) / 2,
                           *picture, picture->BottomLeftColor());
  }

  const std::string& path = Items()[index];
  std::string text;
  if (index == 0) {
    text = path.substr(0, 2);  // the drive
  } else {
    const std::size_t cut = filectrl::LastSeparator(path, true, filectrl::MachineLeadBytes());
    text = cut == std::string::npos ? path : path.substr(cut + 1);
  }
  canvas.TextOut(rect.Left + pictureWidth + indent + 4,
                 rect.Top + (rect.Height() - canvas.TextHeight("A")) / 2, ShownCase(text));
}
