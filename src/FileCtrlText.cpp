#include "FileCtrlText.h"

#include "os/Machine.h"

namespace filectrl {

LeadByteTest MachineLeadBytes() {
  os::Os& os = os::Machine();
  if (!os.IsDbcsCodePage()) return [](std::uint8_t) { return false; };
  return [&os](std::uint8_t byte) { return os.IsDbcsLeadByte(byte); };
}

char UpperLetter(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t LastSeparator(std::string_view path, bool colonToo, const LeadByteTest& isLead) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' || (colonToo && c == ':')) {
      last = i;
    } else if (isLead(static_cast<std::uint8_t>(c))) {
      ++i;  // the trail byte is part of this character
    }
  }
  return last;
}

int CountBackslashes(std::string_view path, const LeadByteTest& isLead) {
  int count = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\') {
      ++count;
    } else if (isLead(static_cast<std::uint8_t>(c))) {
      ++i;
    }
  }
  return count;
}

void LowerAsciiLetters(std::string& text, const LeadByteTest& isLead) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char& c = text[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    } else if (isLead(static_cast<std::uint8_t>(c))) {
      ++i;
    }
  }
}

void LowerVolumeText(std::string& text) {
  os::Os& os = os::Machine();
  if (os.IsDbcsCodePage()) {
    LowerAsciiLetters(text, MachineLeadBytes());
  } else {
    os.CharLowerBuffA(text);
  }
}

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char letter = UpperLetter(path[0]);
  return letter >= 'A' && letter <= 'Z';
}

}  // namespace filectrl
