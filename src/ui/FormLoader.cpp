#include "ui/FormLoader.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "os/Machine.h"
#include "os/Os.h"
#include "ui/FormParser.h"

namespace ui {

// ---- ControlKindRegistry -------------------------------------------------------------------

void ControlKindRegistry::Register(std::string_view kind, ControlFactory factory) {
  for (size_t i = 0; i < kinds_.size(); ++i) {
    if (kinds_[i] == kind) {
      factories_[i] = factory;
      return;
    }
  }
  kinds_.emplace_back(kind);
  factories_.push_back(factory);
}

ControlFactory ControlKindRegistry::Find(std::string_view kind) const {
  for (size_t i = 0; i < kinds_.size(); ++i) {
    if (kinds_[i] == kind) return factories_[i];
  }
  return nullptr;
}

ControlKindRegistry& ControlKinds() {
  static ControlKindRegistry registry;
  return registry;
}

// ---- The loader ----------------------------------------------------------------------------

namespace {

using form::ErrorAt;
using form::ObjectBlock;
using form::SourcePos;

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

class Loader {
 public:
  Loader(TForm& form, std::string_view source, const ControlKindRegistry& kinds)
      : form_(form), source_(source), kinds_(kinds) {}

  void Run(const ObjectBlock& root) {
    if (root.kind != form_.ClassName()) {
      throw ErrorAt(source_, root.kindPos,
                    "expected the form's own kind " + std::string(form_.ClassName()) +
                        " for the outermost object, found " + root.kind);
    }
    AtLine(root.pos, [&] { form_.SetName(root.name); });
    ApplyProperties(form_, root);
    for (const ObjectBlock& child : root.children)
      Build(child, form_);
    EndLoading();
  }

 private:
  // Runs a step of the loading; the class library's complaints get the place in the
  // description where the step comes from. Other errors (a picture that cannot be loaded,
  // the end of the process) pass as they are.
  template <typename F>
  void AtLine(SourcePos pos, F&& step) {
    try {
      step();
    } catch (const EFormError& e) {
      throw ErrorAt(source_, pos, e.what());
    } catch (const EInvalidOperation& e) {
      throw ErrorAt(source_, pos, e.what());
    } catch (const EListError& e) {
      throw ErrorAt(source_, pos, e.what());
    }
  }

  void Build(const ObjectBlock& block, TWinControl& parent) {
    const ControlFactory factory = kinds_.Find(block.kind);
    if (factory == nullptr) throw ErrorAt(source_, block.kindPos, UnknownKind(block.kind));
    TControl* control = nullptr;
    AtLine(block.pos, [&] {
      control = factory(&form_);
      control->SetName(block.name);
      control->SetParent(&parent);
    });
    ApplyProperties(*control, block);
    if (block.children.empty()) return;
    auto* container = dynamic_cast<TWinControl*>(control);
    if (container == nullptr) {
      throw ErrorAt(source_, block.children.front().pos,
                    block.name + " is a " + block.kind +
                        ", which holds no other controls; expected 'end' of " + block.name);
    }
    for (const ObjectBlock& child : block.children)
      Build(child, *container);
  }

  void ApplyProperties(TComponent& component, const ObjectBlock& block) {
    for (const form::PropertyLine& line : block.properties) {
      if (line.value.IsIdentifier()) {
        references_.push_back({line.value.AsIdentifier(line.name), line.valuePos});
      }
      AtLine(line.pos, [&] { component.SetProperty(line.name, line.value); });
    }
  }

  std::string UnknownKind(const std::string& kind) const {
    if (kinds_.Kinds().empty()) return "unknown control kind " + kind + "; no kind is registered";
    std::string known;
    for (const std::string& k : kinds_.Kinds())
      known += (known.empty() ? "" : ", ") + k;
    return "unknown control kind " + kind + "; expected one of " + known;
  }

  // Names of other controls are resolved once everything is built. The class library's
  // message names the control that a failed reference asked for (missing, or of the wrong
  // kind); the line is the one that gave that name.
  void EndLoading() {
    try {
      form_.EndLoading();
    } catch (const EFormError& e) {
      if (const auto pos = ReferenceIn(e.what())) throw ErrorAt(source_, *pos, e.what());
      throw EFormError(std::string(source_) + ": " + e.what());
    }
  }

  std::optional<SourcePos> ReferenceIn(std::string_view message) const {
    static constexpr std::string_view kMissing = "no component named ";
    std::string_view missing;
    if (const size_t at = message.find(kMissing); at != std::string_view::npos) {
      missing = message.substr(at + kMissing.size());
    }
    std::vector<std::string_view> words;
    for (size_t start = 0; start < message.size();) {
      const size_t end = std::min(message.find_first_of(" :", start), message.size());
      if (end > start) words.push_back(message.substr(start, end - start));
      start = end + 1;
    }
    for (const auto& [value, pos] : references_) {
      if (!missing.empty() ? SameText(value, missing)
                           : form_.FindComponent(value) != nullptr &&
                                 std::find(words.begin(), words.end(), value) != words.end()) {
        return pos;
      }
    }
    return std::nullopt;
  }

  TForm& form_;
  std::string_view source_;
  const ControlKindRegistry& kinds_;
  std::vector<std::pair<std::string, SourcePos>> references_;
};

}  // namespace

void LoadForm(TForm& form, std::string_view text, std::string_view source,
              const ControlKindRegistry& kinds) {
  // The whole description is read first: a malformed one builds nothing.
  const ObjectBlock root = form::ParseForm(text, source);
  Loader(form, source, kinds).Run(root);
}

void LoadFormFromResource(TForm& form, std::string_view resourceName,
                          const ControlKindRegistry& kinds) {
  constexpr std::string_view kRcData = "#10";  // RT_RCDATA
  const auto bytes = os::Machine().FindResource(resourceName, kRcData);
  if (!bytes) {
    throw EFormError("The form description " + std::string(resourceName) +
                     " is missing from the program's resources");
  }
  const std::string text(bytes->begin(), bytes->end());
  LoadForm(form, text, resourceName, kinds);
}

}  // namespace ui
