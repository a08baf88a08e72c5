// The contract suite: one set of tests that runs natively against the simulated machine and,
// cross-built, against the real one under Wine. A test states what Windows does; when both
// runs pass, the simulated machine answers the way the real one does for what the units use.
//
// Each build provides MakeEnvironment(): tests/contract/sim/ with a fresh SimOs per test,
// tests/contract/win32/ with Win32Os and a scratch folder under the real temp folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/Os.h"

namespace contract {

// One machine prepared for one test. Destroying it removes the scratch folder and the
// registry key again, as far as that is possible.
class Environment {
 public:
  virtual ~Environment() = default;
  virtual os::Os& Machine() = 0;

  // An empty folder of this test alone: an absolute 8-bit path with a final backslash.
  std::string scratch;
  // A registry key path under HKEY_CURRENT_USER of this test alone (it may not exist yet).
  std::string registryKey;
  // The simulated machine, which can stage what a real one under Wine cannot.
  bool simulated = false;
  // Whether a read-only file refuses to be opened for writing. Wine run by the superuser
  // lets it be: its files are Unix files, and the superuser passes every permission check.
  bool readOnlyRefusesWriting = true;
};

std::unique_ptr<Environment> MakeEnvironment();

// Base of every contract test: a fresh environment, helpers that speak through the port
// only, and the current directory put back after the test.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeEnvironment();
    ASSERT_TRUE(env_ != nullptr);
    ASSERT_FALSE(env_->scratch.empty());
    ASSERT_EQ(env_->scratch.back(), '\\');
    savedDirectory_ = os().GetCurrentDirectoryA();
    ASSERT_TRUE(savedDirectory_.has_value());
  }

  void TearDown() override {
    if (env_ == nullptr) return;
    if (savedDirectory_) os().SetCurrentDirectoryA(*savedDirectory_);
    env_.reset();
  }

  os::Os& os() { return env_->Machine(); }
  Environment& env() { return *env_; }
  const std::string& scratch() const { return env_->scratch; }
  std::string At(std::string_view name) const { return env_->scratch + std::string(name); }

  // 8-bit paths are widened with the ANSI code page, as the 8-bit calls read them.
  std::u16string Wide(std::string_view path) { return os().MultiByteToWide(0, path); }

  os::Handle Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                  std::uint32_t disposition, std::uint32_t attributes = os::kFileAttributeNormal) {
    return os().CreateFileW(Wide(path), access, share, disposition, attributes);
  }

  // Creates (or replaces) a file holding `bytes`; false when the system refuses.
  bool MakeFile(std::string_view path, std::string_view bytes = {},
                std::uint32_t attributes = os::kFileAttributeNormal) {
    os::Handle file =
        Open(path, os::kGenericRead | os::kGenericWrite, 0, os::kCreateAlways, attributes);
    if (file == os::kInvalidHandle) return false;
    std::uint32_t written = 0;
    bool ok =
        os().WriteFile(file, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written) &&
        written == bytes.size();
    return os().CloseHandle(file) && ok;
  }

  bool MakeFolder(std::string_view path) { return os().CreateDirectoryW(Wide(path)); }

  // The whole content of a file, or nothing when it cannot be opened for reading.
  std::optional<std::string> ReadAll(std::string_view path) {
    os::Handle file =
        Open(path, os::kGenericRead,
             os::kFileShareRead | os::kFileShareWrite | os::kFileShareDelete, os::kOpenExisting);
    if (file == os::kInvalidHandle) return std::nullopt;
    std::string content;
    char buffer[4096];
    for (;;) {
      std::uint32_t read = 0;
      if (!os().ReadFile(file, buffer, sizeof buffer, read)) {
        os().CloseHandle(file);
        return std::nullopt;
      }
      if (read == 0) break;
      content.append(buffer, read);
    }
    os().CloseHandle(file);
    return content;
  }

  // Every entry a search gives, in the order it gives them; empty when nothing matches.
  std::vector<os::FindData> FindAll(std::string_view pattern, bool onlyDirectories = false) {
    std::vector<os::FindData> found;
    os::FindData data;
    os::Handle search = os().FindFirstFileA(pattern, data, onlyDirectories);
    if (search == os::kInvalidHandle) return found;
    do {
      found.push_back(data);
    } while (os().FindNextFileA(search, data));
    os().FindClose(search);
    return found;
  }

  // The names of a search, sorted, so that tests do not depend on the order of the folder.
  std::vector<std::string> FindNames(std::string_view pattern, bool onlyDirectories = false) {
    std::vector<std::string> names;
    for (const os::FindData& entry : FindAll(pattern, onlyDirectories)) {
      names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::optional<os::FindData> FindOne(std::string_view path) {
    std::vector<os::FindData> found = FindAll(path);
    if (found.size() != 1) return std::nullopt;
    return found.front();
  }

  std::string CurrentDirectory() { return os().GetCurrentDirectoryA().value_or("<none>"); }

 private:
  std::unique_ptr<Environment> env_;
  std::optional<std::string> savedDirectory_;
};

}  // namespace contract
