// The simulated machine's defaults, its process and module, the scripted user who answers
// message boxes, libraries and the windows of the desktop.
#include "os/sim/SimOs.h"

#include <algorithm>

#include "os/sim/SimText.h"

namespace os {
namespace {

constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057);
constexpr std::int32_t kEPointer = static_cast<std::int32_t>(0x80004003);
constexpr std::string_view kFolderPathFunction = "SHGetFolderPathA";
constexpr ProcAddress kFolderPathBase = 0x7E000000;
constexpr LibraryHandle kLibraryBase = 0x6F000000;
constexpr LibraryHandle kLibraryStride = 0x10000;

bool SameAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return sim::UpperChar(static_cast<unsigned char>(x)) ==
                  sim::UpperChar(static_cast<unsigned char>(y));
         });
}

}  // namespace

SimOs::SimOs() {
  now_ = ToFileTime(2024, 5, 1, 10, 0, 0, 0);  // 12:00 local at UTC+2
  AddDrive('C', DriveSpec{.volumeName = "System"});
  for (const char* folder : {"C:\\Users\\User\\AppData\\Local\\Temp", "C:\\Users\\User\\Documents",
                             "C:\\ProgramData", "C:\\Program Files", "C:\\Windows\\System32"}) {
    AddFolder(folder);
  }
  tempPath_ = u"C:\\Users\\User\\AppData\\Local\\Temp\\";
  specialFolders_[kCsidlPersonal] = {u"C:\\Users\\User\\Documents", 0};
  specialFolders_[kCsidlCommonAppData] = {u"C:\\ProgramData", 0};
  specialFolders_[kCsidlProgramFiles] = {u"C:\\Program Files", 0};
  libraries_ = {{"shell32.dll", true, true}, {"shfolder.dll", true, true}};
  commandLine_ = "\"C:\\Users\\User\\Downloads\\setup.exe\"";
}

SimOs::~SimOs() = default;

bool SimOs::Ignored(std::string_view call) {
  if (!exitCode_) return false;
  ignoredAfterExit_.emplace_back(call);
  return true;
}

// ---- Module and process -----------------------------------------------------------------

void SimOs::SetResource(std::string_view name, std::string_view type, Bytes bytes) {
  for (Resource& resource : resources_) {
    if (SameAscii(resource.name, name) && SameAscii(resource.type, type)) {
      resource.bytes = std::move(bytes);
      return;
    }
  }
  resources_.push_back({std::string(name), std::string(type), std::move(bytes)});
}

std::optional<std::span<const std::uint8_t>> SimOs::FindResource(std::string_view name,
                                                                 std::string_view type) {
  for (const Resource& resource : resources_) {
    if (SameAscii(resource.name, name) && SameAscii(resource.type, type)) {
      return std::span<const std::uint8_t>(resource.bytes);
    }
  }
  lastError_ = 1814;  // ERROR_RESOURCE_NAME_NOT_FOUND
  return std::nullopt;
}

void SimOs::SetCommandLine(std::string_view commandLine) {
  commandLine_ = commandLine;
}

std::string SimOs::CommandLine() {
  return commandLine_;
}

void SimOs::RestrictDllSearch() {
  ++restrictDllSearchCount_;
  journal_.emplace_back("RestrictDllSearch");
}

void SimOs::ExitProcess(std::uint32_t code) {
  if (!exitCode_) exitCode_ = code;
  journal_.push_back("ExitProcess " + std::to_string(code));
  throw ProcessExit{code};
}

void SimOs::OleInitialize() {
  ++oleInitializeCount_;
  journal_.emplace_back("OleInitialize");
}

void SimOs::OleUninitialize() {
  ++oleUninitializeCount_;
  journal_.emplace_back("OleUninitialize");
}

void SimOs::SetLibrary(std::string_view name, bool exists, bool exportsFolderPath) {
  for (Library& library : libraries_) {
    if (SameAscii(library.name, name)) {
      library.exists = exists;
      library.exportsFolderPath = exportsFolderPath;
      return;
    }
  }
  libraries_.push_back({std::string(name), exists, exportsFolderPath});
}

LibraryHandle SimOs::LoadSystemLibrary(std::string_view name) {
  libraryRequests_.emplace_back(name);
  journal_.push_back("LoadSystemLibrary " + std::string(name));
  for (std::size_t i = 0; i < libraries_.size(); ++i) {
    if (libraries_[i].exists && SameAscii(libraries_[i].name, name)) {
      return kLibraryBase + i * kLibraryStride;
    }
  }
  lastError_ = kErrorModNotFound;
  return 0;
}

ProcAddress SimOs::GetProcAddress(LibraryHandle library, std::string_view name) {
  journal_.push_back("GetProcAddress " + std::string(name));
  if (library < kLibraryBase || (library - kLibraryBase) % kLibraryStride != 0) {
    lastError_ = kErrorInvalidHandle;
    return 0;
  }
  const std::size_t index = (library - kLibraryBase) / kLibraryStride;
  if (index >= libraries_.size() || !libraries_[index].exists) {
    lastError_ = kErrorInvalidHandle;
    return 0;
  }
  // Export names are case-sensitive.
  if (name != kFolderPathFunction || !libraries_[index].exportsFolderPath) {
    lastError_ = kErrorProcNotFound;
    return 0;
  }
  return kFolderPathBase + index * 0x100;
}

void SimOs::SetSpecialFolder(int csidl, std::string_view path) {
  specialFolders_[csidl] = {sim::Utf8ToWide(path), 0};
}

void SimOs::FailSpecialFolder(int csidl, std::int32_t hresult) {
  specialFolders_[csidl] = {u"", hresult};
}

std::int32_t SimOs::CallFolderPathA(ProcAddress function, int csidl, std::string& path) {
  if (function < kFolderPathBase || (function - kFolderPathBase) / 0x100 >= libraries_.size()) {
    return kEPointer;
  }
  const auto found = specialFolders_.find(csidl);
  if (found == specialFolders_.end()) return kEInvalidArg;
  if (found->second.result != 0) return found->second.result;
  path = ToAnsi(found->second.path);
  return 0;
}

std::uint32_t SimOs::WinExec(std::string_view commandLine, int show) {
  if (Ignored("WinExec")) return 0;
  winExecCalls_.push_back({std::string(commandLine), show});
  journal_.push_back("WinExec " + std::string(commandLine));
  return winExecResult_;
}

// ---- Message boxes -----------------------------------------------------------------------

void SimOs::AnswerNextBox(int answer) {
  answers_.emplace_back(answer);
}

void SimOs::AnswerNextBox(std::function<int(const MessageBoxCall&)> answer) {
  answers_.emplace_back(std::move(answer));
}

void SimOs::SetBoxResponder(std::function<int(const MessageBoxCall&)> responder) {
  responder_ = std::move(responder);
}

namespace {

// The scripted user answers one box. The answer is taken off the queue before a callback
// runs, so that a callback may itself cause (and script) further boxes.
int AskUser(std::deque<std::variant<int, std::function<int(const MessageBoxCall&)>>>& answers,
            const std::function<int(const MessageBoxCall&)>& responder,
            const MessageBoxCall& call) {
  if (!answers.empty()) {
    auto answer = std::move(answers.front());
    answers.pop_front();
    if (const int* value = std::get_if<int>(&answer)) return *value;
    return std::get<std::function<int(const MessageBoxCall&)>>(answer)(call);
  }
  if (responder) return responder(call);
  throw UnexpectedMessageBox{call.utf8Text};
}

}  // namespace

int SimOs::MessageBoxExW(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                         std::uint32_t style, std::uint16_t language) {
  MessageBoxCall call;
  call.wide = true;
  call.owner = owner;
  call.text = text;
  call.utf8Text = sim::WideToUtf8(text);
  call.caption = std::u16string(caption);
  call.utf8Caption = sim::WideToUtf8(caption);
  call.style = style;
  call.language = language;
  if (Ignored("MessageBoxExW " + call.utf8Text)) return 0;
  boxes_.push_back(call);
  const std::size_t index = boxes_.size() - 1;
  const int answer = AskUser(answers_, responder_, call);
  boxes_[index].answer = answer;
  return answer;
}

int SimOs::MessageBoxA(WindowHandle owner, std::string_view text,
                       std::optional<std::string_view> caption, std::uint32_t style) {
  MessageBoxCall call;
  call.wide = false;
  call.owner = owner;
  call.text = Ansi(text);
  call.utf8Text = sim::WideToUtf8(call.text);
  call.ansiText = std::string(text);
  if (caption) {
    call.caption = Ansi(*caption);
    call.utf8Caption = sim::WideToUtf8(*call.caption);
  }
  call.style = style;
  if (Ignored("MessageBoxA " + call.utf8Text)) return 0;
  boxes_.push_back(call);
  const std::size_t index = boxes_.size() - 1;
  const int answer = AskUser(answers_, responder_, call);
  boxes_[index].answer = answer;
  return answer;
}

// ---- Windows of the desktop --------------------------------------------------------------

WindowHandle SimOs::AddWindow(const std::map<std::string, std::uintptr_t>& properties) {
  Window window;
  window.handle = nextWindow_;
  nextWindow_ += 0x10;
  for (auto& [name, value] : properties) {
    window.properties[sim::UpperText(sim::Utf8ToWide(name))] = value;
  }
  windows_.push_back(std::move(window));
  return windows_.back().handle;
}

void SimOs::RemoveWindow(WindowHandle window) {
  std::erase_if(windows_, [window](const Window& w) { return w.handle == window; });
}

void SimOs::SetWindowProperty(WindowHandle window, std::string_view name, std::uintptr_t value) {
  for (Window& w : windows_) {
    if (w.handle == window) w.properties[sim::UpperText(sim::Utf8ToWide(name))] = value;
  }
}

void SimOs::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
  // The visitor may add or remove windows; it sees the windows that existed at the start.
  std::vector<WindowHandle> handles;
  for (const Window& w : windows_)
    handles.push_back(w.handle);
  for (WindowHandle handle : handles) {
    if (!visit(handle)) return;
  }
}

std::uintptr_t SimOs::GetPropA(WindowHandle window, std::string_view name) {
  for (const Window& w : windows_) {
    if (w.handle != window) continue;
    const auto found = w.properties.find(sim::UpperText(Ansi(name)));
    return found != w.properties.end() ? found->second : 0;
  }
  lastError_ = 1400;  // ERROR_INVALID_WINDOW_HANDLE
  return 0;
}

}  // namespace os
