#include "app/shell/win/other_programs_form.h"

#include <cstring>
#include <random>

#include "app/shell/win/release_later.h"
#include "base/texts.h"
#include "base/win/wide.h"
#include "controls/win/web_label.h"
#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/placement.h"

namespace kv {

using namespace ui;

namespace {

std::unique_ptr<TPublicityForm> publicityWindow;  // main thread
std::string lastError;                             // main thread

constexpr int kClientWidth = 385;
constexpr int kClientHeight = 235;

TFormParams PublicityParams(TWindow* owner) {
  TFormParams p;
  p.caption = "Other programs by Zarn";
  p.bounds = TRect::FromBounds(0, 0, kClientWidth, kClientHeight);
  p.border = TBorderStyle::Dialog;
  p.owner = owner;
  p.minimizeBox = false;
  p.maximizeBox = false;
  return p;
}

TPublicityPresenter& ProgramPresenter() {
  static TModulePublicityResources resources;
  static std::mt19937 generator(GetTickCount());
  static TPublicityPresenter presenter(resources, GetProgramTitle(), [](int n) {
    return static_cast<int>(generator() % static_cast<unsigned>(n));
  });
  return presenter;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

}  // namespace

TModulePublicityResources::TModulePublicityResources(HINSTANCE module)
    : module_(module ? module : GetModuleHandleW(nullptr)) {}

std::optional<std::string> TModulePublicityResources::Read(const wchar_t* name) {
  HRSRC found = FindResourceW(module_, name, L"PUBLICITY");
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(module_, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
}

std::optional<std::string> TModulePublicityResources::Named(const std::string& name) {
  return Read(win::Widen(name).c_str());
}

std::optional<std::string> TModulePublicityResources::Numbered(int32_t id) {
  if (id <= 0 || id > 0xFFFF) return std::nullopt;
  return Read(MAKEINTRESOURCEW(id));
}

TBitmap BitmapFromFile(const std::string& bytes) {
  TBitmap bitmap;
  if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return bitmap;
  BITMAPFILEHEADER file;
  std::memcpy(&file, bytes.data(), sizeof file);
  if (file.bfOffBits >= bytes.size()) return bitmap;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof file);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section) return bitmap;
  const size_t available = bytes.size() - file.bfOffBits;
  DIBSECTION dib{};
  GetObjectW(section, sizeof dib, &dib);
  std::memcpy(bits, bytes.data() + file.bfOffBits,
              std::min<size_t>(available, dib.dsBmih.biSizeImage ? dib.dsBmih.biSizeImage
                                                                 : available));
  bitmap.Adopt(section);
  return bitmap;
}

TPublicityForm::TPublicityForm(TWindow* owner, TPublicityPresenter& presenter)
    : TForm(PublicityParams(owner)), presenter_(presenter) {
  font_.CreateMessageFont();
  // The window was made with the client size as its outer size: grow it to hold the client.
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  SetFont(font_.Handle(), false);

  picture_ = &Add<TCustomControl>(*this, TRect::FromBounds((kClientWidth - 300) / 2, 10, 300, 50));
  picture_->OnPaint = [this](TCanvas& canvas) {
    if (!bitmap_.Empty()) canvas.Draw(0, 0, bitmap_);
  };
  picture_->OnClick = [this] { link_->OpenLink(); };

  TLabel& internet = Add<TLabel>(*this, "Internet:", TRect::FromBounds(12, 72, 70, 16));
  internet.SetFont(font_.Handle(), false);
  link_ = &Add<TZarnWebLabel>(*this, "", TRect::FromBounds(84, 72, kClientWidth - 96, 16));

  TLabel& descr = Add<TLabel>(*this, "Description:", TRect::FromBounds(12, 94, 100, 16));
  descr.SetFont(font_.Handle(), false);
  TEditOptions options;
  options.multiLine = true;
  options.readOnly = true;
  description_ = &Add<TEdit>(*this, TRect::FromBounds(12, 112, kClientWidth - 24, 78), options);
  description_->SetFont(font_.Handle(), false);
  HWND edit = description_->Handle();
  SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(edit, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  const int buttonTop = kClientHeight - 35;
  next_ = &Add<TButton>(*this, "Next", TRect::FromBounds(kClientWidth - 176, buttonTop, 78, 25));
  ok_ = &Add<TButton>(*this, "OK", TRect::FromBounds(kClientWidth - 90, buttonTop, 78, 25), mrOk);
  next_->SetFont(font_.Handle(), false);
  ok_->SetFont(font_.Handle(), false);
  next_->OnClick = [this] { ShowNextEntry(); };
  ok_->OnClick = [this] { Close(); };
  SetDefaultButton(ok_);
  SetCancelButton(ok_);
  OnShow = [this] { Shown(); };
  OnClose = [this](TCloseAction&) {
    if (publicityWindow.get() == this) ReleaseLater(publicityWindow);
  };
}

TPublicityForm::~TPublicityForm() = default;

TPublicityForm* TPublicityForm::Instance() {
  return publicityWindow.get();
}

std::string TPublicityForm::LastError() {
  return lastError;
}

void TPublicityForm::Shown() {
  CenterFormOver(*this, dynamic_cast<TForm*>(Owner()));
  ShowNextEntry();
}

bool TPublicityForm::ShowNextEntry() {
  TPublicityView view;
  if (!presenter_.Next(view, error_)) {
    lastError = error_;
    // Post the close: this may run inside the window's own show or click handling.
    Application().Post([this] {
      if (publicityWindow.get() == this) Close();
    });
    return false;
  }
  TBitmap bitmap = BitmapFromFile(view.picture);
  entry_ = std::move(view);
  description_->SetText(JoinLines(entry_.body));
  description_->SetSelection(0, 0);
  link_->SetUrl(entry_.link);
  picture_->SetCursor(TZarnWebLabel::BrowserAvailable() ? LoadCursorW(nullptr, IDC_HAND)
                                                         : nullptr);
  picture_->SetHint(entry_.name);
  bitmap_ = std::move(bitmap);
  picture_->Invalidate();
  return true;
}

TPublicityForm& ShowOtherProgramsWindow(TWindow* mainWindow, TPublicityPresenter* presenter) {
  if (!publicityWindow)
    publicityWindow = std::make_unique<TPublicityForm>(
        mainWindow, presenter ? *presenter : ProgramPresenter());
  if (!publicityWindow->Visible()) publicityWindow->Show();
  return *publicityWindow;
}

}  // namespace kv
