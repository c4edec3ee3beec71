// The main window's preset and translator lists: rows, selection, check marks, renaming in
// place, moving and the commands of both lists. The lists are views of the project's edits
// (TProjectEditor): each command asks the owner to make the change, and the rows are redrawn
// from what it tells.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "app/main_window/project_editor.h"
#include "app/main_window/win/input_query.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "engine/translator.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {

ui::TAction& TTransForm::MakeCommand(TMainCommand command, const std::string& caption,
                                     const std::string& hint, int image, ui::TShortCut shortCut) {
  ui::TAction& action = Actions().Add(caption);
  action.SetHint(hint);
  action.SetImageIndex(image);
  action.SetShortCut(shortCut);
  actions_->commandOf[&action] = command;
  return action;
}

bool TTransForm::RunCommand(TMainCommand command, const std::function<void()>& run) {
  return scopes_.Run(CommandKindOf(command), run);
}

// --- commands ------------------------------------------------------------------------------

void TTransForm::BuildListCommands() {
  TActions& a = *actions_;
  using ui::MakeShortCut;
  a.presetNew =
      &MakeCommand(TMainCommand::PresetNew, "New", "New preset|Adds a new preset to the project");
  a.presetNew->OnExecute = [this] { PresetNew(); };
  a.presetRename =
      &MakeCommand(TMainCommand::PresetRename, "Rename\tF2", "Rename|Renames the selected preset");
  a.presetRename->OnExecute = [this] { PresetRename(); };
  Enable(*a.presetRename, TMainCommand::PresetRename);
  a.presetDelete = &MakeCommand(TMainCommand::PresetDelete, "Delete\tDel",
                                "Delete|Deletes the selected presets");
  a.presetDelete->OnExecute = [this] { PresetDelete(true); };
  Enable(*a.presetDelete, TMainCommand::PresetDelete);
  a.presetDuplicate = &MakeCommand(TMainCommand::PresetDuplicate, "Duplicate\tCtrl+D",
                                   "Duplicate|Adds a copy of the selected preset");
  a.presetDuplicate->OnExecute = [this] { PresetDuplicate(); };
  Enable(*a.presetDuplicate, TMainCommand::PresetDuplicate);
  a.presetProperties = &MakeCommand(TMainCommand::PresetProperties, "Properties...\tAlt+Enter",
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
    *presetMoves[i].first =
        &MakeCommand(TMainCommand::PresetMove, presetMoves[i].second, "Moves the selected presets");
    (*presetMoves[i].first)->OnExecute = [this, kind] {
      MoveRows(true, MoveOffset(kind, presetList_->Count(), SelectedRows(*presetList_)));
    };
    Enable(**presetMoves[i].first, TMainCommand::PresetMove);
    *translatorMoves[i].first = &MakeCommand(TMainCommand::MoveTrans, translatorMoves[i].second,
                                             "Moves the selected translators");
    (*translatorMoves[i].first)->OnExecute = [this, kind] {
      MoveRows(false, MoveOffset(kind, translatorList_->Count(), SelectedRows(*translatorList_)));
    };
    Enable(**translatorMoves[i].first, TMainCommand::MoveTrans);
  }

  a.addTrans = &MakeCommand(TMainCommand::AddTrans, "Add",
                            "Add|Adds a new translator to the preset", imgAdd);
  a.addTrans->OnExecute = [this] { AddTranslator(); };
  a.editTrans = &MakeCommand(TMainCommand::EditTrans, "Edit", "Edit|Edits the selected translator",
                             imgEdit, MakeShortCut('E', false, true, false));
  a.editTrans->OnExecute = [this] { EditSelectedTranslator(); };
  Enable(*a.editTrans, TMainCommand::EditTrans);
  a.renameTrans = &MakeCommand(TMainCommand::RenameTrans, "Rename\tF2",
                               "Rename|Renames the selected translator", imgRename);
  a.renameTrans->OnExecute = [this] { RenameTranslator(); };
  Enable(*a.renameTrans, TMainCommand::RenameTrans);
  a.duplicateTrans = &MakeCommand(TMainCommand::DuplicateTrans, "Duplicate\tCtrl+D",
                                  "Duplicate|Adds a copy of the selected translator");
  a.duplicateTrans->OnExecute = [this] { DuplicateTranslator(); };
  Enable(*a.duplicateTrans, TMainCommand::DuplicateTrans);
  a.activateTrans = &MakeCommand(TMainCommand::ActivateTrans, "Activate",
                                 "Activate|Checks the selected translators");
  a.activateTrans->OnExecute = [this] { SetTranslatorsActive(true); };
  Enable(*a.activateTrans, TMainCommand::ActivateTrans);
  a.deactivateTrans = &MakeCommand(TMainCommand::DeactivateTrans, "Deactivate",
                                   "Deactivate|Unchecks the selected translators");
  a.deactivateTrans->OnExecute = [this] { SetTranslatorsActive(false); };
  Enable(*a.deactivateTrans, TMainCommand::DeactivateTrans);
  a.deleteTrans = &MakeCommand(TMainCommand::DeleteTrans, "Delete\tDel",
                               "Delete|Deletes the selected translators", imgDelete);
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
  state.currentPreset = edits_->CurrentPresetIndex();
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

TTransList* TTransForm::CurrentPreset() const { return edits_->CurrentPreset(); }

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

void TTransForm::SetRowCount(ui::TListView& list, int count) {
  TRefreshScope scope(refreshing_);
  if (list.OwnerData()) {
    list.SetRowCount(count);
    return;
  }
  while (list.Count() > count) list.DeleteItem(list.Count() - 1);
  while (list.Count() < count) list.AddItem("");
}

void TTransForm::ShowPresetRows() {
  TRefreshScope scope(refreshing_);
  presetList_->BeginUpdate();
  SetRowCount(*presetList_, edits_->PresetCount());
  for (int row = 0; row < presetList_->Count(); ++row) FillPresetRow(row);
  presetList_->EndUpdate();
}

void TTransForm::ShowTranslatorRows() {
  TRefreshScope scope(refreshing_);
  translatorList_->BeginUpdate();
  SetRowCount(*translatorList_, edits_->TranslatorCount());
  translatorList_->RefreshRows(0, translatorList_->Count() - 1);
  translatorList_->EndUpdate();
}

void TTransForm::RebuildPresetList() {
  // Presets came or went (also from outside): a rename of one that went ends nowhere.
  EndOpenEdits();
  {
    TRefreshScope scope(refreshing_);
    const int keep = presetList_->ItemIndex();
    ShowPresetRows();
    presetList_->SetItemIndex(keep >= 0 && keep < presetList_->Count() ? keep : -1);
  }
  EvaluateCurrentPreset();
  PostCommandRefresh();
}

void TTransForm::FillPresetRow(int row) {
  if (row < 0 || row >= presetList_->Count() || row >= edits_->PresetCount()) return;
  TRefreshScope scope(refreshing_);
  for (int column = 0; column < 2; ++column)
    presetList_->SetItemText(row, column, edits_->PresetText(row, column));
  presetList_->SetChecked(row, edits_->PresetChecked(row));
}

void TTransForm::SelectFirstPresetWhenNone() {
  if (presetList_->ItemIndex() >= 0 || presetList_->Count() == 0) return;
  presetList_->SetItemIndex(0);
  EvaluateCurrentPreset();
}

void TTransForm::EvaluateCurrentPreset() {
  const int current = presetList_->SelectedCount() == 1 ? presetList_->ItemIndex() : -1;
  if (current == edits_->CurrentPresetIndex() &&
      translatorList_->Count() == RowsOfCurrentPreset())
    return;
  if (current != edits_->CurrentPresetIndex() && !EditorLetsGo()) {
    // The editor keeps its translator, and its preset stays the current one.
    TRefreshScope scope(refreshing_);
    presetList_->SetItemIndex(edits_->CurrentPresetIndex());
    return;
  }
  edits_->SetCurrentPreset(current);
}

int TTransForm::RowsOfCurrentPreset() const { return edits_->TranslatorCount(); }

void TTransForm::RebuildTranslatorList() {
  ui::TWaitCursor wait;
  {
    TRefreshScope scope(refreshing_);
    ShowTranslatorRows();
    translatorList_->SetItemIndex(translatorList_->Count() > 0 ? 0 : -1);
  }
  PostCommandRefresh();
  FollowSelectionLater();
}

void TTransForm::FillTranslatorRow(int row) {
  if (row < 0 || row >= translatorList_->Count() || row >= edits_->TranslatorCount()) return;
  translatorList_->RefreshRows(row, row);
}

void TTransForm::ProjectEdited(const TProjectEdit& edit) {
  if (closing_) return;
  switch (edit.kind) {
    case TProjectEditKind::Presets:
      ShowPresetRows();
      break;
    case TProjectEditKind::PresetRows:
      for (int row : edit.rows) FillPresetRow(row);
      break;
    case TProjectEditKind::CurrentPreset:
      RebuildTranslatorList();
      break;
    case TProjectEditKind::Translators:
      ShowTranslatorRows();
      break;
    case TProjectEditKind::TranslatorsActivated:
    case TProjectEditKind::TranslatorRenamed:
    case TProjectEditKind::TranslatorReplaced:
      if (!edit.rows.empty())
        translatorList_->RefreshRows(*std::min_element(edit.rows.begin(), edit.rows.end()),
                                     *std::max_element(edit.rows.begin(), edit.rows.end()));
      break;
  }
  PostCommandRefresh();
}

// --- list events ---------------------------------------------------------------------------

void TTransForm::ConnectLists() {
  // The project file holds names in the ANSI code page: a typed name with characters it cannot
  // hold is refused with a message naming them, and the row keeps its name.
  presetList_->OnEditRefused = [this](int, const std::string& error) {
    renamedPreset_.reset();
    TellRefusedName(error);
  };
  translatorList_->OnEditRefused = [this](int, const std::string& error) {
    renamedTranslator_.reset();
    TellRefusedName(error);
  };
  ConnectPresetList();
  ConnectTranslatorList();
}

void TTransForm::ConnectPresetList() {
  presetList_->OnSelectItem = [this](int, bool) {
    if (refreshing_ != 0) return;
    // Before the translator list shows another preset: a name typed there is for this one.
    EndOpenEdits();
    EvaluateCurrentPreset();
    PostCommandRefresh();
  };
  presetList_->OnItemChecked = [this](int row, bool checked) {
    if (refreshing_ != 0) return;
    EndOpenEdits();
    {
      TRefreshScope scope(refreshing_);
      edits_->SetPresetActive(row, checked);
    }
    EvaluateCurrentPreset();
  };
  presetList_->OnEditing = [this](int row, bool& allow) {
    allow = presetList_->ItemText(row, 0) != kNoPresetName;
    if (allow) renamedPreset_ = edits_->PresetRef(row);
  };
  // The row shows what the project tells once renamed: by then the preset may sit on another
  // row, so the list itself keeps nothing.
  presetList_->OnEdited = [this](int, std::string& text, bool& accept) {
    accept = false;
    RunCommand(TMainCommand::RenameEnded, [this, &text] { FinishPresetRename(text); });
  };
  presetList_->OnEditEnded = [this](int, bool emptied) {
    if (emptied)
      RunCommand(TMainCommand::RenameEnded, [this] { FinishPresetRename(""); });
    else
      renamedPreset_.reset();
  };
  presetList_->OnStartDrag = [](int, bool& allow) { allow = true; };
  presetList_->OnDragDrop = [this](int source, int target) {
    RunCommand(TMainCommand::RowsDropped, [this, source, target] {
      MoveRows(true, DropOffset(presetList_->Count(), SelectedRows(*presetList_), source, target));
    });
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
}

void TTransForm::ConnectTranslatorList() {
  translatorList_->OnSelectItem = [this](int, bool) {
    if (refreshing_ != 0) return;
    EndOpenEdits();
    PostCommandRefresh();
    FollowSelectionLater();
  };
  translatorList_->OnDblClick = [this] {
    RunCommand(TMainCommand::EditTrans, [this] { EditSelectedTranslator(); });
  };
  translatorList_->OnItemChecked = [this](int row, bool checked) {
    if (refreshing_ != 0) return;
    EndOpenEdits();
    TRefreshScope scope(refreshing_);
    edits_->SetTranslatorsActive({row}, checked);
  };
  translatorList_->OnEditing = [this](int row, bool&) {
    renamedTranslator_ = edits_->Translator(row);
  };
  translatorList_->OnEdited = [this](int, std::string& text, bool& accept) {
    accept = false;  // the rename tells the row, when it is still shown
    RunCommand(TMainCommand::RenameEnded, [this, &text] { FinishTranslatorRename(text); });
  };
  translatorList_->OnEditEnded = [this](int, bool emptied) {
    if (emptied)
      RunCommand(TMainCommand::RenameEnded, [this] { FinishTranslatorRename(""); });
    else
      renamedTranslator_.reset();
  };
  translatorList_->OnStartDrag = [](int, bool& allow) { allow = true; };
  translatorList_->OnDragDrop = [this](int source, int target) {
    RunCommand(TMainCommand::RowsDropped, [this, source, target] {
      MoveRows(false, DropOffset(translatorList_->Count(), SelectedRows(*translatorList_), source,
                                 target));
    });
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

void TTransForm::EndOpenEdits() {
  if (endingEdits_ || closing_ || !presetList_ || !translatorList_) return;
  TFlagScope ending(endingEdits_);
  presetList_->EndEdit(true);
  translatorList_->EndEdit(true);
}

void TTransForm::RunActionsAsCommands() {
  // The menus, toolbars, popups and shortcuts all run their commands through actions.
  for (const auto& action : Actions().Actions()) {
    ui::TNotifyEvent command = std::move(action->OnExecute);
    if (!command) continue;
    // Every action is made with its command; one that was not changes the project.
    const auto known = actions_->commandOf.find(action.get());
    const TCommandKind kind =
        known != actions_->commandOf.end() ? CommandKindOf(known->second) : TCommandKind::Project;
    action->OnExecute = [this, kind, command = std::move(command)] { scopes_.Run(kind, command); };
  }
}

void TTransForm::FinishPresetRename(const std::string& name) {
  const std::shared_ptr<TTransList> preset = std::exchange(renamedPreset_, {}).lock();
  if (!preset) return;
  std::string error;
  {
    TRefreshScope scope(refreshing_);
    error = edits_->RenamePreset(preset.get(), name);
  }
  if (error.empty()) return;
  TellRefusedName(error);
  if (endingEdits_) return;  // something else is under way: the old name stays
  // The edit starts again so the user can correct the name.
  std::weak_ptr<TTransList> again = preset;
  ui::Application().Post([this, again] {
    const std::shared_ptr<TTransList> p = again.lock();
    const int row = p && Project() ? Project()->IndexOfPreset(p.get()) : -1;
    if (!closing_ && row >= 0 && row < presetList_->Count()) presetList_->EditLabel(row);
  });
}

void TTransForm::FinishTranslatorRename(const std::string& name) {
  const TTransMsgPtr translator = std::exchange(renamedTranslator_, {}).lock();
  if (!translator) return;
  std::string error;
  {
    TRefreshScope scope(refreshing_);
    error = edits_->RenameTranslator(translator.get(), name);
  }
  if (!error.empty()) TellRefusedName(error);
}

void TTransForm::TellRefusedName(const std::string& error) {
  if (!endingEdits_) {
    ui::MessageDlg(error, ui::TMsgDlgType::Error, ui::mbOK);
    return;
  }
  // Said once the click or command that ended the rename has run: the old name stays.
  ui::Application().Post([this, error] {
    if (!closing_) ui::MessageDlg(error, ui::TMsgDlgType::Error, ui::mbOK);
  });
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
        RunCommand(TMainCommand::PresetDelete, [this, shiftKey] { PresetDelete(!shiftKey); });
      else
        RunCommand(TMainCommand::DeleteTrans, [this, shiftKey] { DeleteTranslators(!shiftKey); });
      break;
    case VK_F2:
      key = 0;
      if (presets)
        RunCommand(TMainCommand::PresetRename, [this] { PresetRename(); });
      else
        RunCommand(TMainCommand::RenameTrans, [this] { RenameTranslator(); });
      break;
    case VK_UP:
    case VK_DOWN:
      if (!ctrl) return;
      key = 0;
      {
        const TMoveKind kind = pressed == VK_UP ? (shiftKey ? TMoveKind::Top : TMoveKind::Up)
                                                : (shiftKey ? TMoveKind::Bottom : TMoveKind::Down);
        RunCommand(presets ? TMainCommand::PresetMove : TMainCommand::MoveTrans,
                   [this, presets, kind, &list] {
                     MoveRows(presets, MoveOffset(kind, list.Count(), SelectedRows(list)));
                   });
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
        RunCommand(TMainCommand::PresetDuplicate, [this] { PresetDuplicate(); });
      else
        RunCommand(TMainCommand::DuplicateTrans, [this] { DuplicateTranslator(); });
      break;
    case 'C':
      if (!presets) RunCommand(TMainCommand::CopyTrans, [this] { CopyTranslators(); });
      break;
    case 'X':
      if (!presets) RunCommand(TMainCommand::CutTrans, [this] { CutTranslators(); });
      break;
    default:
      return;
  }
  key = 0;
}

// --- preset commands -----------------------------------------------------------------------

void TTransForm::PresetNew() {
  if (!Project()) return;
  try {
    int row = -1;
    {
      TRefreshScope scope(refreshing_);
      row = edits_->NewPreset();
    }
    SelectOnly(*presetList_, row);
    EvaluateCurrentPreset();
    StartRename(*presetList_, row);
  } catch (const std::exception&) {
    ui::MessageDlg("An error occured adding this preset", ui::TMsgDlgType::Error, ui::mbOK);
  }
  PostCommandRefresh();
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
  // The copy is made of the preset as the editor has it: its command took the change in.
  if (!Project()) return;
  try {
    std::string name = edits_->DuplicateName();
    if (name.empty()) {
      name = AskPresetName(CurrentPreset() ? std::string() : std::string(kNewPresetName));
      if (name.empty()) return;
    }
    int row = -1;
    {
      TRefreshScope scope(refreshing_);
      row = edits_->DuplicatePreset(name);
    }
    SelectOnly(*presetList_, row);
    EvaluateCurrentPreset();
  } catch (const std::exception&) {
    ui::MessageDlg("Error saving preset!", ui::TMsgDlgType::Error, ui::mbOK);
  }
  PostCommandRefresh();
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
    TCommandScopes::TAsking asking(scopes_);
    if (ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo) != ui::mrYes) return;
  }
  int row = -1;
  {
    TRefreshScope scope(refreshing_);
    row = edits_->DeletePresets(selected);
    presetList_->SetItemIndex(row);
  }
  EvaluateCurrentPreset();
  PostCommandRefresh();
}

// --- moving rows ---------------------------------------------------------------------------

void TTransForm::MoveRows(bool presets, int offset) {
  ui::TListView& list = presets ? *presetList_ : *translatorList_;
  const std::vector<int> selected = SelectedRows(list);
  const std::vector<TRowMove> moves = PlanRowMoves(list.Count(), selected, offset);
  if (moves.empty()) return;
  const int focused = static_cast<int>(
      SendMessageW(list.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  // Marked once, after all steps.
  session_->SetSuppressed(true);
  std::vector<int> targets;
  {
    TRefreshScope scope(refreshing_);
    targets =
        presets ? edits_->MovePresets(selected, offset) : edits_->MoveTranslators(selected, offset);
    if (!targets.empty()) {
      // The rows' items take their marks along: selected where they went, the focus with the
      // item that had it.
      std::vector<int> marked;
      for (int row : selected) marked.push_back(RowAfterMoves(row, moves));
      for (int row = 0; row < list.Count(); ++row)
        list.SetSelected(row, std::find(marked.begin(), marked.end(), row) != marked.end());
      list.SetFocusedRow(focused >= 0 ? RowAfterMoves(focused, moves) : targets.front());
    }
  }
  session_->SetSuppressed(false);
  if (targets.empty()) return;
  MarkModified();
  list.EnsureVisible(targets.front());
  PostCommandRefresh();
}

// --- translator commands -------------------------------------------------------------------

void TTransForm::AddTranslator() {
  if (!Project()) return;
  const int itemIndex = translatorList_->ItemIndex();
  int row = -1;
  {
    TRefreshScope scope(refreshing_);
    translatorList_->SetItemIndex(-1);
    try {
      row = edits_->AddTranslator(itemIndex);
    } catch (const std::exception& e) {
      ui::MessageDlg(e.what(), ui::TMsgDlgType::Error, ui::mbOK);
    }
  }
  if (row < 0) return;
  ShowTranslatorTarget();
  SelectOnly(*translatorList_, row);
  EditorFollowSelection();
  StartRename(*translatorList_, row);
}

void TTransForm::ShowTranslatorTarget() {
  // A preset made for the new translators shows in the list, selected.
  const int preset = edits_->CurrentPresetIndex();
  if (presetList_->ItemIndex() == preset) return;
  TRefreshScope scope(refreshing_);
  presetList_->SetItemIndex(preset);
}

void TTransForm::DuplicateTranslator() {
  const int row = translatorList_->ItemIndex();
  // The copy is made of the translator as the editor has it: its command took the change in.
  if (!CurrentPreset() || translatorList_->SelectedCount() != 1 || row < 0) return;
  int copy = -1;
  {
    TRefreshScope scope(refreshing_);
    copy = edits_->DuplicateTranslator(row);
  }
  if (copy < 0) return;
  SelectOnly(*translatorList_, copy);
  PostCommandRefresh();
}

void TTransForm::DeleteTranslators(bool ask) {
  TTransList* preset = CurrentPreset();
  const std::vector<int> selected = SelectedRows(*translatorList_);
  if (!preset || selected.empty()) return;
  if (ask) {
    TTransMsg* first = preset->GetTranslator(selected.front());
    const std::string text =
        TranslatorDeleteText(static_cast<int>(selected.size()), first ? first->Name() : "");
    TCommandScopes::TAsking asking(scopes_);
    if (ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo) != ui::mrYes) return;
  }
  {
    TRefreshScope scope(refreshing_);
    const int next = edits_->DeleteTranslators(selected);
    translatorList_->SetItemIndex(next);
  }
  PostCommandRefresh();
  FollowSelectionLater();
}

void TTransForm::SetTranslatorsActive(bool active) {
  TRefreshScope scope(refreshing_);
  edits_->SetTranslatorsActive(SelectedRows(*translatorList_), active);
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
