#pragma once
// The window of a hostable page. It lives as long as its page: while a dialog shows it, it
// sits in the dialog's page area; otherwise it waits in a hidden parking window, so that a
// dialog going away never takes the page's window with it.
#include <functional>

#include <string>

#include "editor/props/property_panel.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/window.h"

namespace kv {

class TPageView : public ui::TPanel {
 public:
  explicit TPageView(TPropertyPanel& model);
  ~TPageView() override;

  TPropertyPanel& Model() { return model_; }
  // Copies the page's values into the controls.
  virtual void Load() = 0;
  // The smallest client size the page looks right in.
  virtual ui::TSize MinSize() const { return {300, 170}; }

  void HostIn(ui::TWindow& area);
  void Park();
  bool Hosted() const { return hosted_; }

  // Set by the hosting dialog: the user changed something on the page.
  std::function<void()> OnEdited;

 protected:
  static constexpr int kMargin = 8;

  void Edited() {
    if (OnEdited) OnEdited();
  }
  // The bold title and the word-wrapped help text at the top of the page.
  void AddTitle(const std::string& title, const std::string& help, int helpHeight);
  ui::TLabel& Help() { return *help_; }
  // The width the page's controls take between its margins.
  int ContentWidth() const;
  // Places the title and the help text, then the page's own controls (Layout).
  void Resized() override;
  virtual void Layout() {}

 private:
  TPropertyPanel& model_;
  ui::TFont bold_;
  ui::TLabel* title_ = nullptr;
  ui::TLabel* help_ = nullptr;
  int helpHeight_ = 0;
  bool hosted_ = false;
};

// The hidden window that holds the page windows no dialog shows; made on first use.
ui::TWindow& PageParking();
// Frees the parking window; every page window must be gone first.
void FreePageParking();

}  // namespace kv
