#include "app/shell/win/splash_form.h"

#include "app/shell/win/release_later.h"
#include "base/utils.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/color.h"

namespace kv {

using namespace ui;

namespace {

TSplashForm* pendingSplash = nullptr;         // main thread
std::unique_ptr<TSplashForm1> startupSplash;  // main thread
std::unique_ptr<TSplashForm1> aboutBox;       // main thread

constexpr TColor kAqua = RGB(0, 255, 255);

TFormParams SplashParams(TWindow* owner) {
  TFormParams p;
  p.bounds = TRect::FromBounds(0, 0, 425, 197);
  p.border = TBorderStyle::None;
  p.owner = owner;
  p.position = TFormPosition::ScreenCenter;
  p.minimizeBox = false;
  p.maximizeBox = false;
  return p;
}

void PostContinuation() {
  TForm* main = Application().MainForm();
  if (main && main->HandleAllocated()) main->Post(kStartupContinuationMessage, 0, 0);
}

}  // namespace

TSplashForm::TSplashForm(TWindow* owner, const std::string& pictureName, bool about)
    : TForm(SplashParams(owner)), flow_(about) {
  picture_.LoadFromResource(pictureName);
  TFontSpec fontSpec;
  fontSpec.height = -12;
  versionFont_.Create(fontSpec);
  image_ = &Add<TCustomControl>(*this, TRect::FromBounds(0, 0, 425, 197));
  image_->SetAlign(TAlign::Client);
  image_->OnPaint = [this](TCanvas& canvas) {
    if (!picture_.Empty()) canvas.Draw(0, 0, picture_);
    PaintTexts(canvas);
  };
  image_->OnClick = [this] { ClickPicture(); };
  timer_.OnTimer = [this] { TimerFired(); };
  SetFormStyle(TFormStyle::StayOnTop);
  OnShow = [this] { Shown(); };
  OnHide = [this] { Hidden(); };
}

TSplashForm::~TSplashForm() {
  OnHide.Clear();
  timer_.Stop();
  if (pendingSplash == this) pendingSplash = nullptr;
}

TSplashForm* TSplashForm::Pending() {
  return pendingSplash;
}

void TSplashForm::Start() {
  if (Application().Terminated()) return;
  pendingSplash = this;
  if (picture_.Width() > 0 && picture_.Height() > 0)
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  AfterCreate();
  Show();
  Update();
}

void TSplashForm::Shown() {
  timer_.SetEnabled(flow_.TimerWanted());
  version_ = "V" + GetProgramVersion() + " build " + GetProgramBuild();
  image_->Invalidate();
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

void TSplashForm::PaintTexts(TCanvas& canvas) {
  canvas.SetFont(versionFont_.Handle());
  canvas.SetTextColor(clWhite);
  canvas.SetTextBackground(clNone);
  TRect r = TRect::FromBounds(0, Height() - 40, Width(), 20);
  canvas.DrawText(r, version_, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TSplashForm::ClickPicture() {
  timer_.Stop();
  Hide();
}

void TSplashForm::TimerFired() {
  timer_.Stop();
  Hide();
  // A minimised main window stays minimised: the application is restored and minimised
  // again with the main window moved off the screen meanwhile, then put back.
  TForm* main = Application().MainForm();
  if (main && main->HandleAllocated() && IsIconic(main->Handle())) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(main->Handle(), &placement);
    const RECT normal = placement.rcNormalPosition;
    const int width = normal.right - normal.left;
    OffsetRect(&placement.rcNormalPosition, -2 * width - normal.left, 0);
    SetWindowPlacement(main->Handle(), &placement);
    Application().Restore();
    Application().Minimize();
    GetWindowPlacement(main->Handle(), &placement);
    placement.rcNormalPosition = normal;
    SetWindowPlacement(main->Handle(), &placement);
  }
}

void TSplashForm::Hidden() {
  if (flow_.Hidden(Application().MainForm() && Application().MainForm()->HandleAllocated()))
    PostContinuation();
  if (pendingSplash == this) pendingSplash = nullptr;
}

LRESULT TSplashForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Stay visible while the owner is minimised or restored during the count-down.
  if (msg == WM_SHOWWINDOW && timer_.Enabled() &&
      (lp == SW_PARENTCLOSING || lp == SW_PARENTOPENING))
    return 1;
  return TForm::WndProc(msg, wp, lp);
}

TSplashForm1::TSplashForm1(TWindow* owner, bool about)
    : TSplashForm(owner, about ? "ABOUT" : "SPLASH", about) {
  TFontSpec fontSpec;
  fontSpec.name = "Tahoma";
  fontSpec.height = -27;
  fontSpec.bold = true;
  fontSpec.italic = true;
  editionFont_.Create(fontSpec);
  Start();
}

TSplashForm1::~TSplashForm1() {
  OnHide.Clear();
}

TSplashForm1* TSplashForm1::StartupSplashWindow() {
  return startupSplash.get();
}

TSplashForm1* TSplashForm1::AboutBox() {
  return aboutBox.get();
}

void TSplashForm1::AfterCreate() {
  HRGN region = CreateRoundRectRgn(0, 0, Width(), Height(), 20, 20);
  // The window owns the region from here on.
  if (region && !SetWindowRgn(Handle(), region, TRUE)) DeleteObject(region);
  edition_ = "Pro";
  fixedLine_ = "Events in, actions out, live on stage";
}

void TSplashForm1::PaintTexts(TCanvas& canvas) {
  canvas.SetTextBackground(clNone);
  canvas.SetFont(editionFont_.Handle());
  canvas.SetTextColor(clWhite);
  TRect edition = TRect::FromBounds(0, 24, Width() - 16, 36);
  canvas.DrawText(edition, edition_, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  canvas.SetFont(versionFont_.Handle());
  canvas.SetTextColor(kAqua);
  TRect version = TRect::FromBounds(0, Height() - 48, Width() - 16, 18);
  canvas.DrawText(version, version_, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  TRect fixed = TRect::FromBounds(0, Height() - 28, Width() - 16, 18);
  canvas.DrawText(fixed, fixedLine_, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
}

void TSplashForm1::Hidden() {
  TSplashForm::Hidden();
  if (startupSplash.get() == this) ReleaseLater(startupSplash);
  if (aboutBox.get() == this) ReleaseLater(aboutBox);
}

void ShowStartupSplash(TWindow* mainWindow) {
  if (!startupSplash) startupSplash = std::make_unique<TSplashForm1>(mainWindow, false);
  startupSplash->Show();
}

TSplashForm1& ShowAboutBox(TWindow* mainWindow) {
  if (!aboutBox) aboutBox = std::make_unique<TSplashForm1>(mainWindow, true);
  aboutBox->Show();
  return *aboutBox;
}

void FreeSplashWindows() {
  startupSplash.reset();
  aboutBox.reset();
}

void ContinueStartupAfterSplash() {
  const bool counting = pendingSplash && pendingSplash->StartupSplash() &&
                        pendingSplash->TimerRunning();
  if (ContinueStartupNow(counting, Application().MainForm() != nullptr)) PostContinuation();
}

}  // namespace kv
