// Paths of the simulated machine: full-path resolution as Win32 does it (both separators,
// "." and "..", drive-relative and rooted paths, UNC shares, volume devices), the walk from a
// path to its entry in the file tree through folder junctions, and the current directory.
#include <stdexcept>

#include "os/sim/SimOs.h"
#include "os/sim/SimText.h"

namespace os {
namespace {

constexpr int kMaxLinkDepth = 31;
constexpr std::size_t kMaxPath = 260;

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsDriveRootForm(std::u16string_view p) {
  return p.size() >= 2 && IsLetter(p[0]) && p[1] == u':';
}

char UpperLetter(char16_t c) {
  return static_cast<char>(sim::UpperChar(c));
}

// "." and ".." resolved, runs of separators collapsed, a single final dot of a component
// dropped, and trailing dots and spaces of the last component dropped, as GetFullPathName.
std::vector<std::u16string> NormalizeParts(std::u16string_view rest, bool& trailingSeparator) {
  trailingSeparator = !rest.empty() && rest.back() == u'\\';
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find(u'\\', start);
    if (end == std::u16string_view::npos) end = rest.size();
    std::u16string part(rest.substr(start, end - start));
    const bool last = end == rest.size();
    start = end + 1;
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (last) {
      while (!part.empty() && (part.back() == u'.' || part.back() == u' '))
        part.pop_back();
      if (part.empty()) continue;
    } else if (part.size() >= 2 && part.back() == u'.' && part[part.size() - 2] != u'.') {
      part.pop_back();
    }
    parts.push_back(std::move(part));
  }
  return parts;
}

std::u16string Join(std::u16string root, const std::vector<std::u16string>& parts,
                    bool trailingSeparator) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0 || root.back() != u'\\') root += u'\\';
    root += parts[i];
  }
  if (trailingSeparator && !parts.empty()) root += u'\\';
  return root;
}

// Splits "\\server\share\rest" at the end of the share name.
std::size_t UncRootLength(std::u16string_view p) {
  const std::size_t server = p.find(u'\\', 2);
  if (server == std::u16string_view::npos) return p.size();
  const std::size_t share = p.find(u'\\', server + 1);
  return share == std::u16string_view::npos ? p.size() : share;
}

}  // namespace

std::u16string SimOs::Key(std::u16string_view name) const {
  return sim::UpperText(name);
}

bool SimOs::ValidName(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) {
      return false;
    }
  }
  return true;
}

std::optional<std::u16string> SimOs::FullPathName(std::u16string_view path) const {
  std::u16string p(path);
  for (char16_t& c : p) {
    if (c == u'/') c = u'\\';
  }
  if (p.empty()) {
    lastError_ = kErrorPathNotFound;
    return std::nullopt;
  }
  bool trailing = false;
  if (p.starts_with(u"\\\\.\\") || p.starts_with(u"\\\\?\\")) {
    // Device and literal paths: the prefix stays, the rest is taken apart like a path.
    const std::u16string prefix = p.substr(0, 4);
    const std::u16string rest = p.substr(4);
    if (IsDriveRootForm(rest) && rest.size() > 2 && rest[2] == u'\\') {
      const auto parts = NormalizeParts(std::u16string_view(rest).substr(3), trailing);
      return prefix + Join(rest.substr(0, 2) + u"\\", parts, trailing);
    }
    return p;
  }
  if (p.starts_with(u"\\\\")) {
    const std::size_t rootLength = UncRootLength(p);
    const std::u16string root = p.substr(0, rootLength);
    const std::u16string_view rest =
        rootLength < p.size() ? std::u16string_view(p).substr(rootLength + 1) : u"";
    const auto parts = NormalizeParts(rest, trailing);
    std::u16string full = Join(root, parts, trailing);
    if (parts.empty() && rootLength < p.size()) full += u'\\';
    return full;
  }
  if (IsDriveRootForm(p)) {
    if (p.size() > 2 && p[2] == u'\\') {
      const auto parts = NormalizeParts(std::u16string_view(p).substr(3), trailing);
      return Join(p.substr(0, 2) + u"\\", parts, trailing);
    }
    // Drive-relative: against the current directory when it lies on that drive, else
    // against the drive's root.
    const std::u16string rest = p.substr(2);
    if (IsDriveRootForm(currentDirectory_) &&
        UpperLetter(currentDirectory_[0]) == UpperLetter(p[0])) {
      return FullPathName(currentDirectory_ + u"\\" + rest);
    }
    return FullPathName(p.substr(0, 2) + u"\\" + rest);
  }
  if (p[0] == u'\\') {
    // Rooted: the root of the current directory's drive or share.
    const std::size_t rootLength =
        currentDirectory_.starts_with(u"\\\\") ? UncRootLength(currentDirectory_) : 2;
    return FullPathName(currentDirectory_.substr(0, rootLength) + p);
  }
  return FullPathName(currentDirectory_ + u"\\" + p);
}

std::optional<SimOs::ParsedPath> SimOs::ParsePath(std::u16string_view path) const {
  const auto full = FullPathName(path);
  if (!full) return std::nullopt;
  ParsedPath parsed;
  parsed.full = *full;
  std::u16string_view rest;
  if (full->starts_with(u"\\\\.\\")) {
    const std::u16string_view device = std::u16string_view(*full).substr(4);
    if (device.size() != 2 || !IsDriveRootForm(device)) {
      lastError_ = kErrorFileNotFound;
      return std::nullopt;
    }
    parsed.kind = ParsedPath::Kind::kVolume;
    parsed.letter = UpperLetter(device[0]);
    return parsed;
  }
  if (full->starts_with(u"\\\\?\\")) {
    return ParsePath(std::u16string_view(*full).substr(4));
  }
  if (full->starts_with(u"\\\\")) {
    const std::size_t rootLength = UncRootLength(*full);
    parsed.kind = ParsedPath::Kind::kShare;
    parsed.shareKey = Key(std::u16string_view(*full).substr(0, rootLength));
    if (rootLength < full->size()) rest = std::u16string_view(*full).substr(rootLength + 1);
  } else {
    parsed.kind = ParsedPath::Kind::kDrive;
    parsed.letter = UpperLetter((*full)[0]);
    rest = std::u16string_view(*full).substr(3);
  }
  parsed.trailingSeparator = !rest.empty() && rest.back() == u'\\';
  std::size_t start = 0;
  while (start < rest.size()) {
    std::size_t end = rest.find(u'\\', start);
    if (end == std::u16string_view::npos) end = rest.size();
    if (end > start) parsed.parts.emplace_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return parsed;
}

std::shared_ptr<SimOs::Node> SimOs::RootNode(const ParsedPath& path, std::uint32_t& error) const {
  if (path.kind == ParsedPath::Kind::kShare) {
    const auto share = shares_.find(path.shareKey);
    if (share == shares_.end()) {
      error = kErrorBadNetName;
      return nullptr;
    }
    return share->second.tree;
  }
  const auto drive = drives_.find(path.letter);
  if (drive == drives_.end() || path.kind == ParsedPath::Kind::kVolume) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  const DriveSpec& spec = drive->second.spec;
  if (!spec.present) {
    error = kErrorNotReady;
    return nullptr;
  }
  if (spec.kind == kDriveRemote && !spec.remoteName.empty()) {
    const auto share = shares_.find(Key(sim::Utf8ToWide(spec.remoteName)));
    if (share != shares_.end()) return share->second.tree;
  }
  return drive->second.root;
}

SimOs::Place SimOs::Locate(const ParsedPath& path, int depth) const {
  Place place;
  std::shared_ptr<Node> folder = RootNode(path, place.error);
  if (!folder) return place;
  if (path.parts.empty()) {
    place.node = folder;
    return place;
  }
  for (std::size_t i = 0; i + 1 < path.parts.size(); ++i) {
    const auto child = folder->children.find(Key(path.parts[i]));
    std::shared_ptr<Node> next;
    if (child != folder->children.end()) next = Follow(child->second, depth);
    if (!next || !next->IsFolder()) {
      place.error = kErrorPathNotFound;
      return place;
    }
    folder = next;
  }
  place.parent = folder.get();
  place.name = path.parts.back();
  const auto child = folder->children.find(Key(place.name));
  if (child != folder->children.end()) place.node = child->second;
  return place;
}

bool SimOs::PathTooLong(std::u16string_view given, std::u16string_view full,
                        std::size_t maxLength) const {
  if (given.starts_with(u"\\\\?\\") || full.size() < maxLength) return false;
  lastError_ = kErrorFilenameExcedRange;
  return true;
}

SimOs::Place SimOs::LocateText(std::u16string_view path, std::size_t maxLength) const {
  const auto parsed = ParsePath(path);
  if (!parsed || PathTooLong(path, parsed->full, maxLength)) {
    Place place;
    place.error = lastError_;
    return place;
  }
  if (parsed->kind == ParsedPath::Kind::kVolume) {
    Place place;
    place.error = kErrorAccessDenied;
    return place;
  }
  return Locate(*parsed);
}

std::shared_ptr<SimOs::Node> SimOs::Follow(const std::shared_ptr<Node>& node, int depth) const {
  if (!node || !node->IsLink()) return node;
  if (depth >= kMaxLinkDepth) return nullptr;
  return FolderAt(node->linkTarget, depth + 1);
}

std::shared_ptr<SimOs::Node> SimOs::FolderAt(std::u16string_view fullPath, int depth) const {
  const auto parsed = ParsePath(fullPath);
  if (!parsed || parsed->kind == ParsedPath::Kind::kVolume) return nullptr;
  const Place place = Locate(*parsed, depth);
  if (place.error != 0 || !place.node) return nullptr;
  auto target = Follow(place.node, depth);
  return target && target->IsFolder() ? target : nullptr;
}

std::shared_ptr<SimOs::Node> SimOs::HookNode(std::string_view path) const {
  const std::uint32_t savedError = lastError_;
  const Place place = LocateText(sim::Utf8ToWide(path));
  lastError_ = savedError;
  return place.error == 0 ? place.node : nullptr;
}

SimOs::Node& SimOs::HookParentFolder(std::string_view path, std::u16string& name) {
  const auto parsed = ParsePath(sim::Utf8ToWide(path));
  if (!parsed || parsed->kind == ParsedPath::Kind::kVolume || parsed->parts.empty()) {
    throw std::invalid_argument("not a path below a root: " + std::string(path));
  }
  Place place = Locate(*parsed);
  if (place.error != 0 || place.parent == nullptr) {
    throw std::invalid_argument("no folder above " + std::string(path));
  }
  if (!ValidName(place.name)) throw std::invalid_argument("invalid name: " + std::string(path));
  name = place.name;
  return *place.parent;
}

// ---- Current directory and temp path ---------------------------------------------------

std::optional<std::string> SimOs::GetCurrentDirectoryA() {
  return ToAnsi(currentDirectory_);
}

std::string SimOs::CurrentDirectory() const {
  return sim::WideToUtf8(currentDirectory_);
}

bool SimOs::SetCurrentDirectoryA(std::string_view path) {
  const auto parsed = ParsePath(Ansi(path));
  if (!parsed) return false;
  if (parsed->kind == ParsedPath::Kind::kVolume) {
    lastError_ = kErrorInvalidName;
    return false;
  }
  const Place place = Locate(*parsed);
  if (place.error != 0) {
    lastError_ = place.error;
    return false;
  }
  const auto folder = Follow(place.node);
  if (!place.node || !folder) {
    lastError_ = kErrorFileNotFound;
    return false;
  }
  if (!folder->IsFolder()) {
    lastError_ = kErrorDirectory;
    return false;
  }
  // Kept as written, letter case included; only a root keeps its final backslash.
  std::u16string full = parsed->full;
  if (parsed->parts.empty()) {
    if (full.back() != u'\\') full += u'\\';
  } else if (full.back() == u'\\') {
    full.pop_back();
  }
  // The current directory is kept with a final backslash within MAX_PATH.
  if (PathTooLong(Ansi(path), full, kMaxPath - 1)) return false;
  currentDirectory_ = full;
  return true;
}

void SimOs::SetTempPath(std::string_view path) {
  tempPath_ = sim::Utf8ToWide(path);
  if (!tempPath_.empty() && tempPath_.back() != u'\\') tempPath_ += u'\\';
}

std::string SimOs::GetTempPathA() {
  return ToAnsi(tempPath_);
}

}  // namespace os
