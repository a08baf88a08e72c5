// The drive selector: the list of drives with their names and pictures, the selection of a
// drive, and the link to the folder list.
#include <algorithm>
#include <string>

#include "FileCtrl.h"
#include "FileCtrlText.h"
#include "InstUtils.h"
#include "os/Machine.h"
#include "ui/Application.h"

namespace {

// The volume-name buffer of the system call holds 260 characters and its terminating zero.
constexpr std::size_t kNameBufferChars = 260;

std::string FirstChars(std::string text) {
  if (text.size() > kNameBufferChars) text.resize(kNameBufferChars);
  return text;
}

// Puts the former error mode back however the volume query ends.
class ErrorModeScope {
 public:
  explicit ErrorModeScope(std::uint32_t mode) : former_(os::Machine().SetErrorMode(mode)) {}
  ~ErrorModeScope() { os::Machine().SetErrorMode(former_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  std::uint32_t former_;
};

}  // namespace

std::string DriveLabel(char letter) {
  // A drive without a medium would otherwise bring up the system's critical-error box.
  ErrorModeScope quiet(os::kSemFailCriticalErrors);
  const std::string root{letter, ':', '\\'};
  const auto volume = os::Machine().GetVolumeInformationA(root, true);
  std::string name = volume ? FirstChars(volume->name) : std::string();
  filectrl::LowerVolumeText(name);
  if (!name.empty()) name = "[" + name + "]";
  return name;
}

std::string NetworkDriveLabel(char letter) {
  const std::string local{filectrl::UpperLetter(letter), ':'};
  if (auto remote = os::Machine().WNetGetConnectionA(local)) {
    std::string name = FirstChars(*remote);
    filectrl::LowerVolumeText(name);
    return name;
  }
  return DriveLabel(letter);
}

TDriveComboBox::TDriveComboBox(ui::TComponent* owner) : ui::TCustomComboBox(owner) {
  SetStyle(ui::TComboBoxStyle::OwnerDrawFixed);
  fixedDriveImage_.LoadFromResourceName("FIXEDDRIVE");
  removableDriveImage_.LoadFromResourceName("REMOVABLEDRIVE");
  // The font's cell height with a little air, and never less than the fixed-drive picture.
  const int fontHeight = ui::TheApplication() != nullptr ? Canvas().TextHeight("0") : 0;
  SetItemHeight(std::max(fontHeight + 4, fixedDriveImage_.Height()));
}

TDriveComboBox::~TDriveComboBox() {
  // No window may draw an item after its picture is gone.
  DestroyHandle();
  if (dirList_ != nullptr) dirList_->driveSelector_ = nullptr;
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
  if (list == dirList_) return;
  if (dirList_ != nullptr) dirList_->driveSelector_ = nullptr;
  // A list follows one selector: one that had it before lets it go.
  if (list != nullptr && list->driveSelector_ != nullptr) list->driveSelector_->dirList_ = nullptr;
  dirList_ = list;
  if (dirList_ != nullptr) dirList_->driveSelector_ = this;
}

void TDriveComboBox::CreateWnd() {
  ui::TCustomComboBox::CreateWnd();
  RefreshDrives();
  SelectDrive(currentDrive_);
}

void TDriveComboBox::RefreshDrives() {
  os::Os& os = os::Machine();
  Items().BeginUpdate();
  try {
    Items().Clear();
    driveMask_ = os.GetLogicalDrives();
    // A: and B: are floppy letters and never listed.
    for (int n = 2; n <= 25; ++n) {
      if ((driveMask_ & (1u << n)) == 0) continue;
      const char letter = static_cast<char>('a' + n);
      const std::string root{letter, ':', '\\'};
      const std::uint32_t kind = os.GetDriveTypeA(root);
      if (kind == os::kDriveCdrom) continue;
      const std::string name =
          kind == os::kDriveRemote ? NetworkDriveLabel(letter) : DriveLabel(letter);
      ui::TBitmap& picture = IsPortableDrive(root) ? removableDriveImage_ : fixedDriveImage_;
      Items().AddObject(std::string{letter, ':', ' '} + name, &picture);
    }
  } catch (...) {
    Items().EndUpdate();
    throw;
  }
  Items().EndUpdate();
}

void TDriveComboBox::SelectDrive(char letter) {
  using filectrl::UpperLetter;
  if (ItemIndex() >= 0 && UpperLetter(letter) == UpperLetter(currentDrive_)) return;
  // Upper case plus 32 is the lower-case letter; code 0 (no drive) becomes a space.
  currentDrive_ = static_cast<char>(static_cast<unsigned char>(UpperLetter(letter)) + 32);
  for (int i = 0; i < Items().Count(); ++i) {
    const std::string& text = Items()[i];
    if (text.size() >= 2 && UpperLetter(text[0]) == UpperLetter(currentDrive_) && text[1] == ':') {
      SetItemIndex(i);
      break;
    }
  }
  if (dirList_ != nullptr) dirList_->FollowDrive(currentDrive_);
  Change();
}

void TDriveComboBox::Click() {
  ui::TCustomComboBox::Click();
  if (ItemIndex() >= 0 && !Items()[ItemIndex()].empty()) SelectDrive(Items()[ItemIndex()][0]);
}

void TDriveComboBox::DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState /*state*/) {
  ui::TCanvas& canvas = Canvas();
  // A selected drive is not highlighted: the focus rectangle is its only mark.
  const ui::TColor brush = canvas.Brush.Color;
  canvas.Brush.Color = ui::clWindow;
  canvas.FillRect(rect);

  ui::TRect textRect = rect;
  if (const auto* picture = dynamic_cast<const ui::TBitmap*>(Items().Objects(index))) {
    canvas.DrawTransparent(rect.Left + 2, (rect.Top + rect.Bottom - picture->Height()) / 2,
                           *picture, picture->BottomLeftColor());
    textRect.Left += picture->Width() + 6;
  }

  const ui::TColor font = canvas.Font.Color;
  canvas.Font.Color = ui::clWindowText;
  canvas.DrawText(Items()[index], textRect, ui::kDtSingleLine | ui::kDtVCenter | ui::kDtNoPrefix);
  canvas.Brush.Color = brush;
  canvas.Font.Color = font;
}

bool TDriveComboBox::ApplyProperty(std::string_view name, const ui::PropertyValue& value) {
  using C = TDriveComboBox;
  static const ui::PropertyTable<C> table = {
      {"DirList",
       [](C& c, const ui::PropertyValue& v, std::string_view n) {
         // The list may come later in the description: it is found once all are loaded.
         c.DeferReference(v.AsIdentifier(n), [&c](ui::TComponent& target) {
           auto* list = dynamic_cast<TDirectoryListBox*>(&target);
           if (list == nullptr) throw EFormError("DirList " + target.Name() + " is no folder list");
           c.SetDirList(list);
         });
       }},
  };
  return table.Apply(*this, name, value) || ui::TCustomComboBox::ApplyProperty(name, value);
}
