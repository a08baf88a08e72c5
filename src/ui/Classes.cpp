#include "ui/Classes.h"

#include "os/Machine.h"

namespace ui {

// ---- TStrings ----------------------------------------------------------------------------

TStrings::TStrings(const TStrings& other) : items_(other.items_) {}

// The update count stays: it counts this list's BeginUpdate calls, not the other's.
// cppcheck-suppress operatorEqVarError
TStrings& TStrings::operator=(const TStrings& other) {
  Assign(other);
  return *this;
}

const TStrings::Item& TStrings::At(int index) const {
  if (index < 0 || index >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return items_[static_cast<size_t>(index)];
}

void TStrings::SetString(int index, std::string_view text) {
  At(index);
  items_[static_cast<size_t>(index)].text = text;
  Changed();
}

void TStrings::SetObject(int index, TObject* object) {
  At(index);
  items_[static_cast<size_t>(index)].object = object;
  Changed();
}

int TStrings::AddObject(std::string_view text, TObject* object) {
  items_.push_back({std::string(text), object});
  Edited(Edit::Inserted, Count() - 1);
  Changed();
  return Count() - 1;
}

void TStrings::InsertObject(int index, std::string_view text, TObject* object) {
  if (index < 0 || index > Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  items_.insert(items_.begin() + index, {std::string(text), object});
  Edited(Edit::Inserted, index);
  Changed();
}

void TStrings::Delete(int index) {
  At(index);
  items_.erase(items_.begin() + index);
  Edited(Edit::Deleted, index);
  Changed();
}

void TStrings::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Edited(Edit::Replaced, 0);
  Changed();
}

void TStrings::Assign(const TStrings& other) {
  if (&other == this) return;
  items_ = other.items_;
  Edited(Edit::Replaced, 0);
  Changed();
}

int TStrings::IndexOf(std::string_view text) const {
  auto& os = os::Machine();
  for (int i = 0; i < Count(); ++i) {
    if (os.CompareStringA(os::kNormIgnoreCase, items_[static_cast<size_t>(i)].text, text) ==
        os::kCstrEqual) {
      return i;
    }
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<size_t>(i)].object == object) return i;
  }
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (const auto& item : items_) {
    text += item.text;
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  items_.clear();
  Edited(Edit::Replaced, 0);
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      items_.push_back({std::string(text.substr(start, i - start)), nullptr});
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) items_.push_back({std::string(text.substr(start)), nullptr});
  Changed();
  EndUpdate();
}

void TStrings::LoadFromFile(std::string_view path) {
  TFileStream stream(path, TFileMode::OpenRead);
  const os::Bytes bytes = stream.ReadAll();
  SetText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TStrings::SaveToFile(std::string_view path) const {
  TFileStream stream(path, TFileMode::Create);
  const std::string text = Text();
  stream.WriteBuffer(text.data(), static_cast<std::uint32_t>(text.size()));
}

void TStrings::BeginUpdate() {
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    if (OnChange) OnChange();
  }
}

void TStrings::Changed() {
  if (updateCount_ > 0) {
    changedWhileUpdating_ = true;
  } else if (OnChange) {
    OnChange();
  }
}

// ---- TFileStream -------------------------------------------------------------------------

TFileStream::TFileStream(std::string_view path, TFileMode mode) {
  auto& os = os::Machine();
  // The 8-bit name is the system's ANSI text: widened with the ANSI code page, so that a
  // Cyrillic name on a Bulgarian system names the file that the user sees.
  const std::u16string wide = os.MultiByteToWide(0, path);
  switch (mode) {
    case TFileMode::OpenRead:
      handle_ = os.CreateFileW(wide, os::kGenericRead, os::kFileShareRead, os::kOpenExisting,
                               os::kFileAttributeNormal);
      break;
    case TFileMode::OpenReadWrite:
      handle_ = os.CreateFileW(wide, os::kGenericRead | os::kGenericWrite, 0, os::kOpenExisting,
                               os::kFileAttributeNormal);
      break;
    case TFileMode::Create:
      handle_ = os.CreateFileW(wide, os::kGenericRead | os::kGenericWrite, 0, os::kCreateAlways,
                               os::kFileAttributeNormal);
      break;
  }
  if (path.empty() || handle_ == os::kInvalidHandle) {
    handle_ = os::kInvalidHandle;
    throw EAbort();
  }
}

TFileStream::~TFileStream() {
  if (handle_ != os::kInvalidHandle) os::Machine().CloseHandle(handle_);
}

std::uint64_t TFileStream::Size() const {
  std::uint64_t size = 0;
  if (!os::Machine().GetFileSize(handle_, size)) throw EAbort();
  return size;
}

std::uint32_t TFileStream::Read(void* buffer, std::uint32_t size) {
  std::uint32_t read = 0;
  if (size == 0) return 0;
  if (!os::Machine().ReadFile(handle_, buffer, size, read)) return 0;
  return read;
}

std::uint32_t TFileStream::Write(const void* data, std::uint32_t size) {
  std::uint32_t written = 0;
  if (size == 0) return 0;
  if (!os::Machine().WriteFile(handle_, data, size, written)) return 0;
  return written;
}

void TFileStream::ReadBuffer(void* buffer, std::uint32_t size) {
  if (size != 0 && Read(buffer, size) != size) throw EAbort();
}

void TFileStream::WriteBuffer(const void* data, std::uint32_t size) {
  if (size != 0 && Write(data, size) != size) throw EAbort();
}

os::Bytes TFileStream::ReadAll() {
  os::Bytes bytes;
  std::uint8_t chunk[16384];
  for (;;) {
    const std::uint32_t read = Read(chunk, sizeof chunk);
    if (read == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return bytes;
}

}  // namespace ui
