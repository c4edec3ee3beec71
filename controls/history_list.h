#pragma once
// The recent-files list: a run of items at the end of a menu, most recent first, stored
// under the current user's settings as "File0", "File1", ... The menu is reached through
// TDynamicMenuHost (controls/win/history_menu.h adapts a ui::TMenuItem) and the store
// through a TCustomIniFile made per load or save, so the list's rules run without windows.
// Main thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "ui/event.h"

namespace kv {

// The menu whose last items the list manages.
class TDynamicMenuHost {
 public:
  virtual ~TDynamicMenuHost() = default;
  virtual int Count() const = 0;
  virtual std::string Caption(int index) const = 0;
  virtual bool Enabled(int index) const = 0;
  // A list item: caption, hint (the full path), the list's click handler and help context.
  virtual void InsertListItem(int index, const std::string& caption, const std::string& path) = 0;
  virtual void AddPlain(const std::string& caption, bool enabled) = 0;  // "-" or "(none)"
  virtual void Delete(int index) = 0;
};

class TDynamicMenuBase {
 public:
  static constexpr const char* kDefaultRegPath = "Company\\Program Name";
  // Opens the settings store of the key "\Software\" + RegPath; section = RegKey.
  using TStoreFactory =
      std::function<std::unique_ptr<TCustomIniFile>(const std::string& keyPath, bool writable)>;

  TDynamicMenuBase();
  virtual ~TDynamicMenuBase() = default;

  const std::string& RegPath() const { return regPath_; }
  void SetRegPath(std::string path);
  const std::string& RegKey() const { return regKey_; }
  void SetRegKey(std::string key);
  TDynamicMenuHost* BaseMenu() const { return menu_; }
  // Can be set once; the host must outlive the list.
  void SetBaseMenu(TDynamicMenuHost* menu);
  void SetStoreFactory(TStoreFactory factory) { storeFactory_ = std::move(factory); }
  // While a form loads the list does not read; Loaded reads.
  void BeginLoading() { loading_ = true; }
  void Loaded();

  // Number of list items (0 before the first, or with only the placeholder).
  int ItemCount() const;
  const std::vector<std::string>& Paths() const { return paths_; }
  int FirstIndex() const { return firstIndex_; }
  void RemoveItem(int listIndex);
  void SaveItems();

 protected:
  bool StoreUsable() const;
  void Load();
  virtual void LoadFromStore(const TCustomIniFile& store) = 0;
  void TidyMenu();
  // Inserts the item for path at list position pos (0 top), starting the list when needed.
  void InsertItem(int pos, const std::string& path);
  void DropItem(int listIndex);
  int FindPath(const std::string& path) const;

  std::vector<std::string> paths_;  // the list items, top first
  int firstIndex_ = -1;

 private:
  std::string regPath_ = kDefaultRegPath;
  std::string regKey_;
  TDynamicMenuHost* menu_ = nullptr;  // not owned
  TStoreFactory storeFactory_;
  bool loaded_ = false;
  bool loading_ = false;
};

class THistoryList : public TDynamicMenuBase {
 public:
  THistoryList();

  int MaxItems() const { return maxItems_; }
  void SetMaxItems(int v);  // 0 or less is ignored
  bool Directories() const { return directories_; }
  void SetDirectories(bool v) { directories_ = v; }
  // Puts the path at the top (moving it there when listed). Paths that name no existing
  // file (folder with Directories) are not listed.
  void AddFile(const std::string& path);
  // Chooses a list item (the menu's click).
  void Click(int listIndex);

  // Fired with the item's full path.
  ui::TEvent<void(const std::string& fileName)> OnClick;

  // How existence is tested; the default asks the file system.
  void SetExistsTest(std::function<bool(const std::string& path, bool directory)> test) {
    exists_ = std::move(test);
  }

 protected:
  void LoadFromStore(const TCustomIniFile& store) override;

 private:
  bool Add(std::string path, bool atTop);

  int maxItems_ = 4;
  bool directories_ = false;
  std::function<bool(const std::string&, bool)> exists_;
};

}  // namespace kv
