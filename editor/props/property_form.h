#pragma once
// The property dialogs' frame without its window: the tree of pages, which page shows, when
// the pages load, apply and revert, whether anything changed (the Apply button) and the
// dialog's stored size. A concrete dialog derives and fills in the abstract operations; its
// window mirrors this state. Main thread only.
#include <memory>
#include <string>
#include <vector>

#include "editor/props/property_panel.h"
#include "editor/props/props_messages.h"

namespace kv {

class TCustomIniFile;

enum class TModalResult { None, OK, Cancel };

struct TPageNode {
  std::string caption;
  int id = 0;
  int parent = -1;  // index of the parent node, -1 at the top level
  bool expanded = false;
};

class TPropertyForm {
 public:
  explicit TPropertyForm(TPropsMessages& messages) : messages_(messages) {}
  virtual ~TPropertyForm();
  TPropertyForm(const TPropertyForm&) = delete;
  TPropertyForm& operator=(const TPropertyForm&) = delete;

  // Adds the pages; the Apply button starts disabled.
  void Create();
  // Reads the stored size, loads every hosted page and the dialog's own values, then opens
  // the pending page. Apply is disabled afterwards: changes raised while loading do not count.
  void Show();
  // Closing with OK applies (nothing when nothing changed), with Cancel reverts. An error that
  // an apply raises is shown and keeps the dialog open with its edits: the result is false.
  bool Close(TModalResult result);
  // Applies every hosted page, then the dialog's own values; raises what a page raises.
  void ApplyClick();
  void SelectPage(int id);
  // The shared change handler of the dialog's controls and pages.
  void SomethingChanged();

  bool HasPendingChanges() const { return applyEnabled_; }
  bool ApplyEnabled() const { return applyEnabled_; }
  bool IsShown() const { return shown_; }
  bool IsClosed() const { return closed_; }
  int CurrentPageId() const { return currentPageId_; }
  int SelectedNode() const { return selectedNode_; }
  // The page object shown right of the tree, or none (a notebook page or an empty area).
  TPropertyPanel* CurrentPanel() const { return currentPanel_; }
  // The notebook page shown, -1 when the notebook is not the current page.
  int CurrentNotebookPage() const { return currentNotebookPage_; }
  const std::vector<TPageNode>& Nodes() const { return nodes_; }
  const std::string& RegKey() const { return regKey_; }

  bool IsNotebookPage(int id) const;
  bool IsPanelPage(int id) const;
  int FindPageNode(int id) const;

 protected:
  int AddPage(std::string caption, int id, int parentId);
  void SetRegKey(std::string key) { regKey_ = std::move(key); }
  // Puts back the Apply state after reading values that are not the user's edits.
  void RestoreApplyEnabled(bool enabled) { applyEnabled_ = enabled; }
  TPropsMessages& Messages() { return messages_; }
  // Lets go of the hosted pages, which outlive the dialog. A dialog that owns a page calls it
  // from its destructor, before that page goes.
  void DetachPanels();

  virtual void InitPages() = 0;
  virtual void AfterClose() = 0;
  virtual void ApplyValues() = 0;
  virtual void LoadValues() = 0;
  virtual void CancelValues() = 0;
  virtual void UpdateControls() = 0;
  virtual TPropertyPanel* GetPanel(int id) = 0;
  // The page count of the dialog's own notebook, -1 when it has none.
  virtual int NotebookPageCount() const = 0;
  // The stored size; derived dialogs keep further values in the same section, base first.
  virtual void ReadWindowPlacement(const TCustomIniFile& ini);
  virtual void WriteWindowPlacement(TCustomIniFile& ini);

 private:
  std::vector<TPropertyPanel*> HostedPanels();
  void ShowControl(TPropertyPanel* panel, int notebookPage);

  TPropsMessages& messages_;
  std::vector<TPageNode> nodes_;  // one per page id, in the order added
  std::vector<TPropertyPanel*> hosted_;  // the page objects this dialog loaded and hooked
  std::string regKey_;            // empty: no size is kept
  int pendingPageId_ = -1;
  int currentPageId_ = -1;
  int selectedNode_ = -1;
  TPropertyPanel* currentPanel_ = nullptr;
  int currentNotebookPage_ = -1;
  bool shown_ = false;
  bool closed_ = false;
  bool applyEnabled_ = false;
};

}  // namespace kv
