#include "CommandLine.h"

#include "os/Machine.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  for (;;) {
    while (i < commandLine.size() && IsBlank(commandLine[i]))
      ++i;
    if (i == commandLine.size()) break;
    std::string argument;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || !IsBlank(commandLine[i])); ++i) {
      if (commandLine[i] == '"') {
        quoted = !quoted;
      } else {
        argument += commandLine[i];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments = SplitCommandLine(os::Machine().CommandLine());
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

std::optional<std::string> HomeFolderSwitch(const std::vector<std::string>& arguments) {
  if (arguments.empty() || !arguments.front().starts_with("-d")) return std::nullopt;
  return arguments.front().substr(2);
}
