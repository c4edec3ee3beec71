// The translator editor's window driven under Wine: translators of every kind loaded into
// their panel views, kinds switched and applied, rules typed while the builder follows the
// caret, MIDI captured from a loopback input through the real engine, the editor's keys, and
// the close question. Pictures of every page and panel are saved beside the build.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/tests/controller_fixture.h"
#include "base/win/wide.h"
#include "controls/tests/win/win_test_support.h"
#include "editor/tests/fake_edit_host.h"
#include "editor/win/edit_trans_window.h"
#include "engine/action_registry.h"
#include "engine/actions/midi_action.h"
#include "midi/model/alias.h"
#include "ui/application.h"
#include "ui/message_dialog.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/timer.h"

namespace kv {
namespace {

using ui::testing::PumpUntil;

using FakeMainWindow = test::FakeEditHost;
using test::itemA;
using test::itemB;

bool StyleVisible(ui::TWindow& w) {
  return (GetWindowLongW(w.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

// As a user's pick from a combo's list: the selection, then the notification its parent gets.
void PickItem(ui::TComboBox& combo, int index) {
  SendMessageW(combo.Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(combo.Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(combo.Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
}

// As typing into an editable combo: the new text, then the edit-change notification.
void TypeIntoCombo(ui::TComboBox& combo, const std::string& text) {
  SetWindowTextW(combo.Handle(), win::Widen(text).c_str());
  SendMessageW(GetParent(combo.Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(combo.Handle()), CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
}

void Click(ui::TWindow& button) {
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
}

// What a test reaches must be there: a missing control fails the test.
template <class T>
T& Must(T* found, const std::string& what) {
  if (!found) throw std::runtime_error("not found: " + what);
  return *found;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

bool HasClass(HWND w, const wchar_t* className) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return _wcsicmp(name, className) == 0;
}

HWND WithText(HWND parent, const std::string& text) {
  for (HWND w : Descendants(parent)) {
    if (!IsWindowVisible(w)) continue;
    wchar_t buffer[256] = {};
    GetWindowTextW(w, buffer, 256);
    if (win::Narrow(buffer) == text) return w;
  }
  return nullptr;
}

template <class T>
T* ControlOf(HWND w) {
  return w ? dynamic_cast<T*>(ui::TWindow::FromHandle(w)) : nullptr;
}

// A control of that class found by its label, as a user finds it among what is shown: the
// window showing the label's text, then on its line the nearest control right of it, else the
// nearest below it.
template <class T>
T& Labelled(ui::TWindow& page, const std::string& label, const wchar_t* className) {
  HWND labelWindow = WithText(page.Handle(), label);
  if (!labelWindow) throw std::runtime_error("not found: " + label);
  RECT l{};
  GetWindowRect(labelWindow, &l);
  HWND best = nullptr;
  long bestDistance = 0;
  for (HWND w : Descendants(page.Handle())) {
    if (w == labelWindow || !HasClass(w, className) || !IsWindowVisible(w)) continue;
    RECT r{};
    GetWindowRect(w, &r);
    long distance = 0;
    if (r.top >= l.top - 8 && r.top <= l.bottom && r.left >= l.right - 4) {
      distance = r.left - l.right;
    } else if (r.top >= l.bottom - 4 && r.left < l.right && r.right > l.left) {
      distance = 10000 + r.top - l.bottom;
    } else {
      continue;
    }
    if (!best || distance < bestDistance) {
      best = w;
      bestDistance = distance;
    }
  }
  return Must(ControlOf<T>(best), "the control of " + label);
}

ui::TTabSheet& SidePage(TEditTransWindow& w, bool incoming) {
  return w.Pages().Page(incoming ? kPageIncoming : kPageOutgoing);
}

// The kind chooser of the Incoming (true) or Outgoing page.
ui::TComboBox& Chooser(TEditTransWindow& w, bool incoming) {
  return Labelled<ui::TComboBox>(
      SidePage(w, incoming),
      incoming ? "Select the Incoming Trigger type:" : "Select the Outgoing Action type:",
      L"ComboBox");
}

// The summary of the other side at the foot of the Incoming (true) or Outgoing page.
ui::TEdit& SummaryOn(TEditTransWindow& w, bool incomingPage) {
  return Labelled<ui::TEdit>(SidePage(w, incomingPage), incomingPage ? "Outgoing:" : "Incoming:",
                             L"Edit");
}

// The raw text of a kind the editor has no panel for.
ui::TEdit& RawText(TEditTransWindow& w, bool incoming) {
  return Labelled<ui::TEdit>(SidePage(w, incoming),
                             incoming ? "Raw specification of the unsupported Incoming Action:"
                                      : "Raw specification of the unsupported Outgoing Action:",
                             L"Edit");
}

ui::TListBox& Monitor(TEditTransWindow& w, bool incoming) {
  return Must(ControlOf<ui::TListBox>(
                  FindWindowExW(SidePage(w, incoming).Handle(), nullptr, L"ListBox", nullptr)),
              "the monitor");
}

// The view of the kind chosen on a side, when it has been built; null for an unknown kind.
template <class V = TPanelView>
V* Shown(TEditTransWindow& w, bool incoming) {
  const TEditPanel* chosen = incoming ? w.Model().IncomingChooser().Chosen()
                                      : w.Model().OutgoingChooser().Chosen();
  return chosen ? dynamic_cast<V*>(w.FindView(*chosen)) : nullptr;
}

template <class V>
V& View(TEditTransWindow& w, const TEditPanel& panel) {
  return Must(dynamic_cast<V*>(w.FindView(panel)), "the view of " + panel.Caption());
}

TMidiPanelView& MidiView(TEditTransWindow& w, bool incoming) {
  return incoming ? View<TMidiPanelView>(w, w.Model().InMidi())
                  : View<TMidiPanelView>(w, w.Model().OutMidi());
}

// Real typing into the focused window.
void TypeText(const std::string& text) {
  for (char c : text) {
    const SHORT vk = VkKeyScanW(static_cast<wchar_t>(c));
    ui::testing::SendKey(static_cast<WORD>(vk & 0xFF), false, (vk & 0x100) != 0);
  }
}

// Answers every message dialog with result once its buttons are enabled; records its text.
// A timer polls: the buttons wake by a window timer, which never fires while the queue is
// kept busy.
void AnswerDialogs(int result, std::vector<std::string>* texts) {
  ui::SetMessageDialogObserver([result, texts](ui::TMessageForm& form) {
    if (texts) texts->push_back(form.MessageText());
    auto poll = std::make_shared<ui::TTimer>(20);
    poll->OnTimer = [&form, result, poll] {
      ui::TButton* button = form.ButtonFor(result);
      if (!button || !button->Enabled()) {
        // The buttons wake only while the dialog is the active window.
        SetForegroundWindow(form.Handle());
        return;
      }
      poll->Stop();
      button->Perform(BM_CLICK);
      ui::Application().Post([poll] { poll->OnTimer = {}; });  // after the handler returned
    };
    poll->Start();
  });
}

class EditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Application().Initialize();
    RegisterStandardTransActions();
    TEditorTimerNames::Instance().ResetForTests();
    window_ = std::make_unique<TEditTransWindow>(main_);
    window_->Show();
    SetWindowPos(window_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ui::testing::MakeForeground(window_->Handle());
    // No dialog may wait for an answer that never comes.
    AnswerDialogs(ui::mrOk, &dialogTexts_);
  }
  void TearDown() override {
    ui::SetMessageDialogObserver(nullptr);
    window_.reset();
  }

  static TTransMsgPtr Make(const std::string& in, const std::string& out,
                           const std::string& name = "Fader") {
    const std::string options = "Actv01Stop00OutO00";
    TTransMsgPtr t = TTransMsg::CreateFromText(in, out, &options);
    t->SetName(name);
    return t;
  }

  void Shot(const std::string& name) {
    window_->Repaint();
    ui::testing::PumpFor(150);
    EXPECT_TRUE(test::SaveWindowBitmap(window_->Handle(),
                                       win::Widen(KV_SHOT_DIR "/editor-" + name + ".bmp")));
  }

  // Texts made by the panels of a second editor, set up by the caller.
  FakeMainWindow factoryHost_;
  TEditTrans factory_{factoryHost_};
  // Loads the translator as the main window does when the selection moves to another item.
  void Load(const TTransMsgPtr& t) {
    nextItem_ = nextItem_ == itemA ? itemB : itemA;
    window_->EditTranslator(nextItem_, t.get());
  }

  // A translator text with the panel it belongs to and the name of its picture.
  struct TKindCase {
    std::string text;
    TEditPanel* panel;
    std::string shot;
  };

  // An incoming kind, loaded with the outgoing text: F6 shows its page with its view alone.
  void ExpectIncomingShown(const TKindCase& in, const std::string& out) {
    const TTransMsgPtr t = Make(in.text, out);
    Load(t);
    ui::testing::SendKey(VK_F6);
    ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageIncoming; }));
    EXPECT_EQ(Chooser(*window_, true).Text(), in.panel->Caption()) << in.shot;
    TPanelView* shown = Shown(*window_, true);
    ASSERT_NE(shown, nullptr) << in.shot;
    ASSERT_EQ(shown, window_->FindView(*in.panel)) << in.shot;
    EXPECT_TRUE(StyleVisible(shown->Content())) << in.shot;
    for (TPanelView* other : {window_->FindView(window_->Model().InMidi()),
                              window_->FindView(window_->Model().InTimer())}) {
      if (other && other != shown) {
        EXPECT_FALSE(StyleVisible(other->Content())) << in.shot;
      }
    }
    EXPECT_EQ(SummaryOn(*window_, true).Text(), t->Outgoing()->GetDescription()) << in.shot;
    Shot(in.shot);
  }

  // An outgoing kind, loaded with the incoming text: F8 shows its page with its view.
  void ExpectOutgoingShown(const std::string& in, const TKindCase& out) {
    const TTransMsgPtr t = Make(in, out.text);
    Load(t);
    ui::testing::SendKey(VK_F8);
    ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
    EXPECT_EQ(Chooser(*window_, false).Text(), out.panel->Caption()) << out.shot;
    TPanelView* shown = Shown(*window_, false);
    ASSERT_NE(shown, nullptr) << out.shot;
    ASSERT_EQ(shown, window_->FindView(*out.panel)) << out.shot;
    EXPECT_TRUE(StyleVisible(shown->Content())) << out.shot;
    EXPECT_EQ(SummaryOn(*window_, false).Text(), t->Incoming()->GetDescription()) << out.shot;
    Shot(out.shot);
  }

  // Outgoing actions of every kind with settings other than the defaults, for factory_ to write.
  void SetUpOutgoingFactory() {
    factory_.OutKeystroke().SetMode(kKeyDown);
    factory_.OutMouse().SetKind(TEPOutMouse::kWheel);
    factory_.OutMouse().SetSecondWheel(true);
    factory_.OutTimer().NameCombo().text = "Beat";
    factory_.OutTimer().SetKill(true);
    factory_.OutPreset().SetChoice(kPresetActivateNumber);
    factory_.OutPreset().NumberCombo().text = "3";
    factory_.OutSpecial().SetDisableProcessing(false);
    factory_.OutMessage().SetMatchByClass(true);
    factory_.OutMessage().ClassName() = "Notepad";
    factory_.OutExecuteFile().SetFileName("notepad.exe");
    factory_.OutExecuteFile().SetParameters("%pp%.txt");
  }

  FakeMainWindow main_;
  std::unique_ptr<TEditTransWindow> window_;
  std::vector<std::string> dialogTexts_;
  TEditItem nextItem_ = itemB;
};

TEST_F(EditorWindowTest, EveryKindLoadsIntoItsPanelView) {
  const std::string midiIn = "MID1903C7F";
  factory_.OutMidi().SetMessageText("B0 07 pp");
  const std::string midiOut = factory_.OutMidi().GetActionText();

  // Incoming kinds, each with an outgoing None.
  factory_.InKeystroke().SetMode(kKeyDown);
  factory_.InTimer().NameCombo().text = "Beat";
  factory_.InPreset().SetChoice(kPresetDeactivateNamed);
  factory_.InPreset().NameCombo().text = "Drums";
  factory_.InSpecial().SetValue(kDisableProcessing);
  const std::vector<TKindCase> ins = {
      {midiIn, &window_->Model().InMidi(), "in-midi"},
      {factory_.InKeystroke().GetActionText(), &window_->Model().InKeystroke(), "in-keystroke"},
      {factory_.InTimer().GetActionText(), &window_->Model().InTimer(), "in-timer"},
      {factory_.InPreset().GetActionText(), &window_->Model().InPreset(), "in-preset"},
      {factory_.InSpecial().GetActionText(), &window_->Model().InSpecial(), "in-special"},
  };
  const std::string none = factory_.OutNone().GetActionText();
  for (const TKindCase& in : ins) ASSERT_NO_FATAL_FAILURE(ExpectIncomingShown(in, none));
  // The controls show what was loaded (the last loads are checked through their views).
  Load(Make(midiIn, midiOut));
  TMidiPanelView& inMidi = MidiView(*window_, true);
  EXPECT_EQ(inMidi.MessageEdit().Text(), window_->Model().InMidi().MessageText());
  EXPECT_FALSE(inMidi.MessageEdit().Text().empty());
  EXPECT_FALSE(inMidi.Reading().Text().empty()) << "the reading of the message";
  EXPECT_TRUE(inMidi.SwallowBox()->Checked());
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  EXPECT_EQ(MidiView(*window_, false).MessageEdit().Text(), "B0 07 pp");

  SetUpOutgoingFactory();
  TEditTrans& m = window_->Model();
  const std::vector<TKindCase> outs = {
      {none, &m.OutNone(), "out-none"},
      {midiOut, &m.OutMidi(), "out-midi"},
      {factory_.OutKeystroke().GetActionText(), &m.OutKeystroke(), "out-keystroke"},
      {factory_.OutMouse().GetActionText(), &m.OutMouse(), "out-mouse"},
      {factory_.OutTimer().GetActionText(), &m.OutTimer(), "out-timer"},
      {factory_.OutPreset().GetActionText(), &m.OutPreset(), "out-preset"},
      {factory_.OutSpecial().GetActionText(), &m.OutSpecial(), "out-special"},
      {factory_.OutMessage().GetActionText(), &m.OutMessage(), "out-message"},
      {factory_.OutExecuteFile().GetActionText(), &m.OutExecuteFile(), "out-execute"},
  };
  for (const TKindCase& out : outs) ASSERT_NO_FATAL_FAILURE(ExpectOutgoingShown(midiIn, out));
  auto& mouse = View<TMouseView>(*window_, m.OutMouse());
  auto& timer = View<TOutTimerView>(*window_, m.OutTimer());
  auto& message = View<TMessageView>(*window_, m.OutMessage());
  auto& keys = View<TOutKeystrokeView>(*window_, m.OutKeystroke());
  auto& execute = View<TExecuteFileView>(*window_, m.OutExecuteFile());
  Load(Make(midiIn, outs[3].text));
  EXPECT_TRUE(mouse.KindButton(TEPOutMouse::kWheel).Checked());
  EXPECT_TRUE(StyleVisible(mouse.SubPanel(TEPOutMouse::kWheel)));
  EXPECT_FALSE(StyleVisible(mouse.SubPanel(TEPOutMouse::kMovement)));
  Load(Make(midiIn, outs[4].text));
  EXPECT_EQ(timer.NameCombo().Text(), "Beat");
  EXPECT_FALSE(StyleVisible(timer.StartSettings())) << "a kill action has no start settings";
  Load(Make(midiIn, outs[7].text));
  EXPECT_TRUE(message.ByClass().Checked());
  EXPECT_EQ(message.ClassEdit().Text(), "Notepad");
  EXPECT_TRUE(message.ClassEdit().Enabled());
  Load(Make(midiIn, outs[2].text));
  EXPECT_TRUE(keys.ModeButton(kKeyDown).Checked());
  EXPECT_TRUE(StyleVisible(keys.RepeatGroup())) << "the repeat group belongs to key down";
  EXPECT_FALSE(StyleVisible(keys.ClearButton()));
  Load(Make(midiIn, outs[8].text));
  EXPECT_EQ(execute.FileEdit().Text(), "notepad.exe");
  EXPECT_EQ(execute.ParamsEdit().Text(), "%pp%.txt");
  EXPECT_FALSE(window_->ApplyButton().Enabled()) << "loading changes nothing";
}

TEST_F(EditorWindowTest, UnknownKindsShowTheirRawTextAndSurviveApply) {
  Load(Make("Zzz1whatever", "Qqq9stuff"));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  EXPECT_EQ(RawText(*window_, false).Text(), "Qqq9stuff");
  ui::testing::SendKey(VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageIncoming; }));
  ui::TComboBox& kinds = Chooser(*window_, true);
  EXPECT_EQ(kinds.Text(), kUnknownPanelCaption);
  EXPECT_EQ(RawText(*window_, true).Text(), "Zzz1whatever");
  EXPECT_EQ(Shown(*window_, true), nullptr);
  Shot("in-unknown");
  window_->NameEdit().SetText("Kept");
  ASSERT_TRUE(window_->ApplyChanges());
  ASSERT_EQ(main_.replaced.size(), 1u);
  EXPECT_EQ(main_.replaced[0]->GetIncomingText(), "Zzz1whatever");
  EXPECT_EQ(main_.replaced[0]->GetOutgoingText(), "Qqq9stuff");
  // The unknown item stays listed until a translator with a real kind is loaded.
  PickItem(kinds, 2);
  EXPECT_EQ(kinds.Text(), "Timer");
  EXPECT_EQ(kinds.Count(), 6);
  Load(Make("MID1903C7F", "Qqq9stuff"));
  EXPECT_EQ(kinds.Count(), 5);
}

TEST_F(EditorWindowTest, SwitchingKindsAndApplyingBuildsTheNewTranslator) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  EXPECT_FALSE(window_->ApplyButton().Enabled());
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  PickItem(Chooser(*window_, false), 4);  // Timer
  EXPECT_EQ(Chooser(*window_, false).Text(), "Timer");
  auto& timer = Must(Shown<TOutTimerView>(*window_, false), "the timer view");
  EXPECT_FALSE(timer.StartSettings().Enabled() && IsWindowEnabled(timer.CountCombo().Handle()))
      << "no name yet: the start settings are disabled";
  TypeIntoCombo(timer.NameCombo(), "Beat");
  EXPECT_TRUE(IsWindowEnabled(GetWindow(timer.StartSettings().Handle(), GW_CHILD)));
  Click(timer.TriggerButton(TEPOutTimer::kMultiple));
  EXPECT_TRUE(IsWindowEnabled(timer.CountCombo().Handle()));
  TypeIntoCombo(timer.CountCombo(), "5");
  // The delay: typing into a delay combo chooses its radio button.
  ui::TTabSheet& outgoing = SidePage(*window_, false);
  TypeIntoCombo(Labelled<ui::TComboBox>(outgoing, "delay in milliseconds:", L"ComboBox"), "250");
  EXPECT_TRUE(Must(ControlOf<ui::TRadioButton>(WithText(outgoing.Handle(), "delay in milliseconds:")),
                   "the milliseconds button")
                  .Checked());
  EXPECT_TRUE(PumpUntil([&] { return window_->ApplyButton().Enabled(); }));
  Shot("out-timer-typed");

  Click(window_->ApplyButton());
  ASSERT_EQ(main_.replaced.size(), 1u);
  const TTransMsg& built = *main_.replaced[0];
  EXPECT_EQ(built.GetOutgoingType() & 0x7F, kActionTimer);
  const auto* action = dynamic_cast<const TTransTimerAction*>(built.Outgoing());
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->GetTimerName(), "Beat");
  EXPECT_EQ(built.Outgoing()->GetDelayUnit(), kDelayMillis);
  EXPECT_FALSE(window_->ApplyButton().Enabled());

  // A field that does not parse: Apply fails with the panel's message, the edit stays.
  std::vector<std::string> texts;
  AnswerDialogs(ui::mrOk, &texts);
  TypeIntoCombo(timer.CountCombo(), "lots");
  EXPECT_FALSE(window_->ApplyChanges());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find("invalid number or variable"), std::string::npos);
  EXPECT_TRUE(window_->Model().Modified());
  EXPECT_EQ(main_.replaced.size(), 1u);
}

TEST_F(EditorWindowTest, PressedKeysAreRecordedIntoTheKeystrokePanel) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  PickItem(Chooser(*window_, false), 2);  // Key Stroke Emulation
  auto& keys = Must(Shown<TOutKeystrokeView>(*window_, false), "the keystroke view");
  keys.KeyEdit().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return keys.KeyEdit().Focused(); }));
  ui::testing::SendKey('K');
  ui::testing::SendKey('L');
  TEPOutKeyStroke& model = window_->Model().OutKeystroke();
  ASSERT_TRUE(PumpUntil([&] { return model.Keys().GetCount() == 4; }))
      << model.Keys().GetCount();
  EXPECT_FALSE(keys.KeyEdit().Text().empty());
  EXPECT_TRUE(StyleVisible(keys.ClearButton()));
  // Key down holds one key only; the field shows the model's shortened sequence.
  Click(keys.ModeButton(kKeyDown));
  EXPECT_EQ(model.Keys().GetCount(), 1);
  EXPECT_EQ(keys.KeyEdit().Keys().GetCount(), 1);
  EXPECT_FALSE(StyleVisible(keys.ClearButton()));
  EXPECT_LT(keys.KeyEdit().Left() + keys.KeyEdit().Width(), keys.RepeatGroup().Left());
  ASSERT_TRUE(window_->ApplyChanges());
  ASSERT_EQ(main_.replaced.size(), 1u);
  EXPECT_EQ(main_.replaced[0]->GetOutgoingType() & 0x7F, kActionKeystroke);
}

TEST_F(EditorWindowTest, KeystrokeTriggerRecordsOneKeyAndBackspace) {
  Load(Make(factory_.InKeystroke().GetActionText(), factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageIncoming; }));
  auto& view = Must(Shown<TInKeystrokeView>(*window_, true), "the keystroke view");
  view.KeyEdit().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return view.KeyEdit().Focused(); }));
  TEPInKeystroke& model = window_->Model().InKeystroke();
  auto recorded = [&](WORD vk) {
    return model.Keys().GetCount() == 1 && model.Keys().Keys()[0].VirtualKey() == vk;
  };
  ui::testing::SendKey('C', true);  // Ctrl held, then C: the trigger is C
  ASSERT_TRUE(PumpUntil([&] { return recorded('C'); })) << view.KeyEdit().Text();
  Shot("in-keystroke-ctrl-c");
  ui::testing::SendKey(VK_BACK);
  ASSERT_TRUE(PumpUntil([&] { return recorded(VK_BACK); })) << view.KeyEdit().Text();
  EXPECT_EQ(view.KeyEdit().Text(), model.Keys().GetDisplayText());
}

TEST_F(EditorWindowTest, CheckedPortRowsBecomeTheActionsAliases) {
  MidiAliasManager().ClearAliases();
  MidiAliasManager().AddAlias("Keys A", "", makMidiIn, false);
  MidiAliasManager().AddAlias("Synth", "", makMidiOut, false);
  MidiAliasManager().AddAlias("Keys B", "", makMidiIn, false);
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageIncoming; }));
  TMidiPanelView& midi = MidiView(*window_, true);
  EXPECT_TRUE(midi.DefaultPortsButton().Checked());
  EXPECT_FALSE(StyleVisible(midi.PortList()));
  Click(midi.SpecificPortsButton());
  ASSERT_TRUE(StyleVisible(midi.PortList()));
  ui::TListView& ports = midi.PortList();
  ASSERT_EQ(ports.Count(), 2) << "the MIDI IN aliases only";
  EXPECT_EQ(ports.ItemText(1), "Keys B");
  // As a click on the row's check box: the list view reports the new state.
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(ports.Handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  ASSERT_TRUE(PumpUntil([&] { return window_->Model().InMidi().Ports().GetCount() == 1; }));
  Shot("in-midi-ports");
  ASSERT_TRUE(window_->ApplyChanges());
  ASSERT_EQ(main_.replaced.size(), 1u);
  const auto* action = dynamic_cast<const TTransMidiAction*>(main_.replaced[0]->Incoming());
  ASSERT_NE(action, nullptr);
  ASSERT_NE(action->GetOwnPorts(), nullptr);
  ASSERT_EQ(action->GetOwnPorts()->GetCount(), 1);
  EXPECT_EQ(action->GetOwnPorts()->GetItem(0)->GetName(), "Keys B");
  window_.reset();
  MidiAliasManager().ClearAliases();
}

TEST_F(EditorWindowTest, RulesBuilderFollowsTheCaretAndRewritesTheLine) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F7);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageRules; }));
  TRulesView& rules = Must(window_->Rules(), "the rules view");
  rules.Memo().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return rules.Memo().Focused(); }));
  TypeText("pp=1");
  ui::testing::SendKey(VK_RETURN);
  TypeText("if pp>0 then qq=pp+1");
  ui::testing::SendKey(VK_RETURN);
  TypeText("ga = 5 xy");
  ASSERT_TRUE(PumpUntil([&] { return rules.Memo().Lines().Count() == 3; }));
  EXPECT_TRUE(StyleVisible(rules.BuilderPage(TRulesPage::kPageError)));
  EXPECT_NE(rules.ErrorLabel().Text().find("Erronous rule: "), std::string::npos);
  Shot("rules-error");

  ui::testing::SendKey(VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return StyleVisible(rules.BuilderPage(TRulesPage::kPageIfThen)); }));
  EXPECT_TRUE(StyleVisible(rules.ConditionRow()));
  EXPECT_TRUE(StyleVisible(rules.ActionPage(TRulesPage::kActionExpression)));
  EXPECT_EQ(rules.IfFirst().Text(), "pp");
  Shot("rules-condition");

  ui::testing::SendKey(VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return !StyleVisible(rules.ConditionRow()); }));
  EXPECT_TRUE(StyleVisible(rules.ActionPage(TRulesPage::kActionAssignment)));
  EXPECT_EQ(rules.AssignTarget().Text(), "pp");
  EXPECT_EQ(rules.AssignValue().Text(), "1");
  // A builder edit rewrites the caret's line; a number as target selects it instead.
  PickItem(rules.AssignValue(), 12);  // gc
  EXPECT_EQ(rules.Memo().Lines()[0], window_->Model().Rules().Lines()[0]);
  EXPECT_NE(rules.Memo().Lines()[0].find("gc"), std::string::npos);
  TypeIntoCombo(rules.AssignTarget(), "5");
  EXPECT_TRUE(rules.Memo().SelActive());
  EXPECT_NE(rules.Memo().Lines()[0].find("pp"), std::string::npos) << "the line stays";
  TypeIntoCombo(rules.AssignTarget(), "ss");
  EXPECT_NE(rules.Memo().Lines()[0].find("ss"), std::string::npos);

  // Add asks for a rule type and inserts it at the caret's line.
  window_->chooseRule = [](uint8_t& code, bool& condition) {
    code = kStepGoto;
    condition = false;
    return true;
  };
  Click(rules.AddButton());
  EXPECT_EQ(rules.Memo().Lines().Count(), 4);
  EXPECT_TRUE(StyleVisible(rules.ActionPage(TRulesPage::kActionGoto)));
  EXPECT_TRUE(PumpUntil([&] { return window_->ApplyButton().Enabled(); }));
  Shot("rules-goto");

  // A line that does not parse keeps the old translator and says which line it is.
  EXPECT_FALSE(window_->ApplyChanges());
  ASSERT_FALSE(dialogTexts_.empty());
  EXPECT_NE(dialogTexts_.back().find("Line 4"), std::string::npos) << dialogTexts_.back();
  EXPECT_TRUE(main_.replaced.empty());
  rules.Memo().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return rules.Memo().Focused(); }));
  rules.Memo().SetCaretXY(9, 3);
  ui::testing::SendKey(VK_BACK);
  ui::testing::SendKey(VK_BACK);
  ASSERT_TRUE(PumpUntil([&] { return window_->Model().Rules().Lines()[3] == "ga = 5 "; }));
  ASSERT_TRUE(window_->ApplyChanges());
  ASSERT_EQ(main_.replaced.size(), 1u);
  ASSERT_NE(main_.replaced[0]->Rules(), nullptr);
  EXPECT_EQ(main_.replaced[0]->Rules()->Count(), 4u);
}

TEST_F(EditorWindowTest, ThePresetStandInBoxStaysDisabled) {
  factory_.OutPreset().SetChoice(kPresetNext);
  Load(Make("MID1903C7F", factory_.OutPreset().GetActionText()));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  auto& preset = View<TPresetView>(*window_, window_->Model().OutPreset());
  ui::TCheckBox& standIn = *preset.DeactivateOthersStandIn();
  EXPECT_TRUE(StyleVisible(standIn));
  EXPECT_TRUE(standIn.Checked());
  EXPECT_FALSE(IsWindowEnabled(standIn.Handle())) << "enabled with the editor's pages";
  Shot("out-preset-next");
}

// A text that is no number is stored as one; after Apply the field shows it, and a field typed
// into shows its clamped value even while it keeps the focus.
TEST_F(EditorWindowTest, AfterApplyTheFieldsShowWhatWasStored) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  PickItem(Chooser(*window_, false), 3);  // Mouse
  auto& mouse = Must(Shown<TMouseView>(*window_, false), "the mouse view");
  ui::TComboBox& seconds =
      Labelled<ui::TComboBox>(SidePage(*window_, false), "delay in seconds:", L"ComboBox");
  TypeIntoCombo(mouse.MoveX(), "12x");
  TypeIntoCombo(seconds, "1.5");
  ASSERT_TRUE(window_->ApplyChanges());
  EXPECT_EQ(mouse.MoveX().Text(), "0");
  EXPECT_EQ(seconds.Text(), "0");

  PickItem(Chooser(*window_, false), 2);  // Key Stroke Emulation
  auto& keys = Must(Shown<TOutKeystrokeView>(*window_, false), "the keystroke view");
  Click(keys.ModeButton(kKeyDown));
  keys.InitialDelayEdit().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return keys.InitialDelayEdit().Focused(); }));
  SendMessageW(keys.InitialDelayEdit().Handle(), EM_SETSEL, 0, -1);
  TypeText("5000");
  ASSERT_TRUE(PumpUntil([&] { return keys.InitialDelayEdit().Text() == "5000"; }));
  ASSERT_TRUE(window_->ApplyChanges());
  EXPECT_EQ(keys.InitialDelayEdit().Text(), "1000");
  EXPECT_TRUE(keys.InitialDelayEdit().Focused());
}

TEST_F(EditorWindowTest, KeysRunTheEditorsCommandsFromAnyControl) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  ui::testing::SendKey(VK_F5);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageGeneral; }));
  window_->NameEdit().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return window_->NameEdit().Focused(); }));
  ui::testing::SendKey(VK_END);
  TypeText("x");
  ASSERT_TRUE(PumpUntil([&] { return window_->Model().Name() == "Faderx"; }));
  EXPECT_EQ(window_->Text(), "Edit Translator Entry Faderx");
  Shot("options");
  // Ctrl+A applies even though the name edit would select all with it.
  ui::testing::SendKey('A', true);
  ASSERT_TRUE(PumpUntil([&] { return main_.replaced.size() == 1; }));
  EXPECT_EQ(main_.replaced[0]->Name(), "Faderx");
  EXPECT_TRUE(window_->NameEdit().Focused());

  // Ctrl+PgDn and Ctrl+PgUp wrap around the pages; the focus goes along into the page shown,
  // past its type chooser.
  ui::testing::SendKey(VK_PRIOR, true);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  const HWND focus = GetFocus();
  EXPECT_TRUE(focus && IsWindowVisible(focus) &&
              IsChild(SidePage(*window_, false).Handle(), focus) &&
              focus != Chooser(*window_, false).Handle());
  ui::testing::SendKey(VK_NEXT, true);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageGeneral; }));
  ui::testing::SendKey(VK_F7);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageRules; }));
  EXPECT_EQ(window_->Model().Page(), kPageRules);
  // Inside the rules text too: the multi-line control would keep Ctrl+PgDn for itself.
  TRulesView& rules = Must(window_->Rules(), "the rules view");
  rules.Memo().SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return rules.Memo().Focused(); }));
  ui::testing::SendKey(VK_NEXT, true);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));

  ui::testing::SendKey('N', true);
  ASSERT_TRUE(PumpUntil([&] { return main_.nexts == 1; }));
  ui::testing::SendKey('P', true);
  ASSERT_TRUE(PumpUntil([&] { return main_.previous == 1; }));

  // Alt+C captures only where a MIDI panel is shown; without an engine never.
  ui::testing::SendAltKey('C');
  ui::testing::PumpFor(100);
  EXPECT_EQ(window_->Model().CaptureTarget(), kCaptureOff);
}

// Tab goes from a side's type chooser into the panel it shows, before the fields below it,
// whenever that panel's view was built.
TEST_F(EditorWindowTest, TabGoesFromTheTypeChooserIntoItsPanel) {
  Load(Make("MID1903C7F", "MID1B03C7F"));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  TPanelView& view = Must(window_->FindView(window_->Model().OutMidi()), "the MIDI view");
  const HWND next = GetNextDlgTabItem(window_->Handle(), Chooser(*window_, false).Handle(), FALSE);
  EXPECT_TRUE(next && IsChild(view.Content().Handle(), next));
}

TEST_F(EditorWindowTest, ClosingWithChangesAsksFirst) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  window_->NameEdit().SetText("Changed");
  ASSERT_TRUE(window_->Model().Modified());
  std::vector<std::string> texts;

  AnswerDialogs(ui::mrCancel, &texts);
  Click(window_->CloseButton());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Do you want to apply your changes to the translator entry?");
  EXPECT_TRUE(IsWindowVisible(window_->Handle())) << "Cancel keeps the window open";
  EXPECT_TRUE(window_->Model().Modified());

  AnswerDialogs(ui::mrYes, &texts);
  Click(window_->CloseButton());
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  ASSERT_EQ(main_.replaced.size(), 1u);
  EXPECT_EQ(main_.replaced[0]->Name(), "Changed");
  EXPECT_EQ(window_->Model().Item(), nullptr) << "a closed editor edits nothing";

  window_->Show();
  window_->EditTranslator(itemB, Make("MID1903C7F", factory_.OutNone().GetActionText()).get());
  window_->NameEdit().SetText("Discarded");
  AnswerDialogs(ui::mrNo, &texts);
  Click(window_->CloseButton());
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  EXPECT_EQ(main_.replaced.size(), 1u) << "No closes without applying";
  EXPECT_EQ(texts.size(), 3u);

  // Nothing pending: no question.
  window_->Show();
  window_->EditTranslator(itemB, Make("MID1903C7F", factory_.OutNone().GetActionText()).get());
  Click(window_->CloseButton());
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  EXPECT_EQ(texts.size(), 3u);
}

TEST_F(EditorWindowTest, NoItemDisablesTheEditor) {
  window_->EditTranslator(nullptr, nullptr);
  EXPECT_FALSE(window_->NameEdit().Enabled());
  EXPECT_FALSE(window_->CloseButton().Enabled());
  EXPECT_EQ(window_->Text(), "Edit Translator Entry");
  window_->EditBlankEntry(itemA, "Blank", false);
  EXPECT_TRUE(window_->NameEdit().Enabled());
  EXPECT_EQ(window_->NameEdit().Text(), "Blank");
  EXPECT_FALSE(window_->ActiveBox().Checked());
  window_->UpdateName(itemA, "Renamed");
  EXPECT_EQ(window_->Text(), "Edit Translator Entry Renamed");
  window_->ItemDeleted(itemA);
  EXPECT_FALSE(window_->NameEdit().Enabled());
}

// Made with the frame and the Options page alone: a page is built when first shown, with the
// view of its chosen kind only, disabled while the editor is, and loading marks nothing.
TEST_F(EditorWindowTest, PagesAndViewsAreBuiltWhenFirstShown) {
  window_ = std::make_unique<TEditTransWindow>(main_);
  for (TEditPage page : {kPageIncoming, kPageRules, kPageOutgoing}) {
    EXPECT_FALSE(window_->PageBuilt(page)) << page;
  }
  window_->Show();
  SetWindowPos(window_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(window_->PageBuilt(kPageIncoming));
  EXPECT_FALSE(IsWindowEnabled(Chooser(*window_, true).Handle())) << "no item: disabled";
  EXPECT_FALSE(IsWindowEnabled(MidiView(*window_, true).MessageEdit().Handle()));

  Load(Make("MID1903C7F", factory_.OutKeystroke().GetActionText()));
  EXPECT_TRUE(IsWindowEnabled(MidiView(*window_, true).MessageEdit().Handle()));
  EXPECT_EQ(window_->FindView(window_->Model().InTimer()), nullptr);
  EXPECT_FALSE(window_->PageBuilt(kPageOutgoing));
  ASSERT_TRUE(ui::testing::MakeForeground(window_->Handle()));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window_->Pages().ActivePageIndex() == kPageOutgoing; }));
  TPanelView* keys = window_->FindView(window_->Model().OutKeystroke());
  ASSERT_NE(keys, nullptr);
  EXPECT_TRUE(StyleVisible(keys->Content()));
  EXPECT_EQ(Chooser(*window_, false).Text(), "Key Stroke Emulation");
  EXPECT_EQ(SummaryOn(*window_, false).Text(), "MIDI 90 3C 7F");
  EXPECT_FALSE(window_->PageBuilt(kPageRules));
  EXPECT_FALSE(window_->ApplyButton().Enabled()) << "building marked the translator changed";
}

TEST_F(EditorWindowTest, HelpGrowsTheWindowAndConvertsNumbers) {
  Load(Make("MID1903C7F", factory_.OutNone().GetActionText()));
  const int closedHeight = window_->ClientRect().Height();
  EXPECT_EQ(window_->Help(), nullptr) << "made when first asked for";
  Click(window_->HelpButton());
  THelpPages& pages = Must(window_->Help(), "the help");
  ui::TPageControl& help = pages.Control();
  EXPECT_TRUE(StyleVisible(help));
  EXPECT_EQ(window_->HelpButton().Text(), "Hide Help");
  EXPECT_GE(window_->ClientRect().Height(), help.Top() + help.Height());
  help.SetActivePageIndex(2);
  // The converter: each field shows the other's value, or nothing for a text that is none.
  pages.Hex().SetText("ff");
  EXPECT_EQ(pages.Dec().Text(), "255");
  pages.Dec().SetText("4096");
  EXPECT_EQ(pages.Hex().Text(), "1000");
  pages.Hex().SetText("fg");
  EXPECT_EQ(pages.Dec().Text(), "");
  pages.Hex().SetText("7F");
  Shot("help");
  help.SetActivePageIndex(7);
  Shot("help-rules");
  Click(window_->HelpButton());
  EXPECT_FALSE(StyleVisible(help));
  EXPECT_EQ(window_->ClientRect().Height(), closedHeight);
  EXPECT_EQ(window_->HelpButton().Text(), "Show Help");
}

// --- MIDI capture through the real engine -------------------------------------------------------

class EditorCaptureTest : public test::ControllerFixture {};

TEST_F(EditorCaptureTest, CapturedMessagesBecomeAPatternAndFillTheMonitor) {
  ui::Application().Initialize();
  TKVHighLevel& controller = Make();
  FakeMainWindow main;
  TEditTransWindow window(main);
  window.Show();
  SetWindowPos(window.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(ui::testing::MakeForeground(window.Handle()));
  controller.StartEngine();
  window.AttachEngine(*controller.Engine());
  controller.RunCommandLine({"/midiin", "Keys"});
  controller.GoLive();
  ASSERT_TRUE(PumpUntil([&] {
    const int index = MidiManager().IndexOfDevice("Keys", true);
    return index >= 0 && MidiManager().GetInput(index)->IsOpen();
  }));

  const std::string options = "Actv01Stop00OutO00";
  TTransMsgPtr t = TTransMsg::CreateFromText("MID1903C7F", TTransNoneAction(false).SaveToText(),
                                             &options);
  window.EditTranslator(itemA, t.get());
  ui::testing::SendKey(VK_F5);
  ASSERT_TRUE(PumpUntil([&] { return window.Pages().ActivePageIndex() == kPageGeneral; }));
  ui::testing::SendAltKey('C');
  ui::testing::PumpFor(100);
  EXPECT_EQ(window.Model().CaptureTarget(), kCaptureOff) << "not on the Options page";

  ui::testing::SendKey(VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return window.Pages().ActivePageIndex() == kPageIncoming; }));
  ui::testing::SendAltKey('C');
  ASSERT_TRUE(PumpUntil([&] { return window.Model().CaptureTarget() == kCaptureIncoming; }));
  TMidiPanelView& midi = MidiView(window, true);
  EXPECT_TRUE(midi.CaptureBox().Checked());
  ui::TListBox& monitor = Monitor(window, true);
  EXPECT_TRUE(StyleVisible(monitor));
  EXPECT_EQ(monitor.Count(), kMonitorLines);
  EXPECT_EQ(monitor.Width(), midi.MessageEdit().Width());

  ASSERT_TRUE(loop_.FeedShort("Keys", 0x7F4090));
  ASSERT_TRUE(PumpUntil([&] { return midi.MessageEdit().Text() == "90 40 7F"; }));
  ASSERT_TRUE(loop_.FeedShort("Keys", 0x7F4190));
  ASSERT_TRUE(PumpUntil([&] { return midi.MessageEdit().Text() == "90 pp 7F"; }));
  EXPECT_EQ(monitor.Item(0), "90 41 7F");
  EXPECT_EQ(monitor.Item(1), "90 40 7F");
  window.Repaint();
  ui::testing::PumpFor(150);
  EXPECT_TRUE(test::SaveWindowBitmap(window.Handle(),
                                     win::Widen(KV_SHOT_DIR "/editor-in-midi-capture.bmp")));
  // A click on a monitor line puts it into the field.
  SendMessageW(monitor.Handle(), LB_SETCURSEL, 1, 0);
  SendMessageW(GetParent(monitor.Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(monitor.Handle()), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(monitor.Handle()));
  EXPECT_EQ(midi.MessageEdit().Text(), "90 40 7F");

  // Alt+C again switches it off; a page change does too.
  ui::testing::SendAltKey('C');
  ASSERT_TRUE(PumpUntil([&] { return window.Model().CaptureTarget() == kCaptureOff; }));
  EXPECT_FALSE(StyleVisible(monitor));
  ui::testing::SendAltKey('C');
  ASSERT_TRUE(PumpUntil([&] { return window.Model().CaptureTarget() == kCaptureIncoming; }));
  ui::testing::SendKey(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return window.Pages().ActivePageIndex() == kPageOutgoing; }));
  EXPECT_EQ(window.Model().CaptureTarget(), kCaptureOff);
  EXPECT_FALSE(midi.CaptureBox().Checked());
}

}  // namespace
}  // namespace kv
