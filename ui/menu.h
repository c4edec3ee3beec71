#pragma once
// Menus: a menu bar of a form and pop-up menus, built of items with captions ("-" for a
// separator, "&" before the access key), shortcuts (shown after the caption; a form runs its
// bar's shortcuts), checks, hints (the application's hint while the item is highlighted)
// and an optional action the item follows. An item owns its sub-items. The Windows menus are
// rebuilt from the items whenever they change.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/event.h"
#include "ui/shortcut.h"

namespace kv::ui {

class TAction;

class TMenuItem {
 public:
  explicit TMenuItem(std::string caption = "");
  ~TMenuItem();
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // A checked item of a radio group shows a bullet instead of a tick.
  void SetRadioItem(bool radio);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);  // shown bold (the double-click command of a tray menu)
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t tag) { tag_ = tag; }
  bool IsSeparator() const { return caption_ == "-"; }
  // Follows the action's caption, hint, shortcut, check and enabled state; a click executes
  // it. Unlink the item (nullptr) before the action is freed.
  void SetAction(TAction* action);
  TAction* Action() const { return action_; }

  // Sub-items.
  TMenuItem& Add(std::string caption);
  TMenuItem& AddSeparator() { return Add("-"); }
  TMenuItem& Insert(int index, std::string caption);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
  int IndexOf(const TMenuItem& item) const;
  TMenuItem* Parent() const { return parent_; }

  // As a user's click: the action, else OnClick.
  void Click();
  // The enabled, visible item (this or below) with the shortcut; clicked when found.
  bool HandleShortCut(TShortCut shortCut);
  // Runs the update handlers of the actions of the sub-items (before the menu shows).
  void UpdateItems();

  TNotifyEvent OnClick;

  // The layer's plumbing: the command id of WM_COMMAND, the sub-menu's handle.
  int Command() const { return command_; }
  HMENU SubMenu() const { return menu_; }
  static TMenuItem* FindByCommand(int command);
  static TMenuItem* FindBySubMenu(HMENU menu);

 protected:
  // The menu bar item of a form owns a bar instead of a pop-up menu.
  void MakeBar();
  void EnsureSubMenu();
  void Rebuild();
  virtual void StructureChanged();

 private:
  void Changed();  // this item's look changed: rebuild the parent's menu
  void ActionChanged();
  std::wstring DisplayText() const;

  std::string caption_;
  std::string hint_;
  TShortCut shortCut_ = kScNone;
  bool checked_ = false;
  bool radio_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool isBar_ = false;
  intptr_t tag_ = 0;
  int command_ = 0;
  TMenuItem* parent_ = nullptr;
  std::vector<std::unique_ptr<TMenuItem>> items_;
  HMENU menu_ = nullptr;  // owned: the sub-menu (or bar) of the sub-items
  TAction* action_ = nullptr;
  int actionClient_ = 0;
};

// The menu bar of a form (TForm::SetMenu). Its items are the bar's drop-down menus.
class TMainMenu : public TMenuItem {
 public:
  TMainMenu();
  HMENU Handle() const { return SubMenu(); }
  // The form that shows the bar; it redraws the bar after a change.
  void SetWindow(HWND window) { window_ = window; }

 protected:
  void StructureChanged() override;

 private:
  HWND window_ = nullptr;
};

// A pop-up menu shown at a point; the item chosen is clicked after the menu closed.
class TPopupMenu : public TMenuItem {
 public:
  TPopupMenu() = default;
  // Screen coordinates. Runs OnPopup and the action updates first. Returns the item chosen,
  // or null; its click has run.
  TMenuItem* Popup(int x, int y, HWND owner);

  TNotifyEvent OnPopup;
};

}  // namespace kv::ui
