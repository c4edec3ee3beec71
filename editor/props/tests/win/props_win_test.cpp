// The property dialogs as a user meets them under Wine: the settings tree and its pages, the
// ports and aliases page, the router page drawn with the mouse, the project and preset
// properties and the small alias dialogs; opened standalone from a test form over the real
// alias manager, router and MIDI manager on the loopback stand-in. Real messages and real
// keyboard and mouse input; pictures of every page are saved beside the build.
#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/tests/controller_fixture.h"
#include "base/win/wide.h"
#include "editor/props/alias_page.h"
#include "editor/props/router_page.h"
#include "editor/props/win/alias_dialogs_win.h"
#include "editor/props/win/alias_page_view.h"
#include "editor/props/win/page_view.h"
#include "editor/props/win/properties_dialogs.h"
#include "editor/props/win/props_windows.h"
#include "editor/props/win/router_view.h"
#include "editor/props/win/settings_dialog.h"
#include "engine/preset.h"
#include "midi/manager/virtual_port_setup.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "ui/application.h"
#include "ui/graphics.h"
#include "ui/message_dialog.h"
#include "ui/timer.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv {
namespace {

using ui::testing::ClickMouse;
using ui::testing::MakeForeground;
using ui::testing::MoveMouse;
using ui::testing::PumpFor;
using ui::testing::PumpUntil;
using ui::testing::SendKey;
using ui::testing::SendMouseButton;

// A picture of the window as the screen shows it, under the build folder.
void SaveShot(HWND window, const std::string& name) {
  PumpFor(300);  // let the painting settle
  RECT r;
  GetWindowRect(window, &r);
  ui::TBitmap shot;
  EXPECT_TRUE(shot.CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top) &&
              shot.SaveToFile(std::string(KV_SHOT_DIR) + "/" + name))
      << name;
}

POINT Centre(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(ui::TWindow& window) { ClickMouse(Centre(window.Handle())); }

// The descendant window showing that text, or null.
HWND FindChild(HWND parent, const std::string& text) {
  struct TSearch {
    std::wstring text;
    HWND found;
  } search{win::Widen(text), nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(lp);
        wchar_t buffer[256] = {};
        GetWindowTextW(child, buffer, 256);
        if (s->text == buffer) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void TypeText(const std::string& text) {
  for (char c : text) {
    const bool upper = c >= 'A' && c <= 'Z';
    SendKey(static_cast<WORD>(upper ? c : (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)), false,
            upper);
  }
}

class TFakeSettingsHost final : public TSettingsHost {
 public:
  TSettingsOptions ReadOptions() override { return options; }
  void ApplyOption(TSettingsOption option, bool value) override {
    options[static_cast<size_t>(option)] = value;
    ++applied;
  }
  bool IsProjectPropertiesVisible() override { return false; }
  bool IsVirtualMidiBusAvailable() override { return bus; }
  int GetVirtualPortCount() override { return count; }
  int SetVirtualPortCount(int wanted) override {
    requested.push_back(wanted);
    return kVirtualPortsAsWanted;
  }
  TSettingsOptions options{true, false, true, true, true, false, true};
  bool bus = false;
  int count = 0;
  int applied = 0;
  std::vector<int> requested;
};

class PropsWinTest : public test::ControllerFixture {
 protected:
  static void SetUpTestSuite() { ui::Application().Initialize(); }
  void SetUp() override {
    controller = &Make();
    controller->GoLive();
    controller->MakeDeviceAliases();
    main_ = std::make_unique<ui::TForm>(
        ui::testing::FormParams("Main", ui::TRect::FromBounds(10, 10, 760, 560)));
    ui::Application().SetMainForm(main_.get());
    main_->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(main_->Handle()) != 0; }));
    TPropsEnvironment environment;
    environment.controller = controller;
    environment.settingsHost = &host;
    environment.programTitle = "Korvanta";
    environment.project = [this] { return &Project(); };
    SetPropsEnvironment(environment);
    // Every message box is recorded and answered with its first button.
    ui::SetMessageDialogObserver([this](ui::TMessageForm& box) {
      messages.push_back(box.MessageText());
      ui::Application().Post([&box] {
        PumpUntil([&] { return box.Buttons().front()->Enabled(); }, 5000);
        box.Buttons().front()->Click();
      });
    });
  }
  void TearDown() override {
    ui::SetMessageDialogObserver(nullptr);
    SetAliasDialogObserver(nullptr);
    FreePropsPages();
    timers_.clear();
    ui::Application().SetMainForm(nullptr);
    main_.reset();
  }

  TPresetHandler& Project() { return controller->Engine()->Project(); }

  // Runs the steps inside the modal loop of the dialog that which() names, once it shows.
  // A step that failed must not leave the dialog waiting for ever: it is closed afterwards.
  void WhenShown(std::function<ui::TForm*()> which, std::function<void()> steps) {
    // A timer looks for the dialog: posted messages would come before the user's input and
    // could keep the click that opens it from ever being handled.
    auto timer = std::make_shared<ui::TTimer>();
    const DWORD start = GetTickCount();
    timer->SetInterval(20);
    timer->OnTimer = [this, timer, which, steps, start] {
      ui::TForm* dialog = which();
      if (!dialog || !dialog->IsModal() || !IsWindowVisible(dialog->Handle())) {
        if (GetTickCount() - start > 10000) {
          timer->Stop();
          ADD_FAILURE() << "the dialog never showed";
        }
        return;
      }
      timer->Stop();
      timers_.push_back(timer);
      MakeForeground(dialog->Handle());
      steps();
      if (dialog->ModalResult() == ui::mrNone) dialog->Close();
    };
    timers_.push_back(timer);
    timer->Start();
  }
  std::vector<std::shared_ptr<ui::TTimer>> timers_;

  template <class TOpen>
  void WithDialog(TOpen open, std::function<void()> steps) {
    WhenShown([this] { return CurrentDialog(); }, std::move(steps));
    open();
  }

  // A real click on a button that ends the dialog's modal loop, waiting until it did.
  static void Press(ui::TForm& dialog, ui::TButton& button) {
    Click(button);
    EXPECT_TRUE(PumpUntil([&] { return dialog.ModalResult() != ui::mrNone; }));
  }

  virtual ui::TForm* CurrentDialog() {
    if (OpenPresetPropertiesDialog() && OpenPresetPropertiesDialog()->Executing())
      return OpenPresetPropertiesDialog();
    if (OpenSettingsDialog() && OpenSettingsDialog()->Executing()) return OpenSettingsDialog();
    if (OpenProjectPropertiesDialog() && OpenProjectPropertiesDialog()->Executing())
      return OpenProjectPropertiesDialog();
    return nullptr;
  }

  // Clicks a page's node in the tree and waits for the page to show.
  static bool ClickNode(TPropertyDialog& dialog, ui::TTreeNode node) {
    RECT r{};
    // The item goes in where the rectangle comes back.
    HTREEITEM item = node;
    memcpy(&r, &item, sizeof(item));
    if (!SendMessageW(dialog.Tree().Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)))
      return false;
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(dialog.Tree().Handle(), &p);
    ClickMouse(p);
    const int id = static_cast<int>(dialog.Tree().NodeData(node));
    return PumpUntil([&] { return dialog.Model().CurrentPageId() == id; });
  }

  TKVHighLevel* controller = nullptr;
  TFakeSettingsHost host;
  std::unique_ptr<ui::TForm> main_;
  std::vector<std::string> messages;
};

TEST_F(PropsWinTest, SettingsTreeShowsEveryPageAndTheVirtualPortsWithoutABus) {
  std::vector<std::string> tree;
  std::vector<int> shown;
  bool mainDisabled = false;
  WithDialog([&] { ShowSettings(main_.get(), 0); }, [&] {
    TSettingsDialog& d = *OpenSettingsDialog();
    mainDisabled = !IsWindowEnabled(main_->Handle());
    EXPECT_EQ(d.Text(), "Settings - Korvanta");
    for (ui::TTreeNode n = d.Tree().FirstChild(nullptr); n; n = d.Tree().NextSibling(n)) {
      tree.push_back(d.Tree().NodeText(n));
      for (ui::TTreeNode c = d.Tree().FirstChild(n); c; c = d.Tree().NextSibling(c))
        tree.push_back(d.Tree().NodeText(n) + "/" + d.Tree().NodeText(c));
    }
    for (ui::TTreeNode n = d.Tree().FirstChild(nullptr); n; n = d.Tree().NextSibling(n)) {
      std::vector<ui::TTreeNode> nodes{n};
      for (ui::TTreeNode c = d.Tree().FirstChild(n); c; c = d.Tree().NextSibling(c))
        nodes.push_back(c);
      for (ui::TTreeNode node : nodes) {
        EXPECT_TRUE(ClickNode(d, node)) << d.Tree().NodeText(node);
        shown.push_back(d.Model().CurrentPageId());
        SaveShot(d.Handle(), "settings_page_" + std::to_string(shown.back()) + ".bmp");
      }
    }
    // Without the bus driver the virtual ports say so and cannot be chosen.
    EXPECT_EQ(d.StatusLabel().Text(), kNoBusStatus);
    EXPECT_TRUE(d.StatusLabel().Visible());
    EXPECT_FALSE(d.UseVirtualBox().Enabled());
    EXPECT_FALSE(d.UseVirtualBox().Checked());
    EXPECT_FALSE(d.PortsGroup().Enabled());
    EXPECT_EQ(d.PortsGroup().ItemIndex(), -1);
    // The router page points to the project properties, which are not showing.
    d.SelectPage(4);
    EXPECT_TRUE(d.ProjectButton().Visible());
    EXPECT_FALSE(d.ReturnButton().Visible());
    // Unchecking "Show Tray Icon" disables the two options that need it, keeping their marks.
    d.SelectPage(2);
    EXPECT_FALSE(d.ApplyButton().Enabled());
    Click(d.OptionBox(TSettingsOption::ShowTrayIcon));
    EXPECT_TRUE(PumpUntil([&] { return !d.OptionBox(TSettingsOption::AnimateTray).Enabled(); }));
    EXPECT_FALSE(d.OptionBox(TSettingsOption::MinimizeToTray).Enabled());
    EXPECT_TRUE(d.OptionBox(TSettingsOption::AnimateTray).Checked());
    EXPECT_TRUE(d.ApplyButton().Enabled());
    // A page shown from elsewhere than the tree while the focus is on the page it hides
    // takes the focus into its first field.
    d.OptionBox(TSettingsOption::ShowTrayIcon).SetFocus();
    d.SelectPage(0);
    EXPECT_TRUE(d.OptionBox(TSettingsOption::StartMinimized).Focused());
    Press(d, d.CancelButton());
  });
  EXPECT_TRUE(mainDisabled);
  EXPECT_EQ(tree, (std::vector<std::string>{"Start-Up", "Appearance", "MIDI", "MIDI/MIDI Ports",
                                             "MIDI/MIDI Router", "MIDI/Virtual Ports"}));
  EXPECT_EQ(shown, (std::vector<int>{0, 2, 1, kSettingsPortsPageId, 4, 5}));
  EXPECT_EQ(host.applied, 0);  // cancelled: nothing written
  EXPECT_TRUE(host.requested.empty());
  EXPECT_EQ(OpenSettingsDialog(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main_->Handle()));
}

TEST_F(PropsWinTest, AliasesAreAddedRenamedBoundAndPortsOpenedFromThePage) {
  MidiAliasManager().AddAlias("Spare", "", makMidiIn, false);
  SetAliasDialogObserver([](ui::TForm& chooser) {
    HWND out = FindChild(chooser.Handle(), "&2 - MIDI OUT port");
    EXPECT_NE(out, nullptr);
    if (out) ClickMouse(Centre(out));
    PumpUntil([&] { return SendMessageW(out, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000);
    ClickMouse(Centre(FindChild(chooser.Handle(), "OK")));
  });
  WithDialog([&] { ShowPortAliasSettings(main_.get()); }, [&] {
    TSettingsDialog& d = *OpenSettingsDialog();
    auto& view = static_cast<TAliasPageView&>(GetAliasPageView());
    TSetupAliasFrame& page = GetAliasFrame();
    EXPECT_EQ(d.Model().CurrentPageId(), kSettingsPortsPageId);
    EXPECT_TRUE(PumpUntil([&] { return view.List().Count() == page.RowCount() && view.List().Count() > 0; }));

    // Add: the chooser asks the kind, then the new row's name is edited in place.
    Click(view.AddButton());
    EXPECT_TRUE(PumpUntil([&] { return view.List().Editing(); }))
        << "rows " << page.RowCount() << " editing " << page.EditingRow() << " fg "
        << (GetForegroundWindow() == d.Handle()) << " add visible " << view.AddButton().Visible()
        << " view visible " << IsWindowVisible(view.Handle()) << " style "
        << std::hex << GetWindowLongW(view.Handle(), GWL_STYLE) << " parent visible "
        << IsWindowVisible(GetParent(view.Handle())) << " parking "
        << (GetParent(view.Handle()) == PageParking().Handle()) << " hosted " << view.Hosted()
        << " page " << std::dec << d.Model().CurrentPageId() << " panelVisible " << page.Visible();
    TypeText("Lead");
    SendKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return page.IndexOfRow("Lead", makMidiOut) >= 0; }));
    EXPECT_EQ(page.Selected(), page.IndexOfRow("Lead", makMidiOut));

    // Bind it: the device list sits over the row's "Device" cell.
    EXPECT_TRUE(PumpUntil([&] { return view.DeviceList().Visible(); }));
    view.DeviceList().SetFocus();
    SendKey('S');
    EXPECT_TRUE(PumpUntil([&] {
      const int row = page.IndexOfRow("Lead", makMidiOut);
      return row >= 0 && page.Row(row).deviceName == "Synth";
    }));

    // Rename an alias with F2.
    const int spare = page.IndexOfRow("Spare", makMidiIn);
    view.List().SetFocus();
    view.List().SetItemIndex(spare);
    EXPECT_TRUE(PumpUntil([&] { return page.Selected() == spare; }));
    SendKey(VK_F2);
    EXPECT_TRUE(PumpUntil([&] { return view.List().Editing(); }));
    TypeText("Pad");
    SendKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return page.IndexOfRow("Pad", makMidiIn) >= 0; }));
    SaveShot(d.Handle(), "settings_aliases_edited.bmp");

    EXPECT_TRUE(d.ApplyButton().Enabled());
    Click(d.ApplyButton());
    EXPECT_TRUE(PumpUntil([&] { return !d.ApplyButton().Enabled(); }));

    // Checking the row of a port opens it at once.
    const int keys = page.IndexOfRow("Keys", makMidiIn);
    view.List().SetFocus();
    view.List().SetItemIndex(keys);
    SendKey(VK_SPACE);
    EXPECT_TRUE(PumpUntil([&] {
      TMidiManager& m = MidiManager();
      TMMMidiDev* device = m.GetDevice(m.IndexOfDevice("Keys", true), true);
      return device && device->IsOpen();
    }));
    EXPECT_TRUE(PumpUntil([&] { return view.List().Checked(page.IndexOfRow("Keys", makMidiIn)); }));
    SaveShot(d.Handle(), "settings_aliases_applied.bmp");
    Press(d, d.OkButton());
  });
  TMidiAlias* lead = MidiAliasManager().Lookup("Lead", makMidiOut, false);
  ASSERT_NE(lead, nullptr);
  EXPECT_EQ(lead->GetDeviceName(), "Synth");
  EXPECT_NE(MidiAliasManager().Lookup("Pad", makMidiIn, false), nullptr);
  EXPECT_EQ(MidiAliasManager().Lookup("Spare", makMidiIn, false), nullptr);
  // The page outlived the dialog, parked in its hidden window.
  EXPECT_TRUE(IsWindow(GetAliasPageView().Handle()));
  EXPECT_FALSE(GetAliasPageView().Hosted());
}

// The rows change under a name being typed (an alias made elsewhere, a port plugged in): the
// name goes to the row it was typed for.
TEST_F(PropsWinTest, ANameTypedWhileTheRowsChangeGoesToItsRow) {
  TMidiAliasManager& aliases = MidiAliasManager();
  aliases.AddAlias("Bass", "", makMidiOut, false);
  WithDialog([&] { ShowPortAliasSettings(main_.get()); }, [&] {
    auto& view = static_cast<TAliasPageView&>(GetAliasPageView());
    TSetupAliasFrame& page = GetAliasFrame();
    EXPECT_TRUE(PumpUntil([&] { return view.List().Count() == page.RowCount(); }));
    const TMidiAlias* bass = aliases.Lookup("Bass", makMidiOut, false);
    view.List().SetFocus();
    view.List().SetItemIndex(page.IndexOfRow("Bass", makMidiOut));
    SendKey(VK_F2);
    EXPECT_TRUE(PumpUntil([&] { return view.List().Editing(); }));
    TypeText("Tuba");
    EXPECT_TRUE(PumpUntil([&] {
      wchar_t typed[16] = {};
      GetWindowTextW(reinterpret_cast<HWND>(view.List().Perform(LVM_GETEDITCONTROL)), typed, 16);
      return std::wstring(typed) == L"Tuba";
    }));
    // "Alto" sorts in above: the row under the edit is another one now.
    aliases.AddAlias("Alto", "", makMidiOut, false);
    EXPECT_TRUE(PumpUntil([&] { return view.List().Count() == page.RowCount(); }));
    if (view.List().Editing()) SendKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return page.IndexOfRow("Tuba", makMidiOut) >= 0; }));
    const int tuba = page.IndexOfRow("Tuba", makMidiOut);
    ASSERT_GE(tuba, 0);
    EXPECT_EQ(page.Row(tuba).alias, bass);
    EXPECT_GE(page.IndexOfRow("Alto", makMidiOut), 0);
  });
}

TEST_F(PropsWinTest, ARouteDrawnWithTheMouseIsSavedWithTheProject) {
  bool applyEnabled = false;
  WithDialog([&] { ShowProjectRouter(main_.get(), &Project()); }, [&] {
    TProjectPropertiesDialog& d = *OpenProjectPropertiesDialog();
    auto& view = static_cast<TRouterPageView&>(GetRouterPageView());
    TRouterEditor& editor = GetRouterFrame().Editor();
    EXPECT_TRUE(PumpUntil([&] { return !editor.Inputs().empty() && !editor.Outputs().empty(); }));
    int in = -1, out = -1;
    for (size_t i = 0; i < editor.Inputs().size(); ++i)
      if (editor.Inputs()[i].shownName == "Keys") in = static_cast<int>(i);
    for (size_t i = 0; i < editor.Outputs().size(); ++i)
      if (editor.Outputs()[i].shownName == "Synth") out = static_cast<int>(i);
    ASSERT_GE(in, 0);
    ASSERT_GE(out, 0);
    editor.Layout();
    HWND surface = view.EditorView().Handle();
    auto at = [&](const TGUIAlias& row) {
      POINT p{row.iconX + editor.IconWidth() / 2, row.iconY + editor.IconWidth() / 2};
      ClientToScreen(surface, &p);
      return p;
    };
    const POINT from = at(editor.Inputs()[static_cast<size_t>(in)]);
    const POINT to = at(editor.Outputs()[static_cast<size_t>(out)]);
    ASSERT_TRUE(MoveMouse(from));
    SendMouseButton(from, true);
    EXPECT_TRUE(PumpUntil([&] { return editor.Dragging(); }));
    MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2 + 10});
    MoveMouse(to);
    // The output under the mouse is lit as the target.
    EXPECT_TRUE(PumpUntil([&] { return editor.HighlightedOutput() == out; }));
    SendMouseButton(to, false);
    EXPECT_TRUE(PumpUntil([&] { return editor.Connections().size() == 1 && !editor.Dragging(); }));
    applyEnabled = d.ApplyButton().Enabled();
    EXPECT_TRUE(view.DeleteButton().Enabled());  // the new connection is selected
    SaveShot(d.Handle(), "project_router.bmp");
    ClickNode(d, d.Tree().FirstChild(nullptr));
    SaveShot(d.Handle(), "project_author.bmp");
    ClickNode(d, d.Tree().NextSibling(d.Tree().FirstChild(nullptr)));
    SaveShot(d.Handle(), "project_default_ports.bmp");
    Press(d, d.OkButton());
  });
  EXPECT_TRUE(applyEnabled);
  int valid = 0;  // the router keeps deleted routes as invalid entries
  for (int i = 0; i < MidiRouter().GetRoutes().GetCount(); ++i)
    valid += MidiRouter().GetRoutes().GetRoute(i).IsValid() ? 1 : 0;
  EXPECT_EQ(valid, 1);
  const std::string file = File("routed.kvp", "");
  Project().SaveToFile(file);
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("[MIDI.routes]\r\nIn0=Keys\r\nOut0=Synth\r\n"), std::string::npos)
      << text.str();
}

TEST_F(PropsWinTest, AResizedDialogReopensAtItsSize) {
  WithDialog([&] { ShowSettings(main_.get(), 0); }, [&] {
    TSettingsDialog& d = *OpenSettingsDialog();
    d.SetBounds(d.Left(), d.Top(), 720, 520);
    Press(d, d.CancelButton());
  });
  int width = 0, height = 0;
  WithDialog([&] { ShowSettings(main_.get(), 0); }, [&] {
    TSettingsDialog& d = *OpenSettingsDialog();
    width = d.Width();
    height = d.Height();
    Press(d, d.CancelButton());
  });
  EXPECT_EQ(width, 720);
  EXPECT_EQ(height, 520);
}

TEST_F(PropsWinTest, DialogsStackEitherWayAndReturnLeavesTheSettingsUnapplied) {
  bool projectDisabled = false, returnShown = false, projectBack = false, settingsDone = false;
  WithDialog([&] { ShowProjectRouter(main_.get(), &Project()); }, [&] {
    TProjectPropertiesDialog& project = *OpenProjectPropertiesDialog();
    auto& router = static_cast<TRouterPageView&>(GetRouterPageView());
    EXPECT_TRUE(PumpUntil([&] { return router.AliasesButton().Visible(); }));
    WhenShown([] { return OpenSettingsDialog(); }, [&] {
      TSettingsDialog& settings = *OpenSettingsDialog();
      projectDisabled = !IsWindowEnabled(project.Handle()) && !IsWindowEnabled(main_->Handle());
      EXPECT_EQ(settings.Model().CurrentPageId(), kSettingsPortsPageId);
      settings.SelectPage(0);
      Click(settings.OptionBox(TSettingsOption::StartMinimized));  // not applied below
      EXPECT_TRUE(PumpUntil([&] { return settings.ApplyButton().Enabled(); }));
      settings.SelectPage(4);
      returnShown = settings.ReturnButton().Visible() && !settings.ProjectButton().Visible();
      SaveShot(settings.Handle(), "settings_return_to_project.bmp");
      Press(settings, settings.ReturnButton());
      settingsDone = true;
    });
    Click(router.AliasesButton());
    EXPECT_TRUE(PumpUntil([&] { return settingsDone && OpenSettingsDialog() == nullptr; }));
    projectBack = IsWindowEnabled(project.Handle()) != 0;
    Press(project, project.CancelButton());
  });
  EXPECT_TRUE(projectDisabled);
  EXPECT_TRUE(returnShown);
  EXPECT_TRUE(projectBack);
  EXPECT_EQ(host.applied, 0);
  EXPECT_TRUE(IsWindow(GetRouterPageView().Handle()));
  EXPECT_FALSE(GetRouterPageView().Hosted());
}

TEST_F(PropsWinTest, PresetPropertiesAndTheAliasDialogsShowTheirValues) {
  TLockableTransList& preset = Project().NewPreset();
  WithDialog([&] { ShowPresetDefaultPorts(main_.get(), &preset); }, [&] {
    TPresetPropertiesDialog& d = *OpenPresetPropertiesDialog();
    TDefaultPortsView& ports = d.PortsView();
    EXPECT_TRUE(ports.ProjectDefault(true).Visible());
    EXPECT_TRUE(ports.ProjectDefault(true).Checked());
    EXPECT_FALSE(ports.List(true).Enabled());
    Click(ports.Specific(true));
    EXPECT_TRUE(PumpUntil([&] { return ports.List(true).Enabled(); }));
    EXPECT_TRUE(d.ApplyButton().Enabled());
    SaveShot(d.Handle(), "preset_default_ports.bmp");
    ClickNode(d, d.Tree().FirstChild(nullptr));
    SaveShot(d.Handle(), "preset_properties.bmp");
    Press(d, d.CancelButton());
  });

  MidiAliasManager().AddAlias("Ghost", "", makMidiOut, false);
  SetAliasDialogObserver([](ui::TForm& dialog) {
    SaveShot(dialog.Handle(), "define_alias.bmp");
    HWND combo = FindWindowExW(dialog.Handle(), nullptr, L"ComboBox", nullptr);
    EXPECT_NE(combo, nullptr);
    SetFocus(combo);
    SendKey('S');
    PumpUntil([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) > 0; }, 5000);
    ClickMouse(Centre(FindChild(dialog.Handle(), "OK")));
  });
  EXPECT_TRUE(DefineMidiAliasDialog(main_.get(), "Ghost"));
  EXPECT_EQ(MidiAliasManager().Lookup("Ghost", makMidiOut, false)->GetDeviceName(), "Synth");

  // The chooser, as the page shows it.
  SetAliasDialogObserver([](ui::TForm& dialog) {
    SaveShot(dialog.Handle(), "alias_chooser.bmp");
    ClickMouse(Centre(FindChild(dialog.Handle(), "Cancel")));
  });
  TAliasChooser chooser(makNone, false);
  EXPECT_FALSE(ShowAliasChooserWindow(main_.get(), chooser));
}

}  // namespace
}  // namespace kv
