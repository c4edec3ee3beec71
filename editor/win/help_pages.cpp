#include "editor/win/help_pages.h"

#include "editor/help_texts.h"
#include "editor/hex_converter.h"
#include "editor/win/view_fields.h"
#include "ui/button.h"
#include "ui/label.h"

namespace kv {

using ui::TRect;

THelpPages::THelpPages(ui::TWindow& parent, const TRect& bounds) {
  pages_ = &parent.Add<ui::TPageControl>(parent, bounds);
  for (const THelpPageText& help : EditorHelpPages()) {
    ui::TTabSheet& page = pages_->AddPage(help.caption);
    const TRect client = page.ClientRect();
    const bool converter = help.caption == "Midi Message";
    const int textWidth = client.Width() - 16 - (converter ? 200 : 0);
    page.Add<ui::TLabel>(page, help.text, TRect::FromBounds(8, 8, textWidth, client.Height() - 16));
    if (!converter) continue;
    const int x = client.Width() - 196;
    AddGroupBox(page, "Hex <-> Dec Converter", TRect::FromBounds(x, 4, 188, 80));
    AddLabel(page, "Hex:", x + 10, 27, 36);
    hex_ = &page.Add<ui::TEdit>(page, TRect::FromBounds(x + 50, 24, 120, 22));
    AddLabel(page, "Dec:", x + 10, 55, 36);
    dec_ = &page.Add<ui::TEdit>(page, TRect::FromBounds(x + 50, 52, 120, 22));
    SinkGroupBoxes(page);
  }
  hex_->OnChange = [this] {
    if (writing_) return;
    const THexConversion result = HexToDecimalText(hex_->Text());
    writing_ = true;
    dec_->SetText(result.text);
    writing_ = false;
  };
  dec_->OnChange = [this] {
    if (writing_) return;
    const THexConversion result = DecimalToHexText(dec_->Text());
    writing_ = true;
    hex_->SetText(result.text);
    writing_ = false;
  };
  pages_->Hide();
  SetConverterTabStops(false);
}

void THelpPages::ClearConverter() {
  writing_ = true;
  hex_->SetText("");
  dec_->SetText("");
  writing_ = false;
}

void THelpPages::SetConverterTabStops(bool on) {
  for (ui::TEdit* edit : {hex_, dec_}) {
    LONG style = GetWindowLongW(edit->Handle(), GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(edit->Handle(), GWL_STYLE, style);
  }
}

}  // namespace kv
