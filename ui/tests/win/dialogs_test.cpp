// Message dialogs with their delay, dialog templates, stored placement and file dialogs.
#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/file_dialog.h"
#include "ui/form.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/timer.h"

namespace kv::ui {
namespace {

using testing::MakeForeground;
using testing::PumpFor;
using testing::PumpUntil;
using testing::SendKey;

class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  void TearDown() override { SetMessageDialogObserver(nullptr); }
  static TFormParams Params(const std::string& caption, TRect bounds) {
    TFormParams p;
    p.caption = caption;
    p.bounds = bounds;
    return p;
  }
};

TEST_F(DialogsTest, MessageDialogLaysOutItsButtonsAndAnswers) {
  TMessageForm* shown = nullptr;
  SetMessageDialogObserver([&](TMessageForm& f) {
    shown = &f;
    Application().Post([&f] { f.ButtonFor(mrNo)->Perform(BM_CLICK); });
  });
  EXPECT_EQ(MessageDlg("Save the changes?", TMsgDlgType::Confirmation, mbYesNoCancel), mrNo);
  ASSERT_NE(shown, nullptr);
}

TEST_F(DialogsTest, MessageFormHasTheButtonsAskedForInOrder) {
  TMessageForm form("Failed to open MIDI IN device \"A\".", TMsgDlgType::Information,
                    mbOK | mbCancel | mbYes);
  ASSERT_EQ(form.Buttons().size(), 3u);
  EXPECT_EQ(form.Buttons()[0]->Text(), "&Yes");
  EXPECT_EQ(form.Buttons()[1]->Text(), "OK");
  EXPECT_EQ(form.Buttons()[2]->Text(), "Cancel");
  EXPECT_EQ(form.Text(), "Information");
  EXPECT_LT(form.Buttons()[0]->Left(), form.Buttons()[1]->Left());
  TMessageForm none("x", TMsgDlgType::Error, 0);  // no buttons asked for: OK
  ASSERT_EQ(none.Buttons().size(), 1u);
  EXPECT_EQ(none.Buttons()[0]->ModalResult(), mrOk);
}

TEST_F(DialogsTest, DelayedDialogAnswersOnlyAfterItsDelay) {
  TMessageForm* dialog = nullptr;
  bool tried = false, disabledAtFirst = false, closeBoxGone = false, earlyAnswerIgnored = false;
  // A posted call comes before any timer message: this one runs in the dialog's modal loop
  // before its delay can have elapsed, however late a busy machine lets the thread run.
  auto answerEarly = [&] {
    TButton* yes = dialog->ButtonFor(mrYes);
    tried = true;
    disabledAtFirst = dialog->Visible() && !yes->Enabled();
    closeBoxGone = !(GetWindowLongW(dialog->Handle(), GWL_STYLE) & WS_SYSMENU);
    yes->Perform(BM_CLICK);     // a disabled button cannot answer
    dialog->Perform(WM_CLOSE);  // nor can closing it
    earlyAnswerIgnored = dialog->ModalResult() == mrNone;
  };
  TTimer poll(10);
  poll.OnTimer = [&] {
    if (!tried) return;
    TButton* yes = dialog->ButtonFor(mrYes);
    if (yes->Enabled()) {
      poll.Stop();
      yes->Perform(BM_CLICK);
    }
  };
  SetMessageDialogObserver([&](TMessageForm& f) {
    dialog = &f;
    Application().Post(answerEarly);
  });
  poll.Start();
  EXPECT_EQ(MessageDlgDelayed("Apply the changes?", TMsgDlgType::Confirmation, mbYesNo, 200),
            mrYes);
  EXPECT_TRUE(disabledAtFirst);
  EXPECT_TRUE(closeBoxGone);
  EXPECT_TRUE(earlyAnswerIgnored);
}

TEST_F(DialogsTest, ShortDelaysAreNoDelay) {
  SetMessageDialogObserver([](TMessageForm& f) {
    EXPECT_TRUE(f.ButtonFor(mrOk)->Enabled());
    Application().Post([&f] { f.ButtonFor(mrOk)->Perform(BM_CLICK); });
  });
  EXPECT_EQ(MessageDlgDelayed("Done.", TMsgDlgType::Information, mbOK, 100), mrOk);
}

TEST_F(DialogsTest, TheDelayCountsOnlyWhileTheDialogIsActive) {
  TMessageForm form("Sure?", TMsgDlgType::Warning, mbYesNo);
  int ownActivations = 0;
  TSubscription own = form.OnActivate.Subscribe([&] { ++ownActivations; });
  TInitialDisabledForm delay(form, 150);
  EXPECT_FALSE(form.ButtonFor(mrYes)->Enabled());
  EXPECT_FALSE(delay.Counting());
  // Active, then inactive before the delay ran: the buttons stay disabled however long.
  SendMessageW(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(delay.Counting());
  SendMessageW(form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(delay.Counting());
  PumpFor(500);
  EXPECT_FALSE(form.ButtonFor(mrYes)->Enabled());
  EXPECT_FALSE(form.ButtonFor(mrNo)->Enabled());
  EXPECT_TRUE(delay.Armed());
  // Active again: the whole delay runs, then every button is enabled for good.
  SendMessageW(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  ASSERT_TRUE(PumpUntil([&] {
    // The window system's own activation changes (the windows of the tests before settling)
    // may deactivate the form meanwhile; activating it again restarts the whole delay.
    if (delay.Armed() && !delay.Counting()) SendMessageW(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    return form.ButtonFor(mrYes)->Enabled();
  }));
  EXPECT_TRUE(form.ButtonFor(mrNo)->Enabled());
  EXPECT_FALSE(delay.Armed());
  SendMessageW(form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(delay.Counting());
  EXPECT_TRUE(form.ButtonFor(mrYes)->Enabled());
  EXPECT_GE(ownActivations, 2);  // the dialog's own listener heard the activations too
}

TEST_F(DialogsTest, CheckBoxDialogReturnsTheBoxState) {
  int clientHeight = 0;
  SetMessageDialogObserver([&](TMessageForm& f) {
    ASSERT_NE(f.CheckBox(), nullptr);
    EXPECT_FALSE(f.CheckBox()->Checked());
    EXPECT_EQ(f.CheckBox()->Text(), "Do not ask in future");
    EXPECT_EQ(f.CheckBox()->Left(), 8);
    clientHeight = f.ClientRect().Height();
    EXPECT_EQ(f.CheckBox()->BoundsRect().bottom + 8, clientHeight);
    Application().Post([&f] {
      f.CheckBox()->Perform(BM_CLICK);
      f.ButtonFor(mrYes)->Perform(BM_CLICK);
    });
  });
  bool checked = false;
  EXPECT_EQ(MessageDlgWithCheckBox("Do you really want to quit?", TMsgDlgType::Confirmation,
                                   mbYesNoCancel, checked, "Do not ask in future"),
            mrYes);
  EXPECT_TRUE(checked);
  EXPECT_GT(clientHeight, 0);
}

TEST_F(DialogsTest, DialogTemplateControlsAreWrappedByTheirIds) {
  TForm dialog(TDialogTemplate{L"TESTDIALOG"});
  EXPECT_EQ(dialog.Text(), "Test dialog");
  TEdit& name = dialog.Attach<TEdit>(101);
  TCheckBox& active = dialog.Attach<TCheckBox>(102);
  int changes = 0;
  name.OnChange = [&] { ++changes; };
  name.SetText("Port 1");
  EXPECT_EQ(changes, 1);
  active.SetChecked(true);
  Application().Post([&] {
    MakeForeground(dialog.Handle());
    name.SetFocus();
    SendKey(VK_RETURN);  // the template's default button
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(name.Text(), "Port 1");
  EXPECT_TRUE(active.Checked());
  Application().Post([&] {
    MakeForeground(dialog.Handle());
    name.SetFocus();
    SendKey(VK_ESCAPE);
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(DialogsTest, PlacementRoundTripsThroughTheSettings) {
  TRect work = WorkArea();
  TForm form(Params("Placed", TRect::FromBounds(work.left + 40, work.top + 30, 300, 200)));
  form.Show();
  TMemIniFile ini;
  SaveFormPlacement(form, ini, "Current", kPlaceSize | kPlacePosition | kPlaceVisible, "Log");
  EXPECT_EQ(ini.ReadInteger("Current", "LogLeft", -1), 40);
  EXPECT_EQ(ini.ReadInteger("Current", "LogTop", -1), 30);
  EXPECT_EQ(ini.ReadInteger("Current", "LogWidth", -1), 300);
  EXPECT_TRUE(ini.ReadBool("Current", "LogVisible", false));

  // Maximised: state 2 and the normal size.
  form.SetWindowState(TWindowState::Maximized);
  ASSERT_TRUE(PumpUntil([&] { return form.WindowState() == TWindowState::Maximized; }));
  SaveFormPlacement(form, ini, "Current", kPlaceSize | kPlacePosition | kPlaceMaximized, "Log");
  EXPECT_EQ(ini.ReadInteger("Current", "LogState", -1), 2);
  EXPECT_EQ(ini.ReadInteger("Current", "LogWidth", -1), 300);
  EXPECT_EQ(ini.ReadInteger("Current", "LogHeight", -1), 200);

  TForm other(Params("Other", TRect::FromBounds(0, 0, 120, 90)));
  ini.WriteInteger("Current", "LogLeft", 100000);  // far right of the screen
  LoadFormPlacement(other, ini, "Current", kPlaceSize | kPlacePosition, "Log");
  EXPECT_EQ(other.ScreenRect().right, work.right);  // the whole window back on the screen
  EXPECT_EQ(other.Width(), 300);
  Application().SetMainShowCommand(SW_SHOWNORMAL);
}

TEST_F(DialogsTest, WithoutStoredPositionAWindowIsCentredOverItsOwner) {
  TRect work = WorkArea();
  TForm owner(Params("Owner", TRect::FromBounds(work.left + 100, work.top + 100, 400, 300)));
  owner.Show();
  TFormParams p = Params("Child", TRect::FromBounds(0, 0, 200, 100));
  p.owner = &owner;
  TForm child(p);
  TMemIniFile empty;
  LoadFormPlacement(child, empty, "Current", kPlacePosition, "Child");
  EXPECT_EQ(child.ScreenRect().left, work.left + 100 + 200 - 100);
  EXPECT_EQ(child.ScreenRect().top, work.top + 100 + 150 - 50);
  // A broken store changes nothing and raises nothing.
  CenterFormOver(child, nullptr);
  EXPECT_EQ(child.ScreenRect().left, work.left + work.Width() / 2 - 100);
}

TEST_F(DialogsTest, FileDialogFiltersBecomeTheDialogsText) {
  std::wstring text = FilterToDialogText("Projects (*.kvxp)|*.kvxp|All files|*.*");
  EXPECT_EQ(text, std::wstring(L"Projects (*.kvxp)\0*.kvxp\0All files\0*.*\0\0", 40));
}

}  // namespace
}  // namespace kv::ui
