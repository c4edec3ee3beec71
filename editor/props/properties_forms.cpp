#include "editor/props/properties_forms.h"

#include "base/ini_file.h"
#include "editor/props/router_page.h"
#include "engine/preset.h"
#include "engine/project.h"

namespace kv {

namespace {
constexpr const char* kAskApplyPresetChanges =
    "You have made changes to the preset properties.\r\nDo you want to apply them now?";
}

// --- shared ------------------------------------------------------------------------------

TPortsPropertyForm::~TPortsPropertyForm() { DetachPanels(); }

TSetupDefaultPortsFrame& TPortsPropertyForm::GetDefaultPortsFrame() {
  if (!frame_) {
    frame_ = std::make_unique<TSetupDefaultPortsFrame>(aliases_);
    frame_->SetSplitterRatio(rememberedRatio_);
    frame_->OnApply = [this](const TMidiAliasList& in, const TMidiAliasList& out, bool) {
      ApplyDefaultPorts(in, out);
    };
  }
  return *frame_;
}

void TPortsPropertyForm::ReadWindowPlacement(const TCustomIniFile& ini) {
  TPropertyForm::ReadWindowPlacement(ini);
  if (frame_) rememberedRatio_ = frame_->SplitterRatio();
  rememberedRatio_ = ini.ReadInteger(RegKey(), kAliasSplitterRatioKey, rememberedRatio_);
  if (frame_) frame_->SetSplitterRatio(rememberedRatio_);
}

void TPortsPropertyForm::WriteWindowPlacement(TCustomIniFile& ini) {
  TPropertyForm::WriteWindowPlacement(ini);
  if (frame_) ini.WriteInteger(RegKey(), kAliasSplitterRatioKey, frame_->SplitterRatio());
}

// --- project -----------------------------------------------------------------------------

void TProjectPropertiesForm::InitPages() {
  AddPage("Author Info", 0, -1);
  AddPage("Default MIDI Ports", kDefaultPortsPageId, -1);
  AddPage("MIDI Router", kRouterPageId, -1);
  caption_ = "Project Properties";
  SetRegKey("ProjectPropertiesWindow");
}

TPropertyPanel* TProjectPropertiesForm::GetPanel(int id) {
  if (id == kDefaultPortsPageId) return &GetDefaultPortsFrame();
  if (id == kRouterPageId) return &routerFrame_;
  return nullptr;
}

void TProjectPropertiesForm::LoadValues() {
  if (project_) {
    author_ = project_->GetAuthor();
    authorContact_ = project_->GetAuthorContact();
    comments_ = project_->GetComments();
    GetDefaultPortsFrame().SetPorts(&project_->GetDefaultInPorts(),
                                    &project_->GetDefaultOutPorts(), false);
  } else {
    author_.clear();
    authorContact_.clear();
    comments_.clear();
    GetDefaultPortsFrame().SetPorts(nullptr, nullptr, false);
  }
  UpdateControls();
}

void TProjectPropertiesForm::ApplyValues() {
  if (!project_) return;
  project_->BeginUpdate();
  try {
    project_->SetAuthor(author_);
    project_->SetAuthorContact(authorContact_);
    project_->SetComments(comments_);
  } catch (...) {
    project_->EndUpdate();
    throw;
  }
  project_->EndUpdate();
}

void TProjectPropertiesForm::ApplyDefaultPorts(const TMidiAliasList& in,
                                               const TMidiAliasList& out) {
  if (!project_) return;
  project_->SetDefaultInPorts(&in);
  project_->SetDefaultOutPorts(&out);
}

void TProjectPropertiesForm::AfterClose() {}

void TProjectPropertiesForm::EditAuthor(std::string text) {
  author_ = std::move(text);
  SomethingChanged();
}

void TProjectPropertiesForm::EditAuthorContact(std::string text) {
  authorContact_ = std::move(text);
  SomethingChanged();
}

void TProjectPropertiesForm::EditComments(std::string text) {
  comments_ = std::move(text);
  SomethingChanged();
}

// --- preset ------------------------------------------------------------------------------

void TPresetPropertiesForm::InitPages() {
  AddPage("Properties", 0, -1);
  AddPage("Default MIDI Ports", kDefaultPortsPageId, -1);
  SetRegKey("PresetPropertiesWindow");
}

TPropertyPanel* TPresetPropertiesForm::GetPanel(int id) {
  return id == kDefaultPortsPageId ? &GetDefaultPortsFrame() : nullptr;
}

void TPresetPropertiesForm::SetPreset(TTransList* preset) {
  if (Visible() && preset != preset_ && HasPendingChanges() &&
      Messages().AskYesNo(kAskApplyPresetChanges, kSwitchQuestionDelayMs))
    ApplyClick();  // to the preset shown so far
  preset_ = preset;
  if (Visible()) LoadValues();
}

void TPresetPropertiesForm::LoadValues() {
  caption_ = "Properties for Preset \"" + (preset_ ? preset_->GetDisplayName() : std::string()) +
             "\"";
  if (preset_) {
    GetDefaultPortsFrame().SetPorts(&preset_->GetDefaultInPorts(), &preset_->GetDefaultOutPorts(),
                                    true);
    alwaysActive_ = preset_->PresetSwitchIgnore();
  } else {
    GetDefaultPortsFrame().SetPorts(nullptr, nullptr, true);
    alwaysActive_ = false;
  }
  UpdateControls();
}

void TPresetPropertiesForm::ApplyValues() {
  if (preset_) preset_->SetPresetSwitchIgnore(alwaysActive_);
}

void TPresetPropertiesForm::ApplyDefaultPorts(const TMidiAliasList& in,
                                              const TMidiAliasList& out) {
  if (!preset_) return;
  preset_->SetDefaultInPorts(&in);
  preset_->SetDefaultOutPorts(&out);
}

void TPresetPropertiesForm::AfterClose() {
  preset_ = nullptr;
}

void TPresetPropertiesForm::EditAlwaysActive(bool checked) {
  alwaysActive_ = checked;
  SomethingChanged();
}

}  // namespace kv
