#pragma once
// The "MIDI Ports" page of the settings dialog without its window: one row per port alias
// (a port shows through the alias named after it), their texts and order, opening and
// closing ports by checking rows, and adding, deleting, renaming and binding aliases. Edits
// stay in the rows until the dialog applies them to the alias manager; opening and closing
// happens at once. A single page object lives for the whole run. Main thread only.
#include <memory>
#include <string>
#include <vector>

#include "editor/props/alias_dialogs.h"
#include "editor/props/project_ports.h"
#include "editor/props/property_panel.h"
#include "editor/props/props_messages.h"
#include "midi/model/alias.h"

namespace kv {

class TMidiManager;

// One row. A row added on the page has no alias until the page applies.
struct TGAlias {
  uint8_t kind = makNone;
  std::string name;
  std::string deviceName;
  TMidiAlias* alias = nullptr;
  bool kept = false;
  bool open = false;    // the open state last shown
  bool edited = false;  // renamed or rebound on the page, not applied yet
  // What the list shows.
  std::string deviceText;
  std::string typeText;
  std::string usedText;
  bool italic = false;
  bool checked = false;
};

// One step of writing the rows to the alias manager.
struct TAliasApplyStep {
  enum TKind { Redefine, Bind, Delete };
  TKind kind = Redefine;
  TMidiAlias* alias = nullptr;  // Redefine, Delete: the alias; Bind: none yet
  const TGAlias* row = nullptr;
  uint8_t aliasKind = makNone;
  std::string name;
  std::string device;
  bool automatic = false;
};

class TSetupAliasFrame final : public TPropertyPanel {
 public:
  static constexpr const char* kNoSlotError = "Please define the device first.";
  static constexpr const char* kAbsentError =
      "This device is not available. Please plug it in to use it.";

  // Follows the alias manager from now on, the MIDI manager from the first load.
  TSetupAliasFrame(TProjectPorts& controller, TPropsMessages& messages);
  ~TSetupAliasFrame() override;
  TSetupAliasFrame(const TSetupAliasFrame&) = delete;
  TSetupAliasFrame& operator=(const TSetupAliasFrame&) = delete;

  void LoadValues() override;
  void Revert() override;
  void Apply(bool showErrors) override;

  void RefreshDevices();
  void RefreshRows();

  int RowCount() const { return static_cast<int>(rows_.size()); }
  const TGAlias& Row(int index) const { return *rows_.at(static_cast<size_t>(index)); }
  int IndexOfRow(std::string_view name, uint8_t kind) const;
  int Selected() const;
  void SelectRow(int index);

  // Row states, asked of the MIDI manager.
  bool IsAliasRow(const TGAlias& row) const;
  bool IsEditable(const TGAlias& row) const;
  bool IsUsed(const TGAlias& row) const;

  // Commands.
  void AddClick(const TShowAliasChooser& chooser);
  int AddRow(uint8_t kind);
  void DeleteClick();
  void RenameClick();
  // The rename check of the row; the edit of a name is over. Returns the text the row shows.
  std::string Rename(int index, const std::string& text);
  // The row whose name is edited in place, -1 for none.
  int EditingRow() const;
  // The list opened the in-place name edit on the row (an editable one).
  void BeginRename(int index);
  // The in-place name edit ended with a name: the rename check on the row the edit began on,
  // wherever the rows' refreshes have moved it. Returns that row's index, or -1 when it went
  // meanwhile (the name then goes nowhere); name becomes the text the row shows.
  int FinishRename(std::string& name);
  // The in-place name edit ended without a name: Escape or an unchanged text. Nothing
  // changes; the keys work again.
  void CancelRename();
  // The name typed holds characters that cannot be stored: the error, and the old name stays.
  void RefuseRename(const std::string& error);
  // The in-place device list shown for the row chose the entry (by its text, since the
  // entries follow the ports plugged in): nothing when that row is no longer the selected one
  // or the entry is gone.
  void ChooseDevice(const TGAlias* row, const std::string& entry);
  void CheckRow(int index, bool checked);
  bool AutoConnectEnabled() const;
  void AutoConnect();
  void OpenUsedClick();
  // Keys of the list and the in-place list: Delete and F2 without Alt or Ctrl press Delete and
  // Rename, Ctrl+N (released, no Shift or Alt) presses Add; none while a name is edited.
  enum class TPageKey { Delete, F2, N, Other };
  void KeyDown(TPageKey key, bool alt, bool ctrl);
  void KeyUp(TPageKey key, bool shift, bool alt, bool ctrl, const TShowAliasChooser& chooser);

  // What the buttons and the in-place device list show.
  bool DeleteEnabled() const { return selectedEditable_; }
  bool RenameEnabled() const { return selectedEditable_; }
  bool DeviceListVisible() const { return selectedEditable_; }
  const std::vector<std::string>& DeviceEntries() const { return comboEntries_; }
  int DeviceEntrySelected() const { return comboSelected_; }
  bool ChangeReported() const { return changeReported_; }

  // The steps Apply carries out: renamed and rebound aliases first (each by its object, so a
  // name handed from one alias to another cannot hit the wrong one), then the rows added on
  // the page, then the aliases whose rows were removed.
  std::vector<TAliasApplyStep> PlanApply() const;

 protected:
  void VisibleChanged() override;

 private:
  static void AliasesChanged(void* frame, TMidiAliasManager& sender);
  static void DevicesChanged(void* frame, TMidiManager& sender);
  void ReportChange();
  void RefreshTexts(TGAlias& row);
  void ReadFromAlias(TGAlias& row);
  void Sort();
  // report: the user removed it (a refresh removing a deleted alias's row is no edit).
  void RemoveRow(int index, bool report);
  void UpdateButtons();
  struct TSlotState {
    bool open = false, pending = false, present = false, unplugged = false;
  };
  TSlotState StateOf(const TGAlias& row) const;

  TProjectPorts& controller_;
  TPropsMessages& messages_;
  TMidiAliasManager& aliases_;
  std::vector<std::string> deviceLists_[4];
  TMidiAliasList used_;
  std::vector<std::unique_ptr<TGAlias>> rows_;
  // Aliases whose rows the user removed, deleted only when the page applies; a refresh must
  // not bring their rows back.
  std::vector<const TMidiAlias*> removed_;
  TGAlias* selected_ = nullptr;
  TGAlias* renaming_ = nullptr;  // the row an in-place name edit began on
  int comboKind_ = -1;
  std::vector<std::string> comboEntries_;
  int comboSelected_ = -1;
  bool selectedEditable_ = false;
  int selectionMoving_ = 0;
  bool changeReported_ = false;
  bool followingManager_ = false;
};

// Binds the used aliases, then opens the ports the project uses and closes the others; tells
// the user when nothing had to change. Returns whether anything was opened or closed.
bool OpenProjectPorts(TProjectPorts& controller, TPropsMessages& messages);

}  // namespace kv
