// The main window's preset and translator lists: rows, selection, check marks, renaming in
// place, moving and the commands of both lists.
#include <windows.h>

#include <algorithm>
#include <exception>

#include "app/preset_names.h"
#include "app/row_moves.h"
#include "app/translator_edits.h"
#include "app/win/input_query.h"
#include "app/win/main_form.h"
#include "app/win/main_form_parts.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "engine/translator.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {


ui::TAction& MakeAction(ui::TActionList& list, const std::string& caption, const std::string& hint,
                        int image, ui::TShortCut shortCut) {
  ui::TAction& action = list.Add(caption);
  action.SetHint(hint);
  action.SetImageIndex(image);
  action.SetShortCut(shortCut);
  return action;
}

// --- commands ------------------------------------------------------------------------------

void TTransForm::BuildListCommands() {
  TActions& a = *actions_;
  ui::TActionList& list = Actions();
  using ui::MakeShortCut;
  a.presetNew = &MakeAction(list, "New", "New preset|Adds a new preset to the project");
  a.presetNew->OnExecute = [this] { PresetNew(); };
  a.presetRename = &MakeAction(list, "Rename\tF2", "Rename|Renames the selected preset");
  a.presetRename->OnExecute = [this] { PresetRename(); };
  Enable(*a.presetRename, TMainCommand::PresetRename);
  a.presetDelete = &MakeAction(list, "Delete\tDel", "Delete|Deletes the selected presets");
  a.presetDelete->OnExecute = [this] { PresetDelete(true); };
  Enable(*a.presetDelete, TMainCommand::PresetDelete);
  a.presetDuplicate =
      &MakeAction(list, "Duplicate\tCtrl+D", "Duplicate|Adds a copy of the selected preset");
  a.presetDuplicate->OnExecute = [this] { PresetDuplicate(); };
  Enable(*a.presetDuplicate, TMainCommand::PresetDuplicate);
  a.presetProperties = &MakeAction(list, "Properties...\tAlt+Enter",
                                   "Properties|The selected preset's properties");
  const std::pair<ui::TAction**, const char*> presetMoves[] = {
      {&a.presetUp, "&Up\tCtrl+Up"},
      {&a.presetDown, "&Down\tCtrl+Down"},
      {&a.presetTop, "&Top\tCtrl+Shift+Up"},
      {&a.presetBottom, "&Bottom\tCtrl+Shift+Down"}};
  const std::pair<ui::TAction**, const char*> translatorMoves[] = {
      {&a.transUp, "&Up\tCtrl+Up"},
      {&a.transDown, "&Down\tCtrl+Down"},
      {&a.transTop, "&Top\tCtrl+Shift+Up"},
      {&a.transBottom, "&Bottom\tCtrl+Shift+Down"}};
  for (int i = 0; i < 4; ++i) {
    const auto kind = static_cast<TMoveKind>(i);
    *presetMoves[i].first = &MakeAction(list, presetMoves[i].second, "Moves the selected presets");
    (*presetMoves[i].first)->OnExecute = [this, kind] {
      MoveRows(true, MoveOffset(kind, presetList_->Count(), SelectedRows(*presetList_)));
    };
    Enable(**presetMoves[i].first, TMainCommand::PresetMove);
    *translatorMoves[i].first =
        &MakeAction(list, translatorMoves[i].second, "Moves the selected translators");
    (*translatorMoves[i].first)->OnExecute = [this, kind] {
      MoveRows(false, MoveOffset(kind, translatorList_->Count(), SelectedRows(*translatorList_)));
    };
    Enable(**translatorMoves[i].first, TMainCommand::MoveTrans);
  }

  a.addTrans = &MakeAction(list, "Add", "Add|Adds a new translator to the preset", imgAdd);
  a.addTrans->OnExecute = [this] { AddTranslator(); };
  a.editTrans = &MakeAction(list, "Edit", "Edit|Edits the selected translator", imgEdit,
                            MakeShortCut('E', false, true, false));
  a.editTrans->OnExecute = [this] { EditSelectedTranslator(); };
  a.editTrans->OnUpdate = [this](ui::TAction& action) {
    action.SetEnabled(editor_ != nullptr && translatorList_->SelectedCount() == 1);
  };
  a.renameTrans =
      &MakeAction(list, "Rename\tF2", "Rename|Renames the selected translator", imgRename);
  a.renameTrans->OnExecute = [this] { RenameTranslator(); };
  Enable(*a.renameTrans, TMainCommand::RenameTrans);
  a.duplicateTrans = &MakeAction(list, "Duplicate\tCtrl+D",
                                 "Duplicate|Adds a copy of the selected translator");
  a.duplicateTrans->OnExecute = [this] { DuplicateTranslator(); };
  Enable(*a.duplicateTrans, TMainCommand::DuplicateTrans);
  a.activateTrans = &MakeAction(list, "Activate", "Activate|Checks the selected translators");
  a.activateTrans->OnExecute = [this] { SetTranslatorsActive(true); };
  Enable(*a.activateTrans, TMainCommand::ActivateTrans);
  a.deactivateTrans =
      &MakeAction(list, "Deactivate", "Deactivate|Unchecks the selected translators");
  a.deactivateTrans->OnExecute = [this] { SetTranslatorsActive(false); };
  Enable(*a.deactivateTrans, TMainCommand::DeactivateTrans);
  a.deleteTrans =
      &MakeAction(list, "Delete\tDel", "Delete|Deletes the selected translators", imgDelete);
  a.deleteTrans->OnExecute = [this] { DeleteTranslators(true); };
  Enable(*a.deleteTrans, TMainCommand::DeleteTrans);
}

void TTransForm::Enable(ui::TAction& action, TMainCommand command) {
  action.OnUpdate = [this, command](ui::TAction& a) {
    a.SetEnabled(!closing_ && CommandEnabled(command, CommandState()));
  };
}

TCommandState TTransForm::CommandState() const {
  TCommandState state;
  TPresetHandler* project = Project();
  state.presetCount = project ? project->GetPresetCount() : 0;
  state.selectedPresets = presetList_->SelectedCount();
  const int row = presetList_->ItemIndex();
  state.selectedPresetReal = state.selectedPresets == 1 && row >= 0 && row < state.presetCount;
  state.currentPreset = currentPreset_;
  state.selectedTranslators = translatorList_->SelectedCount();
  state.clipboardHasTranslators = ClipboardHasTranslators();
  return state;
}

void TTransForm::PostCommandRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  Post(kCommandRefreshMessage, 1);
}

void TTransForm::RefreshCommands() {
  refreshPending_ = false;
  if (!closing_) UpdateActions();
}

void TTransForm::MarkModified() {
  if (!session_ || closing_) return;
  session_->MarkModified();
}

// --- rows ----------------------------------------------------------------------------------

TPresetHandler* TTransForm::Project() const {
  TTransEngine* engine = controller_ ? controller_->Engine() : nullptr;
  return engine ? &engine->Project() : nullptr;
}

TTransList* TTransForm::CurrentPreset() const {
  TPresetHandler* project = Project();
  return project && currentPreset_ >= 0 ? project->GetPreset(currentPreset_) : nullptr;
}

std::vector<int> TTransForm::SelectedRows(const ui::TListView& list) const {
  std::vector<int> rows;
  for (int i = 0; i < list.Count(); ++i)
    if (list.Selected(i)) rows.push_back(i);
  return rows;
}

void TTransForm::SelectOnly(ui::TListView& list, int row) {
  list.SetItemIndex(row);
  if (row >= 0) list.EnsureVisible(row);
}

void TTransForm::RebuildPresetList() {
  TPresetHandler* project = Project();
  {
    TRefreshScope scope(refreshing_);
    const int keep = presetList_->ItemIndex();
    presetList_->BeginUpdate();
    presetList_->Clear();
    const int count = project ? project->GetPresetCount() : 0;
    for (int row = 0; row < count; ++row) {
      presetList_->AddItem("");
      FillPresetRow(row);
    }
    presetList_->EndUpdate();
    if (keep >= 0 && keep < count) presetList_->SetItemIndex(keep);
  }
  EvaluateCurrentPreset();
  PostCommandRefresh();
}

void TTransForm::FillPresetRow(int row) {
  TPresetHandler* project = Project();
  TTransList* preset = project ? project->GetPreset(row) : nullptr;
  if (!preset || row >= presetList_->Count()) return;
  TRefreshScope scope(refreshing_);
  presetList_->SetItemText(row, 0, preset->GetDisplayName());
  presetList_->SetItemText(row, 1, std::to_string(row));
  presetList_->SetChecked(row, preset->Active());
}

void TTransForm::SelectFirstPresetWhenNone() {
  if (presetList_->ItemIndex() >= 0 || presetList_->Count() == 0) return;
  presetList_->SetItemIndex(0);
  EvaluateCurrentPreset();
}

void TTransForm::EvaluateCurrentPreset() {
  const int current = presetList_->SelectedCount() == 1 ? presetList_->ItemIndex() : -1;
  if (current == currentPreset_ && translatorList_->Count() == RowsOfCurrentPreset()) return;
  currentPreset_ = current;
  RebuildTranslatorList();
}

int TTransForm::RowsOfCurrentPreset() const {
  TTransList* preset = CurrentPreset();
  return preset ? preset->GetCount() : 0;
}

void TTransForm::RebuildTranslatorList() {
  ui::TWaitCursor wait;
  TRefreshScope scope(refreshing_);
  translatorList_->BeginUpdate();
  translatorList_->Clear();
  if (TTransList* preset = CurrentPreset()) {
    for (int row = 0; row < preset->GetCount(); ++row) {
      translatorList_->AddItem("");
      FillTranslatorRow(row);
    }
  }
  translatorList_->EndUpdate();
  if (translatorList_->Count() > 0) translatorList_->SetItemIndex(0);
  PostCommandRefresh();
}

void TTransForm::FillTranslatorRow(int row) {
  TTransList* preset = CurrentPreset();
  TTransMsgPtr translator = preset ? preset->GetTranslatorRef(row) : nullptr;
  if (!translator || row >= translatorList_->Count()) return;
  TRefreshScope scope(refreshing_);
  const bool friendly = settings_.friendlyDescriptions;
  translatorList_->SetItemText(row, 0, translator->Name());
  translatorList_->SetItemText(row, 1, std::to_string(row));
  translatorList_->SetItemText(row, 2,
                               friendly ? translator->GetIncomingShortDescription()
                                        : translator->GetIncomingDescription());
  translatorList_->SetItemText(row, 3,
                               friendly ? translator->GetOutgoingShortDescription()
                                        : translator->GetOutgoingDescription());
  translatorList_->SetItemText(row, 4, TranslatorOptionsText(*translator));
  translatorList_->SetChecked(row, translator->Active());
}

void TTransForm::RenumberTranslators(int from) {
  TRefreshScope scope(refreshing_);
  for (int row = std::max(from, 0); row < translatorList_->Count(); ++row)
    translatorList_->SetItemText(row, 1, std::to_string(row));
}

// --- list events ---------------------------------------------------------------------------

void TTransForm::ConnectLists() {
  presetList_->OnSelectItem = [this](int, bool) {
    if (refreshing_ != 0) return;
    EvaluateCurrentPreset();
    PostCommandRefresh();
  };
  presetList_->OnItemChecked = [this](int row, bool checked) {
    if (refreshing_ != 0) return;
    if (TTransList* preset = Project() ? Project()->GetPreset(row) : nullptr) {
      TRefreshScope scope(refreshing_);
      preset->SetActive(checked);
    }
    EvaluateCurrentPreset();
  };
  presetList_->OnEditing = [this](int row, bool& allow) {
    allow = presetList_->ItemText(row, 0) != kNoPresetName;
  };
  presetList_->OnEdited = [this](int row, std::string& text, bool& accept) {
    TPresetHandler* project = Project();
    TTransList* preset = project ? project->GetPreset(row) : nullptr;
    accept = false;
    if (!preset) return;
    const std::string error = CheckPresetName(text, [project, preset](std::string_view name) {
      const int found = project->FindPreset(name);
      return found >= 0 && project->GetPreset(found) != preset;
    });
    if (!error.empty()) {
      ui::MessageDlg(error, ui::TMsgDlgType::Error, ui::mbOK);
      // The edit starts again so the user can correct the name.
      ui::Application().Post([this, row] {
        if (row < presetList_->Count()) presetList_->EditLabel(row);
      });
      return;
    }
    {
      TRefreshScope scope(refreshing_);
      preset->SetName(text);
    }
    accept = true;
    MarkModified();
  };
  presetList_->OnStartDrag = [](int, bool& allow) { allow = true; };
  presetList_->OnDragDrop = [this](int source, int target) {
    MoveRows(true,
             DropOffset(presetList_->Count(), SelectedRows(*presetList_), source, target));
  };
  presetList_->OnKeyDown = [this](WORD& key, ui::TShiftState shift) {
    ListKeyDown(true, key, shift);
  };
  presetList_->OnKeyUp = [this](WORD& key, ui::TShiftState shift) { ListKeyUp(true, key, shift); };
  presetList_->OnMouseUp = [this](ui::TMouseButton, ui::TShiftState, int, int) {
    PostCommandRefresh();
  };
  presetList_->OnContextPopup = [this](ui::TPoint p, bool& handled) {
    handled = true;
    PopupAt(menus_->presetPopup, *presetList_, p);
  };

  translatorList_->OnSelectItem = [this](int, bool) {
    if (refreshing_ != 0) return;
    PostCommandRefresh();
    EditorFollowSelection();
  };
  translatorList_->OnDblClick = [this] { EditSelectedTranslator(); };
  translatorList_->OnItemChecked = [this](int row, bool checked) {
    if (refreshing_ != 0) return;
    TTransList* preset = CurrentPreset();
    TTransMsgPtr translator = preset ? preset->GetTranslatorRef(row) : nullptr;
    if (!translator) return;
    translator->SetActive(checked);
    MarkModified();
  };
  translatorList_->OnEdited = [this](int row, std::string& text, bool& accept) {
    TTransList* preset = CurrentPreset();
    TTransMsgPtr translator = preset ? preset->GetTranslatorRef(row) : nullptr;
    accept = false;
    if (!translator) return;
    const std::string error = CheckTranslatorName(text);
    if (!error.empty()) {
      ui::MessageDlg(error, ui::TMsgDlgType::Error, ui::mbOK);
      return;
    }
    accept = true;
    if (text == translator->Name()) return;
    translator->SetName(text);
    MarkModified();
  };
  translatorList_->OnStartDrag = [](int, bool& allow) { allow = true; };
  translatorList_->OnDragDrop = [this](int source, int target) {
    MoveRows(false, DropOffset(translatorList_->Count(), SelectedRows(*translatorList_), source,
                               target));
  };
  translatorList_->OnKeyDown = [this](WORD& key, ui::TShiftState shift) {
    ListKeyDown(false, key, shift);
  };
  translatorList_->OnKeyUp = [this](WORD& key, ui::TShiftState shift) {
    ListKeyUp(false, key, shift);
  };
  translatorList_->OnMouseUp = [this](ui::TMouseButton, ui::TShiftState, int, int) {
    PostCommandRefresh();
  };
  translatorList_->OnContextPopup = [this](ui::TPoint p, bool& handled) {
    handled = true;
    PopupAt(menus_->translatorPopup, *translatorList_, p);
  };
}

void TTransForm::StartRename(ui::TListView& list, int row) {
  // After the menu or key that asked for it has finished with the focus.
  ui::Application().Post([this, &list, row] {
    if (!closing_ && row >= 0 && row < list.Count()) list.EditLabel(row);
  });
}

void TTransForm::PopupAt(ui::TPopupMenu& menu, ui::TListView& list, ui::TPoint p) {
  if (p.x == -1 && p.y == -1) {
    // The context-menu key: under the focused row, or the list's corner.
    const ui::TRect r = list.ScreenRect();
    p = {r.left + 20, r.top + 20};
  }
  menu.Popup(p.x, p.y, Handle());
}

bool TTransForm::ListBusy(const ui::TListView& list) const {
  return list.Editing() || list.Dragging();
}

void TTransForm::ListKeyDown(bool presets, WORD& key, ui::TShiftState shift) {
  ui::TListView& list = presets ? *presetList_ : *translatorList_;
  if (ListBusy(list)) return;
  const bool ctrl = (shift & ui::ssCtrl) != 0, shiftKey = (shift & ui::ssShift) != 0;
  if (shift & ui::ssAlt) {
    if (key == VK_RETURN && presets) {
      key = 0;
      // After the key's own handling: the dialog runs its own message loop.
      ui::Application().Post([this] {
        if (!closing_) actions_->presetProperties->Execute();
      });
    }
    return;
  }
  const WORD pressed = key;
  switch (pressed) {
    case VK_DELETE:
      key = 0;
      if (presets)
        PresetDelete(!shiftKey);
      else
        DeleteTranslators(!shiftKey);
      break;
    case VK_F2:
      key = 0;
      if (presets)
        PresetRename();
      else
        RenameTranslator();
      break;
    case VK_UP:
    case VK_DOWN:
      if (!ctrl) return;
      key = 0;
      {
        const TMoveKind kind = pressed == VK_UP ? (shiftKey ? TMoveKind::Top : TMoveKind::Up)
                                                : (shiftKey ? TMoveKind::Bottom : TMoveKind::Down);
        MoveRows(presets, MoveOffset(kind, list.Count(), SelectedRows(list)));
      }
      break;
    default:
      // The keys acted on at release must not reach the list's own handling now.
      if (ctrl && (pressed == 'A' || pressed == 'D' || pressed == 'C' || pressed == 'X')) key = 0;
      break;
  }
}

void TTransForm::ListKeyUp(bool presets, WORD& key, ui::TShiftState shift) {
  ui::TListView& list = presets ? *presetList_ : *translatorList_;
  if (ListBusy(list) || (shift & ui::ssAlt) || !(shift & ui::ssCtrl)) return;
  switch (key) {
    case 'A':
      list.SelectAll();
      PostCommandRefresh();
      break;
    case 'D':
      if (presets)
        PresetDuplicate();
      else
        DuplicateTranslator();
      break;
    case 'C':
      if (!presets) CopyTranslators();
      break;
    case 'X':
      if (!presets) CutTranslators();
      break;
    default:
      return;
  }
  key = 0;
}

// --- preset commands -----------------------------------------------------------------------

void TTransForm::PresetNew() {
  if (presetList_->Editing()) presetList_->Perform(LVM_CANCELEDITLABEL);
  TPresetHandler* project = Project();
  if (!project) return;
  try {
    const std::string name =
        NewPresetName([project](std::string_view n) { return project->FindPreset(n) >= 0; });
    {
      TRefreshScope scope(refreshing_);
      if (!project->AddPresetNamed(name)) throw std::runtime_error(name);
      if (TTransList* preset = project->GetPreset(project->FindPreset(name)))
        preset->SetActive(true);
    }
    RebuildPresetList();
    const int row = project->FindPreset(name);
    SelectOnly(*presetList_, row);
    EvaluateCurrentPreset();
    MarkModified();
    StartRename(*presetList_, row);
  } catch (const std::exception&) {
    ui::MessageDlg("An error occured adding this preset", ui::TMsgDlgType::Error, ui::mbOK);
  }
}

void TTransForm::PresetRename() {
  const int row = presetList_->ItemIndex();
  if (presetList_->SelectedCount() == 1 && row >= 0) presetList_->EditLabel(row);
}

std::string TTransForm::AskPresetName(const std::string& proposed) {
  TPresetHandler* project = Project();
  std::string name = proposed;
  while (InputQuery("Save Preset As", "Enter the new name of the Preset:", name, *this)) {
    const std::string error = CheckPresetName(
        name, [project](std::string_view n) { return project && project->FindPreset(n) >= 0; });
    if (error.empty()) return name;
    ui::MessageDlg(error, ui::TMsgDlgType::Error, ui::mbOK);
  }
  return {};
}

void TTransForm::PresetDuplicate() {
  TPresetHandler* project = Project();
  if (!project) return;
  TTransList* preset = CurrentPreset();
  try {
    std::string name;
    {
      TRefreshScope scope(refreshing_);
      if (!preset || preset->GetName().empty()) {
        name = AskPresetName(preset ? std::string() : std::string(kNewPresetName));
        if (name.empty()) return;
        if (!preset)
          project->AddPresetNamed(name);
        else
          project->AddPresetCopy(*preset).SetName(name);
      } else {
        name = DuplicatePresetName(preset->GetName(), [project](std::string_view n) {
          return project->FindPreset(n) >= 0;
        });
        project->AddPresetCopy(*preset).SetName(name);
      }
    }
    RebuildPresetList();
    SelectOnly(*presetList_, project->FindPreset(name));
    EvaluateCurrentPreset();
    MarkModified();
  } catch (const std::exception&) {
    ui::MessageDlg("Error saving preset!", ui::TMsgDlgType::Error, ui::mbOK);
  }
}

void TTransForm::PresetDelete(bool ask) {
  TPresetHandler* project = Project();
  if (!project) return;
  const std::vector<int> selected = SelectedRows(*presetList_);
  if (selected.empty()) {
    if (ask)
      ui::MessageDlgDelayed(PresetDeleteText(0, {}), ui::TMsgDlgType::Error, ui::mbOK, 200);
    return;
  }
  if (ask) {
    TTransList* first = project->GetPreset(selected.front());
    const std::string text =
        PresetDeleteText(static_cast<int>(selected.size()), first ? first->GetName() : "");
    if (ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo) != ui::mrYes) return;
  }
  currentPreset_ = -1;
  int last = selected.front();
  {
    TRefreshScope scope(refreshing_);
    for (int row : DeletionOrder(selected)) {
      project->DeletePreset(row);
      last = row;
    }
  }
  RebuildPresetList();
  const int row = PresetRowAfterDelete(presetList_->Count(), last);
  presetList_->SetItemIndex(row);
  EvaluateCurrentPreset();
  MarkModified();
}

// --- moving rows ---------------------------------------------------------------------------

void TTransForm::MoveRows(bool presets, int offset) {
  ui::TListView& list = presets ? *presetList_ : *translatorList_;
  const std::vector<TRowMove> moves = PlanRowMoves(list.Count(), SelectedRows(list), offset);
  if (moves.empty()) return;
  TPresetHandler* project = Project();
  TTransList* preset = CurrentPreset();
  if (!project || (!presets && !preset)) return;
  session_->SetSuppressed(true);
  {
    TRefreshScope scope(refreshing_);
    for (const TRowMove& m : moves) {
      if (presets) {
        project->MovePreset(m.from, m.to, false);
        if (currentPreset_ == m.from) currentPreset_ = m.to;
      } else {
        preset->MoveTranslator(m.from, m.to);
      }
      for (int row = std::min(m.from, m.to); row <= std::max(m.from, m.to); ++row) {
        if (presets)
          FillPresetRow(row);
        else
          FillTranslatorRow(row);
      }
    }
    // The moved rows keep their marks: the selection is exactly the targets.
    std::vector<int> targets;
    for (const TRowMove& m : moves) {
      for (int& t : targets) {
        if (m.from < t && t <= m.to) --t;
        else if (m.to <= t && t < m.from) ++t;
      }
      targets.push_back(m.to);
    }
    for (int row = 0; row < list.Count(); ++row)
      list.SetSelected(row, std::find(targets.begin(), targets.end(), row) != targets.end());
    if (!targets.empty()) {
      LVITEMW item{};
      item.stateMask = LVIS_FOCUSED;
      item.state = LVIS_FOCUSED;
      SendMessageW(list.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(targets.back()),
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  session_->SetSuppressed(false);
  if (presets) project->PresetsChanged();
  MarkModified();
  list.EnsureVisible(moves.front().to);
  PostCommandRefresh();
}

// --- translator commands -------------------------------------------------------------------

void TTransForm::AddTranslator() {
  TPresetHandler* project = Project();
  if (!project) return;
  const bool hadPresets = project->GetPresetCount() > 0;
  const int itemIndex = translatorList_->ItemIndex();
  int row = -1;
  {
    TRefreshScope scope(refreshing_);
    for (int i = 0; i < translatorList_->Count(); ++i) translatorList_->SetSelected(i, false);
    row = AddNewTranslator(*project, currentPreset_, itemIndex);
  }
  if (row < 0) return;
  ShowTranslatorTarget(hadPresets);
  SelectOnly(*translatorList_, row);
  MarkModified();
  StartRename(*translatorList_, row);
}

void TTransForm::ShowTranslatorTarget(bool hadPresets) {
  // A preset made for the new translators shows in the list, selected.
  if (!hadPresets) {
    const int preset = currentPreset_;
    RebuildPresetList();
    {
      TRefreshScope scope(refreshing_);
      presetList_->SetItemIndex(preset);
    }
    currentPreset_ = preset;
  }
  RebuildTranslatorList();
}

void TTransForm::DuplicateTranslator() {
  TTransList* preset = CurrentPreset();
  const int row = translatorList_->ItemIndex();
  if (!preset || translatorList_->SelectedCount() != 1 || row < 0) return;
  int copy = -1;
  {
    TRefreshScope scope(refreshing_);
    copy = kv::DuplicateTranslator(*preset, row);
    if (copy < 0) return;
    translatorList_->InsertItem(copy, "");
    FillTranslatorRow(copy);
    RenumberTranslators(copy);
  }
  SelectOnly(*translatorList_, copy);
  MarkModified();
}

void TTransForm::DeleteTranslators(bool ask) {
  TTransList* preset = CurrentPreset();
  const std::vector<int> selected = SelectedRows(*translatorList_);
  if (!preset || selected.empty()) return;
  if (ask) {
    TTransMsg* first = preset->GetTranslator(selected.front());
    const std::string text =
        TranslatorDeleteText(static_cast<int>(selected.size()), first ? first->Name() : "");
    if (ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo) != ui::mrYes) return;
  }
  {
    TRefreshScope scope(refreshing_);
    for (int row : DeletionOrder(selected)) {
      preset->DeleteTranslator(row, true);
      translatorList_->DeleteItem(row);
    }
    RenumberTranslators(selected.front());
    const int next = TranslatorRowAfterDelete(translatorList_->Count(), selected.front());
    for (int row = 0; row < translatorList_->Count(); ++row)
      translatorList_->SetSelected(row, false);
    if (next >= 0) translatorList_->SetItemIndex(next);
  }
  MarkModified();
  PostCommandRefresh();
}

void TTransForm::SetTranslatorsActive(bool active) {
  for (int row : SelectedRows(*translatorList_)) translatorList_->SetChecked(row, active);
}

void TTransForm::RenameTranslator() {
  const int row = translatorList_->ItemIndex();
  if (translatorList_->SelectedCount() == 1 && row >= 0) translatorList_->EditLabel(row);
}

void TTransForm::FitColumns() {
  // "Preset" and "Options" fill what their lists leave.
  const int presetWidth = presetList_->ClientRect().Width() - presetList_->ColumnWidth(1);
  if (presetWidth > 40) presetList_->SetColumnWidth(0, presetWidth);
  int used = 0;
  for (int c = 0; c < 4; ++c) used += translatorList_->ColumnWidth(c);
  const int rest = translatorList_->ClientRect().Width() - used;
  translatorList_->SetColumnWidth(4, std::max(rest, 80));
}

}  // namespace kv
