// The plain classes under the controls: the root object, string lists with an object per
// line, and a file stream. 8-bit text throughout, in the system's ANSI code page.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "os/Types.h"

namespace ui {

// Root of the class tree: something an event can name as its sender, and what a list item
// can carry beside its text.
class TObject {
 public:
  virtual ~TObject() = default;
};

// A call on an object in a state that does not allow it: focusing a hidden control, showing
// a form modally twice.
class EInvalidOperation : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EInvalidOperation"; }
};

// An index outside a list.
class EListError : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EListError"; }
};

// Lines of text, each with an object reference that the list does not own. A control that
// shows a list is told of every change through OnChange (batched by BeginUpdate/EndUpdate).
class TStrings {
 public:
  TStrings() = default;
  TStrings(const TStrings& other);
  TStrings& operator=(const TStrings& other);
  virtual ~TStrings() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](int index) const { return At(index).text; }
  const std::string& Strings(int index) const { return At(index).text; }
  TObject* Objects(int index) const { return At(index).object; }
  void SetString(int index, std::string_view text);
  void SetObject(int index, TObject* object);

  int Add(std::string_view text) { return AddObject(text, nullptr); }
  int AddObject(std::string_view text, TObject* object);
  void Insert(int index, std::string_view text) { InsertObject(index, text, nullptr); }
  void InsertObject(int index, std::string_view text, TObject* object);
  void Delete(int index);
  void Clear();
  void Assign(const TStrings& other);

  // The first line equal to `text` without regard to case (the system's comparison), or -1.
  int IndexOf(std::string_view text) const;
  int IndexOfObject(const TObject* object) const;

  // All lines, each followed by a carriage return and a line feed.
  std::string Text() const;
  // Replaces the lines: a carriage return, a line feed or the two together end a line.
  void SetText(std::string_view text);

  // The quiet error when the file cannot be opened or read (see TFileStream).
  void LoadFromFile(std::string_view path);
  void SaveToFile(std::string_view path) const;

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  std::function<void()> OnChange;
  // Told at once (not batched) of each line inserted or deleted and of a replacement of all
  // lines, so that a list control keeps its selection on the same line.
  enum class Edit { Inserted, Deleted, Replaced };
  std::function<void(Edit, int index)> OnEdit;

 protected:
  void Changed();
  void Edited(Edit edit, int index) {
    if (OnEdit) OnEdit(edit, index);
  }

 private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  const Item& At(int index) const;

  std::vector<Item> items_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

using TStringList = TStrings;

// How a file stream opens its file.
enum class TFileMode {
  OpenRead,       // an existing file, for reading, shared for reading
  OpenReadWrite,  // an existing file, for reading and writing
  Create,         // created or emptied, for writing
};

// A file opened through the machine's file calls; the name is 8-bit text, widened with the
// system's ANSI code page. Every failure is the quiet error: a file that cannot be opened or
// created, and a read or write of fewer bytes than asked.
class TFileStream {
 public:
  TFileStream(std::string_view path, TFileMode mode);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::uint64_t Size() const;
  // Reads up to `size` bytes; gives the count read (fewer only at the end of the file).
  std::uint32_t Read(void* buffer, std::uint32_t size);
  std::uint32_t Write(const void* data, std::uint32_t size);
  // The whole count or the quiet error.
  void ReadBuffer(void* buffer, std::uint32_t size);
  void WriteBuffer(const void* data, std::uint32_t size);
  // Everything from the current position to the end.
  os::Bytes ReadAll();

 private:
  os::Handle handle_ = os::kInvalidHandle;
};

}  // namespace ui
