#include "ui/toolbar.h"

#include <commctrl.h>

#include "base/win/wide.h"
#include "ui/action.h"
#include "ui/graphics.h"
#include "ui/hint_text.h"

namespace kv::ui {
namespace {
constexpr int kFirstButtonCommand = 0x100;
// Transparent pixels while the disabled images are made; no image of ours uses it.
constexpr COLORREF kKeyColor = RGB(255, 0, 255);

class TMemoryDC {
 public:
  explicit TMemoryDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_, bitmap);
  }
  ~TMemoryDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

COLORREF Greyed(COLORREF c) {
  const int luma = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
  const int grey = 128 + luma / 2;
  return RGB(grey, grey, grey);
}
}  // namespace

void MakeDisabledImages(const TImageList& source, TImageList& target) {
  target.Create(source.Width(), source.Height());
  for (int i = 0; i < source.Count(); ++i) {
    TBitmap image;
    image.Create(source.Width(), source.Height(), kKeyColor);
    {
      TMemoryDC dc(image.Handle());
      source.Draw(dc.Handle(), i, 0, 0);
      for (int y = 0; y < source.Height(); ++y) {
        for (int x = 0; x < source.Width(); ++x) {
          const COLORREF c = GetPixel(dc.Handle(), x, y);
          if (c != kKeyColor) SetPixel(dc.Handle(), x, y, Greyed(c));
        }
      }
    }
    target.AddStrip(image, kKeyColor);
  }
}

TToolBar::TToolBar(TWindow& parent, const TImageList& images, int id) {
  Create(parent, images, id);
}

TToolBar::~TToolBar() {
  for (const Button& b : buttons_) b.action->RemoveClient(b.client);
}

void TToolBar::Create(TWindow& parent, const TImageList& images, int id) {
  TCreateParams p;
  p.className = TOOLBARCLASSNAMEW;
  // The control would move itself to the top of its parent whenever it is sized; the layer's
  // alignment places it instead, so stacked toolbars keep their rows.
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
            CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
  Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Handle()));
  AutoSize();
  SetAlign(TAlign::Top);
}

int TToolBar::AddButton(TAction& action, bool checkButton) {
  Button b{kFirstButtonCommand + static_cast<int>(buttons_.size()), &action, 0};
  TBBUTTON tb{};
  tb.iBitmap = action.ImageIndex() >= 0 ? action.ImageIndex() : I_IMAGENONE;
  tb.idCommand = b.command;
  tb.fsState = TBSTATE_ENABLED;
  tb.fsStyle = static_cast<BYTE>(BTNS_BUTTON | (checkButton ? BTNS_CHECK : 0));
  Perform(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
  b.client = action.AddClient([this, command = b.command] {
    for (const Button& button : buttons_) {
      if (button.command == command) ActionChanged(button);
    }
  });
  buttons_.push_back(b);
  ActionChanged(b);
  AutoSize();
  return ButtonCount() - 1;
}

void TToolBar::AddSeparator() {
  TBBUTTON tb{};
  tb.fsStyle = BTNS_SEP;
  Perform(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
}

int TToolBar::ButtonCount() const {
  return static_cast<int>(Perform(TB_BUTTONCOUNT));
}

bool TToolBar::ButtonEnabled(int index) const {
  TBBUTTON tb{};
  Perform(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb));
  return Perform(TB_ISBUTTONENABLED, static_cast<WPARAM>(tb.idCommand)) != 0;
}

bool TToolBar::ButtonChecked(int index) const {
  TBBUTTON tb{};
  Perform(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb));
  return Perform(TB_ISBUTTONCHECKED, static_cast<WPARAM>(tb.idCommand)) != 0;
}

void TToolBar::AutoSize() {
  SIZE content{};
  Perform(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&content));
  const int buttonHeight = HIWORD(Perform(TB_GETBUTTONSIZE));
  const int height = content.cy > buttonHeight ? content.cy : buttonHeight;
  const bool spansWidth = Align() == TAlign::Top || Align() == TAlign::Bottom;
  const TRect b = BoundsRect();
  if (height == b.Height() && (spansWidth || content.cx == b.Width())) return;
  SetBounds(b.left, b.top, spansWidth ? b.Width() : content.cx, height);
}

void TToolBar::SetDisabledImages(const TImageList* images) {
  Perform(TB_SETDISABLEDIMAGELIST, 0,
          reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
  Invalidate();
}

void TToolBar::ActionChanged(const Button& b) {
  Perform(TB_ENABLEBUTTON, static_cast<WPARAM>(b.command), b.action->Enabled());
  Perform(TB_CHECKBUTTON, static_cast<WPARAM>(b.command), b.action->Checked());
  Perform(TB_HIDEBUTTON, static_cast<WPARAM>(b.command), !b.action->Visible());
}

bool TToolBar::CommandNotify(WORD, WORD id) {
  for (const Button& b : buttons_) {
    if (b.command == id) {
      // A check button toggled itself; the action's handler sets the state it wants.
      TAction* action = b.action;
      action->Execute();
      ActionChanged(b);
      return true;
    }
  }
  return false;
}

bool TToolBar::Notify(NMHDR* header, LRESULT&) {
  if (header->code != TTN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  for (const Button& b : buttons_) {
    if (static_cast<UINT_PTR>(b.command) == header->idFrom) {
      std::string hint = GetShortHint(b.action->Hint());
      if (hint.empty()) hint = b.action->Caption();
      tipWide_ = win::Widen(hint);
      info->lpszText = tipWide_.data();
      return true;
    }
  }
  return false;
}

}  // namespace kv::ui
