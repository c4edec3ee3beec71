#include "controls/gallery/choice_controls_block.h"

#include "ui/canvas.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/radio_group.h"
#include "ui/track_bar.h"

namespace kv::gallery {
namespace {

ui::TLabel& MnemonicLabel(ui::TWindow& parent, const std::string& caption, int x, int y) {
  auto& label = parent.Add<ui::TLabel>(parent, caption, ui::TRect::FromBounds(x, y, 60, 16));
  label.SetShowAccelChar(true);
  return label;
}

// Two inputs joined to two outputs the way the router page draws them: port circles, thick
// strokes with a highlight, and a polyline for a connection being dragged.
void PaintConnections(ui::TCanvas& c, const ui::TRect& r) {
  c.FillRect(r, ui::RgbColor(240, 240, 240));
  c.FrameRect(r, ui::clGray);
  const int left = 30, right = r.right - 30;
  const int rows[2] = {35, 85};
  auto stroke = [&](int y1, int y2, ui::TColor color) {
    c.SetThickPen(color, 5);
    c.Line(left, y1, right, y2);
    c.SetPen(ui::clWhite, 1);
    c.Line(left, y1 - 1, right, y2 - 1);
  };
  stroke(rows[0], rows[1], ui::clBlack);
  stroke(rows[1], rows[1], ui::RgbColor(0, 0, 255));
  c.SetThickPen(ui::RgbColor(200, 0, 0), 2, ui::TPenCap::Flat);
  c.Polyline({{left, rows[0]}, {r.Width() / 2, 15}, {right - 20, 20}});
  c.SetPen(ui::clBlack, 2);
  c.SetBrush(ui::RgbColor(255, 220, 80));
  for (int y : rows) {
    c.Ellipse(ui::TRect::FromBounds(left - 12, y - 10, 20, 20));
    c.Ellipse(ui::TRect::FromBounds(right - 8, y - 10, 20, 20));
  }
}

}  // namespace

void AddChoiceControls(ui::TWindow& parent, ui::TForm& form, int top) {
  MnemonicLabel(parent, "&Name:", 10, top + 4);
  auto& name = parent.Add<ui::TEdit>(parent, ui::TRect::FromBounds(75, top, 135, 22));
  name.SetText("Opening set");
  MnemonicLabel(parent, "&Channel:", 10, top + 34);
  auto& channel = parent.Add<ui::TEdit>(parent, ui::TRect::FromBounds(75, top + 30, 135, 22));
  channel.SetText("1");

  MnemonicLabel(parent, "&Velocity:", 10, top + 66);
  ui::TTrackBar& velocity =
      parent.Add<ui::TTrackBar>(parent, ui::TRect::FromBounds(70, top + 62, 145, 34));
  velocity.SetRange({0, 127, 100, 1, 16, 16});

  auto& ports = parent.Add<ui::TRadioGroup>(parent, "Number of virtual MIDI ports",
                                            ui::TRect::FromBounds(225, top, 180, 130));
  ports.SetItems({"1 port", "2 ports", "3 ports", "4 ports", "5 ports"});
  ports.SetItemIndex(2);

  auto& monitor = parent.Add<ui::TListBox>(parent, ui::TRect::FromBounds(415, top + 5, 170, 125));
  monitor.SetItems({"90 3C 64  Note On", "80 3C 00  Note Off", "B0 07 7F  Control Change",
                    "C0 05  Program Change", "", "", "", ""});
  monitor.SetItemIndex(0);

  auto& sketch =
      parent.Add<ui::TCustomControl>(parent, ui::TRect::FromBounds(595, top + 5, 205, 125));
  sketch.OnPaint = [&sketch](ui::TCanvas& c) { PaintConnections(c, sketch.ClientRect()); };

  // Tall enough for the block.
  const int needed = top + 140;
  const int missing = needed - parent.ClientRect().Height();
  if (missing > 0) form.SetBounds(form.Left(), form.Top(), form.Width(), form.Height() + missing);
}

}  // namespace kv::gallery
