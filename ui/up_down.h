#pragma once
// An up-down control, usually beside an edit box (its buddy) whose number it steps.
#include "ui/window.h"

namespace kv::ui {

class TEdit;

class TUpDown : public TWindow {
 public:
  TUpDown() = default;
  TUpDown(TWindow& parent, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, int id = 0);

  // Attaches to the right of the edit and writes each position into it.
  void SetBuddy(TEdit& edit);
  void SetRange(int min, int max);
  int Min() const;
  int Max() const;
  int Position() const;
  void SetPosition(int position);

  // The user stepped: position is the new value.
  TEvent<void(int position)> OnChange;

 protected:
  bool Notify(NMHDR* header, LRESULT& result) override;
  bool ScrollNotify(int code, int position) override;
};

}  // namespace kv::ui
