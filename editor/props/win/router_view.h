#pragma once
// The MIDI router page's window: the drawing surface over the router editor (the two columns
// of ports, the connections as thick lines, dragging with the mouse, scrolling) and the page
// around it with its Delete and "Aliases..." buttons.
#include <memory>

#include "editor/props/router_page.h"
#include "editor/props/win/page_view.h"
#include "ui/button.h"
#include "ui/graphics.h"
#include "ui/label.h"

namespace kv {

class TRouterEditorView final : public ui::TCustomControl {
 public:
  // The private message that rebuilds the columns from the alias manager.
  static constexpr UINT kRebuildMessage = WM_USER + 102;

  TRouterEditorView(ui::TWindow& parent, TRouterEditor& editor);
  ~TRouterEditorView() override;

  TRouterEditor& Editor() { return editor_; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(ui::TCanvas& canvas) override;
  bool EraseBackground(HDC) override { return true; }
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  bool MouseWheel(int delta, ui::TShiftState shift, ui::TPoint screenPoint) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  void FocusChanged(bool gotFocus) override;
  void CaptureLost() override;
  void Timer(UINT_PTR id) override;
  void Resized() override;
  LRESULT DialogCode(const MSG* msg) override;

 private:
  void UpdateScrollBar();
  void FollowEditor();
  void DrawIcon(ui::TCanvas& canvas, int x, int y, bool selected) const;
  void DrawLabel(ui::TCanvas& canvas, const TGUIAlias& row, UINT align) const;

  TRouterEditor& editor_;
  bool trackingLeave_ = false;
};

class TRouterPageView final : public TPageView {
 public:
  explicit TRouterPageView(TSetupRouterFrame& page);

  void Load() override;
  ui::TSize MinSize() const override { return {338, 176}; }

  TRouterEditorView& EditorView() { return *editor_; }
  ui::TButton& DeleteButton() { return *delete_; }
  ui::TButton& AliasesButton() { return *aliases_; }

 protected:
  void Layout() override;

 private:
  void Sync();

  TSetupRouterFrame& page_;
  TRouterEditorView* editor_ = nullptr;
  ui::TPanel* bottom_ = nullptr;
  ui::TButton* delete_ = nullptr;
  ui::TButton* aliases_ = nullptr;
};

}  // namespace kv
