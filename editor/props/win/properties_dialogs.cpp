#include "editor/props/win/properties_dialogs.h"

#include "editor/props/win/props_messages_win.h"
#include "editor/props/win/props_windows.h"

namespace kv {

namespace {
constexpr int kLeft = 12;
constexpr int kWidth = 380;

// The project file keeps text in the ANSI code page: characters it cannot hold are refused
// where they are typed, with the message that names them, and the edit goes back to the text
// it held, so no "?" is ever stored in their place.
bool TakeTypedText(ui::TEdit& edit, const std::string& what, const std::string& before,
                   bool& loading, std::string& text) {
  std::string error;
  if (edit.TextChecked(text, error, what)) return true;
  loading = true;
  edit.SetText(before);
  edit.SetSelection(static_cast<int>(before.size()), 0);
  loading = false;
  WinPropsMessages().ShowError(error);
  return false;
}

}  // namespace

TProjectModelHolder::TProjectModelHolder(TMidiAliasManager& aliases, TSetupRouterFrame& router)
    : project(WinPropsMessages(), aliases, router) {}

TProjectPropertiesDialog::TProjectPropertiesDialog(ui::TForm* owner)
    : TProjectModelHolder(MidiAliasManager(), GetRouterFrame()),
      TPropertyDialog(project, owner, "Project Properties") {
  project.Create();
  SetText(project.Caption());
  ui::TPanel& page = AddNotebookPage(0);
  int y = AddHeading(page, "Author Info") + 12;
  page.Add<ui::TLabel>(page, "Author:", ui::TRect::FromBounds(kLeft, y, kWidth, 16));
  author_ = &page.Add<ui::TEdit>(page, ui::TRect::FromBounds(kLeft, y += 17, kWidth, 22));
  page.Add<ui::TLabel>(page, "Author's contact info (e.g. web page or email address):",
                       ui::TRect::FromBounds(kLeft, y += 30, kWidth, 16));
  contact_ = &page.Add<ui::TEdit>(page, ui::TRect::FromBounds(kLeft, y += 17, kWidth, 22));
  page.Add<ui::TLabel>(page, "Comments:", ui::TRect::FromBounds(kLeft, y += 30, kWidth, 16));
  ui::TEditOptions memo;
  memo.multiLine = true;
  memo.wantReturns = true;
  memo.scrollBars = true;
  comments_ = &page.Add<ui::TEdit>(page, ui::TRect::FromBounds(kLeft, y += 17, kWidth, 150), memo);
  author_->OnChange = [this] {
    std::string text;
    if (loading_ || !TakeTypedText(*author_, "The author", project.Author(), loading_, text))
      return;
    project.EditAuthor(std::move(text));
    Sync();
  };
  contact_->OnChange = [this] {
    std::string text;
    if (loading_ || !TakeTypedText(*contact_, "The author's contact info", project.AuthorContact(),
                                   loading_, text))
      return;
    project.EditAuthorContact(std::move(text));
    Sync();
  };
  comments_->OnChange = [this] {
    std::string text;
    if (loading_ ||
        !TakeTypedText(*comments_, "The comment text", project.Comments(), loading_, text))
      return;
    project.EditComments(std::move(text));
    Sync();
  };
  portsView_ = std::make_unique<TDefaultPortsView>(project.GetDefaultPortsFrame());
  BuildTree();
}

TProjectPropertiesDialog::~TProjectPropertiesDialog() { ParkPages(); }

TPageView* TProjectPropertiesDialog::PageViewFor(int id) {
  if (id == kDefaultPortsPageId) return portsView_.get();
  if (id == kRouterPageId) return &GetRouterPageView();
  return nullptr;
}

void TProjectPropertiesDialog::LoadControls() {
  loading_ = true;
  author_->SetText(project.Author());
  contact_->SetText(project.AuthorContact());
  comments_->SetText(project.Comments());
  loading_ = false;
}

TPresetModelHolder::TPresetModelHolder(TMidiAliasManager& aliases)
    : preset(WinPropsMessages(), aliases) {}

TPresetPropertiesDialog::TPresetPropertiesDialog(ui::TForm* owner)
    : TPresetModelHolder(MidiAliasManager()), TPropertyDialog(preset, owner, "") {
  preset.Create();
  ui::TPanel& page = AddNotebookPage(0);
  int y = AddHeading(page, "Preset Properties") + 12;
  page.Add<ui::TLabel>(page,
                       "If you check this, then this preset is not considered for the \"Next "
                       "Preset\" and \"Previous Preset\" outgoing actions. This can be handy to "
                       "have a sort of \"always active\" preset.",
                       ui::TRect::FromBounds(kLeft, y, kWidth, 44));
  alwaysActive_ = &page.Add<ui::TCheckBox>(
      page, "Ignore for Next/Previous Preset switching (\"always active\")",
      ui::TRect::FromBounds(kLeft, y += 52, kWidth, 19));
  alwaysActive_->OnClick = [this] {
    if (loading_) return;
    preset.EditAlwaysActive(alwaysActive_->Checked());
    Sync();
  };
  portsView_ = std::make_unique<TDefaultPortsView>(preset.GetDefaultPortsFrame());
  BuildTree();
}

TPresetPropertiesDialog::~TPresetPropertiesDialog() { ParkPages(); }

void TPresetPropertiesDialog::SetPreset(TTransList* handler) {
  preset.SetPreset(handler);
  if (Executing()) Reload();
}

TPageView* TPresetPropertiesDialog::PageViewFor(int id) {
  return id == kDefaultPortsPageId ? portsView_.get() : nullptr;
}

void TPresetPropertiesDialog::LoadControls() {
  loading_ = true;
  SetText(preset.Caption());
  alwaysActive_->SetChecked(preset.AlwaysActive());
  loading_ = false;
  UpdateControls();
}

void TPresetPropertiesDialog::UpdateControls() {
  alwaysActive_->SetEnabled(preset.AlwaysActiveEnabled());
}

}  // namespace kv
