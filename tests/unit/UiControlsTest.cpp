// The control kinds: properties by name, the page container, the owner-drawn list and
// combo box bases, painting of panels, bevels, labels and images, and windows made when
// the form is shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

using namespace uitest;
using Op = ui::CanvasCall::Op;

class UiControlsTest : public UiTest {
 protected:
  ui::TForm form{nullptr};
};

// ---- Properties by name ----------------------------------------------------------------------

TEST_F(UiControlsTest, PropertiesAreSetByNameAndBadOnesNamed) {
  form.Publish("GoClick", [](ui::TObject*) {});
  auto& panel = Make<ui::TPanel>(form, form, "TopPanel",
                                 {{"Align", Id("alTop")},
                                  {"Height", 46},
                                  {"BevelInner", Id("bvRaised")},
                                  {"BevelOuter", Id("bvLowered")},
                                  {"Color", Id("clWhite")},
                                  {"ParentBackground", Bool(false)}});
  auto& label = Make<ui::TLabel>(form, panel, "TopLbl",
                                 {{"Font.Name", "Arial"},
                                  {"Font.Height", -15},
                                  {"Font.Style", ui::IdentifierSet{"fsBold"}},
                                  {"Font.Color", 0x800000}});
  auto& button = Make<ui::TButton>(form, form, "GoBtn", {{"OnClick", Id("GoClick")}});
  form.SetProperty("ClientWidth", 492);
  EXPECT_EQ(panel.BoundsRect(), ui::Bounds(0, 0, 492, 46));  // aligned to the top edge
  EXPECT_EQ(panel.Color(), ui::clWhite);
  EXPECT_EQ(label.Color(), ui::clWhite);  // from its parent
  EXPECT_EQ(label.Font().Name, "Arial");
  EXPECT_EQ(label.Font().Style, ui::fsBold);
  EXPECT_EQ(label.Font().Color, ui::clNavy);
  EXPECT_TRUE(button.OnClick != nullptr);

  struct Bad {
    std::string_view property;
    ui::PropertyValue value;
    std::string message;
  };
  const std::vector<Bad> bad = {
      {"Colour", 1, "TButton GoBtn: unknown property Colour"},
      {"Left", "ten", "TButton GoBtn: property Left: a number was expected (text 'ten')"},
      {"Default", Id("Yes"), "TButton GoBtn: property Default: True or False was expected"},
      {"Align", Id("alMiddle"), "TButton GoBtn: property Align: unknown value alMiddle"},
      {"OnClick", Id("Missing"), "TButton GoBtn: TForm publishes no handler Missing"},
      {"Font.Color", Id("clMauve"), "TButton GoBtn: property Font.Color: unknown colour"},
  };
  for (const Bad& b : bad) {
    try {
      button.SetProperty(b.property, b.value);
      ADD_FAILURE() << b.property << " was taken";
    } catch (const EFormError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, b.message.size()), b.message);
    }
  }
  // A property of another kind is unknown here.
  EXPECT_THROW(label.SetProperty("Default", Bool(true)), EFormError);
  EXPECT_THROW(Make<ui::TEdit>(form, form, "topLBL"), EFormError);  // names are unique
}

TEST_F(UiControlsTest, ReferencesByNameAreResolvedWhenLoadingEnds) {
  auto& label = Make<ui::TLabel>(form, form, "FolderLbl", {{"FocusControl", Id("FolderEdt")}});
  auto& edit = Make<ui::TEdit>(form, form, "FolderEdt");
  form.SetProperty("ActiveControl", Id("FolderEdt"));
  EXPECT_EQ(label.FocusControl(), nullptr);
  form.EndLoading();
  EXPECT_EQ(label.FocusControl(), &edit);
  EXPECT_EQ(form.ActiveControl(), &edit);
  EXPECT_EQ(&form.Control<ui::TEdit>("folderedt"), &edit);
  EXPECT_THROW(form.Control<ui::TButton>("FolderEdt"), EFormError);

  Make<ui::TLabel>(form, form, "OtherLbl", {{"FocusControl", Id("Nowhere")}});
  EXPECT_THROW(form.EndLoading(), EFormError);
  delete &edit;
  EXPECT_EQ(label.FocusControl(), nullptr);
}

TEST_F(UiControlsTest, FontsAndColoursFollowTheParentUntilSetOwn) {
  auto& panel = Make<ui::TPanel>(form, form, "P");
  auto& check = Make<ui::TCheckBox>(form, panel, "C");
  auto& edit = Make<ui::TEdit>(form, panel, "E");
  ui::TFont big;
  big.Height = -15;
  panel.SetFont(big);
  panel.SetColor(ui::clWhite);
  EXPECT_EQ(check.Font().Height, -15);
  EXPECT_EQ(check.Color(), ui::clWhite);
  EXPECT_EQ(edit.Color(), ui::clWindow);  // an edit box has a colour of its own
  // The edit box sizes itself to a line of its font and its frame (fixed headless metrics).
  EXPECT_EQ(edit.Height(), 17 + 8);
  check.SetProperty("Font.Size", 8);
  big.Height = -20;
  panel.SetFont(big);
  EXPECT_EQ(check.Font().Height, -11);
}

TEST_F(UiControlsTest, LabelsThatSizeThemselvesFollowTheirText) {
  auto& title =
      Make<ui::TLabel>(form, form, "TopLbl", {{"Width", 4}, {"Height", 18}, {"Font.Height", -15}});
  title.SetCaption("Ready");
  // 5 characters of 8 pixels, one line of 17 pixels (fixed headless metrics).
  EXPECT_EQ(title.Width(), 40);
  EXPECT_EQ(title.Height(), 17);
  auto& wrapped = Make<ui::TLabel>(
      form, form, "WelcomeLbl",
      {{"AutoSize", Bool(false)}, {"WordWrap", Bool(true)}, {"Width", 60}, {"Height", 100}});
  wrapped.SetCaption("one two three\rfour");
  EXPECT_EQ(wrapped.BoundsRect(), ui::Bounds(0, 0, 60, 100));
  ui::RecordingCanvas canvas;
  wrapped.Paint(canvas);
  const auto texts = canvas.Calls(Op::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "one two three\rfour");
  EXPECT_EQ(texts[0].flags & ui::kDtWordBreak, ui::kDtWordBreak);
  EXPECT_EQ(ui::LayoutText(texts[0].text, 60, texts[0].flags, 6),
            (std::vector<std::string>{"one two", "three", "four"}));
}

// ---- Page container --------------------------------------------------------------------------

TEST_F(UiControlsTest, ThePageContainerShowsOnePageAtATime) {
  form.SetClientSize(492, 351);
  auto& pages = Make<ui::TPageControl>(
      form, form, "PgCtrl", {{"Left", 120}, {"Top", 41}, {"Width", 375}, {"Height", 268}});
  std::vector<ui::TTabSheet*> sheets;
  std::vector<ui::TButton*> buttons;
  for (int i = 0; i < 3; ++i) {
    sheets.push_back(&Make<ui::TTabSheet>(form, pages, "Sheet" + std::to_string(i),
                                          {{"TabVisible", Bool(false)}}));
    buttons.push_back(&Make<ui::TButton>(form, *sheets.back(), "Btn" + std::to_string(i)));
  }
  form.EndLoading();
  EXPECT_EQ(pages.PageCount(), 3);
  EXPECT_EQ(pages.ActivePage(), nullptr);
  for (auto* sheet : sheets) {
    EXPECT_FALSE(sheet->Visible());
    EXPECT_EQ(sheet->BoundsRect(), pages.DisplayRect());
  }
  platform.Script({
      [&] {
        EXPECT_FALSE(sheets[1]->HandleAllocated());  // hidden pages get windows when shown
        pages.SetActivePageIndex(1);
        EXPECT_TRUE(sheets[1]->Showing());
        EXPECT_TRUE(buttons[1]->HandleAllocated());
        platform.Click(*buttons[1]);
        EXPECT_EQ(form.ActiveControl(), buttons[1]);
        pages.SetActivePage(sheets[2]);
        EXPECT_EQ(pages.ActivePageIndex(), 2);
        EXPECT_FALSE(sheets[1]->Visible());
        EXPECT_FALSE(buttons[1]->Showing());
        // The focused control went away with its page.
        EXPECT_EQ(form.ActiveControl(), nullptr);
        EXPECT_THROW(platform.Click(*buttons[1]), ui::EHeadlessScript);
      },
      [&] { form.Close(); },
  });
  form.ShowModal();
}

// ---- Owner-drawn list and combo box ----------------------------------------------------------

struct DrawnItem {
  int index;
  ui::TRect rect;
  ui::TOwnerDrawState state;
  ui::TColor brush;
  ui::TColor font;
};

// A list box that draws its items through its canvas and records what it was asked for, as
// the folder list does.
class PictureList : public ui::TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
  std::vector<DrawnItem> drawn;
  std::vector<int> clicks;
  int windowsMade = 0;

  void DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState state) override {
    auto& canvas = Canvas();
    drawn.push_back({index, rect, state, canvas.Brush.Color, canvas.Font.Color});
    canvas.FillRect(rect);
    if (auto* picture = dynamic_cast<ui::TBitmap*>(Items().Objects(index))) {
      canvas.DrawTransparent(rect.Left + 3, rect.Top + 1, *picture, picture->BottomLeftColor());
    }
    canvas.TextOut(rect.Left + 24, rect.Top + 2, Items()[index]);
  }
  void Click() override { clicks.push_back(ItemIndex()); }

 protected:
  void CreateWnd() override {
    TCustomListBox::CreateWnd();
    ++windowsMade;
  }
};

class PictureCombo : public ui::TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
  std::vector<DrawnItem> drawn;
  void DrawItem(int index, const ui::TRect& rect, ui::TOwnerDrawState state) override {
    drawn.push_back({index, rect, state, Canvas().Brush.Color, Canvas().Font.Color});
  }
};

TEST_F(UiControlsTest, AListBoxDrawsEachItemInItsRectThroughTheCanvas) {
  auto* list = new PictureList(&form);
  list->SetName("DestDirLstBx");
  list->SetParent(&form);
  list->SetProperty("Width", 345);
  list->SetProperty("Height", 157);
  list->SetProperty("ItemHeight", 17);
  ui::TBitmap folder(16, 16, ui::clWhite);
  folder.SetPixel(0, 15, ui::clFuchsia);
  list->Items().AddObject("C:\\", &folder);
  list->Items().AddObject("C:\\Apps", &folder);
  list->Items().Add("C:\\Apps\\Editor");
  list->SetItemIndex(1);

  ui::RecordingCanvas canvas;
  platform.PaintItems(*list, canvas);
  ASSERT_EQ(list->drawn.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list->drawn[i].index, i);
    EXPECT_EQ(list->drawn[i].rect, ui::TRect({0, 17 * i, 341, 17 * (i + 1)}));
  }
  // The selected item comes with highlight colours, the others with the list's own.
  EXPECT_EQ(list->drawn[1].state, ui::odSelected);
  EXPECT_EQ(list->drawn[1].brush, ui::clHighlight);
  EXPECT_EQ(list->drawn[1].font, ui::clHighlightText);
  EXPECT_EQ(list->drawn[0].brush, ui::clWindow);
  EXPECT_EQ(list->drawn[0].font, ui::clWindowText);
  const auto pictures = canvas.Calls(Op::DrawTransparent);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[1].rect, ui::Bounds(3, 18, 16, 16));
  EXPECT_EQ(pictures[1].transparent, ui::clFuchsia);
  EXPECT_EQ(pictures[1].brush, ui::clHighlight);
  EXPECT_EQ(canvas.Calls(Op::TextOut)[2].text, "C:\\Apps\\Editor");
  EXPECT_TRUE(canvas.Calls(Op::DrawFocusRect).empty());

  // Focused, the selected item gets the focus rectangle after it is drawn.
  platform.Script({[&] {
                     platform.Focus(*list);
                     ui::RecordingCanvas focused;
                     platform.PaintItems(*list, focused);
                     EXPECT_EQ(list->drawn[list->drawn.size() - 2].state,
                               ui::odSelected | ui::odFocused);
                     const auto rects = focused.Calls(Op::DrawFocusRect);
                     ASSERT_EQ(rects.size(), 1u);
                     EXPECT_EQ(rects[0].rect, ui::TRect({0, 17, 341, 34}));
                   },
                   [&] { form.Close(); }});
  form.ShowModal();
}

TEST_F(UiControlsTest, ListSelectionFollowsItsItemAndTheUsersPickIsTheClick) {
  auto* list = new PictureList(&form);
  list->SetParent(&form);
  for (const char* s : {"a", "b", "c"})
    list->Items().Add(s);
  list->SetItemIndex(1);
  list->Items().Insert(0, "first");
  EXPECT_EQ(list->ItemIndex(), 2);  // still "b"
  list->Items().Delete(0);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->Items().Delete(1);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(1);
  list->Items().Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items().Add("x");
  list->SetItemIndex(5);  // out of range selects nothing
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_TRUE(list->clicks.empty());  // the program's own selections notify nobody

  list->Items().Add("y");
  platform.Script({[&] {
                     platform.Pick(*list, 1);
                     EXPECT_THROW(platform.Pick(*list, 2), ui::EHeadlessScript);
                   },
                   [&] { form.Close(); }});
  form.ShowModal();
  EXPECT_EQ(list->clicks, std::vector<int>{1});
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(UiControlsTest, AComboBoxDrawsItsFieldAndItsListAndTakesTheTextOfItsSelection) {
  auto* combo = new PictureCombo(&form);
  combo->SetParent(&form);
  combo->SetProperty("Width", 345);
  combo->SetProperty("ItemHeight", 17);
  EXPECT_EQ(combo->Height(), 23);
  int clicks = 0;
  combo->OnClick = [&](ui::TObject*) { ++clicks; };
  combo->Items().Add("c: [system]");
  combo->Items().Add("e: [stick]");
  EXPECT_EQ(combo->Text(), "");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "e: [stick]");
  EXPECT_EQ(combo->Items().IndexOf("E: [STICK]"), 1);

  ui::RecordingCanvas canvas;
  platform.PaintField(*combo, canvas);
  platform.PaintDropDown(*combo, canvas);
  ASSERT_EQ(combo->drawn.size(), 3u);
  EXPECT_EQ(combo->drawn[0].index, 1);
  EXPECT_EQ(combo->drawn[0].rect, ui::TRect({3, 3, 325, 20}));
  EXPECT_EQ(combo->drawn[0].state, ui::odComboBoxEdit);
  EXPECT_EQ(combo->drawn[2].rect, ui::TRect({0, 17, 343, 34}));
  EXPECT_EQ(combo->drawn[2].state, ui::odSelected | ui::odFocused);

  platform.Script({[&] { platform.Pick(*combo, 0); }, [&] { form.Close(); }});
  form.ShowModal();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(combo->Text(), "c: [system]");
  combo->Items().Clear();
  EXPECT_EQ(combo->Text(), "");
}

// The window of a control is made when its form is shown (or its page), not when the form
// is built; a control that fills itself when its window is made hooks in there.
TEST_F(UiControlsTest, WindowsAreMadeWhenTheFormIsShown) {
  auto& pages = Make<ui::TPageControl>(form, form, "PgCtrl");
  auto& first = Make<ui::TTabSheet>(form, pages, "First");
  auto& second = Make<ui::TTabSheet>(form, pages, "Second");
  auto* onFirst = new PictureList(&form);
  onFirst->SetParent(&first);
  auto* onSecond = new PictureList(&form);
  onSecond->SetParent(&second);
  pages.SetActivePage(&first);
  EXPECT_EQ(onFirst->windowsMade, 0);
  platform.Script({[&] {
                     EXPECT_EQ(onFirst->windowsMade, 1);
                     EXPECT_EQ(onSecond->windowsMade, 0);
                     pages.SetActivePage(&second);
                     EXPECT_EQ(onSecond->windowsMade, 1);
                     pages.SetActivePage(&first);
                   },
                   [&] { form.Close(); }});
  form.ShowModal();
  EXPECT_EQ(onFirst->windowsMade, 1);
  EXPECT_EQ(onSecond->windowsMade, 1);
}

// ---- Painting ---------------------------------------------------------------------------------

TEST_F(UiControlsTest, APanelPaintsItsBevelsThenItsPlainChildrenInPlace) {
  auto& panel = Make<ui::TPanel>(form, form, "LeftPanel",
                                 {{"Width", 123}, {"Height", 301}, {"BevelOuter", Id("bvNone")}});
  auto& image =
      Make<ui::TImage>(form, panel, "LogoImage", {{"Left", 1}, {"Width", 120}, {"Height", 260}});
  image.Picture().Assign(ui::TBitmap(120, 260, ui::clNavy));
  Make<ui::TBevel>(form, panel, "LeftBevel",
                   {{"Align", Id("alRight")},
                    {"Width", 2},
                    {"Shape", Id("bsLeftLine")},
                    {"Style", Id("bsLowered")}});
  ui::RecordingCanvas canvas;
  platform.Paint(panel, canvas);
  std::vector<std::string> calls;
  for (const auto& call : canvas.calls)
    calls.push_back(call.Describe());
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "FillRect 0,0,123,301 brush sys15",
                       "Draw 1,0,121,260 brush sys15",
                       "Line 121,0,121,301 pen sys16",
                       "Line 122,0,122,301 pen sys20",
                   }));

  auto& top = Make<ui::TPanel>(form, form, "TopPanel",
                               {{"Width", 10},
                                {"Height", 6},
                                {"BevelInner", Id("bvRaised")},
                                {"BevelOuter", Id("bvLowered")}});
  ui::RecordingCanvas frame;
  top.Paint(frame);
  std::vector<std::string> lines;
  for (const auto& call : frame.Calls(Op::Line))
    lines.push_back(call.Describe());
  // The outer lowered frame: shadow on the top-left, highlight on the bottom-right; then
  // the inner raised one the other way round, one pixel inside.
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Line 0,5,0,0 pen sys16",
                       "Line 0,0,9,0 pen sys16",
                       "Line 9,0,9,5 pen sys20",
                       "Line 9,5,-1,5 pen sys20",
                       "Line 1,4,1,1 pen sys20",
                       "Line 1,1,8,1 pen sys20",
                       "Line 8,1,8,4 pen sys16",
                       "Line 8,4,0,4 pen sys16",
                   }));
}

TEST_F(UiControlsTest, ADisabledLabelIsGreyAndAnErrorInPaintingIsReported) {
  auto& panel = Make<ui::TPanel>(form, form, "P");
  auto& label = Make<ui::TLabel>(form, panel, "L", {{"Caption", "&Folder"}});
  panel.SetEnabled(false);
  ui::RecordingCanvas canvas;
  platform.Paint(panel, canvas);
  const auto texts = canvas.Calls(Op::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].font.Color, ui::clGrayText);
  EXPECT_EQ(texts[0].brush, ui::clNone);

  class BrokenImage : public ui::TImage {
   public:
    using TImage::TImage;
    void Paint(ui::TCanvas&) override { throw EFormError("paint"); }
  };
  (new BrokenImage(&form))->SetParent(&panel);
  sim.AnswerNextBox(os::kIdOk);
  ui::RecordingCanvas broken;
  platform.Paint(panel, broken);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Exception EFormError"});
  (void)label;
}

}  // namespace
