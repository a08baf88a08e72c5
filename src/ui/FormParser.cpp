#include "ui/FormParser.h"

#include <utility>

namespace ui::form {

namespace {

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string_view source)
      : tokens_(std::move(tokens)), source_(source) {}

  ObjectBlock Run() {
    SkipNewlines();
    if (!Peek().IsWord("object")) Fail(Peek(), "'object' and the form's name");
    ObjectBlock root = ReadObject();
    SkipNewlines();
    if (Peek().kind != TokenKind::End) {
      Fail(Peek(), "the end of the description after the form's 'end'");
    }
    return root;
  }

 private:
  const Token& Peek() const { return tokens_[index_]; }
  const Token& Take() {
    const Token& token = tokens_[index_];
    if (token.kind != TokenKind::End) ++index_;
    return token;
  }
  void SkipNewlines() {
    while (Peek().kind == TokenKind::Newline)
      ++index_;
  }

  [[noreturn]] void Fail(const Token& found, std::string_view expected) const {
    throw ErrorAt(source_, found.pos,
                  "expected " + std::string(expected) + ", found " + found.Describe());
  }

  const Token& Expect(TokenKind kind, std::string_view expected) {
    if (Peek().kind != kind) Fail(Peek(), expected);
    return Take();
  }
  void ExpectSign(char sign, std::string_view expected) {
    if (!Peek().IsSign(sign)) Fail(Peek(), expected);
    Take();
  }
  void ExpectLineEnd(std::string_view after) {
    if (Peek().kind == TokenKind::End) return;
    if (Peek().kind != TokenKind::Newline)
      Fail(Peek(), "the end of the line after " + std::string(after));
    Take();
  }

  // object Name: Kind, its properties, its objects, end.
  ObjectBlock ReadObject() {
    ObjectBlock block;
    block.pos = Take().pos;  // "object"
    block.name = Expect(TokenKind::Identifier, "the object's name after 'object'").text;
    ExpectSign(':', "':' and the kind after the object's name");
    const Token& kind = Expect(TokenKind::Identifier, "the object's kind after ':'");
    block.kind = kind.text;
    block.kindPos = kind.pos;
    ExpectLineEnd("the kind");

    while (true) {
      SkipNewlines();
      const Token& token = Peek();
      if (token.IsWord("end")) {
        Take();
        ExpectLineEnd("'end'");
        return block;
      }
      if (token.IsWord("object")) {
        block.children.push_back(ReadObject());
      } else if (token.kind == TokenKind::End) {
        throw ErrorAt(source_, token.pos,
                      "expected 'end' of " + block.name + " (opened at line " +
                          std::to_string(block.pos.line) + "), found the end of the description");
      } else if (token.kind == TokenKind::Identifier && !block.children.empty()) {
        Fail(token, "'object' or 'end' (the properties of " + block.name +
                        " come before the objects inside it)");
      } else if (token.kind == TokenKind::Identifier) {
        block.properties.push_back(ReadProperty());
      } else {
        Fail(token, "a property, 'object' or 'end'");
      }
    }
  }

  // Name[.Part...] = value
  PropertyLine ReadProperty() {
    const Token& first = Take();
    std::string name = first.text;
    while (Peek().IsSign('.')) {
      Take();
      name += "." + Expect(TokenKind::Identifier, "a name after '.'").text;
    }
    ExpectSign('=', "'=' after the property name " + name);
    const SourcePos valuePos = Peek().pos;
    PropertyValue value = ReadValue(name);
    ExpectLineEnd("the value of " + name);
    return PropertyLine{std::move(name), std::move(value), first.pos, valuePos};
  }

  PropertyValue ReadValue(const std::string& property) {
    const Token& token = Peek();
    switch (token.kind) {
      case TokenKind::Number:
        return Take().number;
      case TokenKind::Identifier:
        return Identifier{Take().text};
      case TokenKind::String: {
        std::string text = Take().text;
        while (Peek().IsSign('+')) {
          Take();
          SkipNewlines();
          text += Expect(TokenKind::String, "a quoted text after '+'").text;
        }
        return text;
      }
      case TokenKind::Sign:
        if (token.IsSign('[')) return ReadSet();
        break;
      default:
        break;
    }
    Fail(token,
         "the value of " + property + ": a number, a quoted text, an identifier or a set in [ ]");
  }

  // [a, b, c], possibly over several lines.
  PropertyValue ReadSet() {
    Take();  // [
    IdentifierSet set;
    SkipNewlines();
    if (Peek().IsSign(']')) {
      Take();
      return set;
    }
    while (true) {
      SkipNewlines();
      set.push_back(Expect(TokenKind::Identifier, "an identifier in the set").text);
      SkipNewlines();
      if (Peek().IsSign(']')) {
        Take();
        return set;
      }
      ExpectSign(',', "',' or ']' in the set");
    }
  }

  std::vector<Token> tokens_;
  size_t index_ = 0;
  std::string_view source_;
};

}  // namespace

ObjectBlock ParseForm(std::string_view text, std::string_view source) {
  return Parser(Tokenize(text, source), source).Run();
}

}  // namespace ui::form
