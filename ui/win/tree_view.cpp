#include "ui/tree_view.h"

#include "base/win/wide.h"

namespace kv::ui {

TTreeView::TTreeView(TWindow& parent, const TRect& bounds, int id) {
  Create(parent, bounds, id);
}

void TTreeView::Create(TWindow& parent, const TRect& bounds, int id) {
  TCreateParams p;
  p.className = WC_TREEVIEWW;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
            TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  p.exStyle = WS_EX_CLIENTEDGE;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

TTreeNode TTreeView::Add(TTreeNode parent, const std::string& text, intptr_t data) {
  std::wstring w = win::Widen(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = w.data();
  ins.item.lParam = data;
  return reinterpret_cast<TTreeNode>(Perform(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TTreeView::Delete(TTreeNode node) {
  if (node) Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TTreeView::Clear() {
  Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

std::string TTreeView::NodeText(TTreeNode node) const {
  std::wstring buffer(512, L'\0');
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  if (!Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return "";
  return win::Narrow(item.pszText);
}

void TTreeView::SetNodeText(TTreeNode node, const std::string& text) {
  std::wstring w = win::Widen(text);
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = w.data();
  Perform(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

intptr_t TTreeView::NodeData(TTreeNode node) const {
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  if (!node || !Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return item.lParam;
}

TTreeNode TTreeView::Selected() const {
  return reinterpret_cast<TTreeNode>(Perform(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TTreeView::Select(TTreeNode node) {
  Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void TTreeView::Expand(TTreeNode node, bool expand) {
  Perform(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

TTreeNode TTreeView::FirstChild(TTreeNode node) const {
  if (!node) return reinterpret_cast<TTreeNode>(Perform(TVM_GETNEXTITEM, TVGN_ROOT, 0));
  return reinterpret_cast<TTreeNode>(
      Perform(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
}

TTreeNode TTreeView::NextSibling(TTreeNode node) const {
  return reinterpret_cast<TTreeNode>(
      Perform(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
}

TTreeNode TTreeView::ParentNode(TTreeNode node) const {
  return reinterpret_cast<TTreeNode>(
      Perform(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node)));
}

int TTreeView::Count() const {
  return static_cast<int>(Perform(TVM_GETCOUNT));
}

bool TTreeView::Notify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case TVN_SELCHANGINGW: {
      auto* nm = reinterpret_cast<NMTREEVIEWW*>(header);
      bool allow = true;
      OnChanging(nm->itemOld.hItem, nm->itemNew.hItem, allow);
      result = allow ? FALSE : TRUE;
      return true;
    }
    case TVN_SELCHANGEDW:
      OnChange(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
      return true;
    default:
      return false;
  }
}

}  // namespace kv::ui
