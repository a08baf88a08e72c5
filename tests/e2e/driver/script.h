// The scenario language of the end-to-end driver: one command per line, words separated by
// blanks, "double quotes" with \" \\ \r \n \t escapes, 'single quotes' taken literally,
// ${NAME} replaced by an environment variable, key=value options, # comment lines.
// The whole script is parsed and checked before the first command runs, so a typo never
// leaves a half-driven program behind.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Command {
  int line = 0;
  std::wstring source;  // the line as written, for messages
  std::wstring name;
  std::vector<std::wstring> args;                // positional words
  std::map<std::wstring, std::wstring> options;  // key (with a trailing '~' for ~=) -> value
  std::wstring rest;  // start: the command line after the program, as written

  bool Has(const std::wstring& key) const { return options.count(key) != 0; }
  std::wstring Opt(const std::wstring& key, const std::wstring& fallback = L"") const {
    auto it = options.find(key);
    return it == options.end() ? fallback : it->second;
  }
};

struct ParseError {
  int line;
  std::wstring message;
};

// Looks up an environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::wstring>(const std::wstring&)>;

// Parses a whole script. On success returns true and fills `out`; otherwise fills `errors`
// with every problem found (one per line at most).
bool ParseScript(const std::wstring& text, const EnvLookup& env, std::vector<Command>& out,
                 std::vector<ParseError>& errors);

// Parses a number written in decimal, 0x hexadecimal or as a negative decimal.
std::optional<long long> ParseNumber(const std::wstring& s);

}  // namespace e2e
