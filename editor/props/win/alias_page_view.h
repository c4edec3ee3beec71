#pragma once
// The "MIDI Ports" page's window: the list of ports and aliases with check boxes to open and
// close ports, in-place renaming, the drop-down list of devices over the selected row's
// "Device" cell, the tool buttons and the pop-up menu. It shows what the page object holds
// and hands every click and key to it.
#include <memory>

#include "editor/props/alias_page.h"
#include "editor/props/win/page_view.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/menu.h"

namespace kv {

// The list of rows; alias rows are drawn in italics, and scrolling moves the device list.
class TAliasListView final : public ui::TListView {
 public:
  using ui::TListView::TListView;
  std::function<bool(int row)> IsItalic;
  std::function<void()> OnScrolled;

 protected:
  bool Notify(NMHDR* header, LRESULT& result) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  ui::TFont italic_;
};

class TAliasPageView final : public TPageView {
 public:
  explicit TAliasPageView(TSetupAliasFrame& page);
  ~TAliasPageView() override;

  void Load() override;
  ui::TSize MinSize() const override { return {380, 220}; }

  TAliasListView& List() { return *list_; }
  ui::TComboBox& DeviceList() { return *devices_; }
  ui::TButton& AddButton() { return *add_; }
  ui::TButton& DeleteButton() { return *delete_; }
  ui::TButton& RenameButton() { return *rename_; }
  ui::TButton& OpenUsedButton() { return *openUsed_; }
  ui::TPopupMenu& PopupMenu() { return popup_; }

 protected:
  void Layout() override;

 private:
  static void AliasesChanged(void* view, TMidiAliasManager& sender);
  static void DevicesChanged(void* view, TMidiManager& sender);
  void CreateControls();
  void ConnectList();
  void ConnectKeys();
  void ConnectCommands();
  void RenderLater();
  void Render();
  void PlaceDeviceList();
  void StartRenaming();
  bool ShowChooser(TAliasChooser& chooser);

  TSetupAliasFrame& page_;
  ui::TLabel* usedNote_ = nullptr;
  ui::TButton* add_ = nullptr;
  ui::TButton* delete_ = nullptr;
  ui::TButton* rename_ = nullptr;
  ui::TButton* openUsed_ = nullptr;
  TAliasListView* list_ = nullptr;
  ui::TComboBox* devices_ = nullptr;
  ui::TPopupMenu popup_;
  ui::TMenuItem* autoConnect_ = nullptr;
  int rendering_ = 0;
  const TGAlias* deviceRow_ = nullptr;  // the row the device list was last shown for
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace kv
