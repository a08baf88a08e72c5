// The words of a stored form description: identifiers, numbers, quoted texts, the signs
// = : . , + [ ] and the ends of lines, each with the place where it starts. Comments run
// from "#" to the end of the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"

namespace ui::form {

// A place in a description, counted from 1; columns count bytes.
struct SourcePos {
  int line = 1;
  int column = 1;
};

// The error of a description at a place: "<source>, line 3, column 7: <message>".
EFormError ErrorAt(std::string_view source, SourcePos pos, std::string_view message);

enum class TokenKind {
  Identifier,  // text: the name
  Number,      // number: the value
  String,      // text: the value with its escapes resolved
  Sign,        // text: the one character
  Newline,
  End,  // the end of the description
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  std::int64_t number = 0;
  SourcePos pos;

  bool IsSign(char c) const { return kind == TokenKind::Sign && text.size() == 1 && text[0] == c; }
  bool IsWord(std::string_view word) const { return kind == TokenKind::Identifier && text == word; }
  // How an error message names the token: "identifier Left", "number 12", "'='".
  std::string Describe() const;
};

// Splits a description into tokens, the last of them End. Raises EFormError at the first
// character that starts no token, a text without its closing quote, an unknown escape or a
// number out of range.
std::vector<Token> Tokenize(std::string_view text, std::string_view source);

}  // namespace ui::form
