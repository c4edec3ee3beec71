// The main window's side of the translator editor: the editor follows the selected translator
// and hands applied translators back here, where they replace the old ones in the preset.
#include "app/win/main_form.h"

#include <algorithm>

#include "base/exception.h"
#include "editor/props/win/props_windows.h"
#include "editor/win/edit_trans_window.h"
#include "engine/preset.h"
#include "engine/trans_engine.h"
#include "ui/message_dialog.h"

namespace kv {

void TTransForm::CreateEditor() {
  if (editor_ || closing_ || quitting_) return;
  editor_ = std::make_unique<TEditTransWindow>(*this, TEditTrans::TSources{}, this);
  if (TTransEngine* engine = controller_->Engine()) editor_->AttachEngine(*engine);
  editor_->onAdd = [this] { AddTranslator(); };
  editor_->onDuplicate = [this] { DuplicateTranslator(); };
  editor_->onEditPortAliases = [this] {
    RunPropsDialog([this] { ShowPortAliasSettings(editor_.get()); });
  };
  EditorFollowSelection();
}

void TTransForm::EditorFollowSelection() {
  if (!editor_ || closing_) return;
  TTransList* preset = CurrentPreset();
  const int row = translatorList_->SelectedCount() == 1 ? translatorList_->ItemIndex() : -1;
  TTransMsgPtr translator = preset && row >= 0 ? preset->GetTranslatorRef(row) : nullptr;
  // The editor asks first when its own changes are not applied yet.
  editor_->EditTranslator(translator.get(), translator.get());
}

void TTransForm::EditSelectedTranslator() {
  if (!editor_ || translatorList_->SelectedCount() != 1) return;
  EditorFollowSelection();
  editor_->Show();
  editor_->BringToFront();
}

void TTransForm::ReplaceTranslator(TEditItem item, TTransMsgPtr translator) {
  TTransList* preset = CurrentPreset();
  const int count = preset ? RowsOfCurrentPreset() : 0;
  for (int row = 0; row < count; ++row) {
    if (preset->GetTranslatorRef(row).get() != item) continue;
    TEditItem newItem = translator.get();
    preset->ReplaceTranslator(row, std::move(translator));
    editor_->ReplaceItem(item, newItem);
    FillTranslatorRow(row);
    MarkModified();
    return;
  }
  throw Exception("The translator being edited is no longer in the current preset.");
}

void TTransForm::SelectTranslatorBy(int offset) {
  const int count = translatorList_->Count();
  if (count == 0) return;
  const int row = std::clamp(translatorList_->ItemIndex() + offset, 0, count - 1);
  SelectOnly(*translatorList_, row);
  EditorFollowSelection();
}

void TTransForm::SelectNextTranslator() { SelectTranslatorBy(1); }

void TTransForm::SelectPreviousTranslator() { SelectTranslatorBy(-1); }

void TTransForm::ShowErrors(const std::string& text) {
  ui::MessageDlg(text, ui::TMsgDlgType::Error, ui::mbOK);
}

}  // namespace kv
