// The structure of a stored form description: one object (the form) holding its properties
// and, after them, the objects that lie inside it, each the same way.
//
//   object MainDlgForm: TMainDlgForm      # name and kind
//     ClientWidth = 492                   # a number (also -3, 0x800000)
//     BorderIcons = [biSystemMenu]        # a set of identifiers
//     OnCloseQuery = FormCloseQuery       # an identifier: an enum value, a colour, True,
//                                         # False, a control or a handler of the form
//     object TopLbl: TLabel
//       Font.Name = "Arial"               # a quoted text; \r \n \t \" \\ are escapes
//       Caption = "first line\r" +        # texts joined with + may go on the next line
//                 "second line"
//     end
//   end
//
// One property per line; blank lines and comments (from "#") anywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/FormLexer.h"
#include "ui/Properties.h"

namespace ui::form {

struct PropertyLine {
  std::string name;  // dotted for a part of a property: Font.Style
  PropertyValue value;
  SourcePos pos;       // of the name
  SourcePos valuePos;  // of the value
};

struct ObjectBlock {
  std::string name;
  std::string kind;
  SourcePos pos;      // of "object"
  SourcePos kindPos;  // of the kind
  std::vector<PropertyLine> properties;
  std::vector<ObjectBlock> children;  // in description order
};

// Reads a whole description; EFormError naming the line and column of the first fault and
// what was expected there.
ObjectBlock ParseForm(std::string_view text, std::string_view source);

}  // namespace ui::form
