// A simulated machine, the headless window system and the application object, with a small
// form built the way the form loader builds one: controls made by kind, named, parented and
// given their properties by name.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "ui/Ui.h"
#include "ui/headless/HeadlessPlatform.h"

namespace uitest {

using Props = std::initializer_list<std::pair<std::string_view, ui::PropertyValue>>;

inline ui::PropertyValue Id(std::string name) {
  return ui::Identifier{std::move(name)};
}
inline ui::PropertyValue Bool(bool value) {
  return ui::PropertyValue::Boolean(value);
}

template <typename T>
T& Make(ui::TForm& form, ui::TWinControl& parent, std::string_view name, Props props = {}) {
  auto* control = static_cast<T*>(ui::CreateControl<T>(&form));
  control->SetName(name);
  control->SetParent(&parent);
  for (const auto& [property, value] : props)
    control->SetProperty(property, value);
  return *control;
}

class UiTest : public testing::Test {
 protected:
  // The text of every message box shown so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : sim.MessageBoxes())
      texts.push_back(box.utf8Text);
    return texts;
  }

  os::SimOs sim;
  os::MachineScope scope{sim};
  ui::HeadlessPlatform platform;
  ui::Application app{platform};
};

}  // namespace uitest
