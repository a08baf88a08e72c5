#include "ui/FormLexer.h"

#include <cstdio>

namespace ui::form {

EFormError ErrorAt(std::string_view source, SourcePos pos, std::string_view message) {
  return EFormError(std::string(source) + ", line " + std::to_string(pos.line) + ", column " +
                    std::to_string(pos.column) + ": " + std::string(message));
}

std::string Token::Describe() const {
  switch (kind) {
    case TokenKind::Identifier:
      return "identifier " + text;
    case TokenKind::Number:
      return "number " + std::to_string(number);
    case TokenKind::String:
      return "text \"" + (text.size() > 20 ? text.substr(0, 20) + "..." : text) + "\"";
    case TokenKind::Sign:
      return "'" + text + "'";
    case TokenKind::Newline:
      return "the end of the line";
    case TokenKind::End:
      return "the end of the description";
  }
  return "?";
}

namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Printable(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", byte);
  return std::string("byte ") + hex;
}

class Lexer {
 public:
  Lexer(std::string_view text, std::string_view source) : text_(text), source_(source) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    while (true) {
      SkipBlanksAndComment();
      Token token;
      token.pos = pos_;
      if (AtEnd()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = Peek();
      if (c == '\n' || c == '\r') {
        // A line ends with LF, CR LF or a lone CR.
        Advance();
        if (c == '\r' && !AtEnd() && Peek() == '\n') Advance();
        token.kind = TokenKind::Newline;
      } else if (IsLetter(c)) {
        token.kind = TokenKind::Identifier;
        while (!AtEnd() && (IsLetter(Peek()) || IsDigit(Peek())))
          token.text += Advance();
      } else if (IsDigit(c) || (c == '-' && IsDigit(PeekAt(1)))) {
        token.kind = TokenKind::Number;
        token.number = ReadNumber();
      } else if (c == '"') {
        token.kind = TokenKind::String;
        token.text = ReadString();
      } else if (std::string_view("=:.,+[]").find(c) != std::string_view::npos) {
        token.kind = TokenKind::Sign;
        token.text = std::string(1, Advance());
      } else {
        throw ErrorAt(source_, pos_,
                      "unexpected " + Printable(c) +
                          "; expected a name, a number, a quoted text, a sign or a comment");
      }
      tokens.push_back(std::move(token));
    }
  }

 private:
  bool AtEnd() const { return offset_ >= text_.size(); }
  char Peek() const { return text_[offset_]; }
  char PeekAt(size_t ahead) const {
    return offset_ + ahead < text_.size() ? text_[offset_ + ahead] : '\0';
  }
  char Advance() {
    const char c = text_[offset_++];
    if (c == '\n' || (c == '\r' && (AtEnd() || Peek() != '\n'))) {
      ++pos_.line;
      pos_.column = 1;
    } else if (c != '\r') {
      ++pos_.column;
    }
    return c;
  }

  void SkipBlanksAndComment() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t'))
      Advance();
    if (!AtEnd() && Peek() == '#') {
      while (!AtEnd() && Peek() != '\n' && Peek() != '\r')
        Advance();
    }
  }

  std::int64_t ReadNumber() {
    const SourcePos start = pos_;
    const bool negative = Peek() == '-';
    if (negative) Advance();
    std::int64_t value = 0;
    int base = 10;
    if (Peek() == '0' && (PeekAt(1) == 'x' || PeekAt(1) == 'X')) {
      base = 16;
      Advance();
      Advance();
      if (AtEnd() || HexValue(Peek()) < 0) {
        throw ErrorAt(source_, start, "expected hexadecimal digits after 0x");
      }
    }
    while (!AtEnd() && (base == 16 ? HexValue(Peek()) >= 0 : IsDigit(Peek()))) {
      value = value * base + HexValue(Advance());
      if (value > 0xFFFFFFFFLL) throw ErrorAt(source_, start, "the number is too large");
    }
    if (!AtEnd() && (IsLetter(Peek()) || IsDigit(Peek()))) {
      throw ErrorAt(source_, pos_,
                    "unexpected " + Printable(Peek()) + " in a number; expected a blank or a sign");
    }
    return negative ? -value : value;
  }

  std::string ReadString() {
    const SourcePos start = pos_;
    Advance();  // the opening quote
    std::string value;
    while (true) {
      if (AtEnd() || Peek() == '\n' || Peek() == '\r') {
        throw ErrorAt(source_, start,
                      "unterminated text: expected a closing '\"' before the end of the line");
      }
      const SourcePos at = pos_;
      const char c = Advance();
      if (c == '"') return value;
      if (c != '\\') {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
          throw ErrorAt(source_, at, "a control character inside a quoted text; write \\r or \\n");
        }
        value += c;
        continue;
      }
      const SourcePos escape = at;
      const char e = AtEnd() ? '\0' : Advance();
      switch (e) {
        case 'r':
          value += '\r';
          break;
        case 'n':
          value += '\n';
          break;
        case 't':
          value += '\t';
          break;
        case '"':
          value += '"';
          break;
        case '\\':
          value += '\\';
          break;
        default:
          throw ErrorAt(source_, escape,
                        "unknown escape; expected one of \\r \\n \\t \\\" \\\\ after a backslash");
      }
    }
  }

  std::string_view text_;
  std::string_view source_;
  size_t offset_ = 0;
  SourcePos pos_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view text, std::string_view source) {
  return Lexer(text, source).Run();
}

}  // namespace ui::form
