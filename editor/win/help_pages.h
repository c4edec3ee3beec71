#pragma once
// The translator editor's help pages: fixed explanations of each part of a translator, and
// on the "Midi Message" page the converter between hexadecimal and decimal numbers.
#include "ui/edit.h"
#include "ui/page_control.h"

namespace kv {

class THelpPages {
 public:
  THelpPages(ui::TWindow& parent, const ui::TRect& bounds);
  THelpPages(const THelpPages&) = delete;
  THelpPages& operator=(const THelpPages&) = delete;

  ui::TPageControl& Control() { return *pages_; }
  ui::TEdit& Hex() { return *hex_; }
  ui::TEdit& Dec() { return *dec_; }
  // Empties both converter fields.
  void ClearConverter();
  // The converter fields take part in Tab navigation only while the help shows.
  void SetConverterTabStops(bool on);

 private:
  ui::TPageControl* pages_;
  ui::TEdit* hex_;
  ui::TEdit* dec_;
  bool writing_ = false;  // one field writes into the other: its change is not converted back
};

}  // namespace kv
