#pragma once
// The window of a property dialog: the tree of pages on the left, the chosen page on the
// right, OK, Cancel and Apply at the bottom. It mirrors its model (editor/props/
// property_form.h): the model decides which page shows, when pages load, apply and revert
// and whether Apply is enabled; the window copies values to and from it. The size is kept
// under the model's RegKey. Shown modally: every other window of the thread is disabled
// meanwhile, and a dialog may open another one over itself.
#include <map>
#include <string>
#include <vector>

#include "editor/props/property_form.h"
#include "editor/props/win/page_view.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/tree_view.h"

namespace kv {

class TPropertyDialog : public ui::TForm {
 public:
  static constexpr int kClientWidth = 572;
  static constexpr int kClientHeight = 383;
  static constexpr int kTreeWidth = 169;
  static constexpr int kBottomHeight = 33;

  ~TPropertyDialog() override;

  // Loads the pages and the dialog's values, shows the dialog modally over its owner and
  // closes it; the result is how it closed.
  TModalResult Execute();
  void SelectPage(int id);
  // The model was loaded again: the window shows its values anew.
  void Reload();
  TPropertyForm& Model() { return model_; }
  bool Executing() const { return executing_; }

  ui::TTreeView& Tree() { return tree_; }
  ui::TButton& OkButton() { return ok_; }
  ui::TButton& CancelButton() { return cancel_; }
  ui::TButton& ApplyButton() { return apply_; }
  // The window of a notebook page, or null.
  ui::TPanel* NotebookPage(int id) const;

 protected:
  TPropertyDialog(TPropertyForm& model, ui::TForm* owner, const std::string& caption);

  // Makes a notebook page of the page area (before BuildTree).
  ui::TPanel& AddNotebookPage(int id);
  // The tree from the model's pages (after the model's Create).
  void BuildTree();
  ui::TPanel& BottomPanel() { return bottom_; }
  // A heading in bold at the top of a notebook page; returns its bottom.
  int AddHeading(ui::TWindow& page, const std::string& text);
  // A control of the dialog changed: the model hears of it and the window follows.
  void Changed();
  // The window follows the model: Apply's state, the controls' enabled states.
  void Sync();

  // The window of a hostable page, or null.
  virtual TPageView* PageViewFor(int id) = 0;
  // Copies the model's values into the dialog's own controls.
  virtual void LoadControls() = 0;
  // Enabled and visible states of the dialog's own controls.
  virtual void UpdateControls() {}

  const ui::TFont& BoldFont() const { return bold_; }
  // Hands the hostable pages back to their parking window; a dialog that owns a page's window
  // calls it from its destructor, before that window goes.
  void ParkPages();
  ui::TForm* OwnerForm() const { return ownerForm_; }

  void Resized() override;
  bool CloseQuery() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 public:
  // The smallest client size every page of the dialog looks right in: the tree, the largest
  // page minimum and the buttons.
  ui::TSize MinClientSize() const;

 private:
  // The window size that gives at least the minimum client size.
  ui::TSize MinWindowSize() const;
  // Grows the window to its minimum where it is smaller.
  void KeepMinimumSize();

 private:
  void Finish(TModalResult result);
  void ApplyClick();
  void ShowCurrentPage();
  void PlacePage(ui::TWindow& page);
  void ReadSize();
  void WriteSize();

  TPropertyForm& model_;
  ui::TForm* ownerForm_;
  ui::TFont bold_;
  ui::TTreeView& tree_;
  ui::TPanel& bottom_;
  ui::TPanel& area_;
  ui::TButton& ok_;
  ui::TButton& cancel_;
  ui::TButton& apply_;
  std::map<int, ui::TPanel*> notebook_;
  std::vector<ui::TTreeNode> nodes_;  // the tree node of each model node
  std::vector<TPageView*> hosted_;
  ui::TWindow* shown_ = nullptr;
  bool syncingTree_ = false;
  bool executing_ = false;
  bool finished_ = false;
  TModalResult result_ = TModalResult::None;
};

}  // namespace kv
