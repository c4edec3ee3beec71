#include "ui/menu.h"

#include <unordered_map>
#include <utility>

#include "base/win/wide.h"
#include "ui/action.h"
#include "ui/application.h"
#include "ui/hint_text.h"
#include "ui/win/internal.h"

namespace kv::ui {
namespace {

// Stores value in field; true when that changed it.
template <class T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = std::move(value);
  return true;
}

// Main thread only, as the menus are.
std::unordered_map<int, TMenuItem*>& Commands() {
  static std::unordered_map<int, TMenuItem*> map;
  return map;
}
std::unordered_map<HMENU, TMenuItem*>& SubMenus() {
  static std::unordered_map<HMENU, TMenuItem*> map;
  return map;
}

constexpr int kFirstCommand = 0x2000;
constexpr int kLastCommand = 0xEFFF;

int AllocateCommand(TMenuItem* item) {
  static int next = kFirstCommand;
  auto& map = Commands();
  for (int tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
    int id = next;
    next = next >= kLastCommand ? kFirstCommand : next + 1;
    if (map.emplace(id, item).second) return id;
  }
  return 0;  // every id in use: the item cannot be chosen from a menu
}

void RemoveAllEntries(HMENU menu) {
  // RemoveMenu, not DeleteMenu: the sub-menus belong to their items.
  while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
}

}  // namespace

TMenuItem::TMenuItem(std::string caption) : caption_(std::move(caption)) {
  command_ = AllocateCommand(this);
}

TMenuItem::~TMenuItem() {
  SetAction(nullptr);
  if (command_) Commands().erase(command_);
  if (menu_) {
    RemoveAllEntries(menu_);
    SubMenus().erase(menu_);
    DestroyMenu(menu_);
  }
}

TMenuItem* TMenuItem::FindByCommand(int command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FindBySubMenu(HMENU menu) {
  auto it = SubMenus().find(menu);
  return it == SubMenus().end() ? nullptr : it->second;
}

void TMenuItem::MakeBar() {
  isBar_ = true;
  EnsureSubMenu();
}

void TMenuItem::EnsureSubMenu() {
  if (menu_) return;
  menu_ = isBar_ ? CreateMenu() : CreatePopupMenu();
  if (menu_) SubMenus()[menu_] = this;
}

std::wstring TMenuItem::DisplayText() const {
  std::string text = caption_;
  if (shortCut_ != kScNone) text += "\t" + ShortCutToText(shortCut_);
  return win::Widen(text);
}

void TMenuItem::Rebuild() {
  if (!menu_) return;
  RemoveAllEntries(menu_);
  UINT position = 0;
  for (const auto& child : items_) {
    if (!child->visible_) continue;
    if (child->IsSeparator()) {
      AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
      ++position;
      continue;
    }
    UINT flags = MF_STRING | (child->checked_ ? MF_CHECKED : 0) | (child->enabled_ ? 0 : MF_GRAYED);
    std::wstring text = child->DisplayText();
    if (!child->items_.empty()) {
      child->EnsureSubMenu();
      AppendMenuW(menu_, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(child->menu_), text.c_str());
    } else {
      AppendMenuW(menu_, flags, static_cast<UINT_PTR>(child->command_), text.c_str());
    }
    if (child->radio_) {
      MENUITEMINFOW mii{};
      mii.cbSize = sizeof(mii);
      mii.fMask = MIIM_FTYPE;
      GetMenuItemInfoW(menu_, position, TRUE, &mii);
      mii.fType |= MFT_RADIOCHECK;
      SetMenuItemInfoW(menu_, position, TRUE, &mii);
    }
    if (child->default_) SetMenuDefaultItem(menu_, position, TRUE);
    ++position;
  }
  StructureChanged();
}

void TMenuItem::StructureChanged() {}

void TMenuItem::Changed() {
  if (parent_) parent_->Rebuild();
}

void TMenuItem::SetCaption(std::string caption) {
  if (Assign(caption_, std::move(caption))) Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (Assign(shortCut_, shortCut)) Changed();
}

void TMenuItem::SetChecked(bool checked) {
  if (Assign(checked_, checked)) Changed();
}

void TMenuItem::SetRadioItem(bool radio) {
  if (Assign(radio_, radio)) Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  if (Assign(enabled_, enabled)) Changed();
}

void TMenuItem::SetVisible(bool visible) {
  if (Assign(visible_, visible)) Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
  if (Assign(default_, isDefault)) Changed();
}

void TMenuItem::SetAction(TAction* action) {
  if (action_) action_->RemoveClient(actionClient_);
  action_ = action;
  actionClient_ = 0;
  if (action_) {
    actionClient_ = action_->AddClient([this] { ActionChanged(); });
    ActionChanged();
  }
}

void TMenuItem::ActionChanged() {
  caption_ = action_->Caption();
  hint_ = action_->Hint();
  shortCut_ = action_->ShortCut();
  checked_ = action_->Checked();
  enabled_ = action_->Enabled();
  visible_ = action_->Visible();
  Changed();
}

TMenuItem& TMenuItem::Add(std::string caption) {
  return Insert(Count(), std::move(caption));
}

TMenuItem& TMenuItem::Insert(int index, std::string caption) {
  if (index < 0 || index > Count()) index = Count();
  auto item = std::make_unique<TMenuItem>(std::move(caption));
  item->parent_ = this;
  TMenuItem& ref = *item;
  bool first = items_.empty();
  items_.insert(items_.begin() + index, std::move(item));
  EnsureSubMenu();
  Rebuild();
  if (first) Changed();  // this item now opens a sub-menu
  return ref;
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<TMenuItem> doomed = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  Rebuild();  // the menu lets go of the item before it is freed
  if (items_.empty()) Changed();
}

void TMenuItem::Clear() {
  std::vector<std::unique_ptr<TMenuItem>> doomed = std::move(items_);
  items_.clear();
  Rebuild();
  if (!doomed.empty()) Changed();
}

int TMenuItem::IndexOf(const TMenuItem& item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == &item) return static_cast<int>(i);
  }
  return -1;
}

void TMenuItem::Click() {
  if (action_) {
    action_->Execute();
  } else {
    OnClick();
  }
}

bool TMenuItem::HandleShortCut(TShortCut shortCut) {
  if (shortCut == kScNone) return false;
  for (size_t i = 0; i < items_.size(); ++i) {
    TMenuItem* child = items_[i].get();
    if (child->action_) child->action_->Update();
    if (!child->visible_ || !child->enabled_) continue;
    if (child->items_.empty()) {
      if (child->shortCut_ == shortCut) {
        child->Click();
        return true;
      }
    } else if (child->HandleShortCut(shortCut)) {
      return true;
    }
  }
  return false;
}

void TMenuItem::UpdateItems() {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (TAction* a = items_[i]->action_) a->Update();
  }
}

TMainMenu::TMainMenu() {
  MakeBar();
}

void TMainMenu::StructureChanged() {
  if (window_) DrawMenuBar(window_);
}

TMenuItem* TPopupMenu::Popup(int x, int y, HWND owner) {
  OnPopup();
  UpdateItems();
  EnsureSubMenu();
  Rebuild();
  if (!owner || !SubMenu()) return nullptr;
  // A pop-up of a window that is not in front (a tray icon's) closes only when its owner is.
  SetForegroundWindow(owner);
  int command = static_cast<int>(
      TrackPopupMenuEx(SubMenu(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  Application().SetHint("");
  TMenuItem* item = command ? FindByCommand(command) : nullptr;
  if (item) item->Click();
  return item;
}

namespace detail {

bool DispatchMenuCommand(int command) {
  TMenuItem* item = TMenuItem::FindByCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

bool PrepareMenuPopup(HMENU menu) {
  TMenuItem* item = TMenuItem::FindBySubMenu(menu);
  if (!item) return false;
  item->UpdateItems();
  return true;
}

bool SelectMenuHint(int command, HMENU menu, UINT flags) {
  if (flags == 0xFFFF && menu == nullptr) {
    Application().SetHint("");
    return true;
  }
  TMenuItem* item = nullptr;
  if (flags & MF_POPUP) {
    item = TMenuItem::FindBySubMenu(GetSubMenu(menu, command));
  } else {
    item = TMenuItem::FindByCommand(command);
  }
  Application().SetHint(item ? GetLongHint(item->Hint()) : "");
  return item != nullptr;
}

}  // namespace detail
}  // namespace kv::ui
