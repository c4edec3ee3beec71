#pragma once
// Small pieces the editor's views share: a combo box that copies itself to and from a
// TComboModel, and the guard that keeps a view's own writes into its controls from being
// read back as the user's changes.
#include <functional>
#include <string>
#include <vector>

#include "editor/value_fields.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/label.h"

namespace kv {

// An editable (or drop-down list) combo mirroring a TComboModel. After the user picked an
// item the edit part may still show the old text while the change is reported, so the picked
// item's text is read instead; text typed that is an item's chooses that item.
class TModelCombo : public ui::TComboBox {
 public:
  TModelCombo(ui::TWindow& parent, const ui::TRect& bounds,
              ui::TComboStyle style = ui::TComboStyle::DropDown);

  // Items, chosen item and text from the model.
  void Show(const TComboModel& model);
  // The user's text and chosen item into the model.
  void Read(TComboModel& model) const;

 protected:
  bool CommandNotify(WORD code, WORD id) override;

 private:
  bool picked_ = false;  // the change being reported is a pick from the list
  // The items last put in: only Show fills the list, so it is compared here and not read back
  // item by item, which cost the editor's refresh most of its time.
  std::vector<std::string> shownItems_;
};

// Counts the view's own writes into its controls; handlers made by Guard do nothing while
// one is under way.
class TViewSync {
 public:
  class TScope {
   public:
    explicit TScope(TViewSync& sync) : sync_(sync) { ++sync_.depth_; }
    ~TScope() { --sync_.depth_; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TViewSync& sync_;
  };
  bool Busy() const { return depth_ > 0; }
  // A handler for a control's change event: runs fn only for the user's changes.
  std::function<void()> Guard(std::function<void()> fn) {
    return [this, fn = std::move(fn)] {
      if (!Busy()) fn();
    };
  }

 private:
  int depth_ = 0;
};

// Sets the text only when it differs (an edit's caret stays where the user typed).
void SetTextIfChanged(ui::TWindow& control, const std::string& text);
void SetCheckedIfChanged(ui::TCheckBox& box, bool checked);

// Every child control, recursively, enabled or disabled; the control itself excepted.
void EnableControlTree(ui::TWindow& control, bool enabled);

ui::TGroupBox& AddGroupBox(ui::TWindow& parent, const std::string& caption, const ui::TRect& bounds);
// Puts every group box under the window beneath its siblings, so it frames the controls that
// stand in it instead of hiding them (Windows stacks children in the order they were made).
void SinkGroupBoxes(ui::TWindow& root);

// Label-and-control rows laid out left to right at one height.
ui::TLabel& AddLabel(ui::TWindow& parent, const std::string& caption, int x, int y, int width);

}  // namespace kv
