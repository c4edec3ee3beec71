#pragma once
// The windows of the project properties (author data, default ports, the router page) and
// the preset properties (the switching option, default ports).
#include <memory>

#include "editor/props/properties_forms.h"
#include "editor/props/win/default_ports_view.h"
#include "editor/props/win/property_dialog.h"
#include "ui/edit.h"

namespace kv {

struct TProjectModelHolder {
  TProjectModelHolder(TMidiAliasManager& aliases, TSetupRouterFrame& router);
  TProjectPropertiesForm project;
};

class TProjectPropertiesDialog final : private TProjectModelHolder, public TPropertyDialog {
 public:
  explicit TProjectPropertiesDialog(ui::TForm* owner);
  ~TProjectPropertiesDialog() override;

  TProjectPropertiesForm& Properties() { return project; }
  void SetProject(TPresetHandler* handler) { project.SetProject(handler); }
  ui::TEdit& AuthorEdit() { return *author_; }
  ui::TEdit& ContactEdit() { return *contact_; }
  ui::TEdit& CommentsMemo() { return *comments_; }
  TDefaultPortsView& PortsView() { return *portsView_; }

 protected:
  TPageView* PageViewFor(int id) override;
  void LoadControls() override;

 private:
  ui::TEdit* author_ = nullptr;
  ui::TEdit* contact_ = nullptr;
  ui::TEdit* comments_ = nullptr;
  std::unique_ptr<TDefaultPortsView> portsView_;
  bool loading_ = false;
};

struct TPresetModelHolder {
  explicit TPresetModelHolder(TMidiAliasManager& aliases);
  TPresetPropertiesForm preset;
};

class TPresetPropertiesDialog final : private TPresetModelHolder, public TPropertyDialog {
 public:
  explicit TPresetPropertiesDialog(ui::TForm* owner);
  ~TPresetPropertiesDialog() override;

  TPresetPropertiesForm& Properties() { return preset; }
  // Takes another preset; unapplied changes are offered for applying first.
  void SetPreset(TTransList* handler);
  ui::TCheckBox& AlwaysActiveBox() { return *alwaysActive_; }
  TDefaultPortsView& PortsView() { return *portsView_; }

 protected:
  TPageView* PageViewFor(int id) override;
  void LoadControls() override;
  void UpdateControls() override;

 private:
  ui::TCheckBox* alwaysActive_ = nullptr;
  std::unique_ptr<TDefaultPortsView> portsView_;
  bool loading_ = false;
};

}  // namespace kv
