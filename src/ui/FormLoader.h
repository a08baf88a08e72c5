// The form loader: builds a form's controls from a stored form description (the format is
// described in ui/FormParser.h), and the registry of the control kinds that a description
// may name.
//
// The root object of a description is the form itself: its kind must be the form's class
// name, its name becomes the form's name and its properties are set on the form. Every
// object inside it is made by its kind's factory with the form as owner, named, put into
// the object around it as parent, and given its properties by name through the class
// library's property tables, in description order (so a control lies above the ones
// described before it). Event properties (OnClick = BNClick) name handlers that the form
// has published (TForm::Publish, TForm::PublishCloseQuery) before it is loaded. Properties
// that name another control (FocusControl, DirList) are resolved when the whole description
// is built. An unknown kind, property or handler, a bad value or a malformed line is an
// EFormError whose message names the line and column and what was expected there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace ui {

// Control kinds by class name, in the order in which they were made known.
class ControlKindRegistry {
 public:
  // Makes a kind known; registering a name again replaces its factory and keeps its place.
  void Register(std::string_view kind, ControlFactory factory);
  template <typename T>
  void Register(std::string_view kind) {
    Register(kind, &CreateControl<T>);
  }
  // The factory of a kind, or nullptr.
  ControlFactory Find(std::string_view kind) const;
  const std::vector<std::string>& Kinds() const { return kinds_; }

 private:
  std::vector<std::string> kinds_;
  std::vector<ControlFactory> factories_;
};

// The registry of the process, which the program fills once at start-up.
ControlKindRegistry& ControlKinds();

// Builds the controls of `text` on `form`. `source` names the description in messages.
void LoadForm(TForm& form, std::string_view text, std::string_view source,
              const ControlKindRegistry& kinds = ControlKinds());

// Loads the description stored in the program's RT_RCDATA resource `resourceName`;
// EFormError when there is no such resource.
void LoadFormFromResource(TForm& form, std::string_view resourceName,
                          const ControlKindRegistry& kinds = ControlKinds());

}  // namespace ui
