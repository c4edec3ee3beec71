#include "controls/history_list.h"

#include <algorithm>

#include "base/platform.h"
#include "base/text.h"
#include "base/utils.h"

namespace kv {

namespace {

constexpr const char* kPlaceholder = "(none)";

std::string ItemCaption(const std::string& path) {
  const std::string name = ExtractFileName(path);
  return name.empty() ? path : name;
}

std::string ValueName(int index) {
  return "File" + IntToStr(index);
}

}  // namespace

TDynamicMenuBase::TDynamicMenuBase() = default;

void TDynamicMenuBase::SetRegPath(std::string path) {
  regPath_ = std::move(path);
  Load();
}

void TDynamicMenuBase::SetRegKey(std::string key) {
  regKey_ = std::move(key);
  Load();
}

void TDynamicMenuBase::SetBaseMenu(TDynamicMenuHost* menu) {
  if (menu_ != nullptr || menu == nullptr) return;
  menu_ = menu;
  TidyMenu();
  Load();
}

void TDynamicMenuBase::Loaded() {
  loading_ = false;
  Load();
}

bool TDynamicMenuBase::StoreUsable() const {
  return menu_ != nullptr && !regPath_.empty() && regPath_ != kDefaultRegPath && storeFactory_;
}

void TDynamicMenuBase::Load() {
  if (loaded_ || loading_ || !StoreUsable()) return;
  loaded_ = true;
  std::unique_ptr<TCustomIniFile> store = storeFactory_("\\Software\\" + regPath_, false);
  if (!store || !store->SectionExists(regKey_)) return;
  LoadFromStore(*store);
}

int TDynamicMenuBase::ItemCount() const {
  if (menu_ == nullptr || firstIndex_ < 0) return 0;
  return static_cast<int>(paths_.size());
}

void TDynamicMenuBase::TidyMenu() {
  if (menu_ == nullptr) return;
  const int count = menu_->Count();
  if (count == 0) {
    menu_->AddPlain(kPlaceholder, false);
  } else if (menu_->Caption(count - 1) == "-") {
    menu_->Delete(count - 1);
  }
}

int TDynamicMenuBase::FindPath(const std::string& path) const {
  for (size_t i = 0; i < paths_.size(); ++i) {
    if (AnsiSameText(paths_[i], path)) return static_cast<int>(i);
  }
  return -1;
}

void TDynamicMenuBase::InsertItem(int pos, const std::string& path) {
  if (firstIndex_ < 0) {
    const int count = menu_->Count();
    if (count == 1 && menu_->Caption(0) == kPlaceholder && !menu_->Enabled(0)) {
      menu_->Delete(0);
    }
    if (menu_->Count() > 0) menu_->AddPlain("-", true);
    firstIndex_ = menu_->Count();
  }
  pos = std::clamp(pos, 0, static_cast<int>(paths_.size()));
  menu_->InsertListItem(firstIndex_ + pos, ItemCaption(path), path);
  paths_.insert(paths_.begin() + pos, path);
}

void TDynamicMenuBase::DropItem(int listIndex) {
  if (listIndex < 0 || listIndex >= static_cast<int>(paths_.size())) return;
  menu_->Delete(firstIndex_ + listIndex);
  paths_.erase(paths_.begin() + listIndex);
}

void TDynamicMenuBase::RemoveItem(int listIndex) {
  if (menu_ == nullptr) return;
  DropItem(listIndex);
  if (paths_.empty()) firstIndex_ = -1;
  TidyMenu();
}

void TDynamicMenuBase::SaveItems() {
  if (!StoreUsable()) return;
  std::unique_ptr<TCustomIniFile> store = storeFactory_("\\Software\\" + regPath_, true);
  if (!store) return;
  store->EraseSection(regKey_);
  for (size_t i = 0; i < paths_.size(); ++i) {
    store->WriteString(regKey_, ValueName(static_cast<int>(i)), paths_[i]);
  }
  store->UpdateFile();
}

// ---------------------------------------------------------------- THistoryList

THistoryList::THistoryList() {
  SetRegKey("MRUList");
  exists_ = [](const std::string& path, bool directory) {
    return directory ? DirExists(path) : FileExists(path);
  };
}

void THistoryList::SetMaxItems(int v) {
  if (v <= 0) return;
  maxItems_ = v;
  while (static_cast<int>(paths_.size()) > maxItems_) DropItem(static_cast<int>(paths_.size()) - 1);
}

void THistoryList::LoadFromStore(const TCustomIniFile& store) {
  for (int n = 0; static_cast<int>(paths_.size()) < maxItems_; ++n) {
    if (!store.ValueExists(RegKey(), ValueName(n))) break;
    Add(store.ReadString(RegKey(), ValueName(n), ""), false);
  }
}

bool THistoryList::Add(std::string path, bool atTop) {
  if (path.empty() || BaseMenu() == nullptr) return false;
  if (!exists_ || !exists_(path, directories_)) return false;
  if (directories_ && path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':') {
    path.pop_back();
  }
  const int found = FindPath(path);
  if (found >= 0) {
    // Reused: taken out of the menu and put back at its new place (the list stays started).
    BaseMenu()->Delete(firstIndex_ + found);
    paths_.erase(paths_.begin() + found);
  }
  if (atTop) {
    InsertItem(0, path);
    if (static_cast<int>(paths_.size()) > maxItems_) DropItem(static_cast<int>(paths_.size()) - 1);
  } else {
    InsertItem(static_cast<int>(paths_.size()), path);
    if (static_cast<int>(paths_.size()) > maxItems_) DropItem(0);
  }
  return true;
}

void THistoryList::AddFile(const std::string& path) {
  Add(path, true);
}

void THistoryList::Click(int listIndex) {
  if (listIndex < 0 || listIndex >= static_cast<int>(paths_.size())) return;
  const std::string path = paths_[static_cast<size_t>(listIndex)];
  OnClick(path);
}

}  // namespace kv
