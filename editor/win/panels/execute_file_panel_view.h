#pragma once
// The view of the execute-file panel.
#include "editor/panels/execute_file_panel.h"
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

class TExecuteFileView : public TPanelView {
 public:
  TExecuteFileView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                   TEPOutExecuteFile& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TEdit& FileEdit() { return *file_; }
  ui::TEdit& ParamsEdit() { return *params_; }

 private:
  void Browse();
  TEPOutExecuteFile& model_;
  ui::TEdit* file_;
  ui::TEdit* params_;
};

}  // namespace kv
