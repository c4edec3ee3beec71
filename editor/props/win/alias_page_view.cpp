#include "editor/props/win/alias_page_view.h"

#include <commctrl.h>

#include "editor/props/win/alias_dialogs_win.h"
#include "editor/props/win/props_windows.h"
#include "midi/manager/midi_manager.h"
#include "ui/application.h"

namespace kv {

namespace {

enum TColumn { kNameColumn, kDeviceColumn, kTypeColumn, kUsedColumn };
constexpr int kToolTop = 84;
constexpr int kListTop = kToolTop + 30;
constexpr int kMinCellWidth = 15;

TSetupAliasFrame::TPageKey PageKey(WORD key) {
  switch (key) {
    case VK_DELETE: return TSetupAliasFrame::TPageKey::Delete;
    case VK_F2: return TSetupAliasFrame::TPageKey::F2;
    case 'N': return TSetupAliasFrame::TPageKey::N;
    default: return TSetupAliasFrame::TPageKey::Other;
  }
}

}  // namespace

bool TAliasListView::Notify(NMHDR* header, LRESULT& result) {
  if (header->code == NM_CUSTOMDRAW) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
      return true;
    }
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      result = CDRF_DODEFAULT;
      if (IsItalic && IsItalic(static_cast<int>(draw->nmcd.dwItemSpec))) {
        if (!italic_) {
          LOGFONTW font{};
          ::GetObjectW(Font(), sizeof(font), &font);
          font.lfItalic = TRUE;
          ui::TFontSpec fontSpec;
          fontSpec.height = font.lfHeight;
          fontSpec.italic = true;
          italic_.Create(fontSpec);
        }
        ::SelectObject(draw->nmcd.hdc, italic_.Handle());
        result = CDRF_NEWFONT;
      }
      return true;
    }
  }
  return ui::TListView::Notify(header, result);
}

LRESULT TAliasListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = ui::TListView::WndProc(msg, wp, lp);
  if ((msg == WM_VSCROLL || msg == WM_HSCROLL || msg == WM_MOUSEWHEEL || msg == WM_SIZE) &&
      OnScrolled)
    OnScrolled();
  return result;
}

TAliasPageView::TAliasPageView(TSetupAliasFrame& page) : TPageView(page), page_(page) {
  AddTitle("Setup MIDI Devices and Port Aliases",
           "Inspect, create and modify MIDI ports and Port Aliases. An alias can be used for "
           "selecting specific ports in translators. Check or uncheck to open/close the device.",
           44);
  CreateControls();
  ConnectList();
  ConnectKeys();
  ConnectCommands();
  MidiAliasManager().AddChangeListener({&TAliasPageView::AliasesChanged, this});
  MidiManager().AddChangeListener({&TAliasPageView::DevicesChanged, this});
  Layout();
}

void TAliasPageView::CreateControls() {
  usedNote_ = &Add<ui::TLabel>(*this, "U: Used in current project.",
                               ui::TRect::FromBounds(kMargin, 200, 200, 16));
  add_ = &Add<ui::TButton>(*this, "Add", ui::TRect::FromBounds(kMargin, kToolTop, 60, 25));
  add_->SetHint("Add an Alias [Ctrl+N]");
  delete_ = &Add<ui::TButton>(*this, "Delete", ui::TRect::FromBounds(72, kToolTop, 60, 25));
  delete_->SetHint("Delete the selected alias [DEL]");
  rename_ = &Add<ui::TButton>(*this, "Rename", ui::TRect::FromBounds(136, kToolTop, 60, 25));
  rename_->SetHint("Rename the current alias [F2]");
  openUsed_ =
      &Add<ui::TButton>(*this, "  Open Used Ports", ui::TRect::FromBounds(200, kToolTop, 120, 25));
  openUsed_->SetHint("Open all ports that are used in the current project (marked with U)");
  ui::TListViewOptions options;
  options.checkBoxes = true;
  options.editLabels = true;
  list_ = &Add<TAliasListView>(*this, ui::TRect::FromBounds(kMargin, kListTop, 380, 150), options);
  list_->AddColumn("Port Alias", 120);
  list_->AddColumn("Device", 120);
  list_->AddColumn("Port Type", 130);
  list_->AddColumn("U", 25);
  devices_ = &Add<ui::TComboBox>(*this, ui::TRect::FromBounds(0, 0, 100, 22));
  devices_->Hide();
  autoConnect_ = &popup_.Add("Auto-connect to device name");
  autoConnect_->SetHint(
      "Set the name of this alias to the name of the device. Then the alias will be "
      "automatically connected to this device when loading the project.");
}

// The list's own notices: selection, check boxes and editing a name in place.
void TAliasPageView::ConnectList() {
  list_->IsItalic = [this](int row) { return row < page_.RowCount() && page_.Row(row).italic; };
  list_->OnScrolled = [this] { PlaceDeviceList(); };
  list_->OnSelectItem = [this](int, bool) {
    if (rendering_) return;
    page_.SelectRow(list_->ItemIndex());
    Render();
  };
  list_->OnItemChecked = [this](int index, bool checked) {
    if (rendering_) return;
    // Opening may end in an error dialog; it shows once the list has finished its notice.
    std::weak_ptr<bool> alive = alive_;
    ui::Application().Post([this, alive, index, checked] {
      if (alive.expired() || index >= page_.RowCount()) return;
      page_.CheckRow(index, checked);
      Render();
    });
  };
  list_->OnEditing = [this](int index, bool& allow) {
    allow = index < page_.RowCount() && page_.IsEditable(page_.Row(index));
    if (allow) page_.BeginRename(index);
  };
  // The name goes to the row the edit began on: a refresh may have moved that row, and the
  // list then shows it where it is once rendered.
  list_->OnEdited = [this](int index, std::string& text, bool& accept) {
    accept = page_.FinishRename(text) == index;
    RenderLater();
    Edited();
  };
  // Escape, an unchanged name or (under Wine) an emptied one: the edit is over either way.
  list_->OnEditEnded = [this](int, bool emptied) {
    std::string none;
    if (emptied)
      page_.FinishRename(none);
    else
      page_.CancelRename();
    RenderLater();
  };
  list_->OnEditRefused = [this](int, const std::string& error) {
    page_.RefuseRename(error);
    RenderLater();
  };
}

void TAliasPageView::ConnectKeys() {
  // The list and the in-place device list answer the same keys.
  auto keyDown = [this](WORD& key, ui::TShiftState shift) {
    if (list_->Editing()) return;
    const TSetupAliasFrame::TPageKey pageKey = PageKey(key);
    if (pageKey == TSetupAliasFrame::TPageKey::Other || pageKey == TSetupAliasFrame::TPageKey::N)
      return;
    page_.KeyDown(pageKey, (shift & ui::ssAlt) != 0, (shift & ui::ssCtrl) != 0);
    Render();
    StartRenaming();
    Edited();
  };
  auto keyUp = [this](WORD& key, ui::TShiftState shift) {
    if (list_->Editing() || PageKey(key) != TSetupAliasFrame::TPageKey::N) return;
    page_.KeyUp(TSetupAliasFrame::TPageKey::N, (shift & ui::ssShift) != 0,
                (shift & ui::ssAlt) != 0, (shift & ui::ssCtrl) != 0,
                [this](TAliasChooser& chooser) { return ShowChooser(chooser); });
    Render();
    StartRenaming();
    Edited();
  };
  list_->OnKeyDown = keyDown;
  list_->OnKeyUp = keyUp;
  devices_->OnKeyDown = keyDown;
  devices_->OnKeyUp = keyUp;
}

// The popup menu, the in-place device list and the buttons.
void TAliasPageView::ConnectCommands() {
  list_->OnContextPopup = [this](ui::TPoint point, bool& handled) {
    handled = true;
    if (point.x == -1 && point.y == -1) point = list_->ClientToScreen({20, 20});
    autoConnect_->SetEnabled(page_.AutoConnectEnabled());
    popup_.Popup(point.x, point.y, Handle());
  };
  autoConnect_->OnClick = [this] {
    page_.AutoConnect();
    Render();
    Edited();
  };
  devices_->OnChange = [this] {
    if (rendering_ || devices_->ItemIndex() < 0) return;
    page_.ChooseDevice(deviceRow_, devices_->Item(devices_->ItemIndex()));
    Render();
    Edited();
  };
  add_->OnClick = [this] {
    page_.AddClick([this](TAliasChooser& chooser) { return ShowChooser(chooser); });
    Render();
    StartRenaming();
    Edited();
  };
  delete_->OnClick = [this] {
    page_.DeleteClick();
    Render();
    Edited();
  };
  rename_->OnClick = [this] {
    page_.RenameClick();
    Render();
    StartRenaming();
  };
  openUsed_->OnClick = [this] {
    page_.OpenUsedClick();
    Render();
    Edited();
  };
}

TAliasPageView::~TAliasPageView() {
  MidiAliasManager().RemoveChangeListener({&TAliasPageView::AliasesChanged, this});
  MidiManager().RemoveChangeListener({&TAliasPageView::DevicesChanged, this});
}

void TAliasPageView::AliasesChanged(void* view, TMidiAliasManager&) {
  static_cast<TAliasPageView*>(view)->RenderLater();
}

void TAliasPageView::DevicesChanged(void* view, TMidiManager&) {
  static_cast<TAliasPageView*>(view)->RenderLater();
}

// The page object hears of the change too; the list follows once it has refreshed its rows.
// A name still being edited is taken first, by the row it was typed for.
void TAliasPageView::RenderLater() {
  std::weak_ptr<bool> alive = alive_;
  ui::Application().Post([this, alive] {
    if (alive.expired() || !HandleAllocated()) return;
    list_->EndEdit(true);
    Render();
  });
}

bool TAliasPageView::ShowChooser(TAliasChooser& chooser) {
  return ShowAliasChooserWindow(FormOf(*this), chooser);
}

void TAliasPageView::StartRenaming() {
  const int row = page_.EditingRow();
  if (row < 0 || row >= list_->Count()) return;
  list_->SetFocus();
  list_->EnsureVisible(row);
  list_->EditLabel(row);
}

void TAliasPageView::Load() { Render(); }

void TAliasPageView::Render() {
  if (!HandleAllocated()) return;
  ++rendering_;
  list_->BeginUpdate();
  const int rows = page_.RowCount();
  while (list_->Count() > rows) list_->DeleteItem(list_->Count() - 1);
  while (list_->Count() < rows) list_->AddItem("");
  for (int i = 0; i < rows; ++i) {
    const TGAlias& row = page_.Row(i);
    if (list_->ItemText(i, kNameColumn) != row.name) list_->SetItemText(i, kNameColumn, row.name);
    list_->SetItemText(i, kDeviceColumn, row.deviceText);
    list_->SetItemText(i, kTypeColumn, row.typeText);
    list_->SetItemText(i, kUsedColumn, row.usedText);
    if (list_->Checked(i) != row.checked) list_->SetChecked(i, row.checked);
  }
  const int selected = page_.Selected();
  if (list_->ItemIndex() != selected) list_->SetItemIndex(selected);
  list_->EndUpdate();
  list_->Invalidate();
  delete_->SetEnabled(page_.DeleteEnabled());
  rename_->SetEnabled(page_.RenameEnabled());
  // The device list belongs to the row it was shown for: open over another row now, it closes
  // without a choice.
  const TGAlias* row = selected >= 0 ? &page_.Row(selected) : nullptr;
  if (row != deviceRow_ && devices_->DroppedDown()) devices_->SetDroppedDown(false);
  deviceRow_ = row;
  const std::vector<std::string>& entries = page_.DeviceEntries();
  bool same = devices_->Count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < devices_->Count(); ++i) same = devices_->Item(i) == entries[i];
  if (!same) devices_->SetItems(entries);
  if (devices_->ItemIndex() != page_.DeviceEntrySelected())
    devices_->SetItemIndex(page_.DeviceEntrySelected());
  --rendering_;
  PlaceDeviceList();
}

void TAliasPageView::PlaceDeviceList() {
  const int row = page_.Selected();
  bool visible = page_.DeviceListVisible() && row >= 0 && row < list_->Count();
  RECT cell{};
  if (visible) {
    cell.top = kDeviceColumn;
    cell.left = LVIR_BOUNDS;
    visible = ::SendMessageW(list_->Handle(), LVM_GETSUBITEMRECT, row,
                             reinterpret_cast<LPARAM>(&cell)) != 0;
  }
  const ui::TRect client = list_->ClientRect();
  if (visible) {
    const int right = std::min<int>(cell.right, client.right);
    visible = right - cell.left > kMinCellWidth && row >= list_->TopIndex() &&
              cell.bottom <= client.bottom;
    cell.right = right;
  }
  if (!visible) {
    devices_->Hide();
    return;
  }
  // Moving the box closes its drop-down: it moves only when its cell did.
  const ui::TPoint origin = ScreenToClient(list_->ClientToScreen({cell.left, cell.top}));
  const ui::TRect now = devices_->BoundsRect();
  const int width = cell.right - cell.left;
  if (!devices_->Visible() || now.left != origin.x || now.top != origin.y - 1 ||
      now.Width() != width) {
    devices_->SetBounds(origin.x, origin.y - 1, width, 22);
    ::SetWindowPos(devices_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (!devices_->Visible()) devices_->Show();
}

void TAliasPageView::Layout() {
  if (!list_) return;
  const ui::TRect r = ClientRect();
  const int width = ContentWidth();
  const int listHeight = std::max(40, r.Height() - kListTop - 26);
  list_->SetBounds(kMargin, kListTop, width, listHeight);
  usedNote_->SetBounds(kMargin, kListTop + listHeight + 6, width, 16);
  // "Port Alias" and "Device" share what the fixed columns leave.
  const int rest = std::max(120, width - 130 - 25 - ::GetSystemMetrics(SM_CXVSCROLL) - 4);
  list_->SetColumnWidth(kNameColumn, rest / 2);
  list_->SetColumnWidth(kDeviceColumn, rest - rest / 2);
  list_->SetColumnWidth(kTypeColumn, 130);
  list_->SetColumnWidth(kUsedColumn, 25);
  PlaceDeviceList();
}

}  // namespace kv
