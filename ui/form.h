#pragma once
// Top-level windows: a form made in code (the layer's own class) or from a dialog template of
// the program's resources, shown modeless or modal. Keyboard navigation between controls is
// the dialog manager's (Tab, arrows, Enter for the default button, Escape for the cancel
// one); with KeyPreview the form sees keys before the focused control.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "ui/action.h"
#include "ui/dialog_types.h"
#include "ui/multi_event.h"
#include "ui/placement_logic.h"
#include "ui/window.h"

namespace kv::ui {

class TButton;
class TMainMenu;

enum class TFormPosition { Designed, ScreenCenter, OwnerFormCenter };
enum class TCloseAction { None, Hide, Minimize };
enum class TBorderStyle { Sizeable, Dialog, Single, ToolWindow, None };

struct TFormParams {
  std::string caption;
  TRect bounds = TRect::FromBounds(0, 0, 400, 300);  // screen coordinates
  TBorderStyle border = TBorderStyle::Sizeable;
  TWindow* owner = nullptr;  // top-level owner (stays below, minimises together)
  TFormPosition position = TFormPosition::Designed;
  bool minimizeBox = true;
  bool maximizeBox = true;
  DWORD extraExStyle = 0;
};

// Names a dialog template of the program's resources.
struct TDialogTemplate {
  std::wstring name;  // or empty with id
  int id = 0;
  TWindow* owner = nullptr;
  HINSTANCE module = nullptr;
};

class TForm : public TWindow {
 public:
  explicit TForm(const TFormParams& params);
  explicit TForm(const TDialogTemplate& dialog);
  ~TForm() override;

  // Showing. The first show applies the position mode.
  void SetVisible(bool visible) override;
  // Shows with a ShowWindow command (SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE, ...).
  void ShowWithCommand(int showCommand);
  void BringToFront();
  // Asks to close: OnCloseQuery, then OnClose's action (hide by default; the main form ends
  // the application; a modal form ends its modal loop).
  void Close();
  // Shows the form modally: every other enabled top-level window of the program is disabled
  // until ModalResult is set; returns it.
  int ShowModal();
  // Whether ShowModal hides the form when its loop ends (see TApplication::FreeUnlessEnding
  // for a form that is not hidden).
  void SetHideAfterModal(bool hide) { hideAfterModal_ = hide; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  bool IsModal() const { return modal_; }

  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  // The normal-state bounds (relative to the work area, as GetWindowPlacement gives them).
  TRect RestoredBounds() const;
  TFormStyle FormStyle() const { return style_; }
  void SetFormStyle(TFormStyle style);
  TFormPosition Position() const { return position_; }
  void SetPosition(TFormPosition position) { position_ = position; }
  TWindow* Owner() const { return owner_; }

  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool on) { keyPreview_ = on; }
  // Enter clicks the default button, Escape the cancel button.
  void SetDefaultButton(TButton* button);
  void SetCancelButton(TButton* button) { cancelButton_ = button; }

  void SetMenu(TMainMenu* menu);
  TMainMenu* Menu() const { return menu_; }
  TActionList& Actions() { return actions_; }
  void SetIcon(HICON big, HICON small);
  // Sizes the window so that its client area is width x height (position kept).
  void SetClientSize(int width, int height);

  TEvent<void(bool& canClose)> OnCloseQuery;
  TEvent<void(TCloseAction& action)> OnClose;
  // Once each time the form becomes visible, and once each time it stops being visible,
  // whichever message tells it first (WM_SHOWWINDOW, or WM_WINDOWPOSCHANGED for a show that
  // sends none): a show never reports twice, and none goes unreported.
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  // The form became the active window, or stopped being it; the form's owner and helpers
  // such as the delayed enabling of a message dialog's buttons listen alike.
  TMultiEvent<void()> OnActivate;
  TMultiEvent<void()> OnDeactivate;

  // Message loop hooks (TApplication): key preview, then the form's shortcuts.
  bool PreviewKeyMessage(MSG& msg);
  bool HandleShortCut(TShortCut shortCut);
  // Runs the update handlers of the form's actions.
  void UpdateActions();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual bool CloseQuery();
  // The control that takes the focus when the form becomes active and none that the user sees
  // had it before: the first tab stop, unless the form knows its first field better.
  virtual HWND FirstFocus();

 private:
  void ApplyPosition();
  void Register();
  void ReportShowing(bool shown);
  void MoveDialogFocus(WPARAM wp, LPARAM lp);
  bool ClickButton(TButton* button);

  TWindow* owner_ = nullptr;
  TFormPosition position_ = TFormPosition::Designed;
  TFormStyle style_ = TFormStyle::Normal;
  bool keyPreview_ = false;
  bool shownOnce_ = false;
  bool shownReported_ = false;  // the last OnShow or OnHide fired
  bool fromTemplate_ = false;
  std::optional<TWindowState> pendingState_;  // set while hidden, applied when shown
  HWND lastFocus_ = nullptr;                  // restored when the form is activated again
  bool modal_ = false;
  bool hideAfterModal_ = true;
  int modalResult_ = mrNone;
  TButton* defaultButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TActionList actions_;
};

// The nearest form that holds the window (the window itself when it is one), or null.
TForm* FindParentForm(TWindow& window);

}  // namespace kv::ui
