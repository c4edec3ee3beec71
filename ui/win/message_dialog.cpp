#include "ui/message_dialog.h"

#include "base/utils.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/label.h"
#include "ui/placement.h"

namespace kv::ui {
namespace {

constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;
constexpr int kCheckBoxHeight = 17;

struct ButtonInfo {
  TMsgDlgButtons bit;
  const char* caption;
  int result;
};
constexpr ButtonInfo kButtons[] = {
    {mbYes, "&Yes", mrYes},
    {mbNo, "&No", mrNo},
    {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},
    {mbAbort, "&Abort", mrAbort},
    {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},
    {mbAll, "&All", mrAll},
    {mbNoToAll, "N&o to All", mrNoToAll},
    {mbYesToAll, "Yes to &All", mrYesToAll},
};

std::string TypeCaption(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::Warning:
      return "Warning";
    case TMsgDlgType::Error:
      return "Error";
    case TMsgDlgType::Information:
      return "Information";
    case TMsgDlgType::Confirmation:
      return "Confirmation";
    case TMsgDlgType::Custom:
      break;
  }
  return Application().Title();
}

LPCWSTR TypeIcon(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::Warning:
      return IDI_WARNING;
    case TMsgDlgType::Error:
      return IDI_ERROR;
    case TMsgDlgType::Information:
      return IDI_INFORMATION;
    case TMsgDlgType::Confirmation:
      return IDI_QUESTION;
    case TMsgDlgType::Custom:
      break;
  }
  return nullptr;
}

// An icon of the system's (shared: never destroyed).
class TIconView : public TCustomControl {
 public:
  TIconView(TWindow& parent, const TRect& bounds, HICON icon)
      : TCustomControl(parent, bounds), icon_(icon) {}

 protected:
  void Paint(TCanvas& canvas) override {
    DrawIconEx(canvas.Handle(), 0, 0, icon_, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  }

 private:
  HICON icon_;
};

std::function<void(TMessageForm&)>& Observer() {
  static std::function<void(TMessageForm&)> observer;
  return observer;
}

bool IsPushButton(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (_wcsicmp(cls, L"Button") != 0) return false;
  LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

int RunModal(TMessageForm& form) {
  if (Observer()) Observer()(form);
  return form.ShowModal();
}

// answered reads the form once the answer is given, before the form may be handed on.
int RunModal(std::unique_ptr<TMessageForm> form, TAnswerEnd end,
             const std::function<void()>& answered = nullptr) {
  form->SetHideAfterModal(end == TAnswerEnd::Hide);
  const int result = RunModal(*form);
  if (answered) answered();
  if (end == TAnswerEnd::MayEndProgram) Application().FreeUnlessEnding(std::move(form));
  return result;
}

}  // namespace

TMessageForm::TMessageForm(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)
    : TForm(TFormParams{TypeCaption(type), TRect::FromBounds(0, 0, 300, 150), TBorderStyle::Dialog,
                        Application().MainForm(), TFormPosition::ScreenCenter, false, false, 0}),
      text_(text) {
  // Measure the text in the dialog's font at the widest line allowed.
  TRect textRect{0, 0, kMaxTextWidth, 0};
  {
    TWindowCanvas canvas(Handle());
    canvas.SetFont(Font());
    canvas.DrawText(textRect, text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  }
  LPCWSTR iconName = TypeIcon(type);
  int textLeft = kMargin + (iconName ? kIconSize + kMargin * 2 : kMargin);
  int textHeight = IntMax(textRect.Height(), iconName ? kIconSize : 0);

  int count = 0;
  for (const ButtonInfo& b : kButtons) {
    if (buttons & b.bit) ++count;
  }
  if (count == 0) {
    buttons = mbOK;
    count = 1;
  }
  int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  int clientWidth = IntMax(textLeft + textRect.Width() + kMargin * 2, rowWidth + kMargin * 4);
  int buttonTop = kMargin * 2 + textHeight + kMargin * 2;
  int clientHeight = buttonTop + kButtonHeight + kMargin * 2;
  SetClientSize(clientWidth, clientHeight);

  if (iconName) {
    Add<TIconView>(*this, TRect::FromBounds(kMargin * 2, kMargin * 2, kIconSize, kIconSize),
                   LoadIconW(nullptr, iconName));
  }
  TLabel& label = Add<TLabel>(
      *this, text,
      TRect::FromBounds(textLeft, kMargin * 2, textRect.Width() + 4, textRect.Height()));
  (void)label;

  int x = (clientWidth - rowWidth) / 2;
  for (const ButtonInfo& b : kButtons) {
    if (!(buttons & b.bit)) continue;
    TButton& button = Add<TButton>(
        *this, b.caption, TRect::FromBounds(x, buttonTop, kButtonWidth, kButtonHeight), b.result);
    button.SetModalResult(b.result);
    buttons_.push_back(&button);
    x += kButtonWidth + kButtonGap;
  }
  // The default is OK or Yes; Escape answers Cancel, else No, else OK.
  TButton* def = ButtonFor(mrOk) ? ButtonFor(mrOk) : ButtonFor(mrYes);
  if (!def) def = buttons_.front();
  SetDefaultButton(def);
  TButton* cancel = ButtonFor(mrCancel);
  if (!cancel) cancel = ButtonFor(mrNo);
  if (!cancel) cancel = ButtonFor(mrOk);
  SetCancelButton(cancel);
  OnShow = [this, def] {
    if (def->Enabled()) def->SetFocus();
  };
  if (type == TMsgDlgType::Error || type == TMsgDlgType::Warning) MessageBeep(MB_ICONHAND);
}

TButton* TMessageForm::ButtonFor(int modalResult) const {
  for (TButton* b : buttons_) {
    if (b->ModalResult() == modalResult) return b;
  }
  return nullptr;
}

TCheckBox& TMessageForm::AddCheckBox(const std::string& caption, bool checked) {
  TRect client = ClientRect();
  TCheckBox& box = Add<TCheckBox>(
      *this, caption,
      TRect::FromBounds(kMargin, client.Height(), client.Width() - 2 * kMargin, kCheckBoxHeight));
  box.SetChecked(checked);
  SetClientSize(client.Width(), client.Height() + kCheckBoxHeight + kMargin);
  checkBox_ = &box;
  return box;
}

bool TMessageForm::CloseQuery() {
  for (TButton* b : buttons_) {
    if (b->Enabled()) return TForm::CloseQuery();
  }
  return false;
}

TInitialDisabledForm::TInitialDisabledForm(TForm& dialog, unsigned delayMs) : dialog_(dialog) {
  EnableButtons(false);
  HWND hwnd = dialog_.Handle();
  SetWindowLongW(hwnd, GWL_STYLE, GetWindowLongW(hwnd, GWL_STYLE) & ~WS_SYSMENU);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  timer_.SetInterval(delayMs);
  timer_.OnTimer = [this] { Elapsed(); };
  activated_ = dialog_.OnActivate.Subscribe([this] { Activated(); });
  deactivated_ = dialog_.OnDeactivate.Subscribe([this] { Deactivated(); });
  if (GetActiveWindow() == hwnd) Activated();
}

TInitialDisabledForm::~TInitialDisabledForm() = default;

void TInitialDisabledForm::EnableButtons(bool enable) {
  for (HWND child = GetWindow(dialog_.Handle(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsPushButton(child)) EnableWindow(child, enable);
  }
}

void TInitialDisabledForm::Activated() {
  if (armed_) timer_.Start();  // restarts the whole delay
}

void TInitialDisabledForm::Deactivated() {
  if (armed_) timer_.Stop();
}

void TInitialDisabledForm::Elapsed() {
  timer_.Stop();
  armed_ = false;
  EnableButtons(true);
  // The focus was nowhere while every button was disabled.
  HWND def =
      GetDlgItem(dialog_.Handle(), LOWORD(SendMessageW(dialog_.Handle(), DM_GETDEFID, 0, 0)));
  if (def && GetActiveWindow() == dialog_.Handle()) ::SetFocus(def);
}

int RunMessageForm(TMessageForm& form) { return RunModal(form); }

std::unique_ptr<TMessageForm> CreateMessageDialog(const std::string& text, TMsgDlgType type,
                                                  TMsgDlgButtons buttons) {
  return std::make_unique<TMessageForm>(text, type, buttons);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
               TAnswerEnd end) {
  return RunModal(CreateMessageDialog(text, type, buttons), end);
}

int MessageDlgDelayed(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                      int delayMs) {
  auto form = CreateMessageDialog(text, type, buttons);
  std::unique_ptr<TInitialDisabledForm> delay;
  if (delayMs > 100) delay = std::make_unique<TInitialDisabledForm>(*form, delayMs);
  return RunModal(*form);
}

int MessageDlgWithCheckBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           bool& checked, const std::string& checkBoxCaption, TAnswerEnd end) {
  auto form = CreateMessageDialog(text, type, buttons);
  TCheckBox& box = form->AddCheckBox(checkBoxCaption, checked);
  form->SetPosition(TFormPosition::Designed);
  CenterFormOver(*form, Application().MainForm());
  return RunModal(std::move(form), end, [&checked, &box] { checked = box.Checked(); });
}

void SetMessageDialogObserver(std::function<void(TMessageForm&)> observer) {
  Observer() = std::move(observer);
}

}  // namespace kv::ui
