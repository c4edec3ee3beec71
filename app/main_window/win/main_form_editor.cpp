// The main window's side of the translator editor: the editor follows the selected translator
// and hands applied translators back here, where the owner of the project's edits puts them in
// place of the old ones. The editor hears of every other change of its translator (checked,
// renamed, deleted) as a view of the owner.
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"

#include <algorithm>

#include "app/controller/controller.h"
#include "base/exception.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/utils.h"
#include "editor/props/win/props_windows.h"
#include "editor/win/edit_trans_window.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {

// Tells the editor what happened to the translator it edits.
class TTransForm::TEditorView final : public TProjectEditorView {
 public:
  explicit TEditorView(TTransForm& form) : form_(form) {}

  void ProjectEdited(const TProjectEdit& edit) override {
    TEditTransWindow* editor = form_.editor_.get();
    if (!editor) return;
    for (const TTransMsg* gone : edit.gone) editor->ItemDeleted(gone);
    switch (edit.kind) {
      case TProjectEditKind::TranslatorsActivated:
        for (const TTransMsg* item : edit.items) editor->UpdateActive(item, edit.active);
        break;
      case TProjectEditKind::TranslatorRenamed:
        for (const TTransMsg* item : edit.items) editor->UpdateName(item, edit.name);
        break;
      case TProjectEditKind::TranslatorReplaced:
        for (const TTransMsg* item : edit.items) {
          editor->ReplaceItem(item, edit.replacement);
          if (form_.editedItem_ == item) form_.editedItem_ = edit.replacement;
        }
        break;
      case TProjectEditKind::Presets:
        // Another project, or presets gone: a translator no preset holds is edited no more.
        if (form_.editedItem_ && !form_.edits_->Holds(form_.editedItem_)) {
          editor->ItemDeleted(form_.editedItem_);
          form_.editedItem_ = nullptr;
        }
        break;
      default:
        break;
    }
    if (form_.editedItem_ && std::find(edit.gone.begin(), edit.gone.end(), form_.editedItem_) !=
                                 edit.gone.end())
      form_.editedItem_ = nullptr;
  }

 private:
  TTransForm& form_;
};

namespace {

// The editor's size and place are kept under the settings key in the registry even when the
// settings themselves live in a file.
std::unique_ptr<TCustomIniFile> OpenEditorPlacementKey(bool forWriting) {
  return GetSettingsRegistry().Open(GetSettingsRegKey(!forWriting), forWriting);
}

}  // namespace

void TTransForm::CreateEditor() {
  if (editor_ || closing_ || quitting_) return;
  // The name combos offer what the project has at the moment they fill.
  TEditTrans::TSources sources;
  sources.timers = [this] { return edits_->TimerNames(); };
  sources.presets = [this] { return edits_->PresetNames(); };
  editor_ = std::make_unique<TEditTransWindow>(*this, std::move(sources), this);
  if (TTransEngine* engine = controller_->Engine()) editor_->AttachEngine(*engine);
  // The editor's buttons are roads into the window's commands; its alias button leaves its
  // change to it, as its close does with its own question.
  editor_->onAdd = [this] { RunCommand(TMainCommand::AddTrans, [this] { AddTranslator(); }); };
  editor_->onDuplicate = [this] {
    RunCommand(TMainCommand::DuplicateTrans, [this] { DuplicateTranslator(); });
  };
  editor_->onEditPortAliases = [this] {
    RunCommand(TMainCommand::EditorPortAliases, [this] {
      RunPropsDialog([this] { ShowPortAliasSettings(editor_.get()); });
    });
  };
  editor_->runOwnClose = [this](const std::function<bool()>& closeQuery) {
    bool close = false;
    RunCommand(TMainCommand::EditorClose, [this, &close, &closeQuery] {
      TCommandScopes::TAsking asking(scopes_);
      close = closeQuery();
    });
    return close;
  };
  editor_->projectFolder = [this] { return ExtractFilePath(document_->FileName()); };
  editor_->OnClose = [this](ui::TCloseAction&) {
    try {
      if (auto ini = OpenEditorPlacementKey(true)) {
        editor_->WriteWindowPlacement(*ini);
        ini->UpdateFile();
      }
    } catch (const std::exception&) {
      // A placement that cannot be kept is no reason to keep the window open.
    }
  };
  if (editorPlacement_.SectionExists(TEditTransWindow::kPlacementSection)) {
    editor_->ReadPlacement(editorPlacement_);
  } else {
    try {
      if (auto ini = OpenEditorPlacementKey(false)) editor_->ReadPlacement(*ini);
    } catch (const std::exception&) {
    }
  }
  editorView_ = std::make_unique<TEditorView>(*this);
  edits_->AddView(*editorView_);
  EditorFollowSelection();
}

void TTransForm::CreateEditorSoon() {
  // A timer's message comes only when no other message and no painting waits.
  editorSoon_.OnTimer = [this] {
    editorSoon_.Stop();
    CreateEditor();
  };
  editorSoon_.Start();
}

void TTransForm::FreeEditor() {
  editorSoon_.Stop();
  if (editorView_) edits_->RemoveView(*editorView_);
  editorView_.reset();
  if (!editor_) return;
  editor_->LetGoOfEngine();
  // Beside a main window that goes with the process (see RunKorvanta) the editor goes with it
  // too: destroying its many controls one by one was most of an exit's time.
  if (!quitting_ && HandleAllocated() && Visible())
    ui::Application().KeepUntilEnd(std::move(editor_));
  editor_.reset();
}

void TTransForm::FollowSelectionLater() {
  if (followPending_ || !editor_) return;
  followPending_ = true;
  // Once the list has finished changing its marks: a click both clears one row and selects
  // another, and the editor is asked only once.
  ui::Application().Post([this] {
    followPending_ = false;
    EditorFollowSelection();
  });
}

void TTransForm::EditorFollowSelection(bool evenHidden) {
  if (!editor_ || closing_ || (!evenHidden && !editor_->Visible())) return;
  const int row = translatorList_->SelectedCount() == 1 ? translatorList_->ItemIndex() : -1;
  TTransMsgPtr translator = row >= 0 ? edits_->Translator(row) : nullptr;
  if (translator.get() == editedItem_ && translator) return;
  if (!EditorLetsGo()) {
    // A failed Apply keeps the editor on its translator with the edits: so does the list.
    const int edited = edits_->RowOf(editedItem_);
    if (edited >= 0) {
      TRefreshScope scope(refreshing_);
      SelectOnly(*translatorList_, edited);
    }
    PostCommandRefresh();
    return;
  }
  editedItem_ = translator.get();
  editor_->EditTranslator(translator.get(), translator.get());
}

bool TTransForm::EditorLetsGo() {
  EndOpenEdits();
  return !editor_ || editor_->ApplyIfModified();
}

void TTransForm::EditSelectedTranslator() {
  // With several rows selected, or none, the editor shows and holds nothing; it is made at once
  // if start-up has not made it yet.
  CreateEditor();
  if (!editor_) return;
  EditorFollowSelection(true);
  editor_->Show();
  editor_->BringToFront();
}

void TTransForm::ReplaceTranslator(TEditItem item, TTransMsgPtr translator) {
  TRefreshScope scope(refreshing_);
  edits_->ReplaceTranslator(item, std::move(translator));
}

void TTransForm::SelectTranslatorStep(bool forward) {
  if (!EditorLetsGo()) return;
  const int row =
      StepTranslatorRow(translatorList_->Count(), SelectedRows(*translatorList_), forward);
  if (row < 0) return;
  {
    TRefreshScope scope(refreshing_);
    SelectOnly(*translatorList_, row);
  }
  PostCommandRefresh();
  EditorFollowSelection();
}

void TTransForm::SelectNextTranslator() { SelectTranslatorStep(true); }

void TTransForm::SelectPreviousTranslator() { SelectTranslatorStep(false); }

void TTransForm::ShowErrors(const std::string& text) {
  ui::MessageDlg(text, ui::TMsgDlgType::Error, ui::mbOK);
}

}  // namespace kv
