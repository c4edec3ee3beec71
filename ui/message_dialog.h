#pragma once
// Message dialogs: an icon, a text and a row of buttons, laid out in code from the text's
// size. A delayed dialog keeps its buttons disabled (and has no close box) until it has
// been the active window for the whole delay, so a key pressed by chance during a show
// cannot answer it.
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog_types.h"
#include "ui/form.h"
#include "ui/timer.h"

#include <functional>

namespace kv::ui {

class TButton;
class TCheckBox;
class TLabel;

class TMessageForm : public TForm {
 public:
  TMessageForm(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);

  const std::vector<TButton*>& Buttons() const { return buttons_; }
  TButton* ButtonFor(int modalResult) const;
  const std::string& MessageText() const { return text_; }
  // Adds a check box below the text and buttons and grows the dialog to hold it.
  TCheckBox& AddCheckBox(const std::string& caption, bool checked);
  TCheckBox* CheckBox() const { return checkBox_; }

 protected:
  // No answer while every button is disabled (Alt+F4 included).
  bool CloseQuery() override;

 private:
  std::string text_;
  std::vector<TButton*> buttons_;
  TCheckBox* checkBox_ = nullptr;
};

// Keeps the push buttons of a dialog disabled until the dialog has been active for delayMs
// without interruption; the dialog loses its system menu (and close box) meanwhile. It listens
// to the dialog's OnActivate and OnDeactivate beside any other listener.
class TInitialDisabledForm {
 public:
  TInitialDisabledForm(TForm& dialog, unsigned delayMs);
  ~TInitialDisabledForm();
  TInitialDisabledForm(const TInitialDisabledForm&) = delete;
  TInitialDisabledForm& operator=(const TInitialDisabledForm&) = delete;

  bool Armed() const { return armed_; }
  bool Counting() const { return timer_.Enabled(); }

 private:
  void EnableButtons(bool enable);
  void Activated();
  void Deactivated();
  void Elapsed();

  TForm& dialog_;
  bool armed_ = true;
  TTimer timer_;
  TSubscription activated_;
  TSubscription deactivated_;
};

std::unique_ptr<TMessageForm> CreateMessageDialog(const std::string& text, TMsgDlgType type,
                                                  TMsgDlgButtons buttons);
// How a question leaves the screen: hidden when answered, or, when its answer may be the
// program's last, left to TApplication::FreeUnlessEnding.
enum class TAnswerEnd { Hide, MayEndProgram };
// Modal; returns the modal result.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
               TAnswerEnd end = TAnswerEnd::Hide);
// Modal; buttons disabled for delayMs of activity when delayMs is above 100.
int MessageDlgDelayed(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                      int delayMs);
// Modal, centred over the main form, with a check box; checked is in and out.
int MessageDlgWithCheckBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           bool& checked, const std::string& checkBoxCaption,
                           TAnswerEnd end = TAnswerEnd::Hide);

// Called with every message dialog just before it shows modally (tests answer it from here).
void SetMessageDialogObserver(std::function<void(TMessageForm&)> observer);
// Shows a dialog made by CreateMessageDialog and changed by its caller, as every message
// dialog shows (the observer sees it); the modal result.
int RunMessageForm(TMessageForm& form);

}  // namespace kv::ui
