// Values of published properties, as a stored form description gives them: a number, a
// quoted text, an identifier (True, alTop, clNavy, the name of a control or a handler) or a
// set of identifiers ([fsBold]). Each control kind reads them through its property table;
// a value of the wrong sort is an EFormError that names the property.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "Errors.h"
#include "ui/Graphics.h"

namespace ui {

struct Identifier {
  std::string name;
  friend bool operator==(const Identifier&, const Identifier&) = default;
};

using IdentifierSet = std::vector<std::string>;

class PropertyValue {
 public:
  PropertyValue(std::int64_t number) : value_(number) {}
  PropertyValue(int number) : value_(static_cast<std::int64_t>(number)) {}
  PropertyValue(std::string text) : value_(std::move(text)) {}
  PropertyValue(const char* text) : value_(std::string(text)) {}
  PropertyValue(Identifier identifier) : value_(std::move(identifier)) {}
  PropertyValue(IdentifierSet set) : value_(std::move(set)) {}
  // True and False as identifiers, the way a description writes them.
  static PropertyValue Boolean(bool value) { return Identifier{value ? "True" : "False"}; }

  bool IsNumber() const { return std::holds_alternative<std::int64_t>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsIdentifier() const { return std::holds_alternative<Identifier>(value_); }
  bool IsSet() const { return std::holds_alternative<IdentifierSet>(value_); }

  // Each gives the value or raises EFormError naming `property`.
  std::int64_t AsNumber(std::string_view property) const;
  int AsInt(std::string_view property) const;
  std::string AsText(std::string_view property) const;
  std::string AsIdentifier(std::string_view property) const;
  bool AsBoolean(std::string_view property) const;
  // A number (0x00BBGGRR or a system colour) or a colour identifier such as clNavy.
  TColor AsColor(std::string_view property) const;
  const IdentifierSet& AsSet(std::string_view property) const;
  // An identifier from a fixed list of names, as the value paired with it.
  template <typename E>
  E AsEnum(std::string_view property,
           std::initializer_list<std::pair<std::string_view, E>> names) const {
    const std::string name = AsIdentifier(property);
    for (const auto& [n, e] : names) {
      if (n == name) return e;
    }
    throw BadValue(property, "unknown value " + name);
  }

  std::string Describe() const;

 private:
  EFormError BadValue(std::string_view property, std::string_view why) const;

  std::variant<std::int64_t, std::string, Identifier, IdentifierSet> value_;
};

// The published properties of one class: names with a setter each. A class's table is
// consulted first, then its base class's, so that a derived kind adds only its own entries.
template <typename T>
class PropertyTable {
 public:
  using Setter = std::function<void(T&, const PropertyValue&, std::string_view name)>;
  PropertyTable(std::initializer_list<std::pair<std::string_view, Setter>> entries)
      : entries_(entries) {}

  // False when the table does not know the name.
  bool Apply(T& object, std::string_view name, const PropertyValue& value) const {
    for (const auto& [n, setter] : entries_) {
      if (n == name) {
        setter(object, value, name);
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<std::pair<std::string_view, Setter>> entries_;
};

}  // namespace ui
