// Forms: the modal loop with its result and close query, the routing of errors out of
// message handlers, the window timer, the end of a Windows session, and the keyboard of a
// dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

using namespace uitest;
using ui::DialogKey;

// A small dialog: an edit box, a memo, a check box, a label that focuses the edit box, and
// OK (default) and Cancel (cancel) buttons on a bottom panel.
class Dialog {
 public:
  Dialog() {
    form.SetName("TestDlg");
    form.SetProperty("ClientWidth", 300);
    form.SetProperty("ClientHeight", 200);
    form.SetProperty("BorderStyle", Id("bsSingle"));
    form.SetProperty("BorderIcons", ui::IdentifierSet{"biSystemMenu"});
    form.SetProperty("Position", Id("poScreenCenter"));
    label = &Make<ui::TLabel>(form, form, "NameLbl",
                              {{"Caption", "&Name:"}, {"FocusControl", Id("NameEdt")}});
    edit = &Make<ui::TEdit>(form, form, "NameEdt", {{"Left", 60}, {"Top", 8}});
    memo = &Make<ui::TMemo>(form, form, "NotesMemo", {{"Top", 40}, {"ReadOnly", Bool(true)}});
    check = &Make<ui::TCheckBox>(form, form, "AgreeChkBx",
                                 {{"Top", 140}, {"Caption", "I &agree"}, {"Width", 150}});
    panel = &Make<ui::TPanel>(form, form, "BottomPanel",
                              {{"Align", Id("alBottom")}, {"Height", 40}, {"Caption", ""}});
    ok = &Make<ui::TButton>(
        form, *panel, "OkBtn",
        {{"Left", 130}, {"Top", 8}, {"Caption", "&OK"}, {"Default", Bool(true)}});
    cancel = &Make<ui::TButton>(
        form, *panel, "CancelBtn",
        {{"Left", 215}, {"Top", 8}, {"Caption", "Cancel"}, {"Cancel", Bool(true)}});
    form.EndLoading();
  }

  ui::TForm form{nullptr};
  ui::TLabel* label;
  ui::TEdit* edit;
  ui::TMemo* memo;
  ui::TCheckBox* check;
  ui::TPanel* panel;
  ui::TButton* ok;
  ui::TButton* cancel;
};

class UiFormTest : public UiTest {
 protected:
  Dialog dlg;
};

TEST_F(UiFormTest, ModalLoopRunsTheScriptUntilAModalResult) {
  dlg.ok->OnClick = [&](ui::TObject*) { dlg.form.SetModalResult(ui::mrOk); };
  bool shownDuringLoop = false;
  platform.Script({
      [&] {
        shownDuringLoop = dlg.form.Visible() && platform.applicationWindowVisible &&
                          dlg.form.HandleAllocated() && platform.modalDepth == 1 &&
                          app.ModalForm() == &dlg.form;
      },
      [&] { platform.Type(*dlg.edit, "x"); },
      [&] { platform.Click(*dlg.ok); },
  });
  EXPECT_EQ(dlg.form.ShowModal(), ui::mrOk);
  EXPECT_TRUE(shownDuringLoop);
  EXPECT_FALSE(dlg.form.Visible());
  EXPECT_FALSE(platform.applicationWindowVisible);
  EXPECT_EQ(platform.modalDepth, 0);
  EXPECT_EQ(app.ModalForm(), nullptr);
  EXPECT_EQ(dlg.edit->Text(), "x");
  // Centred on the 1024 x 768 screen with its frame around the 300 x 200 client area.
  EXPECT_EQ(dlg.form.Width(), 306);
  EXPECT_EQ(dlg.form.Left(), (1024 - 306) / 2);
}

TEST_F(UiFormTest, ARefusedCloseQueryKeepsTheFormOpen) {
  int queries = 0;
  dlg.form.OnCloseQuery = [&](ui::TObject* sender, bool& canClose) {
    EXPECT_EQ(sender, &dlg.form);
    canClose = ++queries > 1;
  };
  dlg.cancel->OnClick = [&](ui::TObject*) { dlg.form.Close(); };
  bool openAfterRefusal = false;
  platform.Script({
      [&] { platform.Click(*dlg.cancel); },
      [&] { openAfterRefusal = dlg.form.Visible() && dlg.form.ModalResult() == ui::mrNone; },
      [&] { platform.PressCloseBox(); },
  });
  EXPECT_EQ(dlg.form.ShowModal(), ui::mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_TRUE(openAfterRefusal);
}

TEST_F(UiFormTest, AModalLoopWithoutStepsFailsLoudlyAndHidesTheForm) {
  EXPECT_THROW(dlg.form.ShowModal(), ui::EHeadlessScript);
  EXPECT_FALSE(dlg.form.Visible());
  EXPECT_EQ(platform.modalDepth, 0);
  EXPECT_EQ(app.ModalForm(), nullptr);
}

TEST_F(UiFormTest, ControlsOutOfTheUsersReachCannotBeUsed) {
  dlg.ok->SetEnabled(false);
  EXPECT_THROW(platform.Click(*dlg.ok), ui::EHeadlessScript);  // the form is not even shown
  platform.Script({
      [&] { EXPECT_THROW(platform.Click(*dlg.ok), ui::EHeadlessScript); },
      [&] {
        dlg.panel->Hide();
        EXPECT_THROW(platform.Click(*dlg.cancel), ui::EHeadlessScript);
      },
      [&] { dlg.form.SetModalResult(ui::mrAbort); },
  });
  EXPECT_EQ(dlg.form.ShowModal(), ui::mrAbort);
}

// An error that leaves a click handler ends that handler only: the quiet error silently, any
// other with the error box; the form stays open and the loop goes on.
TEST_F(UiFormTest, ErrorsLeavingAHandlerAreRoutedAndTheLoopGoesOn) {
  struct Case {
    std::function<void()> raise;
    std::vector<std::string> boxes;
  };
  const std::vector<Case> cases = {
      {[] { throw EAbort(); }, {}},
      {[] { throw EFormError("bad"); }, {"Exception EFormError"}},
      {[] { throw std::runtime_error("x"); }, {"Exception EExternal"}},
      {[] { ui::TFileStream missing("C:\\nowhere\\file.txt", ui::TFileMode::OpenRead); }, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    os::SimOs local;
    os::MachineScope localScope(local);
    bool restDone = false;
    dlg.ok->OnClick = [&](ui::TObject*) {
      cases[i].raise();
      restDone = true;
    };
    bool openAfterError = false;
    platform.Script({
        [&] { platform.Click(*dlg.ok); },
        [&] { openAfterError = dlg.form.Visible(); },
        [&] { dlg.form.SetModalResult(ui::mrCancel); },
    });
    local.SetBoxResponder([](const os::MessageBoxCall&) { return os::kIdOk; });
    EXPECT_EQ(dlg.form.ShowModal(), ui::mrCancel) << i;
    EXPECT_TRUE(openAfterError) << i;
    EXPECT_FALSE(restDone) << i;
    std::vector<std::string> texts;
    for (const auto& box : local.MessageBoxes()) {
      texts.push_back(box.utf8Text);
      EXPECT_FALSE(box.wide);
      EXPECT_EQ(box.owner, 0u);
      EXPECT_FALSE(box.caption.has_value());
      EXPECT_EQ(box.style, os::kMbTaskModal | os::kMbIconError | os::kMbOk);
    }
    EXPECT_EQ(texts, cases[i].boxes) << i;
  }
}

TEST_F(UiFormTest, TheEndOfTheProcessPassesThroughHandlersAndTheLoop) {
  dlg.ok->OnClick = [&](ui::TObject*) { sim.ExitProcess(3); };
  platform.Script({[&] { platform.Click(*dlg.ok); }});
  try {
    dlg.form.ShowModal();
    ADD_FAILURE() << "the process did not end";
  } catch (const os::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 3u);
  }
  EXPECT_FALSE(dlg.form.Visible());
  EXPECT_TRUE(sim.MessageBoxes().empty());
}

// The close query that the loop asks once there is a modal result runs outside any message
// handler: its error, the quiet one too, leaves ShowModal.
TEST_F(UiFormTest, AnErrorOfTheLoopsCloseQueryLeavesShowModal) {
  dlg.form.OnCloseQuery = [](ui::TObject*, bool&) { throw EAbort(); };
  platform.Script({[&] { platform.PressCloseBox(); }});
  EXPECT_THROW(dlg.form.ShowModal(), EAbort);
  EXPECT_FALSE(dlg.form.Visible());
  EXPECT_EQ(app.ModalForm(), nullptr);
  EXPECT_TRUE(sim.MessageBoxes().empty());
}

// ---- Timer ---------------------------------------------------------------------------------

class TimerForm : public ui::TForm {
 public:
  TimerForm() : TForm(nullptr) {}
  std::function<void(unsigned)> onTimer;

 protected:
  void WMTimer(unsigned id) override { onTimer(id); }
};

TEST_F(UiFormTest, TimerTicksReachTheFormThroughTheMessageHandling) {
  TimerForm form;
  std::vector<unsigned> ticks;
  form.onTimer = [&](unsigned id) {
    ticks.push_back(id);
    if (ticks.size() == 2) throw EFormError("tick");
  };
  // Starting a timer makes the form's window, before the form is shown.
  EXPECT_TRUE(form.SetTimer(1, 1000));
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(platform.TimerInterval(form, 1), 1000u);
  sim.AnswerNextBox(os::kIdOk);
  platform.TickTimers();
  platform.TickTimers();  // its error goes to the error box
  platform.TickTimers();
  EXPECT_EQ(ticks, (std::vector<unsigned>{1, 1, 1}));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Exception EFormError"});
  form.KillTimer(1);
  platform.TickTimers();
  EXPECT_EQ(ticks.size(), 3u);
  form.SetTimer(1, 1000);
  form.DestroyHandle();
  EXPECT_FALSE(platform.TimerRunning(form, 1));
}

// While a message box is open its own loop goes on handling timer messages: the drive watch
// of the wizard relies on it.
TEST_F(UiFormTest, TimerTicksWhileAMessageBoxIsOpen) {
  TimerForm form;
  auto& button = Make<ui::TButton>(form, form, "AskBtn");
  std::vector<std::string> events;
  form.onTimer = [&](unsigned) { events.push_back("tick"); };
  button.OnClick = [&](ui::TObject*) {
    os::Machine().MessageBoxA(0, "Question?", std::nullopt, os::kMbYesNo);
    events.push_back("answered");
  };
  form.SetTimer(1, 1000);
  sim.AnswerNextBox([&](const os::MessageBoxCall&) {
    events.push_back("box");
    platform.TickTimers();
    platform.TickTimers();
    return os::kIdYes;
  });
  platform.Script({[&] { platform.Click(button); }, [&] { form.Close(); }});
  form.ShowModal();
  EXPECT_EQ(events, (std::vector<std::string>{"box", "tick", "tick", "answered"}));
}

// ---- End of the session --------------------------------------------------------------------

TEST_F(UiFormTest, TheSessionEndsOnlyWhenTheModalFormsCloseQueryAgrees) {
  bool allow = false;
  int queries = 0;
  dlg.form.OnCloseQuery = [&](ui::TObject*, bool& canClose) {
    ++queries;
    canClose = allow;
  };
  int ended = 0;
  app.OnEndSession = [&] { ++ended; };
  bool refused = false;
  bool agreed = false;
  platform.Script({
      [&] { refused = !platform.EndSession(); },
      [&] {
        allow = true;
        agreed = platform.EndSession();
      },
      [&] { dlg.form.SetModalResult(ui::mrOk); },
  });
  dlg.form.ShowModal();
  EXPECT_TRUE(refused);
  EXPECT_TRUE(agreed);
  EXPECT_EQ(queries, 3);  // two sessions, then the loop's own query
  EXPECT_EQ(ended, 1);
}

TEST_F(UiFormTest, AnErrorInTheSessionQueryRefusesTheEnd) {
  dlg.form.OnCloseQuery = [](ui::TObject*, bool&) { throw EFormError("query"); };
  sim.AnswerNextBox(os::kIdOk);
  platform.Script({[&] { EXPECT_FALSE(platform.EndSession()); },
                   [&] {
                     dlg.form.OnCloseQuery = nullptr;
                     dlg.form.Close();
                   }});
  dlg.form.ShowModal();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Exception EFormError"});
}

// Without a handler of its own the application ends the process with exit code 0 the way
// the program does at the end of a session.
TEST_F(UiFormTest, AnAgreedSessionEndEndsTheProcessWithExitCodeZero) {
  platform.Script({[&] { platform.EndSession(); }});
  try {
    dlg.form.ShowModal();
    ADD_FAILURE() << "the process did not end";
  } catch (const os::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_EQ(sim.ExitCode(), 0u);
}

// ---- The keyboard of a dialog ---------------------------------------------------------------

TEST_F(UiFormTest, EnterPressesTheDefaultOrTheFocusedButtonAndEscTheCancelButton) {
  std::vector<std::string> clicks;
  dlg.ok->OnClick = [&](ui::TObject*) { clicks.push_back("ok"); };
  dlg.cancel->OnClick = [&](ui::TObject*) { clicks.push_back("cancel"); };
  platform.Script({
      [&] {
        platform.Focus(*dlg.edit);
        EXPECT_TRUE(dlg.ok->ActiveDefault());
        EXPECT_TRUE(platform.PressKey(DialogKey::Enter));
        EXPECT_TRUE(platform.PressKey(DialogKey::Escape));
      },
      [&] {
        // A focused button is the one Enter presses, and is drawn as the default.
        platform.Focus(*dlg.cancel);
        EXPECT_TRUE(dlg.cancel->ActiveDefault());
        EXPECT_FALSE(dlg.ok->ActiveDefault());
        platform.PressKey(DialogKey::Enter);
      },
      [&] {
        // A multi-line text box keeps Enter for itself.
        platform.Focus(*dlg.memo);
        EXPECT_FALSE(platform.PressKey(DialogKey::Enter));
      },
      [&] {
        // A disabled cancel button makes Esc do nothing; so does a disabled default button
        // to Enter.
        platform.Focus(*dlg.edit);
        dlg.cancel->SetEnabled(false);
        dlg.ok->SetEnabled(false);
        EXPECT_FALSE(platform.PressKey(DialogKey::Escape));
        EXPECT_FALSE(platform.PressKey(DialogKey::Enter));
      },
      [&] { dlg.form.SetModalResult(ui::mrOk); },
  });
  dlg.form.ShowModal();
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel", "cancel"}));
}

TEST_F(UiFormTest, TabMovesTheFocusInTabOrderPastControlsThatCannotTakeIt) {
  dlg.check->SetEnabled(false);
  std::vector<std::string> focus;
  auto record = [&] { focus.push_back(dlg.form.ActiveControl()->Name()); };
  platform.Script({
      [&] {
        record();  // the first control in tab order has the focus at the start
        for (int i = 0; i < 4; ++i) {
          platform.PressKey(DialogKey::Tab);
          record();
        }
        platform.PressKey(DialogKey::Tab, true);
        record();
      },
      [&] { dlg.form.Close(); },
  });
  dlg.form.ShowModal();
  EXPECT_EQ(focus, (std::vector<std::string>{"NameEdt", "NotesMemo", "OkBtn", "CancelBtn",
                                             "NameEdt", "CancelBtn"}));
}

TEST_F(UiFormTest, AcceleratorsClickButtonsToggleCheckBoxesAndFocusALabelsControl) {
  int okClicks = 0;
  dlg.ok->OnClick = [&](ui::TObject*) { ++okClicks; };
  platform.Script({
      [&] {
        platform.Focus(*dlg.memo);
        EXPECT_TRUE(platform.PressAlt('n'));
        EXPECT_EQ(dlg.form.ActiveControl(), dlg.edit);
        EXPECT_TRUE(platform.PressAlt('A'));
        EXPECT_TRUE(dlg.check->Checked());
        EXPECT_EQ(dlg.form.ActiveControl(), dlg.check);
        EXPECT_TRUE(platform.PressAlt('o'));
        EXPECT_FALSE(platform.PressAlt('z'));
        // A control that is not showing has no accelerator.
        dlg.check->Hide();
        EXPECT_FALSE(platform.PressAlt('a'));
      },
      [&] { dlg.form.Close(); },
  });
  dlg.form.ShowModal();
  EXPECT_EQ(okClicks, 1);
}

TEST_F(UiFormTest, HidingOrDisablingTheFocusedControlGivesTheFocusToTheForm) {
  platform.Script({
      [&] {
        platform.Focus(*dlg.edit);
        dlg.edit->SetEnabled(false);
        EXPECT_EQ(dlg.form.ActiveControl(), nullptr);
        platform.Focus(*dlg.ok);
        dlg.panel->Hide();
        EXPECT_EQ(dlg.form.ActiveControl(), nullptr);
        EXPECT_THROW(dlg.ok->SetFocus(), ui::EInvalidOperation);
      },
      [&] { dlg.form.Close(); },
  });
  dlg.form.ShowModal();
}

}  // namespace

namespace {

// The program's end of a session frees the application object before it ends the process;
// the modal loop that the end passes through must not touch the freed object.
TEST(UiSessionTest, TheEndOfTheSessionMayFreeTheApplicationOnItsWay) {
  os::SimOs sim;
  os::MachineScope scope(sim);
  ui::HeadlessPlatform platform;
  auto app = std::make_unique<ui::Application>(platform);
  ui::TForm form(nullptr);
  app->OnEndSession = [&] {
    // The handler is the application's own: nothing of it is used once it is freed.
    os::SimOs& machine = sim;
    std::unique_ptr<ui::Application>& owner = app;
    owner.reset();
    machine.ExitProcess(0);
  };
  platform.Script({[&] { platform.EndSession(); }});
  EXPECT_THROW(form.ShowModal(), os::ProcessExit);
  EXPECT_EQ(ui::TheApplication(), nullptr);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(platform.modalDepth, 0);
}

}  // namespace
