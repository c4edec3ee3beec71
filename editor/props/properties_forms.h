#pragma once
// The project properties and preset properties dialogs without their windows: author data,
// the default ports page, the router page (project only), the preset's switching option and
// the splitter ratio they keep beside their size. Main thread only.
#include <memory>
#include <string>

#include "editor/props/default_ports_frame.h"
#include "editor/props/property_form.h"

namespace kv {

class TPresetHandler;
class TTransList;
class TSetupRouterFrame;

inline constexpr int kDefaultPortsPageId = 100;
inline constexpr int kRouterPageId = 101;
inline constexpr const char* kAliasSplitterRatioKey = "AliasSplitterRatio";

// What both dialogs share: the default ports page, made on first use, and its ratio.
class TPortsPropertyForm : public TPropertyForm {
 public:
  TPortsPropertyForm(TPropsMessages& messages, TMidiAliasManager& aliases)
      : TPropertyForm(messages), aliases_(aliases) {}
  ~TPortsPropertyForm() override;

  TSetupDefaultPortsFrame& GetDefaultPortsFrame();

 protected:
  int NotebookPageCount() const override { return 1; }
  void ReadWindowPlacement(const TCustomIniFile& ini) override;
  void WriteWindowPlacement(TCustomIniFile& ini) override;
  virtual void ApplyDefaultPorts(const TMidiAliasList& in, const TMidiAliasList& out) = 0;

 private:
  TMidiAliasManager& aliases_;
  std::unique_ptr<TSetupDefaultPortsFrame> frame_;
  int rememberedRatio_ = TSetupDefaultPortsFrame::kDefaultRatio;
};

class TProjectPropertiesForm final : public TPortsPropertyForm {
 public:
  // The router page is the program's single one; it outlives the dialog.
  TProjectPropertiesForm(TPropsMessages& messages, TMidiAliasManager& aliases,
                         TSetupRouterFrame& routerFrame)
      : TPortsPropertyForm(messages, aliases), routerFrame_(routerFrame) {}

  void SetProject(TPresetHandler* project) { project_ = project; }
  const std::string& Caption() const { return caption_; }

  // The "Author Info" page's edits; each reports a change.
  void EditAuthor(std::string text);
  void EditAuthorContact(std::string text);
  void EditComments(std::string text);
  const std::string& Author() const { return author_; }
  const std::string& AuthorContact() const { return authorContact_; }
  const std::string& Comments() const { return comments_; }

 protected:
  void InitPages() override;
  void AfterClose() override;
  void ApplyValues() override;
  void LoadValues() override;
  void CancelValues() override {}
  void UpdateControls() override {}
  TPropertyPanel* GetPanel(int id) override;
  void ApplyDefaultPorts(const TMidiAliasList& in, const TMidiAliasList& out) override;

 private:
  TSetupRouterFrame& routerFrame_;
  TPresetHandler* project_ = nullptr;
  std::string caption_;
  std::string author_;
  std::string authorContact_;
  std::string comments_;
};

class TPresetPropertiesForm final : public TPortsPropertyForm {
 public:
  static constexpr uint32_t kSwitchQuestionDelayMs = 100;

  using TPortsPropertyForm::TPortsPropertyForm;

  // Takes another preset; unapplied changes to the one shown are offered for applying first.
  void SetPreset(TTransList* preset);
  TTransList* Preset() const { return preset_; }
  const std::string& Caption() const { return caption_; }

  void EditAlwaysActive(bool checked);
  bool AlwaysActive() const { return alwaysActive_; }
  bool AlwaysActiveEnabled() const { return alwaysActiveEnabled_; }

 protected:
  void InitPages() override;
  void AfterClose() override;
  void ApplyValues() override;
  void LoadValues() override;
  void CancelValues() override {}
  void UpdateControls() override { alwaysActiveEnabled_ = preset_ != nullptr; }
  TPropertyPanel* GetPanel(int id) override;
  void ApplyDefaultPorts(const TMidiAliasList& in, const TMidiAliasList& out) override;

 private:
  bool Visible() const { return IsShown() && !IsClosed(); }

  TTransList* preset_ = nullptr;
  std::string caption_;
  bool alwaysActive_ = false;
  bool alwaysActiveEnabled_ = false;
};

}  // namespace kv
