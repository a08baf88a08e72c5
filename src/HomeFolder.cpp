#include "HomeFolder.h"

#include "InstUtils.h"

namespace {

bool HasDrivePart(const std::string& text) {
  return (text.size() >= 2 && text[1] == ':') || text.starts_with("\\\\");
}

}  // namespace

std::string NormalizeHomeFolderText(std::string text, char selectorDrive,
                                    const std::string& programFiles) {
  // Only the space itself is trimmed: a tab typed into the path is left for the folder check
  // to refuse.
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
  } else {
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
  }

  // A relative text cannot be resolved against anything the user sees, so it is replaced by
  // the drive the selector shows rather than prefixed with it.
  if (!HasDrivePart(text)) text = std::string{selectorDrive, ':'};

  if (LastChar(text) == '\\') DropLastChar(text);

  // A drive alone, or the Program Files folder itself, is never the host's home: suggest the
  // host's default folder inside it.
  const auto cut = text.find_last_of("\\:");
  const bool lastComponentEmpty = cut != std::string::npos && cut + 1 == text.size();
  if (lastComponentEmpty || SamePath(text, programFiles)) {
    text = JoinPath(text, kDefaultHomeFolderName);
  }
  return text;
}
