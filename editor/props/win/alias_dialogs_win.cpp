#include "editor/props/win/alias_dialogs_win.h"

#include "midi/manager/midi_manager.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/label.h"
#include "ui/placement.h"
#include "ui/radio_group.h"

namespace kv {

namespace {

std::function<void(ui::TForm&)>& Observer() {
  static std::function<void(ui::TForm&)> observer;
  return observer;
}

ui::TFormParams SmallDialog(ui::TForm* owner, const std::string& caption, int width, int height) {
  ui::TFormParams params;
  params.caption = caption;
  params.bounds = ui::TRect::FromBounds(0, 0, width, height);
  params.border = ui::TBorderStyle::Dialog;
  params.owner = owner;
  params.minimizeBox = false;
  params.maximizeBox = false;
  return params;
}

int ShowOver(ui::TForm& dialog, ui::TForm* owner) {
  ui::CenterFormOver(dialog, owner);
  ui::Application().Post([&dialog] {
    if (Observer() && dialog.IsModal()) Observer()(dialog);
  });
  return dialog.ShowModal();
}

class TAliasChooserWindow final : public ui::TForm {
 public:
  TAliasChooserWindow(ui::TForm* owner, TAliasChooser& chooser)
      : ui::TForm(SmallDialog(owner, "Add a MIDI Port Alias", 300, 170)), chooser_(chooser) {
    SetClientSize(280, 134);
    group_ = &Add<ui::TRadioGroup>(*this, "Add this type of MIDI port alias:",
                                   ui::TRect::FromBounds(8, 8, 264, 82));
    for (const TAliasKindItem& item : kAliasKindItems) group_->Add(item.caption);
    ok_ = &Add<ui::TButton>(*this, "OK", ui::TRect::FromBounds(116, 100, 75, 25), IDOK);
    cancel_ = &Add<ui::TButton>(*this, "Cancel", ui::TRect::FromBounds(197, 100, 75, 25),
                                IDCANCEL);
    ok_->SetModalResult(ui::mrOk);
    cancel_->SetModalResult(ui::mrCancel);
    SetDefaultButton(ok_);
    SetCancelButton(cancel_);
    group_->SetItemIndex(chooser_.Selected());
    group_->OnChange = [this] {
      chooser_.Select(group_->ItemIndex());
      ok_->SetEnabled(chooser_.OkEnabled());
    };
    group_->OnItemDblClick = [this](int item) {
      if (chooser_.DoubleClick(item)) ok_->Click();
    };
    ok_->SetEnabled(chooser_.OkEnabled());
  }

 private:
  TAliasChooser& chooser_;
  ui::TRadioGroup* group_ = nullptr;
  ui::TButton* ok_ = nullptr;
  ui::TButton* cancel_ = nullptr;
};

class TDefineAliasWindow final : public ui::TForm {
 public:
  TDefineAliasWindow(ui::TForm* owner, TDefineMidiAlias& dialog)
      : ui::TForm(SmallDialog(owner, "Select MIDI Port", 340, 230)), dialog_(dialog) {
    SetClientSize(kWidth, kFullHeight);
    Add<ui::TLabel>(*this, "Select a MIDI port for this alias",
                    ui::TRect::FromBounds(8, 8, kWidth - 16, 16));
    Add<ui::TLabel>(*this, "Alias:", ui::TRect::FromBounds(8, 32, 40, 16));
    name_ = &Add<ui::TLabel>(*this, "", ui::TRect::FromBounds(52, 32, kWidth - 60, 16));
    for (int i = 0; i < 2; ++i) {
      const int top = 56 + i * 48;
      labels_[i] = &Add<ui::TLabel>(*this, "", ui::TRect::FromBounds(8, top, kWidth - 16, 16));
      combos_[i] = &Add<ui::TComboBox>(*this, ui::TRect::FromBounds(8, top + 18, kWidth - 16, 22));
      combos_[i]->OnChange = [this, i] {
        if (filling_) return;
        dialog_.Choose(i, combos_[i]->ItemIndex());
        Fill();
      };
    }
    bottom_ = &Add<ui::TPanel>(*this, ui::TRect::FromBounds(0, kFullHeight - kBottom, kWidth,
                                                            kBottom));
    ok_ = &bottom_->Add<ui::TButton>(*bottom_, "OK",
                                      ui::TRect::FromBounds(kWidth - 164, 8, 75, 25), IDOK);
    cancel_ = &bottom_->Add<ui::TButton>(*bottom_, "Cancel",
                                          ui::TRect::FromBounds(kWidth - 83, 8, 75, 25), IDCANCEL);
    ok_->SetModalResult(ui::mrOk);
    cancel_->SetModalResult(ui::mrCancel);
    SetDefaultButton(ok_);
    SetCancelButton(cancel_);
    MidiManager().AddChangeListener({&TDefineAliasWindow::DevicesChanged, this});
    Fill();
  }
  ~TDefineAliasWindow() override {
    MidiManager().RemoveChangeListener({&TDefineAliasWindow::DevicesChanged, this});
  }

 private:
  static constexpr int kWidth = 320;
  static constexpr int kBottom = 41;
  static constexpr int kFullHeight = 56 + 2 * 48 + 8 + kBottom;

  // The dialog object refreshes its lists first (it listens too); the window follows.
  static void DevicesChanged(void* window, TMidiManager&) {
    static_cast<TDefineAliasWindow*>(window)->Fill();
  }

  void Fill() {
    filling_ = true;
    name_->SetText(dialog_.AliasName());
    for (int i = 0; i < 2; ++i) {
      const TDeviceCombo& combo = dialog_.Combo(i);
      labels_[i]->SetText(combo.label);
      labels_[i]->SetVisible(combo.visible);
      combos_[i]->SetVisible(combo.visible);
      combos_[i]->SetItems(combo.entries);
      combos_[i]->SetItemIndex(combo.selected);
    }
    filling_ = false;
    ok_->SetEnabled(dialog_.OkEnabled());
    // With one list the dialog shrinks to fit it.
    const int height = dialog_.Compact() ? 56 + 18 + 22 + 8 + kBottom : kFullHeight;
    if (ClientRect().Height() != height) {
      SetClientSize(kWidth, height);
      bottom_->SetBounds(0, height - kBottom, kWidth, kBottom);
    }
  }

  TDefineMidiAlias& dialog_;
  ui::TLabel* name_ = nullptr;
  ui::TLabel* labels_[2] = {};
  ui::TComboBox* combos_[2] = {};
  ui::TPanel* bottom_ = nullptr;
  ui::TButton* ok_ = nullptr;
  ui::TButton* cancel_ = nullptr;
  bool filling_ = false;
};

}  // namespace

void SetAliasDialogObserver(std::function<void(ui::TForm&)> observer) {
  Observer() = std::move(observer);
}

bool ShowAliasChooserWindow(ui::TForm* owner, TAliasChooser& chooser) {
  TAliasChooserWindow window(owner, chooser);
  return ShowOver(window, owner) == ui::mrOk;
}

bool ShowDefineMidiAliasWindow(ui::TForm* owner, TDefineMidiAlias& dialog) {
  TDefineAliasWindow window(owner, dialog);
  return ShowOver(window, owner) == ui::mrOk;
}

bool DefineMidiAliasDialog(ui::TForm* owner, const std::string& aliasName) {
  return ShowDefineMidiAlias(MidiAliasManager(), MidiManager(), aliasName,
                             [owner](TDefineMidiAlias& dialog) {
                               return ShowDefineMidiAliasWindow(owner, dialog);
                             });
}

}  // namespace kv
