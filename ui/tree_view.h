#pragma once
// A tree view; nodes are handles that stay valid until the node is deleted.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/window.h"

namespace kv::ui {

using TTreeNode = HTREEITEM;

class TTreeView : public TWindow {
 public:
  TTreeView() = default;
  TTreeView(TWindow& parent, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, int id = 0);

  // A node under parent (null: a root node), after the last child.
  TTreeNode Add(TTreeNode parent, const std::string& text, intptr_t data = 0);
  void Delete(TTreeNode node);
  void Clear();
  std::string NodeText(TTreeNode node) const;
  void SetNodeText(TTreeNode node, const std::string& text);
  intptr_t NodeData(TTreeNode node) const;
  TTreeNode Selected() const;
  void Select(TTreeNode node);
  void Expand(TTreeNode node, bool expand = true);
  TTreeNode FirstChild(TTreeNode node) const;  // null: the first root node
  TTreeNode NextSibling(TTreeNode node) const;
  TTreeNode ParentNode(TTreeNode node) const;
  int Count() const;

  // The selection is about to move; clear allow to keep it.
  TEvent<void(TTreeNode from, TTreeNode to, bool& allow)> OnChanging;
  TEvent<void(TTreeNode node)> OnChange;

 protected:
  bool Notify(NMHDR* header, LRESULT& result) override;
};

}  // namespace kv::ui
