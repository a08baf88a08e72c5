// The drive selector and the folder list of the home-folder page.
//
// TDriveComboBox lists the drives C: to Z: (CD-ROM drives left out) as "c: [system]",
// "z: \\srv\data", each with a picture that tells portable drives from the others.
// TDirectoryListBox shows the path of its folder level by level, from the drive's root down
// to the folder itself, and below them the folder's subfolders. The two keep each other in
// step: picking a drive moves the list to a folder on that drive, and a folder on another
// drive moves the selector. A single click (any move of the selection) on a folder of the
// list opens it; every change of the list's folder fires the list's OnChange.
//
// The list shows folders on lettered drives only. A path with no drive letter cannot be
// shown: a relative one (Apps\Editor) and a network one (\\srv\data\Apps) both leave the
// list with no folder at all, its Folder empty and no items, and the selector untouched; a
// drive picked afterwards moves the list to that drive as from its start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/ListControls.h"

class TDirectoryListBox;

// The name shown for a local drive: its volume name lower-cased in brackets ("[system]"),
// empty when the drive has none or cannot be read. The system's critical-error box is kept
// away for the length of the volume query only.
std::string DriveLabel(char letter);
// The name shown for a network drive: the connection it stands for, lower-cased
// ("\\srv\data"); when that cannot be read, the drive is named like a local one.
std::string NetworkDriveLabel(char letter);

class TDriveComboBox : public ui::TCustomComboBox {
 public:
  explicit TDriveComboBox(ui::TComponent* owner);
  ~TDriveComboBox() override;

  std::string_view ClassName() const override { return "TDriveComboBox"; }

  // The linked folder list, or nullptr. Linking a list unlinks the one linked before.
  TDirectoryListBox* DirList() const { return dirList_; }
  void SetDirList(TDirectoryListBox* list);

  // The selected drive as a lower-case letter; '\0' before the first selection, ' ' after
  // a selection of no drive.
  char CurrentDrive() const { return currentDrive_; }
  // GetLogicalDrives as the last RefreshDrives saw it; 0 before the first.
  std::uint32_t DriveMask() const { return driveMask_; }

  const ui::TBitmap& FixedDriveImage() const { return fixedDriveImage_; }
  const ui::TBitmap& RemovableDriveImage() const { return removableDriveImage_; }

  // Lists the present drives again and records the drive mask; no item stays selected and
  // CurrentDrive does not change.
  void RefreshDrives();
  // Makes the drive current: its item selected (when it has one), the linked list moved to
  // it, then OnChange. Nothing happens for the current drive while an item is selected.
  void SelectDrive(char letter);

  // Each item: the window's colour whatever its state, the picture, then the text.
  void DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState state) override;
  // The user picked an item: OnClick, then that item's drive is selected.
  void Click() override;

 protected:
  // The items are made with the window: the drives listed, the current one selected.
  void CreateWnd() override;
  bool ApplyProperty(std::string_view name, const ui::PropertyValue& value) override;

 private:
  friend class TDirectoryListBox;

  TDirectoryListBox* dirList_ = nullptr;
  char currentDrive_ = '\0';
  ui::TBitmap fixedDriveImage_;
  ui::TBitmap removableDriveImage_;
  std::uint32_t driveMask_ = 0;
};

class TDirectoryListBox : public ui::TCustomListBox {
 public:
  explicit TDirectoryListBox(ui::TComponent* owner);
  ~TDirectoryListBox() override;

  std::string_view ClassName() const override { return "TDirectoryListBox"; }

  // The selector whose DirList is this list, or nullptr.
  TDriveComboBox* DriveSelector() const { return driveSelector_; }

  // The current folder: a full path, with or without a final backslash (d:\, C:\Apps). It
  // starts as a placeholder of one '\0' character that names no drive; it is empty while
  // the list has no folder.
  const std::string& Folder() const { return folder_; }
  // Makes the path, or its nearest existing ancestor (at worst its drive's root), the
  // current folder, and moves the selector along when the drive changes. The same folder
  // in another spelling of letter case (where the volume ignores case) changes nothing.
  void SetFolder(std::string path);
  // Chooses the folder on a newly selected drive: on the drive of Program Files its
  // Veloquin folder when there is one, else Program Files itself; on any other drive the
  // same path as now when it exists there, else the root. Nothing for the current drive.
  void FollowDrive(char letter);

  // Fires OnChange with the list as sender.
  virtual void FolderChanged();
  // Rebuilds the items: the root and each level down to the folder (open pictures), then
  // the folder's subfolders (closed pictures) in the locale's order, case ignored.
  virtual void RebuildFolders();

  // How the volume of the current folder treats letter case (read by RebuildFolders).
  bool VolumeKeepsCase() const { return volumeKeepsCase_; }
  bool VolumeIsCaseSensitive() const { return volumeIsCaseSensitive_; }
  const ui::TBitmap& OpenFolderImage() const { return openFolderImage_; }
  const ui::TBitmap& ClosedFolderImage() const { return closedFolderImage_; }

  // The depth of a folder: C:\ is 0, C:\Program Files\Veloquin is 2.
  static int FolderLevel(std::string_view path);
  // A name as the list shows it: as stored on a volume that keeps case, else lower-cased.
  std::string ShownCase(std::string text) const;
  // Whether two paths name the same folder text on the current volume.
  bool SameFolderText(const std::string& a, const std::string& b) const;

  // Each item indented by its level (subfolders one step below the folder), its picture,
  // then its last path component.
  void DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState state) override;
  // The user moved the selection: the selected folder is opened. OnClick does not fire.
  void Click() override;

 protected:
  // The items are made with the window, the current folder selected.
  void CreateWnd() override;

 private:
  friend class TDriveComboBox;
  void SetNoFolder();

  TDriveComboBox* driveSelector_ = nullptr;
  bool volumeKeepsCase_ = false;
  bool volumeIsCaseSensitive_ = false;
  ui::TBitmap closedFolderImage_;
  ui::TBitmap openFolderImage_;
  std::string folder_ = std::string(1, '\0');
};
