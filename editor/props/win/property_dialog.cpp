#include "editor/props/win/property_dialog.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/settings_registry.h"
#include "editor/props/win/props_messages_win.h"
#include "ui/application.h"
#include "ui/placement.h"

namespace kv {

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;

ui::TFormParams DialogParams(ui::TForm* owner, const std::string& caption) {
  ui::TFormParams params;
  params.caption = caption;
  params.bounds = ui::TRect::FromBounds(0, 0, TPropertyDialog::kClientWidth + 16,
                                        TPropertyDialog::kClientHeight + 39);
  params.owner = owner;
  params.minimizeBox = false;
  params.maximizeBox = false;
  return params;
}

ui::TFontSpec BoldSpec() {
  ui::TFontSpec fontSpec;
  fontSpec.height = -13;
  fontSpec.bold = true;
  return fontSpec;
}

// The size is kept under the settings key in the registry even when the settings themselves
// live in a file.
std::unique_ptr<TCustomIniFile> OpenPlacementKey() {
  return GetSettingsRegistry().Open(GetSettingsRegKey(false), true);
}

}  // namespace

TPropertyDialog::TPropertyDialog(TPropertyForm& model, ui::TForm* owner,
                                 const std::string& caption)
    : ui::TForm(DialogParams(owner, caption)),
      model_(model),
      ownerForm_(owner),
      bold_(BoldSpec()),
      tree_(Add<ui::TTreeView>(*this, ui::TRect::FromBounds(0, 0, kTreeWidth, 300))),
      bottom_(Add<ui::TPanel>(*this, ui::TRect::FromBounds(0, 300, kClientWidth, kBottomHeight))),
      area_(Add<ui::TPanel>(*this, ui::TRect::FromBounds(kTreeWidth + 1, 0, 300, 300))),
      ok_(Add<ui::TButton>(bottom_, "OK", ui::TRect::FromBounds(0, 4, kButtonWidth, kButtonHeight),
                           IDOK)),
      cancel_(Add<ui::TButton>(bottom_, "Cancel",
                               ui::TRect::FromBounds(0, 4, kButtonWidth, kButtonHeight), IDCANCEL)),
      apply_(Add<ui::TButton>(bottom_, "Apply",
                              ui::TRect::FromBounds(0, 4, kButtonWidth, kButtonHeight))) {
  SetClientSize(kClientWidth, kClientHeight);
  // Pages are chosen in the tree; it has no expand buttons and every branch stays open.
  ::SetWindowLongW(tree_.Handle(), GWL_STYLE,
                   ::GetWindowLongW(tree_.Handle(), GWL_STYLE) & ~TVS_HASBUTTONS);
  ::SendMessageW(tree_.Handle(), TVM_SETINDENT, 19, 0);
  tree_.SetAlign(ui::TAlign::Left);
  bottom_.SetAlign(ui::TAlign::Bottom);
  area_.SetAlign(ui::TAlign::Client);
  ::SetWindowLongW(area_.Handle(), GWL_EXSTYLE,
                   ::GetWindowLongW(area_.Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  ::SetWindowLongW(bottom_.Handle(), GWL_EXSTYLE,
                   ::GetWindowLongW(bottom_.Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  SetDefaultButton(&ok_);
  SetCancelButton(&cancel_);
  ok_.OnClick = [this] { Finish(TModalResult::OK); };
  cancel_.OnClick = [this] { Finish(TModalResult::Cancel); };
  apply_.OnClick = [this] { ApplyClick(); };
  apply_.SetEnabled(false);
  tree_.OnChange = [this](ui::TTreeNode node) {
    if (!syncingTree_ && node) SelectPage(static_cast<int>(tree_.NodeData(node)));
  };
  bottom_.OnResize = [this] {
    int x = bottom_.ClientRect().Width() - kButtonGap - kButtonWidth;
    for (ui::TButton* button : {&apply_, &cancel_, &ok_}) {
      button->SetBounds(x, 4, kButtonWidth, kButtonHeight);
      x -= kButtonWidth + kButtonGap;
    }
  };
  area_.OnResize = [this] {
    if (shown_) PlacePage(*shown_);
  };
  Realign();
  bottom_.OnResize();
}

TPropertyDialog::~TPropertyDialog() {
  // The hostable pages outlive the dialog: their windows must not go down with it.
  ParkPages();
}

ui::TPanel& TPropertyDialog::AddNotebookPage(int id) {
  ui::TPanel& page = area_.Add<ui::TPanel>(area_, area_.ClientRect());
  ::SetWindowLongW(page.Handle(), GWL_EXSTYLE,
                   ::GetWindowLongW(page.Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  page.Hide();
  notebook_[id] = &page;
  return page;
}

ui::TPanel* TPropertyDialog::NotebookPage(int id) const {
  auto found = notebook_.find(id);
  return found == notebook_.end() ? nullptr : found->second;
}

int TPropertyDialog::AddHeading(ui::TWindow& page, const std::string& text) {
  ui::TLabel& heading = page.Add<ui::TLabel>(page, text, ui::TRect::FromBounds(8, 8, 380, 18));
  heading.SetFont(bold_.Handle());
  return 8 + 18;
}

void TPropertyDialog::BuildTree() {
  syncingTree_ = true;
  tree_.Clear();
  nodes_.clear();
  const std::vector<TPageNode>& nodes = model_.Nodes();
  for (const TPageNode& node : nodes) {
    ui::TTreeNode parent = node.parent >= 0 ? nodes_[static_cast<size_t>(node.parent)] : nullptr;
    nodes_.push_back(tree_.Add(parent, node.caption, node.id));
  }
  for (size_t i = 0; i < nodes.size(); ++i)
    if (nodes[i].expanded) tree_.Expand(nodes_[i]);
  syncingTree_ = false;
}

void TPropertyDialog::SelectPage(int id) {
  model_.SelectPage(id);
  if (model_.IsShown()) ShowCurrentPage();
}

void TPropertyDialog::ShowCurrentPage() {
  ui::TWindow* page = nullptr;
  if (TPropertyPanel* panel = model_.CurrentPanel()) {
    for (TPageView* view : hosted_)
      if (&view->Model() == panel) page = view;
  } else if (model_.CurrentNotebookPage() >= 0) {
    page = NotebookPage(model_.CurrentNotebookPage());
  }
  if (page != shown_) {
    const bool hiddenHadFocus = shown_ && shown_->ContainsFocus();
    if (shown_) shown_->Hide();
    shown_ = page;
    if (page) {
      PlacePage(*page);
      page->Show();
      if (auto* view = dynamic_cast<TPageView*>(page)) view->Load();
      // A page chosen in the tree leaves the focus there; one shown from elsewhere while the
      // focus was on the page hidden takes it into its first field.
      ui::FocusShownPage(*page, hiddenHadFocus, {}, tree_.Handle());
    } else if (hiddenHadFocus) {
      tree_.SetFocus();
    }
  }
  const int node = model_.SelectedNode();
  if (node >= 0 && node < static_cast<int>(nodes_.size()) &&
      tree_.Selected() != nodes_[static_cast<size_t>(node)]) {
    syncingTree_ = true;
    tree_.Select(nodes_[static_cast<size_t>(node)]);
    syncingTree_ = false;
  }
}

void TPropertyDialog::PlacePage(ui::TWindow& page) {
  const ui::TRect r = area_.ClientRect();
  page.SetBounds(0, 0, r.Width(), r.Height());
}

void TPropertyDialog::Changed() {
  model_.SomethingChanged();
  Sync();
}

void TPropertyDialog::Sync() {
  apply_.SetEnabled(model_.ApplyEnabled());
  UpdateControls();
}

void TPropertyDialog::ApplyClick() {
  try {
    model_.ApplyClick();
  } catch (const std::exception& error) {
    WinPropsMessages().ShowError(error.what());
  }
  Reload();
}

void TPropertyDialog::Reload() {
  LoadControls();
  for (TPageView* view : hosted_) view->Load();
  Sync();
}

TModalResult TPropertyDialog::Execute() {
  if (executing_) return TModalResult::None;
  executing_ = true;
  finished_ = false;
  result_ = TModalResult::None;
  model_.Show();
  hosted_.clear();
  for (const TPageNode& node : model_.Nodes()) {
    if (!model_.IsPanelPage(node.id)) continue;
    TPageView* view = PageViewFor(node.id);
    if (!view) continue;
    view->HostIn(area_);
    view->Hide();
    view->OnEdited = [this] { Sync(); };
    view->Load();
    hosted_.push_back(view);
  }
  // The pages' minimums are known once they are hosted.
  ReadSize();
  KeepMinimumSize();
  LoadControls();
  ShowCurrentPage();
  Sync();
  ui::CenterFormOver(*this, ownerForm_);
  ui::Application().Post([this] {
    if (executing_ && HandleAllocated()) tree_.SetFocus();
  });
  ShowModal();
  if (!finished_) Finish(TModalResult::Cancel);  // the program ended the loop
  executing_ = false;
  return result_;
}

void TPropertyDialog::Finish(TModalResult result) {
  if (finished_ || !executing_) return;
  WriteSize();
  // A failed apply keeps the dialog open with the user's edits.
  if (!model_.Close(result)) {
    LoadControls();
    Sync();
    return;
  }
  finished_ = true;
  result_ = result;
  ParkPages();
  SetModalResult(result == TModalResult::OK ? ui::mrOk : ui::mrCancel);
}

bool TPropertyDialog::CloseQuery() {
  if (!ui::TForm::CloseQuery()) return false;
  if (!finished_) Finish(TModalResult::Cancel);
  return finished_ || !executing_;
}

void TPropertyDialog::ParkPages() {
  for (TPageView* view : hosted_) view->Park();
  if (shown_ && dynamic_cast<TPageView*>(shown_)) shown_ = nullptr;
  hosted_.clear();
}

void TPropertyDialog::Resized() {
  ui::TForm::Resized();
  // Labels that moved or grew leave their old text behind unless the page area is drawn anew.
  if (area_.HandleAllocated())
    ::RedrawWindow(area_.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

ui::TSize TPropertyDialog::MinClientSize() const {
  int width = 0;
  int height = 0;
  for (TPageView* view : hosted_) {
    const ui::TSize page = view->MinSize();
    width = std::max(width, page.cx);
    height = std::max(height, page.cy);
  }
  // A notebook page keeps its controls where they were designed: it needs room up to the
  // farthest of them.
  for (const auto& entry : notebook_) {
    const HWND page = entry.second->Handle();
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT r{};
      ::GetWindowRect(child, &r);
      ::MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&r), 2);
      width = std::max(width, static_cast<int>(r.right) + 8);
      height = std::max(height, static_cast<int>(r.bottom) + 8);
    }
  }
  return {kTreeWidth + 1 + width, height + kBottomHeight};
}

ui::TSize TPropertyDialog::MinWindowSize() const {
  const ui::TSize client = MinClientSize();
  RECT r{0, 0, client.cx, client.cy};
  ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_EXSTYLE)));
  return {r.right - r.left, r.bottom - r.top};
}

void TPropertyDialog::KeepMinimumSize() {
  const ui::TSize least = MinWindowSize();
  const ui::TRect now = BoundsRect();
  if (now.Width() >= least.cx && now.Height() >= least.cy) return;
  SetBounds(now.left, now.top, std::max(now.Width(), least.cx), std::max(now.Height(), least.cy));
}

LRESULT TPropertyDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETMINMAXINFO && HandleAllocated()) {
    const LRESULT result = ui::TForm::WndProc(msg, wp, lp);
    auto* info = reinterpret_cast<MINMAXINFO*>(lp);
    const ui::TSize least = MinWindowSize();
    info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, least.cx);
    info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, least.cy);
    return result;
  }
  return ui::TForm::WndProc(msg, wp, lp);
}

void TPropertyDialog::ReadSize() {
  if (model_.RegKey().empty()) return;
  if (std::unique_ptr<TCustomIniFile> ini = OpenPlacementKey())
    ui::LoadFormPlacement(*this, *ini, model_.RegKey(), ui::kPlaceSize);
}

void TPropertyDialog::WriteSize() {
  if (model_.RegKey().empty()) return;
  KeepMinimumSize();  // never store a size the pages do not fit in
  if (std::unique_ptr<TCustomIniFile> ini = OpenPlacementKey())
    ui::SaveFormPlacement(*this, *ini, model_.RegKey(), ui::kPlaceSize | ui::kPlacePosition);
}

}  // namespace kv
