// The form loader: the format of a description (values, texts, comments, line ends), how
// controls are built from it (owner, parent, order, handlers, references), the kind
// registry, the resource entry point, and the message of every sort of fault.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlKinds.h"
#include "UiTestSupport.h"
#include "ui/FormLoader.h"

namespace {

using namespace uitest;
using testing::HasSubstr;
using testing::StartsWith;

class FormLoaderTest : public UiTest {
 protected:
  FormLoaderTest() {
    RegisterControlKinds();
    form.Publish("GoClick", [this](ui::TObject* sender) { clicks.push_back(sender); });
  }

  void Load(std::string_view text) { ui::LoadForm(form, text, "test.form"); }

  // The message of the EFormError that loading `text` raises.
  std::string ErrorOf(std::string_view text) {
    ui::TForm fresh{nullptr};
    fresh.Publish("GoClick", [](ui::TObject*) {});
    try {
      ui::LoadForm(fresh, text, "test.form");
    } catch (const EFormError& e) {
      return e.what();
    }
    return "(no error)";
  }

  std::string ErrorOfResource(std::string_view name) {
    ui::TForm fresh{nullptr};
    try {
      ui::LoadFormFromResource(fresh, name);
    } catch (const EFormError& e) {
      return e.what();
    }
    return "(no error)";
  }

  ui::TForm form{nullptr};
  std::vector<ui::TObject*> clicks;
};

TEST_F(FormLoaderTest, BuildsNestedControlsInOrderWithOwnerParentAndProperties) {
  Load(R"(# a small dialog
object Dlg: TForm
  ClientWidth = 300
  ClientHeight = 200   # trailing comment
  BorderIcons = [biSystemMenu]
  Position = poScreenCenter

  object Pages: TPageControl
    Left = 10
    object First: TTabSheet
      object Hello: TLabel
        Caption = "one\rtwo \"quoted\" \\ tab\tend"
      end
    end
    object Second: TTabSheet
    end
  end
  object Bottom: TPanel
    Align = alBottom
    Height = 40
    object Go: TButton
      Left = -5
      Top = 0x0C
      Default = True
      OnClick = GoClick
    end
  end
end
)");
  EXPECT_EQ(form.Name(), "Dlg");
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(form.BorderIcons(), ui::biSystemMenu);
  EXPECT_EQ(form.Position(), ui::TPosition::ScreenCenter);

  // Every control is owned by the form, in description order, and lies in its block.
  ASSERT_EQ(form.ComponentCount(), 6);
  std::vector<std::string> names;
  for (int i = 0; i < form.ComponentCount(); ++i)
    names.push_back(form.Components(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Pages", "First", "Hello", "Second", "Bottom", "Go"}));
  auto& pages = form.Control<ui::TPageControl>("Pages");
  auto& bottom = form.Control<ui::TPanel>("Bottom");
  ASSERT_EQ(form.ControlCount(), 2);
  EXPECT_EQ(form.Controls(0), &pages);  // made first, so lying below the panel
  EXPECT_EQ(form.Controls(1), &bottom);
  ASSERT_EQ(pages.PageCount(), 2);
  EXPECT_EQ(pages.Pages(0)->Name(), "First");
  EXPECT_EQ(pages.Pages(1)->Name(), "Second");
  EXPECT_EQ(form.Control<ui::TLabel>("Hello").Parent(), pages.Pages(0));

  EXPECT_EQ(form.Control<ui::TLabel>("Hello").Caption(), "one\rtwo \"quoted\" \\ tab\tend");
  auto& go = form.Control<ui::TButton>("Go");
  EXPECT_EQ(go.Parent(), &bottom);
  EXPECT_EQ(go.Left(), -5);
  EXPECT_EQ(go.Top(), 12);
  EXPECT_TRUE(go.Default());
  EXPECT_EQ(bottom.BoundsRect(), ui::Bounds(0, 160, 300, 40));

  go.Click();
  EXPECT_EQ(clicks, std::vector<ui::TObject*>{&go});
}

TEST_F(FormLoaderTest, TextsJoinAcrossLinesSetsSpanLinesAndAnyLineEndWorks) {
  // CR LF and lone CR line ends, a text joined over three lines, a set over two lines, an
  // empty set, a reference to a control described later.
  Load(
      "object Dlg: TForm\r\n"
      "  BorderIcons = []\r\n"
      "  object Lbl: TLabel\r"
      "    Caption = \"a\" +\r\n"
      "\r\n"
      "              \"b\" + # a comment between the parts\n"
      "              \"c\"\n"
      "    Font.Style = [fsBold,\n"
      "                  fsItalic]\n"
      "    FocusControl = Edt\n"
      "  end\n"
      "  object Edt: TEdit\n"
      "  end\n"
      "end");
  EXPECT_EQ(form.BorderIcons(), 0);
  auto& label = form.Control<ui::TLabel>("Lbl");
  EXPECT_EQ(label.Caption(), "abc");
  EXPECT_EQ(label.Font().Style, ui::fsBold | ui::fsItalic);
  EXPECT_EQ(label.FocusControl(), &form.Control<ui::TEdit>("Edt"));
}

TEST_F(FormLoaderTest, EveryFaultNamesItsLineColumnAndWhatWasExpected) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;  // the start of the message
  };
  const std::string head = "object Dlg: TForm\n  object Go: TButton\n";
  const std::string tail = "  end\nend\n";
  const std::vector<Case> cases = {
      {"unknown kind", "object Dlg: TForm\n  object Go: TFancyButton\n  end\nend\n",
       "test.form, line 2, column 14: unknown control kind TFancyButton; expected one of "
       "TBevel, TButton, TCheckBox, TDirectoryListBox, TDriveComboBox, TEdit, TImage, TLabel, "
       "TMemo, TPanel, TPageControl, TTabSheet"},
      {"unknown property", head + "    Defualt = True\n" + tail,
       "test.form, line 3, column 5: TButton Go: unknown property Defualt"},
      {"number expected", head + "    Left = \"ten\"\n" + tail,
       "test.form, line 3, column 5: TButton Go: property Left: a number was expected"},
      {"unknown enum value", head + "    Align = alMiddle\n" + tail,
       "test.form, line 3, column 5: TButton Go: property Align: unknown value alMiddle"},
      {"unknown handler", head + "    OnClick = GoClik\n" + tail,
       "test.form, line 3, column 5: TButton Go: TForm publishes no handler GoClik"},
      {"unknown close query", "object Dlg: TForm\n  OnCloseQuery = Ask\nend\n",
       "test.form, line 2, column 3: TForm Dlg: TForm publishes no close query Ask"},
      {"no equals sign", head + "    Left 10\n" + tail,
       "test.form, line 3, column 10: expected '=' after the property name Left, found number "
       "10"},
      {"no value", head + "    Left =\n" + tail,
       "test.form, line 3, column 11: expected the value of Left: a number, a quoted text, an "
       "identifier or a set in [ ], found the end of the line"},
      {"two values", head + "    Left = 1 2\n" + tail,
       "test.form, line 3, column 14: expected the end of the line after the value of Left, "
       "found number 2"},
      {"stray character", head + "    Left = 10;\n" + tail,
       "test.form, line 3, column 14: unexpected ';'"},
      {"letters in a number", head + "    Left = 10px\n" + tail,
       "test.form, line 3, column 14: unexpected 'p' in a number"},
      {"no name", "object : TForm\nend\n",
       "test.form, line 1, column 8: expected the object's name after 'object', found ':'"},
      {"no colon", "object Dlg TForm\nend\n",
       "test.form, line 1, column 12: expected ':' and the kind after the object's name, found "
       "identifier TForm"},
      {"no object", "Left = 1\n",
       "test.form, line 1, column 1: expected 'object' and the form's name, found identifier "
       "Left"},
      {"set without comma", head + "    Font.Style = [fsBold fsItalic]\n" + tail,
       "test.form, line 3, column 26: expected ',' or ']' in the set, found identifier fsItalic"},
      {"unterminated block", head + "  end\n",
       "test.form, line 4, column 1: expected 'end' of Dlg (opened at line 1), found the end "
       "of the description"},
      {"unterminated inner block", head,
       "test.form, line 3, column 1: expected 'end' of Go (opened at line 2)"},
      {"unterminated text", head + "    Caption = \"Next\n" + tail,
       "test.form, line 3, column 15: unterminated text: expected a closing '\"' before the end "
       "of the line"},
      {"unknown escape", head + "    Caption = \"a\\qb\"\n" + tail,
       "test.form, line 3, column 17: unknown escape; expected one of \\r \\n \\t \\\" \\\\"},
      {"nothing after +", head + "    Caption = \"a\" +\n" + tail,
       "test.form, line 4, column 3: expected a quoted text after '+', found identifier end"},
      {"property after an object",
       "object Dlg: TForm\n  object Go: TButton\n  end\n  Width = 10\nend\n",
       "test.form, line 4, column 3: expected 'object' or 'end' (the properties of Dlg come "
       "before the objects inside it), found identifier Width"},
      {"text after the form", "object Dlg: TForm\nend\nobject More: TForm\nend\n",
       "test.form, line 3, column 1: expected the end of the description after the form's "
       "'end'"},
      {"control inside a label",
       "object Dlg: TForm\n  object Lbl: TLabel\n    object Go: TButton\n    end\n  end\nend\n",
       "test.form, line 3, column 5: Lbl is a TLabel, which holds no other controls; expected "
       "'end' of Lbl"},
      {"page outside a page container",
       "object Dlg: TForm\n  object P: TPanel\n    object Sheet: TTabSheet\n    end\n  end\nend\n",
       "test.form, line 3, column 5: A page can only lie in a page container"},
      {"name used twice",
       "object Dlg: TForm\n  object Go: TButton\n  end\n  object go: TEdit\n"
       "  end\nend\n",
       "test.form, line 4, column 3: a component named go already exists"},
      {"reference to nothing",
       "object Dlg: TForm\n  object Lbl: TLabel\n    Caption = \"&Name\"\n"
       "    FocusControl = NameEdt\n  end\nend\n",
       "test.form, line 4, column 20: TLabel Lbl: no component named NameEdt"},
      {"reference to the wrong kind",
       "object Dlg: TForm\n  object Lbl: TLabel\n    FocusControl = Other\n  end\n"
       "  object Other: TLabel\n  end\nend\n",
       "test.form, line 3, column 20: FocusControl Other cannot take the focus"},
      {"wrong form kind", "object Dlg: TMainDlgForm\nend\n",
       "test.form, line 1, column 13: expected the form's own kind TForm for the outermost "
       "object, found TMainDlgForm"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(ErrorOf(c.text), StartsWith(c.message)) << c.what;
  }
}

TEST_F(FormLoaderTest, AMalformedDescriptionBuildsNothing) {
  EXPECT_THROW(Load("object Dlg: TForm\n  object Go: TButton\n  end\n  Left 1\nend\n"), EFormError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.Name(), "");
}

TEST_F(FormLoaderTest, TwelveKindsRegisteredOnceInOrderEachMakingItsOwnKind) {
  RegisterControlKinds();  // again: nothing changes
  const std::vector<std::string> expected = {
      "TBevel", "TButton", "TCheckBox", "TDirectoryListBox", "TDriveComboBox", "TEdit", "TImage",
      "TLabel", "TMemo",   "TPanel",    "TPageControl",      "TTabSheet"};
  const ui::ControlKindRegistry& kinds = ui::ControlKinds();
  EXPECT_EQ(kinds.Kinds(), expected);
  for (const std::string& kind : expected) {
    const ui::ControlFactory factory = kinds.Find(kind);
    ASSERT_NE(factory, nullptr) << kind;
    ui::TControl* control = factory(&form);
    EXPECT_EQ(control->ClassName(), kind);
    EXPECT_EQ(control->Owner(), &form);
  }
  EXPECT_EQ(kinds.Find("TForm"), nullptr);
  EXPECT_EQ(kinds.Find("tbutton"), nullptr);
}

TEST_F(FormLoaderTest, ARegistryOfItsOwnLimitsTheKinds) {
  ui::ControlKindRegistry kinds;
  kinds.Register<ui::TPanel>("TPanel");
  kinds.Register<ui::TLabel>("TPanel");  // replaces the factory, keeps the place
  kinds.Register<ui::TButton>("TButton");
  EXPECT_EQ(kinds.Kinds(), (std::vector<std::string>{"TPanel", "TButton"}));

  ui::LoadForm(form, "object Dlg: TForm\n  object A: TPanel\n  end\nend\n", "own.form", kinds);
  EXPECT_EQ(form.Components(0)->ClassName(), "TLabel");
  try {
    ui::TForm other{nullptr};
    ui::LoadForm(other, "object Dlg: TForm\n  object E: TEdit\n  end\nend\n", "own.form", kinds);
    FAIL() << "a kind the registry does not know was built";
  } catch (const EFormError& e) {
    EXPECT_STREQ(e.what(),
                 "own.form, line 2, column 13: unknown control kind TEdit; expected one of "
                 "TPanel, TButton");
  }
  try {
    ui::TForm other{nullptr};
    ui::LoadForm(other, "object Dlg: TForm\n  object E: TEdit\n  end\nend\n", "own.form",
                 ui::ControlKindRegistry());
    FAIL() << "a kind was built without any registered";
  } catch (const EFormError& e) {
    EXPECT_THAT(e.what(), HasSubstr("unknown control kind TEdit; no kind is registered"));
  }
}

TEST_F(FormLoaderTest, LoadsFromTheProgramsDataResource) {
  const std::string text = "object Dlg: TForm\n  ClientWidth = 123\nend\n";
  sim.SetResource("SMALLFORM", "#10", os::Bytes(text.begin(), text.end()));
  ui::LoadFormFromResource(form, "SMALLFORM");
  EXPECT_EQ(form.ClientWidth(), 123);

  const std::string bad = "object Dlg: TForm\n  ClientWidth = x1\n  Bogus = 1\nend\n";
  sim.SetResource("BADFORM", "#10", os::Bytes(bad.begin(), bad.end()));
  EXPECT_THAT(ErrorOfResource("BADFORM"),
              StartsWith("BADFORM, line 2, column 3: TForm Dlg: property ClientWidth"));
  EXPECT_EQ(ErrorOfResource("NOSUCHFORM"),
            "The form description NOSUCHFORM is missing from the program's resources");
  // Another resource type of the same name is not a form description.
  sim.SetResource("BITMAPFORM", "#2", os::Bytes(text.begin(), text.end()));
  EXPECT_THAT(ErrorOfResource("BITMAPFORM"), HasSubstr("missing"));
}

}  // namespace
