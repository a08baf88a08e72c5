// The simulated registry under HKEY_CURRENT_USER: keys by path compared without regard to
// case, values with their type and data, handles of open keys, and faults on demand.
#include "os/sim/SimOs.h"
#include "os/sim/SimText.h"

namespace os {
namespace {

constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegMultiSz = 7;

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

std::vector<std::u16string> SimOs::KeyParts(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

SimOs::RegKey* SimOs::FindKey(std::u16string_view path) const {
  const RegKey* key = &registry_;
  for (const std::u16string& part : KeyParts(path)) {
    const auto found = key->subkeys.find(Key(part));
    if (found == key->subkeys.end()) return nullptr;
    key = found->second.get();
  }
  return const_cast<RegKey*>(key);
}

SimOs::RegKey& SimOs::MakeKey(std::u16string_view path) {
  RegKey* key = &registry_;
  for (const std::u16string& part : KeyParts(path)) {
    auto& slot = key->subkeys[Key(part)];
    if (!slot) {
      slot = std::make_unique<RegKey>();
      slot->name = part;
    }
    key = slot.get();
  }
  return *key;
}

RegistryValue SimOs::ToRegistryValue(const RegValue& value) const {
  RegistryValue result;
  result.type = value.type;
  if (IsStringType(value.type)) {
    const std::string ansi = ToAnsi(value.text);
    result.data.assign(ansi.begin(), ansi.end());
  } else {
    result.data = value.data;
  }
  return result;
}

void SimOs::StoreValue(RegKey& key, std::u16string_view name, std::uint32_t type,
                       std::span<const std::uint8_t> data) {
  RegValue& value = key.values[Key(name)];
  value.name = name;
  value.type = type;
  value.data.clear();
  value.text.clear();
  if (IsStringType(type)) {
    value.text = Ansi(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  } else {
    value.data.assign(data.begin(), data.end());
  }
}

// ---- Test hooks ---------------------------------------------------------------------------

void SimOs::SetRegistryValue(std::string_view key, std::string_view name, std::uint32_t type,
                             const Bytes& data) {
  StoreValue(MakeKey(sim::Utf8ToWide(key)), sim::Utf8ToWide(name), type, data);
}

void SimOs::SetRegistryString(std::string_view key, std::string_view name, std::string_view text) {
  RegKey& stored = MakeKey(sim::Utf8ToWide(key));
  const std::u16string wideName = sim::Utf8ToWide(name);
  RegValue& value = stored.values[Key(wideName)];
  value.name = wideName;
  value.type = kRegSz;
  value.data.clear();
  value.text = sim::Utf8ToWide(text);
  value.text += u'\0';
}

void SimOs::SetRegistryDword(std::string_view key, std::string_view name, std::uint32_t value) {
  SetRegistryValue(
      key, name, kRegDword,
      Bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

std::optional<RegistryValue> SimOs::GetRegistryValue(std::string_view key,
                                                     std::string_view name) const {
  const RegKey* stored = FindKey(sim::Utf8ToWide(key));
  if (stored == nullptr) return std::nullopt;
  const auto found = stored->values.find(Key(sim::Utf8ToWide(name)));
  if (found == stored->values.end()) return std::nullopt;
  return ToRegistryValue(found->second);
}

std::optional<std::string> SimOs::GetRegistryString(std::string_view key,
                                                    std::string_view name) const {
  const RegKey* stored = FindKey(sim::Utf8ToWide(key));
  if (stored == nullptr) return std::nullopt;
  const auto found = stored->values.find(Key(sim::Utf8ToWide(name)));
  if (found == stored->values.end() || !IsStringType(found->second.type)) return std::nullopt;
  const std::u16string& text = found->second.text;
  return sim::WideToUtf8(std::u16string_view(text).substr(0, text.find(u'\0')));
}

bool SimOs::KeyExists(std::string_view key) const {
  return FindKey(sim::Utf8ToWide(key)) != nullptr;
}

void SimOs::FailKeyOpening(std::string_view key) {
  std::u16string joined;
  for (const auto& part : KeyParts(sim::Utf8ToWide(key)))
    joined += Key(part) + u"\\";
  failingKeys_.insert(joined);
}

// ---- Registry calls -----------------------------------------------------------------------

std::optional<KeyHandle> SimOs::RegCreateKeyCurrentUser(std::string_view path) {
  if (Ignored("RegCreateKeyCurrentUser " + std::string(path))) return std::nullopt;
  const std::u16string wide = Ansi(path);
  std::u16string joined;
  for (const auto& part : KeyParts(wide))
    joined += Key(part) + u"\\";
  if (failingKeys_.contains(joined)) {
    lastError_ = kErrorAccessDenied;
    return std::nullopt;
  }
  MakeKey(wide);
  const KeyHandle handle = nextKey_;
  nextKey_ += 4;
  openKeys_[handle] = wide;
  return handle;
}

std::optional<RegistryValue> SimOs::RegQueryValueExA(KeyHandle key, std::string_view name) {
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) {
    lastError_ = kErrorInvalidHandle;
    return std::nullopt;
  }
  if (const RegKey* stored = FindKey(open->second)) {
    const auto found = stored->values.find(Key(Ansi(name)));
    if (found != stored->values.end()) return ToRegistryValue(found->second);
  }
  lastError_ = kErrorFileNotFound;
  return std::nullopt;
}

bool SimOs::RegSetValueExA(KeyHandle key, std::string_view name, std::uint32_t type,
                           std::span<const std::uint8_t> data) {
  if (Ignored("RegSetValueExA " + std::string(name))) return false;
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return Fail(kErrorInvalidHandle);
  StoreValue(MakeKey(open->second), Ansi(name), type, data);
  registryWrites_.push_back({sim::WideToUtf8(open->second), sim::WideToUtf8(Ansi(name)), type,
                             Bytes(data.begin(), data.end())});
  return true;
}

bool SimOs::RegCloseKey(KeyHandle key) {
  if (openKeys_.erase(key) == 0) return Fail(kErrorInvalidHandle);
  return true;
}

}  // namespace os
