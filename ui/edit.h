#pragma once
// An edit box, single or multi-line. OnChange fires after every change of the text, by the
// user or the program. In a multi-line box Tab and Shift+Tab move to the next and previous
// control and Escape is the window's, as anywhere else in it (a dialog cancels).
#include "ui/window.h"

namespace kv::ui {

struct TEditOptions {
  bool multiLine = false;
  bool readOnly = false;
  bool password = false;
  bool numbersOnly = false;
  bool border = true;
  bool wantReturns = false;  // multi-line: Enter makes a new line instead of the default button
  bool scrollBars = false;   // multi-line: both scroll bars
};

class TEdit : public TWindow {
 public:
  TEdit() = default;
  TEdit(TWindow& parent, const TRect& bounds, const TEditOptions& options = {}, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, const TEditOptions& options = {}, int id = 0);

  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  void SetMaxLength(int length);  // 0: no limit
  int SelStart() const;
  int SelLength() const;
  void SetSelection(int start, int length);
  void SelectAll() { SetSelection(0, -1); }
  // Replaces the selection, as typing would.
  void ReplaceSelection(const std::string& text);
  // The text as it will be stored: false, with the message that names the characters, when
  // the ANSI code page cannot hold some of them (`out` then stays as it was); `what` names
  // the field in the message ("The author").
  bool TextChecked(std::string& out, std::string& error, const std::string& what = {}) const;
  bool Modified() const;
  void SetModified(bool modified);

  TNotifyEvent OnChange;

 protected:
  bool CommandNotify(WORD code, WORD id) override;
  LRESULT DialogCode(const MSG* msg) override;
};

}  // namespace kv::ui
