#include "controls/win/history_menu.h"

#include "base/win/registry_ini_file.h"

namespace kv {

class THistoryMenu::Host : public TDynamicMenuHost {
 public:
  Host(THistoryMenu& list, ui::TMenuItem& menu) : list_(list), menu_(menu) {}
  int Count() const override { return menu_.Count(); }
  std::string Caption(int i) const override { return menu_.Item(i).Caption(); }
  bool Enabled(int i) const override { return menu_.Item(i).Enabled(); }
  void InsertListItem(int index, const std::string& caption, const std::string& path) override {
    ui::TMenuItem& item = menu_.Insert(index, caption);
    item.SetHint(path);
    ui::TMenuItem* p = &item;
    item.OnClick = [this, p] { list_.Click(menu_.IndexOf(*p) - list_.FirstIndex()); };
  }
  void AddPlain(const std::string& caption, bool enabled) override {
    menu_.Add(caption).SetEnabled(enabled);
  }
  void Delete(int index) override { menu_.Delete(index); }
  ui::TMenuItem& Menu() { return menu_; }

 private:
  THistoryMenu& list_;
  ui::TMenuItem& menu_;
};

THistoryMenu::THistoryMenu() {
  SetStoreFactory([](const std::string& keyPath, bool writable) -> std::unique_ptr<TCustomIniFile> {
    return std::make_unique<TRegistryIniFile>(keyPath, writable);
  });
}

THistoryMenu::~THistoryMenu() = default;

void THistoryMenu::SetMenu(ui::TMenuItem& menu) {
  if (host_) return;
  host_ = std::make_unique<Host>(*this, menu);
  SetBaseMenu(host_.get());
}

void THistoryMenu::CopyTo(ui::TMenuItem& target) {
  target.Clear();
  for (size_t i = 0; i < Paths().size(); ++i) {
    const std::string path = Paths()[i];
    ui::TMenuItem& item =
        target.Add(host_ ? host_->Caption(FirstIndex() + static_cast<int>(i)) : path);
    item.SetHint(path);
    item.OnClick = [this, path] { OnClick(path); };
  }
}

}  // namespace kv
