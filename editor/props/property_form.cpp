#include "editor/props/property_form.h"

#include <exception>

#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/settings_registry.h"

namespace kv {

namespace {

// The size is kept under the settings key in the registry even when the settings themselves
// live in a file.
std::unique_ptr<TCustomIniFile> OpenPlacementKey() {
  return GetSettingsRegistry().Open(GetSettingsRegKey(false), true);
}

}  // namespace

// A dialog that goes without closing must not leave the pages calling back into it.
TPropertyForm::~TPropertyForm() { DetachPanels(); }

void TPropertyForm::Create() {
  pendingPageId_ = -1;
  shown_ = false;
  applyEnabled_ = false;
  InitPages();
}

int TPropertyForm::AddPage(std::string caption, int id, int parentId) {
  int parent = parentId < 0 ? -1 : FindPageNode(parentId);
  if (parent >= 0) nodes_[static_cast<size_t>(parent)].expanded = true;
  nodes_.push_back({std::move(caption), id, parent, false});
  return static_cast<int>(nodes_.size()) - 1;
}

int TPropertyForm::FindPageNode(int id) const {
  for (size_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i].id == id) return static_cast<int>(i);
  return -1;
}

bool TPropertyForm::IsNotebookPage(int id) const {
  const int count = NotebookPageCount();
  return count >= 0 && id >= 0 && id < count;
}

bool TPropertyForm::IsPanelPage(int id) const {
  return !IsNotebookPage(id) && const_cast<TPropertyForm*>(this)->GetPanel(id) != nullptr;
}

std::vector<TPropertyPanel*> TPropertyForm::HostedPanels() {
  std::vector<TPropertyPanel*> panels;
  for (const TPageNode& node : nodes_)
    if (IsPanelPage(node.id)) panels.push_back(GetPanel(node.id));
  return panels;
}

void TPropertyForm::Show() {
  currentNotebookPage_ = NotebookPageCount() >= 0 ? 0 : -1;
  currentPanel_ = nullptr;
  if (!regKey_.empty())
    if (std::unique_ptr<TCustomIniFile> ini = OpenPlacementKey()) ReadWindowPlacement(*ini);
  hosted_ = HostedPanels();
  for (TPropertyPanel* panel : hosted_) {
    panel->OnPanelChange = [this](TPropertyPanel&) { SomethingChanged(); };
    panel->SetVisible(false);
    panel->SetHosted(true);
    panel->LoadValues();
  }
  LoadValues();
  shown_ = true;
  if (pendingPageId_ >= 0) SelectPage(pendingPageId_);
  applyEnabled_ = false;
}

void TPropertyForm::SelectPage(int id) {
  if (!shown_) {
    pendingPageId_ = id;
    return;
  }
  if (IsNotebookPage(id))
    ShowControl(nullptr, id);
  else
    ShowControl(GetPanel(id), -1);
  currentPageId_ = id;
  const int node = FindPageNode(id);
  if (node >= 0) selectedNode_ = node;
}

void TPropertyForm::ShowControl(TPropertyPanel* panel, int notebookPage) {
  if (currentPanel_ && currentPanel_ != panel) currentPanel_->SetVisible(false);
  currentPanel_ = panel;
  currentNotebookPage_ = notebookPage;
  if (panel) panel->SetVisible(true);
}

void TPropertyForm::SomethingChanged() {
  applyEnabled_ = true;
  UpdateControls();
}

void TPropertyForm::ApplyClick() {
  if (!applyEnabled_) return;
  for (TPropertyPanel* panel : HostedPanels()) panel->Apply(true);
  ApplyValues();
  applyEnabled_ = false;
}

bool TPropertyForm::Close(TModalResult result) {
  if (result == TModalResult::OK) {
    try {
      ApplyClick();
    } catch (const std::exception& error) {
      // A failed apply must not lose the user's edits: the dialog stays open.
      messages_.ShowError(error.what());
      return false;
    }
  } else if (result == TModalResult::Cancel) {
    for (TPropertyPanel* panel : HostedPanels()) panel->Revert();
    CancelValues();
  }
  AfterClose();
  if (!regKey_.empty())
    if (std::unique_ptr<TCustomIniFile> ini = OpenPlacementKey()) WriteWindowPlacement(*ini);
  DetachPanels();
  closed_ = true;
  return true;
}

void TPropertyForm::DetachPanels() {
  // Hosted pages belong to their own owners and outlive the dialog.
  for (TPropertyPanel* panel : hosted_) {
    panel->OnPanelChange = nullptr;
    panel->SetVisible(false);
    panel->SetHosted(false);
  }
  hosted_.clear();
  currentPanel_ = nullptr;
}

void TPropertyForm::ReadWindowPlacement(const TCustomIniFile&) {}
void TPropertyForm::WriteWindowPlacement(TCustomIniFile&) {}

}  // namespace kv
