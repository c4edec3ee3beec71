#pragma once
// A page that several property dialogs can host. The page keeps its edits until the hosting
// dialog applies or reverts them. Main thread only.
#include <functional>

namespace kv {

class TPropertyPanel {
 public:
  using TChangeEvent = std::function<void(TPropertyPanel& sender)>;

  virtual ~TPropertyPanel() = default;

  // Fills the page from the model and forgets earlier edits.
  virtual void LoadValues() = 0;
  // Drops the page's edits (the dialog was cancelled).
  virtual void Revert() = 0;
  // Writes the edits to the model. With showErrors the page reports its own errors to the
  // user; without, it raises them to the caller.
  virtual void Apply(bool showErrors) = 0;

  // Set by the hosting dialog; the page calls it when the user changes something.
  TChangeEvent OnPanelChange;

  // The window side parents, shows and hides the page; the model only remembers it.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibleChanged();
  }
  bool Hosted() const { return hosted_; }
  void SetHosted(bool hosted) { hosted_ = hosted; }

 protected:
  // The page was shown or hidden.
  virtual void VisibleChanged() {}
  void PanelChanged() {
    if (OnPanelChange) OnPanelChange(*this);
  }

 private:
  bool visible_ = false;
  bool hosted_ = false;
};

}  // namespace kv
