// The file tree of the simulated machine: the test hooks that build and inspect it, and the
// Win32 file calls on it with their access, sharing, attribute and folder rules.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "os/sim/SimOs.h"
#include "os/sim/SimText.h"

namespace os {
namespace {

constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxFolderPath = 248;  // room for an 8.3 name inside

constexpr std::uint32_t kRead = 1;
constexpr std::uint32_t kWrite = 2;
constexpr std::uint32_t kDelete = 4;

constexpr std::uint32_t kFileReadData = 0x1;
constexpr std::uint32_t kFileWriteData = 0x2;
constexpr std::uint32_t kFileAppendData = 0x4;
constexpr std::uint32_t kDeleteAccess = 0x10000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;

// The attributes a caller can give a file; the rest are the system's.
constexpr std::uint32_t kSettableAttributes = kFileAttributeReadOnly | kFileAttributeHidden |
                                              kFileAttributeSystem | kFileAttributeArchive |
                                              0x100 /* temporary */ | 0x2000 /* not indexed */;
constexpr std::uint32_t kStructureAttributes = kFileAttributeDirectory | kFileAttributeReparsePoint;

std::uint32_t AccessRights(std::uint32_t access) {
  std::uint32_t rights = 0;
  if (access & (kGenericRead | kGenericExecute | kFileReadData)) rights |= kRead;
  if (access & (kGenericWrite | kFileWriteData | kFileAppendData)) rights |= kWrite;
  if (access & kDeleteAccess) rights |= kDelete;
  if (access & kGenericAll) rights |= kRead | kWrite | kDelete;
  return rights;
}

// Win32 wildcard matching on upper-cased names: '*' any run, '?' any one character, and
// "*.*" everything, dot or none.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*" || pattern == u"*.*") return true;
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::u16string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*')
    ++p;
  return p == pattern.size();
}

}  // namespace

std::shared_ptr<SimOs::Node> SimOs::NewNode(std::u16string name, std::uint32_t attributes) const {
  auto node = std::make_shared<Node>();
  node->name = std::move(name);
  node->attributes = attributes;
  node->created = node->accessed = node->written = now_;
  return node;
}

// ---- Test hooks ---------------------------------------------------------------------------

void SimOs::AddFolder(std::string_view path) {
  const auto parsed = ParsePath(sim::Utf8ToWide(path));
  if (!parsed || parsed->kind == ParsedPath::Kind::kVolume) {
    throw std::invalid_argument("not a folder path: " + std::string(path));
  }
  std::uint32_t error = 0;
  std::shared_ptr<Node> folder = RootNode(*parsed, error);
  if (!folder) throw std::invalid_argument("no drive or share for " + std::string(path));
  for (const std::u16string& part : parsed->parts) {
    if (!ValidName(part)) throw std::invalid_argument("invalid name in " + std::string(path));
    auto& slot = folder->children[Key(part)];
    if (!slot) slot = NewNode(part, kFileAttributeDirectory);
    folder = Follow(slot);
    if (!folder || !folder->IsFolder()) {
      throw std::invalid_argument("a file or broken link stands in " + std::string(path));
    }
  }
}

void SimOs::AddFile(std::string_view path, std::string_view contents) {
  AddFile(path, Bytes(contents.begin(), contents.end()));
}

void SimOs::AddFile(std::string_view path, const Bytes& contents) {
  const std::u16string wide = sim::Utf8ToWide(path);
  const std::size_t cut = wide.find_last_of(u"\\/");
  if (cut == std::u16string::npos)
    throw std::invalid_argument("not a full path: " + std::string(path));
  AddFolder(sim::WideToUtf8(wide.substr(0, cut + 1)));
  std::u16string name;
  Node& folder = HookParentFolder(path, name);
  auto& slot = folder.children[Key(name)];
  if (slot && slot->IsFolder())
    throw std::invalid_argument("a folder stands at " + std::string(path));
  if (!slot) slot = NewNode(name, kFileAttributeArchive);
  slot->data = contents;
  slot->created = slot->accessed = slot->written = now_;
}

void SimOs::MakeLink(std::string_view path, std::string_view target) {
  std::u16string name;
  Node& folder = HookParentFolder(path, name);
  auto& slot = folder.children[Key(name)];
  if (slot) throw std::invalid_argument("something already stands at " + std::string(path));
  const auto full = FullPathName(sim::Utf8ToWide(target));
  if (!full) throw std::invalid_argument("not a link target: " + std::string(target));
  slot = NewNode(name, kFileAttributeDirectory | kFileAttributeReparsePoint);
  slot->reparseTag = kIoReparseTagMountPoint;
  slot->linkTarget = *full;
}

void SimOs::Remove(std::string_view path) {
  std::u16string name;
  Node& folder = HookParentFolder(path, name);
  if (folder.children.erase(Key(name)) == 0) {
    throw std::invalid_argument("nothing to remove at " + std::string(path));
  }
}

namespace {
template <typename Node>
Node& Existing(const std::shared_ptr<Node>& node, std::string_view path) {
  if (!node) throw std::invalid_argument("no file or folder at " + std::string(path));
  return *node;
}
}  // namespace

void SimOs::SetAttributes(std::string_view path, std::uint32_t attributes) {
  Node& node = Existing(HookNode(path), path);
  node.attributes = (attributes & ~kStructureAttributes & ~kFileAttributeNormal) |
                    (node.attributes & kStructureAttributes);
}

void SimOs::SetLastWriteTime(std::string_view path, FileTime utc) {
  Existing(HookNode(path), path).written = utc;
}

void SimOs::SetTimes(std::string_view path, FileTime creation, FileTime lastAccess,
                     FileTime lastWrite) {
  Node& node = Existing(HookNode(path), path);
  node.created = creation;
  node.accessed = lastAccess;
  node.written = lastWrite;
}

void SimOs::FailFolderCreation(std::string_view path) {
  auto full = FullPathName(sim::Utf8ToWide(path));
  if (!full) throw std::invalid_argument("not a path: " + std::string(path));
  if (full->size() > 3 && full->back() == u'\\') full->pop_back();
  failingFolders_.insert(Key(*full));
}

bool SimOs::Exists(std::string_view path) const {
  return HookNode(path) != nullptr;
}

bool SimOs::IsFolder(std::string_view path) const {
  const auto node = HookNode(path);
  return node && node->IsFolder();
}

bool SimOs::IsFile(std::string_view path) const {
  const auto node = HookNode(path);
  return node && !node->IsFolder();
}

bool SimOs::IsLink(std::string_view path) const {
  const auto node = HookNode(path);
  return node && node->IsLink();
}

std::optional<std::string> SimOs::FileContents(std::string_view path) const {
  const auto node = HookNode(path);
  if (!node || node->IsFolder()) return std::nullopt;
  return std::string(node->data.begin(), node->data.end());
}

std::optional<std::uint32_t> SimOs::Attributes(std::string_view path) const {
  const auto node = HookNode(path);
  if (!node) return std::nullopt;
  return node->attributes;
}

std::optional<FileTime> SimOs::LastWriteTime(std::string_view path) const {
  const auto node = HookNode(path);
  if (!node) return std::nullopt;
  return node->written;
}

std::vector<std::string> SimOs::ListFolder(std::string_view path) const {
  const auto folder = Follow(HookNode(path));
  std::vector<std::string> names;
  if (!folder || !folder->IsFolder()) return names;
  for (const auto& [key, child] : folder->children)
    names.push_back(sim::WideToUtf8(child->name));
  return names;
}

std::optional<std::string> SimOs::StoredName(std::string_view path) const {
  const auto node = HookNode(path);
  if (!node) return std::nullopt;
  return sim::WideToUtf8(node->name);
}

// ---- Locks of other programs -------------------------------------------------------------

SimOs::FileLock SimOs::LockFile(std::string_view path) {
  const auto node = HookNode(path);
  if (!node || node->IsFolder())
    throw std::invalid_argument("no file to lock at " + std::string(path));
  OpenFile open;
  open.node = node;
  open.access = kRead | kWrite;
  open.share = 0;
  open.external = true;
  FileLock lock;
  lock.os_ = this;
  lock.handle_ = NewHandle(std::move(open));
  lock.alive_ = alive_;
  return lock;
}

SimOs::FileLock::FileLock(FileLock&& other) noexcept
    : os_(other.os_), handle_(other.handle_), alive_(std::move(other.alive_)) {
  other.os_ = nullptr;
}

SimOs::FileLock& SimOs::FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Unlock();
    os_ = other.os_;
    handle_ = other.handle_;
    alive_ = std::move(other.alive_);
    other.os_ = nullptr;
  }
  return *this;
}

SimOs::FileLock::~FileLock() {
  Unlock();
}

void SimOs::FileLock::Unlock() {
  if (os_ != nullptr && !alive_.expired()) os_->handles_.erase(handle_);
  os_ = nullptr;
}

bool SimOs::FileLock::Held() const {
  return os_ != nullptr && !alive_.expired();
}

// ---- Handles ------------------------------------------------------------------------------

Handle SimOs::NewHandle(OpenObject object) {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, std::move(object));
  return handle;
}

std::size_t SimOs::OpenHandleCount() const {
  return static_cast<std::size_t>(
      std::count_if(handles_.begin(), handles_.end(), [](const auto& h) {
        const auto* file = std::get_if<OpenFile>(&h.second);
        return file == nullptr || !file->external;
      }));
}

bool SimOs::SharingAllows(const Node& node, std::uint32_t access, std::uint32_t share) const {
  for (const auto& [handle, object] : handles_) {
    const auto* open = std::get_if<OpenFile>(&object);
    if (open == nullptr || open->node.get() != &node) continue;
    if ((access & kRead) && !(open->share & kFileShareRead)) return false;
    if ((access & kWrite) && !(open->share & kFileShareWrite)) return false;
    if ((access & kDelete) && !(open->share & kFileShareDelete)) return false;
    if ((open->access & kRead) && !(share & kFileShareRead)) return false;
    if ((open->access & kWrite) && !(share & kFileShareWrite)) return false;
    if ((open->access & kDelete) && !(share & kFileShareDelete)) return false;
  }
  return true;
}

bool SimOs::InUse(const Node& node) const {
  for (const auto& [handle, object] : handles_) {
    const auto* open = std::get_if<OpenFile>(&object);
    if (open != nullptr && open->node.get() == &node && !(open->share & kFileShareDelete)) {
      return true;
    }
  }
  return false;
}

// ---- File calls ---------------------------------------------------------------------------

Handle SimOs::CreateFileW(std::u16string_view path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flagsAndAttributes) {
  const std::uint32_t rights = AccessRights(access);
  if ((rights & kWrite || disposition != kOpenExisting) &&
      Ignored("CreateFileW " + sim::WideToUtf8(path))) {
    return kInvalidHandle;
  }
  const auto parsed = ParsePath(path);
  if (!parsed) return kInvalidHandle;
  if (parsed->kind == ParsedPath::Kind::kVolume) {
    const auto drive = drives_.find(parsed->letter);
    if (drive == drives_.end()) return FailHandle(kErrorFileNotFound);
    if (!drive->second.spec.canOpenVolume) return FailHandle(kErrorAccessDenied);
    return NewHandle(OpenVolume{parsed->letter});
  }
  if (PathTooLong(path, parsed->full, kMaxPath)) return kInvalidHandle;
  const Place place = Locate(*parsed);
  if (place.error != 0) return FailHandle(place.error);
  if (place.parent == nullptr) return FailHandle(kErrorAccessDenied);
  for (const auto& part : parsed->parts) {
    if (!ValidName(part)) return FailHandle(kErrorInvalidName);
  }
  std::shared_ptr<Node> node = place.node;
  if (node && node->IsFolder()) return FailHandle(kErrorAccessDenied);
  if (parsed->trailingSeparator) return FailHandle(kErrorInvalidName);
  if (disposition < kCreateNew || disposition > kTruncateExisting) {
    return FailHandle(kErrorInvalidParameter);
  }
  if (disposition == kTruncateExisting && !(rights & kWrite)) {
    return FailHandle(kErrorInvalidParameter);
  }

  std::uint32_t resultError = kErrorSuccess;
  if (node) {
    if (disposition == kCreateNew) return FailHandle(kErrorFileExists);
    const bool replaces = disposition == kCreateAlways || disposition == kTruncateExisting;
    if ((rights & kWrite || replaces) && (node->attributes & kFileAttributeReadOnly)) {
      return FailHandle(kErrorAccessDenied);
    }
    // Replacing a hidden or system file must name those attributes again.
    const std::uint32_t kept = node->attributes & (kFileAttributeHidden | kFileAttributeSystem);
    if (disposition == kCreateAlways && (flagsAndAttributes & kept) != kept) {
      return FailHandle(kErrorAccessDenied);
    }
    if (!SharingAllows(*node, rights, share)) return FailHandle(kErrorSharingViolation);
    if (replaces) {
      node->data.clear();
      node->written = node->accessed = now_;
    }
    if (disposition == kCreateAlways) {
      node->attributes |= (flagsAndAttributes & kSettableAttributes) | kFileAttributeArchive;
    }
    if (disposition == kCreateAlways || disposition == kOpenAlways) {
      resultError = kErrorAlreadyExists;
    }
  } else {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      return FailHandle(kErrorFileNotFound);
    }
    node = NewNode(place.name, (flagsAndAttributes & kSettableAttributes) | kFileAttributeArchive);
    place.parent->children[Key(place.name)] = node;
  }
  OpenFile open;
  open.node = node;
  open.access = rights;
  open.share = share & (kFileShareRead | kFileShareWrite | kFileShareDelete);
  lastError_ = resultError;
  return NewHandle(std::move(open));
}

bool SimOs::WriteFile(Handle file, const void* data, std::uint32_t size, std::uint32_t& written) {
  written = 0;
  if (Ignored("WriteFile")) return false;
  OpenFile* open = HandleAs<OpenFile>(file);
  if (open == nullptr) return false;
  if (!(open->access & kWrite)) return Fail(kErrorAccessDenied);
  Bytes& bytes = open->node->data;
  if (bytes.size() < open->position + size) bytes.resize(open->position + size);
  if (size > 0) std::memcpy(bytes.data() + open->position, data, size);
  open->position += size;
  written = size;
  if (!open->writeTimeSet) open->node->written = now_;
  return true;
}

bool SimOs::ReadFile(Handle file, void* buffer, std::uint32_t size, std::uint32_t& read) {
  read = 0;
  OpenFile* open = HandleAs<OpenFile>(file);
  if (open == nullptr) return false;
  if (!(open->access & kRead)) return Fail(kErrorAccessDenied);
  const Bytes& bytes = open->node->data;
  if (open->position < bytes.size()) {
    const auto count =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(size, bytes.size() - open->position));
    std::memcpy(buffer, bytes.data() + open->position, count);
    open->position += count;
    read = count;
  }
  return true;
}

bool SimOs::GetFileSize(Handle file, std::uint64_t& size) {
  OpenFile* open = HandleAs<OpenFile>(file);
  if (open == nullptr) return false;
  size = open->node->data.size();
  return true;
}

bool SimOs::SetFileLastWriteTime(Handle file, FileTime lastWrite) {
  if (Ignored("SetFileLastWriteTime")) return false;
  OpenFile* open = HandleAs<OpenFile>(file);
  if (open == nullptr) return false;
  if (!(open->access & kWrite)) return Fail(kErrorAccessDenied);
  open->node->written = lastWrite;
  open->writeTimeSet = true;
  return true;
}

bool SimOs::CloseHandle(Handle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end() || std::holds_alternative<OpenSearch>(found->second) ||
      (std::holds_alternative<OpenFile>(found->second) &&
       std::get<OpenFile>(found->second).external)) {
    return Fail(kErrorInvalidHandle);
  }
  handles_.erase(found);
  return true;
}

bool SimOs::DeleteFileW(std::u16string_view path) {
  if (Ignored("DeleteFileW " + sim::WideToUtf8(path))) return false;
  const Place place = LocateText(path, kMaxPath);
  if (place.error != 0) return Fail(place.error);
  if (place.parent == nullptr) return Fail(kErrorAccessDenied);
  if (!ValidName(place.name)) return Fail(kErrorInvalidName);
  if (!place.node) return Fail(kErrorFileNotFound);
  if (place.node->IsFolder() || (place.node->attributes & kFileAttributeReadOnly)) {
    return Fail(kErrorAccessDenied);
  }
  if (InUse(*place.node)) return Fail(kErrorSharingViolation);
  place.parent->children.erase(Key(place.name));
  return true;
}

bool SimOs::CreateDirectoryW(std::u16string_view path) {
  if (Ignored("CreateDirectoryW " + sim::WideToUtf8(path))) return false;
  const auto parsed = ParsePath(path);
  if (!parsed) return false;
  if (parsed->kind == ParsedPath::Kind::kVolume) return Fail(kErrorAccessDenied);
  if (PathTooLong(path, parsed->full, kMaxFolderPath)) return false;
  const Place place = Locate(*parsed);
  if (place.error != 0) return Fail(place.error);
  if (place.node) return Fail(kErrorAlreadyExists);
  for (const auto& part : parsed->parts) {
    if (!ValidName(part)) return Fail(kErrorInvalidName);
  }
  std::u16string full = parsed->full;
  if (parsed->trailingSeparator) full.pop_back();
  if (failingFolders_.contains(Key(full))) return Fail(kErrorAccessDenied);
  place.parent->children[Key(place.name)] = NewNode(place.name, kFileAttributeDirectory);
  return true;
}

bool SimOs::RemoveDirectoryW(std::u16string_view path) {
  if (Ignored("RemoveDirectoryW " + sim::WideToUtf8(path))) return false;
  const Place place = LocateText(path, kMaxPath);
  if (place.error != 0) return Fail(place.error);
  if (!place.node) return Fail(kErrorFileNotFound);
  if (place.parent == nullptr) return Fail(kErrorAccessDenied);
  if (!place.node->IsFolder()) return Fail(kErrorDirectory);
  if (!place.node->IsLink()) {
    if (place.node->attributes & kFileAttributeReadOnly) return Fail(kErrorAccessDenied);
    if (!place.node->children.empty()) return Fail(kErrorDirNotEmpty);
    // The process's current directory is held open without delete sharing.
    const std::uint32_t savedError = lastError_;
    const Place current = LocateText(currentDirectory_);
    lastError_ = savedError;
    if (Follow(current.node) == place.node) return Fail(kErrorSharingViolation);
  }
  // A junction goes by itself; what it shows stays.
  place.parent->children.erase(Key(place.name));
  return true;
}

// ---- Folder search ------------------------------------------------------------------------

Handle SimOs::FindFirstFileA(std::string_view pattern, FindData& data, bool /*onlyDirectories*/) {
  // The hint to list folders only is advisory, and NTFS ignores it; so does this machine.
  const std::u16string wide = Ansi(pattern);
  const std::size_t cut = wide.find_last_of(u"\\/");
  std::u16string folderPart;
  std::u16string namePart;
  if (cut != std::u16string::npos) {
    folderPart = wide.substr(0, cut + 1);
    namePart = wide.substr(cut + 1);
  } else if (wide.size() >= 2 && wide[1] == u':') {
    folderPart = wide.substr(0, 2);
    namePart = wide.substr(2);
  } else {
    namePart = wide;
  }
  if (namePart.empty()) return FailHandle(kErrorFileNotFound);
  const auto parsed = ParsePath(folderPart.empty() ? u"." : folderPart);
  if (!parsed) return kInvalidHandle;
  if (parsed->kind == ParsedPath::Kind::kVolume) return FailHandle(kErrorInvalidName);
  const std::u16string searched =
      parsed->full + (parsed->full.ends_with(u'\\') ? u"" : u"\\") + namePart;
  if (PathTooLong(wide, searched, kMaxPath)) return kInvalidHandle;
  const Place place = Locate(*parsed);
  if (place.error != 0) return FailHandle(place.error);
  if (!place.node) return FailHandle(kErrorPathNotFound);
  const auto folder = Follow(place.node);
  if (!folder) return FailHandle(kErrorPathNotFound);
  if (!folder->IsFolder()) return FailHandle(kErrorDirectory);

  const std::u16string upperPattern = Key(namePart);
  const auto entry = [this](const Node& node, std::u16string_view name) {
    FindData found;
    found.attributes = node.attributes != 0 ? node.attributes : kFileAttributeNormal;
    found.creationTime = node.created;
    found.lastAccessTime = node.accessed;
    found.lastWriteTime = node.written;
    found.size = node.IsFolder() ? 0 : node.data.size();
    found.reparseTag = node.reparseTag;
    found.name = ToAnsi(name);
    return found;
  };
  OpenSearch search;
  if (!parsed->parts.empty()) {
    // Folders below a root list themselves and their parent first.
    if (Matches(upperPattern, u".")) search.entries.push_back(entry(*folder, u"."));
    if (Matches(upperPattern, u"..")) {
      search.entries.push_back(entry(place.parent != nullptr ? *place.parent : *folder, u".."));
    }
  }
  for (const auto& [key, child] : folder->children) {
    if (Matches(upperPattern, key)) search.entries.push_back(entry(*child, child->name));
  }
  if (search.entries.empty()) return FailHandle(kErrorFileNotFound);
  data = search.entries.front();
  search.next = 1;
  lastError_ = kErrorSuccess;
  return NewHandle(std::move(search));
}

bool SimOs::FindNextFileA(Handle search, FindData& data) {
  OpenSearch* open = HandleAs<OpenSearch>(search);
  if (open == nullptr) return false;
  if (open->next >= open->entries.size()) return Fail(kErrorNoMoreFiles);
  data = open->entries[open->next++];
  return true;
}

bool SimOs::FindClose(Handle search) {
  if (HandleAs<OpenSearch>(search) == nullptr) return false;
  handles_.erase(search);
  return true;
}

}  // namespace os
