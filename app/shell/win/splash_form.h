#pragma once
// The splash window and the About box. The start-up splash shows the product picture and the
// version for three seconds (or until clicked) and, when it hides, posts the main window's
// start-up continuation (0x47D) once; the About box is the same window without the count-down
// and never continues anything. Both are borderless, on top and centred on the screen; they
// paint the picture and their texts themselves, and a click anywhere hides them.
#include <memory>
#include <string>

#include "app/shell/splash_flow.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/timer.h"

namespace kv {

class TSplashForm : public ui::TForm {
 public:
  ~TSplashForm() override;

  // The texts as painted.
  const std::string& VersionText() const { return version_; }
  bool TimerRunning() const { return timer_.Enabled(); }
  bool StartupSplash() const { return flow_.Startup(); }
  int PictureWidth() const { return picture_.Width(); }
  int PictureHeight() const { return picture_.Height(); }
  // As a click on the picture or a label: stop counting and hide.
  void ClickPicture();

  // The splash created last, while it has not hidden.
  static TSplashForm* Pending();

 protected:
  TSplashForm(ui::TWindow* owner, const std::string& pictureName, bool about);
  // Sizes the window to the picture, runs AfterCreate, shows and paints at once. The most
  // derived constructor calls it last.
  void Start();
  virtual void AfterCreate() {}
  virtual void PaintTexts(ui::TCanvas& canvas);
  virtual void Hidden();
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  TSplashFlow flow_;
  std::string version_;
  ui::TFont versionFont_;

 private:
  void Shown();
  void TimerFired();

  ui::TBitmap picture_;
  ui::TTimer timer_{kSplashShowMs};
  ui::TCustomControl* image_ = nullptr;
};

// The product splash and About box: a rounded window, the edition, the version and a fixed
// line of text at the right in aqua.
class TSplashForm1 final : public TSplashForm {
 public:
  TSplashForm1(ui::TWindow* owner, bool about);
  ~TSplashForm1() override;

  const std::string& EditionText() const { return edition_; }

  // The start-up splash and the About box while they exist.
  static TSplashForm1* StartupSplashWindow();
  static TSplashForm1* AboutBox();

 protected:
  void AfterCreate() override;
  void PaintTexts(ui::TCanvas& canvas) override;
  void Hidden() override;

 private:
  std::string edition_;
  std::string fixedLine_;
  ui::TFont editionFont_;
};

// Creates the start-up splash (when there is none) over the main window and shows it.
void ShowStartupSplash(ui::TWindow* mainWindow);
// Creates the About box when there is none, else shows the open one.
TSplashForm1& ShowAboutBox(ui::TWindow* mainWindow);
// Frees the splash and About windows still there at the program's end (closed while the
// splash was counting): they must go while the application object still exists.
void FreeSplashWindows();
// After the main window's first show: posts the continuation now unless the start-up splash
// is still counting down.
void ContinueStartupAfterSplash();

}  // namespace kv
