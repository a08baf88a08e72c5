#include "script.h"

#include <cwctype>
#include <set>

namespace e2e {
namespace {

struct Syntax {
  int min_args;
  int max_args;  // -1: any number
  std::set<std::wstring> options;
};

const std::map<std::wstring, Syntax>& CommandTable() {
  static const std::map<std::wstring, Syntax> table = {
      {L"set", {2, 2, {}}},
      {L"start", {1, 1, {L"cwd", L"timeout"}}},
      {L"wait-window",
       {0, 0, {L"class", L"title", L"title~", L"visible", L"process", L"timeout", L"as"}}},
      {L"wait-msgbox", {0, 0, {L"caption", L"text", L"text~", L"process", L"timeout", L"as"}}},
      {L"expect-msgbox",
       {0, 0, {L"caption", L"text", L"text~", L"buttons", L"icon", L"process", L"timeout"}}},
      {L"answer-msgbox", {1, 1, {L"timeout"}}},
      {L"wait-gone", {0, 1, {L"timeout"}}},
      {L"use", {1, 1, {}}},
      {L"click", {1, 1, {L"in", L"via", L"timeout"}}},
      {L"check", {1, 1, {L"in", L"timeout"}}},
      {L"uncheck", {1, 1, {L"in", L"timeout"}}},
      {L"type", {2, 2, {L"in", L"by"}}},
      {L"select", {1, 2, {L"in", L"index"}}},
      {L"expect-text", {1, 2, {L"in", L"text~", L"timeout"}}},
      {L"expect-state", {2, 2, {L"in", L"timeout"}}},
      {L"expect-items", {2, 2, {L"in", L"timeout"}}},
      {L"read-texts", {0, 1, {}}},
      {L"close", {0, 1, {}}},
      {L"key", {1, 2, {L"in"}}},
      {L"send-message", {4, 4, {L"expect", L"timeout"}}},
      {L"post-message", {4, 4, {}}},
      {L"wait-exit", {0, 0, {L"timeout"}}},
      {L"expect-exit", {1, 1, {L"timeout"}}},
      {L"kill", {0, 0, {}}},
      {L"screenshot", {1, 2, {}}},
      {L"expect-acp", {1, 1, {}}},
      {L"expect-no-msgbox", {0, 0, {L"process", L"timeout"}}},
      {L"expect-file", {1, 1, {L"size", L"text", L"mtime"}}},
      {L"expect-no-file", {1, 1, {}}},
      {L"expect-reg", {3, 3, {}}},
      {L"expect-no-reg", {2, 2, {}}},
      {L"sleep", {1, 1, {}}},
      {L"echo", {0, -1, {}}},
  };
  return table;
}

struct Word {
  std::wstring text;
  size_t eq = std::wstring::npos;  // position of the first '=' outside quotes
  size_t end = 0;                  // index in the line just after the word
};

class Lexer {
 public:
  Lexer(const std::wstring& line, const EnvLookup& env) : s_(line), env_(env) {}

  // Reads the next word; returns false at the end of the line. Errors go to `error`.
  bool Next(Word& w, std::wstring& error) {
    SkipBlanks();
    if (pos_ >= s_.size()) return false;
    w = Word{};
    while (pos_ < s_.size() && s_[pos_] != L' ' && s_[pos_] != L'\t') {
      wchar_t c = s_[pos_];
      if (c == L'"') {
        ++pos_;
        if (!ReadDoubleQuoted(w.text, error)) return false;
      } else if (c == L'\'') {
        size_t close = s_.find(L'\'', pos_ + 1);
        if (close == std::wstring::npos) {
          error = L"unterminated single quote";
          return false;
        }
        w.text.append(s_, pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
      } else if (c == L'$' && pos_ + 1 < s_.size() && s_[pos_ + 1] == L'{') {
        if (!ReadVariable(w.text, error)) return false;
      } else {
        if (c == L'=' && w.eq == std::wstring::npos) w.eq = w.text.size();
        w.text.push_back(c);
        ++pos_;
      }
    }
    w.end = pos_;
    return true;
  }

  // The rest of the line after the current position, blanks in front removed, with only
  // ${NAME} replaced: quotes and backslashes stay exactly as written.
  bool Rest(std::wstring& out, std::wstring& error) {
    SkipBlanks();
    out.clear();
    while (pos_ < s_.size()) {
      if (s_[pos_] == L'$' && pos_ + 1 < s_.size() && s_[pos_ + 1] == L'{') {
        if (!ReadVariable(out, error)) return false;
      } else {
        out.push_back(s_[pos_++]);
      }
    }
    while (!out.empty() && (out.back() == L' ' || out.back() == L'\t'))
      out.pop_back();
    return true;
  }

  size_t Position() const { return pos_; }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && (s_[pos_] == L' ' || s_[pos_] == L'\t'))
      ++pos_;
  }

  bool ReadDoubleQuoted(std::wstring& out, std::wstring& error) {
    while (pos_ < s_.size()) {
      wchar_t c = s_[pos_];
      if (c == L'"') {
        ++pos_;
        return true;
      }
      if (c == L'\\' && pos_ + 1 < s_.size()) {
        wchar_t n = s_[pos_ + 1];
        const wchar_t* repl = nullptr;
        switch (n) {
          case L'\\':
            repl = L"\\";
            break;
          case L'"':
            repl = L"\"";
            break;
          case L'r':
            repl = L"\r";
            break;
          case L'n':
            repl = L"\n";
            break;
          case L't':
            repl = L"\t";
            break;
          case L'$':
            repl = L"$";
            break;
          default:
            break;
        }
        if (repl) {
          out += repl;
          pos_ += 2;
          continue;
        }
      }
      if (c == L'$' && pos_ + 1 < s_.size() && s_[pos_ + 1] == L'{') {
        if (!ReadVariable(out, error)) return false;
        continue;
      }
      out.push_back(c);
      ++pos_;
    }
    error = L"unterminated double quote";
    return false;
  }

  bool ReadVariable(std::wstring& out, std::wstring& error) {
    size_t close = s_.find(L'}', pos_ + 2);
    if (close == std::wstring::npos) {
      error = L"unterminated ${";
      return false;
    }
    std::wstring name = s_.substr(pos_ + 2, close - pos_ - 2);
    auto value = env_(name);
    if (!value) {
      error = L"environment variable " + name + L" is not set";
      return false;
    }
    out += *value;
    pos_ = close + 1;
    return true;
  }

  const std::wstring& s_;
  const EnvLookup& env_;
  size_t pos_ = 0;
};

std::wstring Trim(const std::wstring& s) {
  size_t b = s.find_first_not_of(L" \t\r");
  if (b == std::wstring::npos) return L"";
  size_t e = s.find_last_not_of(L" \t\r");
  return s.substr(b, e - b + 1);
}

std::wstring JoinKeys(const std::set<std::wstring>& keys) {
  std::wstring r;
  for (const auto& k : keys) {
    if (!r.empty()) r += L", ";
    r += k;
  }
  return r.empty() ? L"none" : r;
}

bool ParseLine(const std::wstring& line, const EnvLookup& env, Command& cmd, std::wstring& err) {
  Lexer lex(line, env);
  Word w;
  if (!lex.Next(w, err)) return false;
  cmd.name = w.text;
  auto it = CommandTable().find(cmd.name);
  if (it == CommandTable().end()) {
    err = L"unknown command '" + cmd.name + L"'";
    return false;
  }
  const Syntax& syn = it->second;

  while (true) {
    size_t before = lex.Position();
    if (!lex.Next(w, err)) {
      if (!err.empty()) return false;
      break;
    }
    if (cmd.name == L"start" && w.eq == std::wstring::npos) {
      // The program, then the command line: the program and its arguments exactly as
      // written, with only ${NAME} replaced, so that quoting can be tested.
      cmd.args.push_back(w.text);
      std::wstring from_program = line.substr(before);
      Lexer raw(from_program, env);
      if (!raw.Rest(cmd.rest, err)) return false;
      break;
    }
    if (w.eq != std::wstring::npos && w.eq > 0) {
      std::wstring key = w.text.substr(0, w.eq);
      if (!syn.options.count(key)) {
        err = L"unknown option '" + key + L"' for " + cmd.name + L" (known: " +
              JoinKeys(syn.options) + L")";
        return false;
      }
      if (cmd.options.count(key)) {
        err = L"option '" + key + L"' given twice";
        return false;
      }
      cmd.options[key] = w.text.substr(w.eq + 1);
      continue;
    }
    cmd.args.push_back(w.text);
  }

  int n = static_cast<int>(cmd.args.size());
  if (n < syn.min_args || (syn.max_args >= 0 && n > syn.max_args)) {
    err = cmd.name + L" takes ";
    if (syn.min_args == syn.max_args) {
      err += std::to_wstring(syn.min_args);
    } else if (syn.max_args < 0) {
      err += L"at least " + std::to_wstring(syn.min_args);
    } else {
      err += std::to_wstring(syn.min_args) + L" to " + std::to_wstring(syn.max_args);
    }
    err += L" word(s) besides options, got " + std::to_wstring(n);
    return false;
  }
  // Options whose value must be a number are checked here, not halfway through a run.
  for (const wchar_t* key : {L"timeout", L"index", L"size"}) {
    if (cmd.Has(key) && !ParseNumber(cmd.Opt(key))) {
      err = std::wstring(L"option '") + key + L"' needs a number, got '" + cmd.Opt(key) + L"'";
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<long long> ParseNumber(const std::wstring& s) {
  if (s.empty()) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (s[0] == L'-') {
    negative = true;
    i = 1;
  }
  int base = 10;
  if (s.size() > i + 2 && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  unsigned long long v = 0;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    int d;
    if (c >= L'0' && c <= L'9') {
      d = c - L'0';
    } else if (base == 16 && std::iswxdigit(c)) {
      d = (std::towlower(c) - L'a') + 10;
    } else {
      return std::nullopt;
    }
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  long long r = static_cast<long long>(v);
  return negative ? -r : r;
}

bool ParseScript(const std::wstring& text, const EnvLookup& env, std::vector<Command>& out,
                 std::vector<ParseError>& errors) {
  out.clear();
  errors.clear();
  size_t pos = 0;
  int line_no = 0;
  while (pos <= text.size()) {
    size_t nl = text.find(L'\n', pos);
    if (nl == std::wstring::npos) nl = text.size();
    std::wstring line = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++line_no;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    std::wstring trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == L'#') continue;
    Command cmd;
    cmd.line = line_no;
    cmd.source = trimmed;
    std::wstring err;
    if (ParseLine(trimmed, env, cmd, err)) {
      out.push_back(std::move(cmd));
    } else {
      errors.push_back({line_no, err});
    }
  }
  return errors.empty();
}

}  // namespace e2e
