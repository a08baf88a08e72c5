// Drives of the simulated machine: drive letters with their kind, volume, bus and medium,
// server shares, the error mode, the storage-device query and network connection names.
#include <stdexcept>

#include "os/sim/SimOs.h"
#include "os/sim/SimText.h"

namespace os {
namespace {

constexpr std::uint32_t kErrorBadDevice = 1200;

char DriveLetter(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') throw std::invalid_argument("not a drive letter");
  return letter;
}

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

std::u16string Separators(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
  }
  return text;
}

// The share root of "\\srv\share" or "\\srv\share\", upper-cased; empty for anything else.
std::u16string ShareRootKey(std::u16string_view root) {
  if (!root.starts_with(u"\\\\")) return {};
  if (root.ends_with(u'\\')) root.remove_suffix(1);
  const std::size_t server = root.find(u'\\', 2);
  if (server == std::u16string_view::npos || server == 2 || server + 1 >= root.size()) return {};
  if (root.find(u'\\', server + 1) != std::u16string_view::npos) return {};
  return sim::UpperText(root);
}

}  // namespace

void SimOs::AddDrive(char letter, DriveSpec spec) {
  DriveEntry& drive = drives_[DriveLetter(letter)];
  drive.spec = std::move(spec);
  if (!drive.root) drive.root = NewNode(u"", kFileAttributeDirectory);
}

void SimOs::RemoveDrive(char letter) {
  drives_.erase(DriveLetter(letter));
}

void SimOs::SetMediumPresent(char letter, bool present) {
  Drive(letter).present = present;
}

DriveSpec& SimOs::Drive(char letter) {
  const auto found = drives_.find(DriveLetter(letter));
  if (found == drives_.end()) throw std::out_of_range("no such drive");
  return found->second.spec;
}

void SimOs::AddShare(std::string_view uncRoot, std::string_view volumeName) {
  const std::u16string root = Separators(sim::Utf8ToWide(uncRoot));
  const std::u16string key = ShareRootKey(root);
  if (key.empty()) throw std::invalid_argument("not a share root: " + std::string(uncRoot));
  ShareEntry& share = shares_[key];
  share.root = root;
  share.volumeName = volumeName;
  if (!share.tree) share.tree = NewNode(u"", kFileAttributeDirectory);
}

std::uint32_t SimOs::GetLogicalDrives() {
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_)
    mask |= 1u << (letter - 'A');
  return mask;
}

std::uint32_t SimOs::GetDriveTypeA(std::string_view root) {
  const std::u16string wide = Separators(Ansi(root));
  if (wide.size() >= 2 && IsLetter(wide[0]) && wide[1] == u':' &&
      (wide.size() == 2 || (wide.size() == 3 && wide[2] == u'\\'))) {
    const auto drive = drives_.find(static_cast<char>(sim::UpperChar(wide[0])));
    return drive != drives_.end() ? drive->second.spec.kind : kDriveNoRootDir;
  }
  const std::u16string share = ShareRootKey(wide);
  if (!share.empty() && shares_.contains(share)) return kDriveRemote;
  return kDriveNoRootDir;
}

std::optional<VolumeInfo> SimOs::GetVolumeInformationA(std::string_view root, bool wantName) {
  const std::u16string wide = Separators(Ansi(root));
  volumeQueries_.push_back({sim::WideToUtf8(wide), errorMode_});
  VolumeInfo info;
  if (wide.size() == 3 && IsLetter(wide[0]) && wide[1] == u':' && wide[2] == u'\\') {
    const auto drive = drives_.find(static_cast<char>(sim::UpperChar(wide[0])));
    if (drive == drives_.end()) {
      Fail(kErrorPathNotFound);
      return std::nullopt;
    }
    const DriveSpec& spec = drive->second.spec;
    if (!spec.present) {
      Fail(kErrorNotReady);
      return std::nullopt;
    }
    std::string name = spec.volumeName;
    if (spec.kind == kDriveRemote && !spec.remoteName.empty()) {
      const auto share = shares_.find(ShareRootKey(sim::Utf8ToWide(spec.remoteName)));
      if (share != shares_.end()) name = share->second.volumeName;
    }
    if (wantName) info.name = ToAnsi(sim::Utf8ToWide(name));
    info.maxComponentLength = spec.maxComponentLength;
    info.fileSystemFlags = spec.fileSystemFlags;
    return info;
  }
  if (wide.ends_with(u'\\')) {
    const auto share = shares_.find(ShareRootKey(wide));
    if (share != shares_.end()) {
      if (wantName) info.name = ToAnsi(sim::Utf8ToWide(share->second.volumeName));
      info.maxComponentLength = 255;
      info.fileSystemFlags = kFsCaseIsPreserved | 0x4;
      return info;
    }
    if (wide.starts_with(u"\\\\")) {
      Fail(kErrorBadNetName);
      return std::nullopt;
    }
  }
  Fail(kErrorInvalidName);
  return std::nullopt;
}

std::uint32_t SimOs::SetErrorMode(std::uint32_t mode) {
  const std::uint32_t previous = errorMode_;
  errorMode_ = mode;
  errorModes_.push_back(mode);
  return previous;
}

std::optional<StorageDeviceInfo> SimOs::QueryStorageDevice(Handle volume) {
  const OpenVolume* open = HandleAs<OpenVolume>(volume);
  if (open == nullptr) return std::nullopt;
  const auto drive = drives_.find(open->letter);
  if (drive == drives_.end()) {
    Fail(kErrorBadDevice);
    return std::nullopt;
  }
  return StorageDeviceInfo{drive->second.spec.busType, drive->second.spec.removableMedia};
}

std::optional<std::string> SimOs::WNetGetConnectionA(std::string_view localName) {
  const std::u16string wide = Ansi(localName);
  if (wide.size() != 2 || !IsLetter(wide[0]) || wide[1] != u':') {
    Fail(kErrorBadDevice);
    return std::nullopt;
  }
  const auto drive = drives_.find(static_cast<char>(sim::UpperChar(wide[0])));
  if (drive == drives_.end()) {
    Fail(kErrorBadDevice);
    return std::nullopt;
  }
  const DriveSpec& spec = drive->second.spec;
  if (spec.kind != kDriveRemote || spec.remoteName.empty()) {
    Fail(kErrorNotConnected);
    return std::nullopt;
  }
  return ToAnsi(sim::Utf8ToWide(spec.remoteName));
}

}  // namespace os
