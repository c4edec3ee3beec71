// The window base, forms, the message loop and its keyboard navigation, driven by real
// messages and input under Wine.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "base/exception.h"
#include "base/main_thread.h"
#include "ui/action.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/timer.h"

namespace kv::ui {
namespace {

using testing::MakeForeground;
using testing::PumpUntil;
using testing::SendKey;

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  void SetUp() override {
    Application().OnException = [this](const std::string& m) { errors.push_back(m); };
  }
  void TearDown() override { Application().OnException.Clear(); }

  static TFormParams Params(const std::string& caption) {
    TFormParams p;
    p.caption = caption;
    p.bounds = TRect::FromBounds(100, 100, 320, 200);
    return p;
  }
  std::vector<std::string> errors;
};

// Counts its own destruction and the loss of its handle.
class TProbe : public TCustomControl {
 public:
  TProbe(TWindow& parent, int* freed) : TCustomControl(parent, {0, 0, 10, 10}), freed_(freed) {}
  ~TProbe() override { ++*freed_; }

 protected:
  void Timer(UINT_PTR id) override { ticks.push_back(id); }

 public:
  std::vector<UINT_PTR> ticks;

 private:
  int* freed_;
};

TEST_F(WindowTest, AWindowFreesWhatItOwnsLastMadeFirst) {
  int freed = 0;
  HWND childHandle = nullptr;
  {
    TForm form(Params("Owner"));
    TPanel& panel = form.Add<TPanel>(form, TRect::FromBounds(0, 0, 100, 100));
    TProbe& probe = panel.Add<TProbe>(panel, &freed);
    childHandle = probe.Handle();
    EXPECT_EQ(TWindow::FromHandle(childHandle), &probe);
    EXPECT_EQ(probe.ParentWindow(), &panel);
    EXPECT_EQ(FindParentForm(probe), &form);
    TProbe& other = form.Add<TProbe>(form, &freed);
    EXPECT_TRUE(form.Free(other));
    EXPECT_EQ(freed, 1);
    EXPECT_FALSE(form.Free(other));
  }
  EXPECT_EQ(freed, 2);
  EXPECT_FALSE(IsWindow(childHandle));
}

// A child that, as it goes, looks whether an action of its form is still there.
class TActionWatcher : public TCustomControl {
 public:
  TActionWatcher(TWindow& parent, std::weak_ptr<int> action, bool* actionAlive)
      : TCustomControl(parent, {0, 0, 10, 10}), action_(std::move(action)), alive_(actionAlive) {}
  ~TActionWatcher() override { *alive_ = !action_.expired(); }

 private:
  std::weak_ptr<int> action_;
  bool* alive_;
};

TEST_F(WindowTest, AFormsChildrenGoBeforeItsActions) {
  // Toolbar buttons and buttons unlink from their actions as they go: a form's actions must
  // outlive its controls, however deep they sit.
  bool alive = false;
  {
    TForm form(Params("Actions"));
    auto token = std::make_shared<int>(0);
    TAction& action = form.Actions().Add("Act");
    action.OnUpdate = [token](TAction&) {};  // the action holds the token while it lives
    TPanel& band = form.Add<TPanel>(form, TRect::FromBounds(0, 0, 100, 30));
    band.Add<TActionWatcher>(band, std::weak_ptr<int>(token), &alive);
  }
  EXPECT_TRUE(alive);
}

// Every showing is reported once, also those Wine sends no WM_SHOWWINDOW for (maximised,
// minimised, SetWindowPos), and so is every hiding.
TEST_F(WindowTest, EachShowingAndHidingIsReportedOnce) {
  TForm form(Params("Shown"));
  int shown = 0, hidden = 0;
  form.OnShow = [&] { ++shown; };
  form.OnHide = [&] { ++hidden; };
  int expected = 0;
  for (const int command : {SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE, -1}) {
    SCOPED_TRACE(command);
    if (command < 0)
      SetWindowPos(form.Handle(), nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
      form.ShowWithCommand(command);
    ShowWindow(form.Handle(), SW_SHOW);  // already shown: nothing to report
    ++expected;
    EXPECT_EQ(shown, expected);
    form.Hide();
    form.Hide();
    EXPECT_EQ(hidden, expected);
  }
}

TEST_F(WindowTest, AHandleDestroyedByWindowsLeavesTheObjectUsable) {
  int freed = 0;
  TForm form(Params("Owner"));
  TProbe& probe = form.Add<TProbe>(form, &freed);
  DestroyWindow(probe.Handle());
  EXPECT_FALSE(probe.HandleAllocated());
  probe.SetText("ignored");  // no handle: nothing happens
  probe.Invalidate();
  EXPECT_EQ(probe.Text(), "");
}

TEST_F(WindowTest, ChildNotificationsReachTheChildsObject) {
  TForm form(Params("Buttons"));
  TButton& button = form.Add<TButton>(form, "Go", TRect::FromBounds(10, 10, 80, 25));
  TEdit& edit = form.Add<TEdit>(form, TRect::FromBounds(10, 50, 100, 22));
  int clicks = 0, changes = 0;
  button.OnClick = [&] { ++clicks; };
  edit.OnChange = [&] { ++changes; };
  button.Perform(BM_CLICK);
  edit.SetText("abc");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit.Text(), "abc");
}

TEST_F(WindowTest, OwnWindowsClickOnAReleaseInsideAfterAPress) {
  TForm form(Params("Clicks"));
  TPanel& panel = form.Add<TPanel>(form, TRect::FromBounds(10, 10, 50, 50));
  int clicks = 0;
  std::vector<int> downs;
  panel.OnClick = [&] { ++clicks; };
  panel.OnMouseDown = [&](TMouseButton, TShiftState, int x, int) { downs.push_back(x); };
  panel.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  panel.Perform(WM_LBUTTONUP, 0, MAKELPARAM(7, 8));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(downs, std::vector<int>{5});
  panel.Perform(WM_LBUTTONUP, 0, MAKELPARAM(7, 8));  // a release without a press
  panel.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  panel.Perform(WM_LBUTTONUP, 0, MAKELPARAM(70, 8));  // released outside
  EXPECT_EQ(clicks, 1);
}

TEST_F(WindowTest, ExceptionsNeverLeaveAWindowProcedureOrTimer) {
  TForm form(Params("Throws"));
  TButton& button = form.Add<TButton>(form, "Go", TRect::FromBounds(10, 10, 80, 25));
  button.OnClick = [] { throw Exception("Cannot save the file"); };
  button.Perform(BM_CLICK);
  TTimer timer(1);
  timer.OnTimer = [&] {
    timer.Stop();
    throw std::runtime_error("timer failed");
  };
  timer.Start();
  ASSERT_TRUE(PumpUntil([&] { return errors.size() == 2; }));
  EXPECT_EQ(errors[0], "Cannot save the file");
  EXPECT_EQ(errors[1], "timer failed");
  EXPECT_FALSE(timer.Enabled());
}

TEST_F(WindowTest, WindowTimersAndStandaloneTimersRunUntilStopped) {
  int freed = 0;
  TForm form(Params("Timers"));
  TProbe& probe = form.Add<TProbe>(form, &freed);
  probe.StartTimer(7, 1);
  ASSERT_TRUE(PumpUntil([&] { return probe.ticks.size() >= 2; }));
  probe.StopTimer(7);
  EXPECT_EQ(probe.ticks.front(), 7u);

  TTimer timer(1);
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 3) timer.Stop();
  };
  timer.Start();
  ASSERT_TRUE(PumpUntil([&] { return !timer.Enabled(); }));
  EXPECT_EQ(ticks, 3);
}

TEST_F(WindowTest, CallsFromOtherThreadsRunOnTheMainThreadFromTheLoop) {
  std::thread::id ranOn;
  bool done = false;
  std::thread worker([&] {
    TMainThreadCalls::Instance().Queue([&] {
      ranOn = std::this_thread::get_id();
      done = true;
    });
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return done; }));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  int value = 0;
  std::thread blocking([&] { TMainThreadCalls::Instance().Synchronize([&] { value = 42; }); });
  ASSERT_TRUE(PumpUntil([&] { return value == 42; }));
  blocking.join();
}

TEST_F(WindowTest, ModalFormDisablesTheOtherWindowsUntilItEnds) {
  TForm main(Params("Main"));
  main.Show();
  TForm other(Params("Other"));
  other.Show();
  TForm dialog(Params("Modal"));
  TButton& ok = dialog.Add<TButton>(dialog, "OK", TRect::FromBounds(10, 10, 80, 25));
  ok.SetModalResult(mrOk);
  bool othersDisabled = false;
  Application().Post([&] {
    othersDisabled = !IsWindowEnabled(main.Handle()) && !IsWindowEnabled(other.Handle()) &&
                     IsWindowEnabled(dialog.Handle());
    ok.Perform(BM_CLICK);
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(othersDisabled);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_TRUE(IsWindowEnabled(other.Handle()));
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(dialog.IsModal());

  // Closing a modal form (the close box) ends it with Cancel; a close query can refuse.
  int queries = 0;
  dialog.OnCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };
  Application().Post([&] {
    dialog.Perform(WM_CLOSE);  // refused
    Application().Post([&] { dialog.Perform(WM_CLOSE); });
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
}

TEST_F(WindowTest, TabEnterAndEscapeNavigateLikeADialog) {
  TForm form(Params("Keys"));
  TEdit& first = form.Add<TEdit>(form, TRect::FromBounds(10, 10, 100, 22));
  TEdit& second = form.Add<TEdit>(form, TRect::FromBounds(10, 40, 100, 22));
  TButton& ok = form.Add<TButton>(form, "OK", TRect::FromBounds(10, 70, 80, 25), IDOK);
  TButton& cancel = form.Add<TButton>(form, "Cancel", TRect::FromBounds(100, 70, 80, 25));
  ok.SetModalResult(mrOk);
  cancel.SetModalResult(mrCancel);
  form.SetDefaultButton(&ok);
  form.SetCancelButton(&cancel);
  std::vector<std::string> steps;
  Application().Post([&] {
    if (!MakeForeground(form.Handle())) steps.push_back("no foreground");
    first.SetFocus();
    SendKey(VK_TAB);
    PumpUntil([&] { return second.Focused(); }, 5000);
    steps.push_back(second.Focused() ? "tab" : "no tab");
    SendKey(VK_RETURN);
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(steps, std::vector<std::string>{"tab"});

  Application().Post([&] {
    MakeForeground(form.Handle());
    first.SetFocus();
    SendKey(VK_ESCAPE);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(WindowTest, MultiLineFieldsLeaveTabAndEscapeToTheDialog) {
  // The field on a panel, as on a dialog's page: its parent is not the dialog.
  TForm form(Params("Multi-line"));
  TPanel& page = form.Add<TPanel>(form, TRect::FromBounds(0, 0, 300, 200));
  TEdit& before = page.Add<TEdit>(page, TRect::FromBounds(10, 10, 100, 22));
  TEditOptions o;
  o.multiLine = true;
  o.wantReturns = true;
  TEdit& comments = page.Add<TEdit>(page, TRect::FromBounds(10, 40, 200, 80), o);
  TEdit& after = page.Add<TEdit>(page, TRect::FromBounds(10, 130, 100, 22));
  o.wantReturns = false;
  o.readOnly = true;
  TEdit& notes = page.Add<TEdit>(page, TRect::FromBounds(120, 130, 150, 40), o);
  TButton& cancel = form.Add<TButton>(form, "Cancel", TRect::FromBounds(10, 210, 80, 25), IDCANCEL);
  cancel.SetModalResult(mrCancel);
  form.SetCancelButton(&cancel);
  TButton& apply = form.Add<TButton>(form, "Apply", TRect::FromBounds(100, 210, 80, 25), IDOK);
  int applied = 0;
  apply.OnClick = [&] { ++applied; };
  form.SetDefaultButton(&apply);
  std::vector<std::string> steps;
  Application().Post([&] {
    MakeForeground(form.Handle());
    // Enter makes a new line where the field wants it, and presses the default button where not.
    comments.SetFocus();
    SendKey(VK_RETURN);
    steps.push_back(PumpUntil([&] { return comments.Text() == "\r\n"; }, 5000) ? "line" : "no line");
    comments.SetText("");
    notes.SetFocus();
    SendKey(VK_RETURN);
    steps.push_back(PumpUntil([&] { return applied == 1; }, 5000) ? "default" : "no default");
    comments.SetFocus();
    SendKey(VK_TAB);
    steps.push_back(PumpUntil([&] { return after.Focused(); }, 5000) ? "tab" : "no tab");
    comments.SetFocus();
    SendKey(VK_TAB, false, true);
    steps.push_back(PumpUntil([&] { return before.Focused(); }, 5000) ? "back" : "no back");
    comments.SetFocus();
    SendKey(VK_ESCAPE);
    if (!PumpUntil([&] { return form.ModalResult() != mrNone; }, 5000)) {
      steps.push_back("no cancel");
      form.SetModalResult(mrOk);
    }
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(steps, (std::vector<std::string>{"line", "default", "tab", "back"}));
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(comments.Text(), "");
  // Asked to close, as such a field asks its parent, a child window stays.
  page.Perform(WM_CLOSE);
  EXPECT_TRUE(page.HandleAllocated());
}

TEST_F(WindowTest, ActivationFocusesTheFirstControlThenTheLastFocusedOne) {
  TForm form(Params("Focus"));
  TEdit& first = form.Add<TEdit>(form, TRect::FromBounds(10, 10, 100, 22));
  TEdit& second = form.Add<TEdit>(form, TRect::FromBounds(10, 40, 100, 22));
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  ASSERT_TRUE(PumpUntil([&] { return first.Focused(); }));
  second.SetFocus();
  form.Perform(WM_ACTIVATE, WA_INACTIVE, 0);
  first.SetFocus();  // moved while inactive, by the program
  form.Perform(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(second.Focused());
  // A last focused control gone out of sight meanwhile (its page hidden) is passed over.
  form.Perform(WM_ACTIVATE, WA_INACTIVE, 0);
  second.Hide();
  form.Perform(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(first.Focused());
}

TEST_F(WindowTest, KeyPreviewSeesKeysFirstAndMaySwallowThem) {
  TForm form(Params("Preview"));
  TEdit& edit = form.Add<TEdit>(form, TRect::FromBounds(10, 10, 100, 22));
  TButton& done = form.Add<TButton>(form, "Done", TRect::FromBounds(10, 70, 80, 25));
  done.SetModalResult(mrOk);
  form.SetKeyPreview(true);
  std::vector<std::string> seen;
  form.OnKeyDown = [&](WORD& key, TShiftState) {
    seen.push_back("form " + std::to_string(key));
    if (key == 'B') key = 0;
  };
  edit.OnKeyDown = [&](WORD& key, TShiftState) { seen.push_back("edit " + std::to_string(key)); };
  Application().Post([&] {
    MakeForeground(form.Handle());
    edit.SetFocus();
    SendKey('A');
    SendKey('B');
    PumpUntil([&] { return seen.size() >= 3; }, 5000);
    done.Perform(BM_CLICK);
  });
  form.ShowModal();
  EXPECT_EQ(seen, (std::vector<std::string>{"form 65", "edit 65", "form 66"}));
  EXPECT_EQ(edit.Text(), "a");
}

TEST_F(WindowTest, ActivationOfTheApplicationIsReported) {
  TForm form(Params("Active"));
  form.Show();
  int activations = 0;
  int deactivations = 0;
  TSubscription activated = Application().OnActivate.Subscribe([&] { ++activations; });
  TSubscription deactivated = Application().OnDeactivate.Subscribe([&] { ++deactivations; });
  // Report a change both ways; only real changes are told.
  Application().ActivationChanged(false);
  Application().ActivationChanged(false);
  EXPECT_LE(deactivations, 1);  // only when the program was active before
  Application().ActivationChanged(true);
  Application().ActivationChanged(true);
  EXPECT_EQ(activations, 1);
  EXPECT_TRUE(Application().Active());
}

TEST_F(WindowTest, HintsOfControlsBecomeTheApplicationHint) {
  TForm form(Params("Hints"));
  TButton& button = form.Add<TButton>(form, "Go", TRect::FromBounds(10, 10, 80, 25));
  button.SetHint("Go|Starts going");
  form.Show();
  std::vector<std::string> hints;
  Application().OnHint = [&] { hints.push_back(Application().Hint()); };
  PostMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PostMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
  ASSERT_TRUE(PumpUntil([&] { return hints.size() >= 2; }));
  EXPECT_EQ(hints[0], "Starts going");
  EXPECT_EQ(hints[1], "");
  Application().OnHint.Clear();
}

TEST_F(WindowTest, ScreenHasAColourDepthAndChangesAreToldOnce) {
  int depth = TApplication::ScreenColorDepth();
  EXPECT_GE(depth, 8);
  TForm first(Params("One"));
  TForm second(Params("Two"));
  std::vector<int> told;
  TSubscription listener =
      Application().OnDisplayChange.Subscribe([&](int bits) { told.push_back(bits); });
  LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  first.Perform(WM_DISPLAYCHANGE, depth, size);  // no change
  first.Perform(WM_DISPLAYCHANGE, 8, size);
  second.Perform(WM_DISPLAYCHANGE, 8, size);  // the same change, seen by another window
  first.Perform(WM_DISPLAYCHANGE, depth, size);
  EXPECT_EQ(told, (std::vector<int>{8, depth}));
}

}  // namespace
}  // namespace kv::ui
