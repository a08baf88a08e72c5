#include "MessageBoxes.h"

#include <gtest/gtest.h>

#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessPlatform.h"

namespace {

class MessageBoxesTest : public testing::Test {
 protected:
  os::SimOs sim;
  os::MachineScope scope{sim};
};

TEST_F(MessageBoxesTest, StyleByDialogTypeAndButtonSet) {
  struct Case {
    std::uint8_t type;
    TMsgDlgButtons buttons;
    std::uint32_t style;
  };
  const std::uint32_t m = os::kMbTaskModal;
  for (const Case& c : std::initializer_list<Case>{
           {mtWarning, mbOK, m | os::kMbIconWarning | os::kMbOk},
           {mtError, mbAbort | mbRetry | mbIgnore, m | os::kMbIconError | os::kMbAbortRetryIgnore},
           {mtInformation, mbYes | mbNo, m | os::kMbIconInformation | os::kMbYesNo},
           {mtConfirmation, mbOK | mbCancel, m | os::kMbIconQuestion | os::kMbOkCancel},
           {4, mbRetry | mbCancel, m | os::kMbIconError | os::kMbRetryCancel},
           {255, mbYes | mbNo | mbCancel, m | os::kMbIconError | os::kMbYesNoCancel},
           {mtWarning, 0, m | os::kMbIconWarning | os::kMbOk},
           {mtWarning, mbYes | mbNo | mbOK, m | os::kMbIconWarning | os::kMbOk},
           {mtWarning, mbAbort | mbRetry, m | os::kMbIconWarning | os::kMbOk},
       }) {
    EXPECT_EQ(MessageBoxStyle(c.type, c.buttons), c.style)
        << int(c.type) << " buttons " << c.buttons;
  }
}

TEST_F(MessageBoxesTest, AnswersMapToTheButtonPressedAndEverythingElseToOk) {
  struct Case {
    int result, answer;
  };
  for (const Case& c : std::initializer_list<Case>{{os::kIdOk, mrOk},
                                                   {os::kIdCancel, mrCancel},
                                                   {os::kIdAbort, mrAbort},
                                                   {os::kIdRetry, mrRetry},
                                                   {os::kIdIgnore, mrIgnore},
                                                   {os::kIdYes, mrYes},
                                                   {os::kIdNo, mrNo},
                                                   {0, mrOk},
                                                   {11, mrOk}}) {
    sim.AnswerNextBox(c.result);
    EXPECT_EQ(ShowMessageBox("Question?", mtConfirmation, mbYes | mbNo), c.answer) << c.result;
  }
}

TEST_F(MessageBoxesTest, CaptionLanguageOwnerAndText) {
  sim.AnswerNextBox(os::kIdOk);
  ShowMessageBox("First line\rSecond line", mtInformation, mbOK);
  ASSERT_EQ(sim.MessageBoxes().size(), 1u);
  const os::MessageBoxCall& box = sim.MessageBoxes()[0];
  EXPECT_TRUE(box.wide);
  EXPECT_EQ(box.owner, 0u);  // no application object yet
  EXPECT_EQ(box.utf8Text, "First line\rSecond line");
  EXPECT_EQ(box.utf8Caption, "Veloquin Bulgarian Spellchecker - Setup");
  EXPECT_EQ(box.language, 1033);

  ui::HeadlessPlatform platform;
  ui::Application application(platform);
  sim.AnswerNextBox(os::kIdOk);
  ShowMessageBox("Owned", mtInformation, mbOK);
  EXPECT_EQ(sim.MessageBoxes()[1].owner, application.Handle());
  EXPECT_NE(application.Handle(), 0u);
}

TEST_F(MessageBoxesTest, TextIsWidenedWithTheAnsiCodePage) {
  sim.SetCodePage(1251);
  sim.AnswerNextBox(os::kIdOk);
  ShowMessageBox("\xcf\xe0\xef\xea\xe0", mtError, mbOK);  // "Папка" in 1251
  EXPECT_EQ(sim.MessageBoxes()[0].utf8Text, "Папка");
}

}  // namespace
