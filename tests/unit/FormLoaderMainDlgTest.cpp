// The wizard's stored form description (resources/MainDlg.form) loads, and builds the
// window the wizard expects: every control of its kind, in its parent, at its place, with
// its settings and its handlers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ControlKinds.h"
#include "FileCtrl.h"
#include "UiTestSupport.h"
#include "ui/FormLoader.h"

#ifndef SETUP_RESOURCES_DIR
#error "the build gives the folder of resources/ as SETUP_RESOURCES_DIR"
#endif

namespace {

using namespace uitest;

// The wizard's class name and handler names, with handlers that only record their calls.
class WizardStandIn : public ui::TForm {
 public:
  WizardStandIn() : ui::TForm(nullptr) {
    for (const char* name : {"BNClick", "CancelBtnClick", "DestDirLstBxChange"}) {
      Publish(name, [this, name](ui::TObject* sender) { calls.emplace_back(name, sender); });
    }
    PublishCloseQuery("FormCloseQuery", [this](ui::TObject* sender, bool& canClose) {
      calls.emplace_back("FormCloseQuery", sender);
      canClose = false;
    });
  }
  std::string_view ClassName() const override { return "TMainDlgForm"; }

  std::vector<std::pair<std::string, ui::TObject*>> calls;
};

std::string ReadDescription() {
  std::ifstream in(SETUP_RESOURCES_DIR "/MainDlg.form", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class MainDlgFormTest : public UiTest {
 protected:
  MainDlgFormTest() {
    RegisterControlKinds();
    const std::string text = ReadDescription();
    EXPECT_FALSE(text.empty());
    ui::LoadForm(form, text, "MainDlg.form");
  }

  template <typename T>
  T& C(std::string_view name) {
    return form.Control<T>(name);
  }

  WizardStandIn form;
};

TEST_F(MainDlgFormTest, EveryControlHasItsKindParentAndPlace) {
  struct Row {
    const char* name;
    const char* kind;
    const char* parent;
    int left, top, width, height;  // -1: the system's default, or sized by the text
  };
  const std::vector<Row> table = {
      {"PgCtrl", "TPageControl", "MainDlgForm", 120, 41, 375, 268},
      {"WelcomeLbl", "TLabel", "WelcomeTabSheet", 12, 27, 349, 115},
      {"LicenseLbl", "TLabel", "LicenseTabSheet", 12, 7, -1, -1},
      {"LicenseMemo", "TMemo", "LicenseTabSheet", 12, 25, 345, 207},
      {"LicenseChkBx", "TCheckBox", "LicenseTabSheet", 12, 237, 282, -1},
      {"DestDirLbl", "TLabel", "DestDirTabSheet", 11, 7, 345, 30},
      {"DestDirEdt", "TEdit", "DestDirTabSheet", 11, 43, 345, -1},
      {"DestDirLstBx", "TDirectoryListBox", "DestDirTabSheet", 11, 65, 345, 157},
      {"DestDirCmbBx", "TDriveComboBox", "DestDirTabSheet", 11, 225, 345, -1},
      {"StartLbl", "TLabel", "StartTabSheet", 11, 7, 345, 80},
      {"FinishLbl", "TLabel", "FinishTabSheet", 11, 7, 345, 150},
      {"FinishChkBx", "TCheckBox", "FinishTabSheet", 40, 190, 180, -1},
      {"TopPanel", "TPanel", "MainDlgForm", 0, 0, 492, 46},
      {"TopLbl", "TLabel", "TopPanel", 20, 14, -1, -1},
      {"LogoSmallImage", "TImage", "TopPanel", 440, 6, 34, 34},
      {"LeftPanel", "TPanel", "MainDlgForm", 0, 46, 123, 301},
      {"LogoImage", "TImage", "LeftPanel", 1, 0, 120, 260},
      {"LeftBevel", "TBevel", "LeftPanel", 121, 0, 2, 301},
      {"BottomPanel", "TPanel", "MainDlgForm", 0, 307, 492, 44},
      {"BackBtn", "TButton", "BottomPanel", 210, 12, 85, 22},
      {"NextBtn", "TButton", "BottomPanel", 295, 12, 85, 22},
      {"CancelBtn", "TButton", "BottomPanel", 392, 12, 85, 22},
      {"BottomBevelPanel", "TPanel", "MainDlgForm", 0, 306, 492, 2},
      {"BottomBevel", "TBevel", "BottomBevelPanel", 1, 0, 491, 2},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.name);
    auto& control = C<ui::TControl>(row.name);
    EXPECT_EQ(control.ClassName(), row.kind);
    ASSERT_NE(control.Parent(), nullptr);
    EXPECT_EQ(control.Parent()->Name(), row.parent);
    EXPECT_EQ(control.Left(), row.left);
    EXPECT_EQ(control.Top(), row.top);
    if (row.width >= 0) {
      EXPECT_EQ(control.Width(), row.width);
    }
    if (row.height >= 0) {
      EXPECT_EQ(control.Height(), row.height);
    }
  }
  // The table and the six pages are all there is, and all of the twelve kinds.
  EXPECT_EQ(form.ComponentCount(), static_cast<int>(table.size()) + 6);
  const auto& kinds = ui::ControlKinds().Kinds();
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const std::string_view kind = form.Components(i)->ClassName();
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;
  }
}

TEST_F(MainDlgFormTest, TheWindowIsAFixedCentredDialogOfItsClientSize) {
  EXPECT_EQ(form.Name(), "MainDlgForm");
  EXPECT_EQ(form.ClientWidth(), 492);
  EXPECT_EQ(form.ClientHeight(), 351);
  EXPECT_EQ(form.BorderStyle(), ui::TFormBorderStyle::Single);
  EXPECT_EQ(form.BorderIcons(), ui::biSystemMenu);
  EXPECT_EQ(form.Position(), ui::TPosition::ScreenCenter);
}

TEST_F(MainDlgFormTest, PageContainerComesFirstWithItsSixHiddenPagesInOrder) {
  auto& pages = C<ui::TPageControl>("PgCtrl");
  std::vector<std::string> below;
  for (int i = 0; i < form.ControlCount(); ++i)
    below.push_back(form.Controls(i)->Name());
  EXPECT_EQ(below, (std::vector<std::string>{"PgCtrl", "TopPanel", "LeftPanel", "BottomPanel",
                                             "BottomBevelPanel"}));
  const std::vector<std::string> order = {"WelcomeTabSheet",    "LicenseTabSheet",
                                          "DestDirTabSheet",    "StartTabSheet",
                                          "InstallingTabSheet", "FinishTabSheet"};
  ASSERT_EQ(pages.PageCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(pages.Pages(i)->Name(), order[static_cast<size_t>(i)]);
    EXPECT_FALSE(pages.Pages(i)->Visible());
    EXPECT_FALSE(pages.Pages(i)->TabVisible());
    EXPECT_EQ(pages.Pages(i)->BoundsRect(), pages.DisplayRect());
  }
  EXPECT_EQ(pages.ActivePage(), nullptr);
  EXPECT_EQ(C<ui::TTabSheet>("InstallingTabSheet").ControlCount(), 0);
}

TEST_F(MainDlgFormTest, SettingsOfTheTable) {
  auto& top = C<ui::TPanel>("TopPanel");
  EXPECT_EQ(top.Align(), ui::TAlign::Top);
  EXPECT_EQ(top.BevelInner(), ui::TPanelBevel::Raised);
  EXPECT_EQ(top.BevelOuter(), ui::TPanelBevel::Lowered);
  EXPECT_EQ(top.Color(), ui::clWhite);
  EXPECT_FALSE(top.ParentBackground());
  for (const char* panel : {"LeftPanel", "BottomPanel", "BottomBevelPanel"}) {
    EXPECT_EQ(C<ui::TPanel>(panel).BevelOuter(), ui::TPanelBevel::None) << panel;
  }

  const ui::TFont& font = C<ui::TLabel>("TopLbl").Font();
  EXPECT_EQ(font.Name, "Arial");
  EXPECT_EQ(font.Height, -15);
  EXPECT_EQ(font.Style, ui::fsBold);
  EXPECT_EQ(font.Color, ui::MakeColor(0, 0, 0x80));
  EXPECT_TRUE(C<ui::TLabel>("TopLbl").AutoSize());
  EXPECT_TRUE(C<ui::TLabel>("LicenseLbl").AutoSize());
  for (const char* label : {"WelcomeLbl", "DestDirLbl", "StartLbl", "FinishLbl"}) {
    EXPECT_FALSE(C<ui::TLabel>(label).AutoSize()) << label;
    EXPECT_TRUE(C<ui::TLabel>(label).WordWrap()) << label;
  }

  auto& leftBevel = C<ui::TBevel>("LeftBevel");
  EXPECT_EQ(leftBevel.Align(), ui::TAlign::Right);
  EXPECT_EQ(leftBevel.Shape(), ui::TBevelShape::LeftLine);
  EXPECT_EQ(C<ui::TBevel>("BottomBevel").Shape(), ui::TBevelShape::TopLine);
  EXPECT_EQ(C<ui::TBevel>("BottomBevel").Style(), ui::TBevelStyle::Lowered);

  EXPECT_TRUE(C<ui::TMemo>("LicenseMemo").ReadOnly());
  EXPECT_EQ(C<ui::TMemo>("LicenseMemo").ScrollBars(), ui::TScrollStyle::Vertical);
  EXPECT_EQ(C<ui::TMemo>("LicenseMemo").Lines().Count(), 0);
  EXPECT_TRUE(C<ui::TCheckBox>("LicenseChkBx").Checked());
  EXPECT_FALSE(C<ui::TCheckBox>("FinishChkBx").Checked());

  EXPECT_FALSE(C<ui::TButton>("BackBtn").Default());
  EXPECT_TRUE(C<ui::TButton>("NextBtn").Default());
  EXPECT_FALSE(C<ui::TButton>("NextBtn").Cancel());
  EXPECT_TRUE(C<ui::TButton>("CancelBtn").Cancel());
  for (const char* button : {"BackBtn", "NextBtn", "CancelBtn"}) {
    EXPECT_EQ(C<ui::TButton>(button).Caption(), "") << button;
  }

  auto& list = C<TDirectoryListBox>("DestDirLstBx");
  EXPECT_EQ(list.ItemHeight(), 17);
  EXPECT_EQ(C<TDriveComboBox>("DestDirCmbBx").DirList(), &list);
  EXPECT_EQ(list.DriveSelector(), &C<TDriveComboBox>("DestDirCmbBx"));
  EXPECT_EQ(C<ui::TLabel>("DestDirLbl").FocusControl(), &C<ui::TEdit>("DestDirEdt"));
  EXPECT_EQ(C<ui::TLabel>("LicenseLbl").FocusControl(), nullptr);
}

TEST_F(MainDlgFormTest, CaptionsAreTheTextsWithFormatsAndLineBreaks) {
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"WelcomeLbl",
       "This program will install the %s\rfor Veloquin Word Processor on your computer.\r\r\r\r"
       "\rClick Next to continue. Click Cancel to quit Setup."},
      {"LicenseLbl", "Please read the following &License Agreement."},
      {"LicenseChkBx", "I &accept all the terms of the above License Agreement"},
      {"DestDirLbl",
       "Please specify the home &folder of Veloquin Word Processor on your computer:"},
      {"StartLbl",
       "You are now ready to install the %s.\r\rClick Next to begin installation. Click Back if "
       "you want to review or change installation settings."},
      {"FinishLbl",
       "The %s has been successfully installed on your computer.\r\rClick Finish to exit this "
       "Setup."},
      {"FinishChkBx", "&Launch Veloquin Word Processor"},
      {"TopLbl", ""},
  };
  for (const auto& [name, caption] : captions) {
    EXPECT_EQ(C<ui::TControl>(name).Caption(), caption) << name;
  }
}

TEST_F(MainDlgFormTest, EventsReachTheWizardsHandlers) {
  auto& back = C<ui::TButton>("BackBtn");
  auto& next = C<ui::TButton>("NextBtn");
  auto& cancel = C<ui::TButton>("CancelBtn");
  auto& list = C<TDirectoryListBox>("DestDirLstBx");
  back.OnClick(&back);
  next.OnClick(&next);
  cancel.OnClick(&cancel);
  list.OnChange(&list);
  EXPECT_FALSE(form.CloseQuery());
  const std::vector<std::pair<std::string, ui::TObject*>> expected = {
      {"BNClick", &back},          {"BNClick", &next},
      {"CancelBtnClick", &cancel}, {"DestDirLstBxChange", &list},
      {"FormCloseQuery", &form},
  };
  EXPECT_EQ(form.calls, expected);
}

}  // namespace
