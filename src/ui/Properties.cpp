#include "ui/Properties.h"

#include <limits>

namespace ui {

EFormError PropertyValue::BadValue(std::string_view property, std::string_view why) const {
  return EFormError("property " + std::string(property) + ": " + std::string(why) + " (" +
                    Describe() + ")");
}

std::string PropertyValue::Describe() const {
  if (const auto* n = std::get_if<std::int64_t>(&value_)) return "number " + std::to_string(*n);
  if (const auto* t = std::get_if<std::string>(&value_)) return "text '" + *t + "'";
  if (const auto* i = std::get_if<Identifier>(&value_)) return "identifier " + i->name;
  std::string set = "set [";
  const auto& items = std::get<IdentifierSet>(value_);
  for (size_t k = 0; k < items.size(); ++k) {
    if (k != 0) set += ", ";
    set += items[k];
  }
  return set + "]";
}

std::int64_t PropertyValue::AsNumber(std::string_view property) const {
  if (const auto* n = std::get_if<std::int64_t>(&value_)) return *n;
  throw BadValue(property, "a number was expected");
}

int PropertyValue::AsInt(std::string_view property) const {
  const std::int64_t n = AsNumber(property);
  if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) {
    throw BadValue(property, "the number is out of range");
  }
  return static_cast<int>(n);
}

std::string PropertyValue::AsText(std::string_view property) const {
  if (const auto* t = std::get_if<std::string>(&value_)) return *t;
  throw BadValue(property, "a quoted text was expected");
}

std::string PropertyValue::AsIdentifier(std::string_view property) const {
  if (const auto* i = std::get_if<Identifier>(&value_)) return i->name;
  throw BadValue(property, "an identifier was expected");
}

bool PropertyValue::AsBoolean(std::string_view property) const {
  if (const auto* i = std::get_if<Identifier>(&value_)) {
    if (i->name == "True") return true;
    if (i->name == "False") return false;
  }
  throw BadValue(property, "True or False was expected");
}

TColor PropertyValue::AsColor(std::string_view property) const {
  if (const auto* n = std::get_if<std::int64_t>(&value_)) {
    if (*n >= 0 && *n <= 0xFFFFFFFF) return static_cast<TColor>(*n);
    throw BadValue(property, "the colour is out of range");
  }
  if (const auto* i = std::get_if<Identifier>(&value_)) {
    if (const auto color = ColorFromName(i->name)) return *color;
    throw BadValue(property, "unknown colour");
  }
  throw BadValue(property, "a colour was expected");
}

const IdentifierSet& PropertyValue::AsSet(std::string_view property) const {
  if (const auto* s = std::get_if<IdentifierSet>(&value_)) return *s;
  throw BadValue(property, "a set was expected");
}

}  // namespace ui
