#include "editor/win/help_pages.h"

#include "editor/hex_converter.h"
#include "editor/win/view_fields.h"
#include "ui/button.h"
#include "ui/label.h"

namespace kv {

using ui::TRect;

namespace {

struct THelpText {
  const char* caption;
  const char* text;
};

const THelpText kHelp[] = {
    {"General",
     "A translator waits for its Incoming trigger, runs its Rules and then executes its "
     "Outgoing action. Choose the kinds on the Incoming [F6] and Outgoing [F8] pages, write "
     "rules on the Rules [F7] page and name the translator on the Options [F5] page. Apply "
     "(Ctrl+A) puts the changes into the preset; Revert (Ctrl+R) shows the translator as it "
     "was. Ctrl+N and Ctrl+P edit the next and the previous translator."},
    {"Variables",
     "Variables hold 32-bit numbers. The local variables oo, pp, qq, rr, ss, tt, uu, vv, ww "
     "and xx belong to one incoming event; the global variables ga to gz, g0 to g9 and the "
     "other names from g to n keep their values while the program runs. Wherever a number "
     "may be entered, a variable may be named instead."},
    {"Midi Message",
     "MIDI messages are written as hexadecimal bytes separated by blanks, e.g. 90 40 7F for a "
     "Note On of note 64 with velocity 127. A variable in place of a byte matches any value "
     "in a trigger and receives it; in an outgoing message it sends its value."},
    {"Messages and Controllers",
     "8n: Note Off, 9n: Note On, An: Polyphonic Aftertouch, Bn: Control Change, Cn: Program "
     "Change, Dn: Channel Aftertouch, En: Pitch Bend; n is the channel minus one (0 to F). "
     "Controller 07 is the channel volume, 0A the pan, 40 the sustain pedal."},
    {"Keystrokes",
     "Click into the key field and press the keys. A key press sends down and up; a sequence "
     "sends several keys in turn. Check the box beside the field to record Tab and Backspace."},
    {"Mouse",
     "Movement moves the pointer by mickeys, Abs Position moves it to a screen position, "
     "Button Clicks press and release a button, Wheel turns a wheel by ticks."},
    {"Timers",
     "A timer action starts a named timer once, several times or until it is killed. A "
     "translator with a Timer trigger of the same name runs each time the timer fires."},
    {"Rules",
     "One rule per line, e.g. pp = pp + 1, if pp > 10 then exit rules and do not execute, "
     "label \"top\", goto \"top\". The builder under the text shows the rule at the caret."},
    {"Messages",
     "WM_ Messages posts a window message to another program's window, found by its class "
     "name or its title. The message is a number or a name registered with the system."},
};

}  // namespace

THelpPages::THelpPages(ui::TWindow& parent, const TRect& bounds) {
  pages_ = &parent.Add<ui::TPageControl>(parent, bounds);
  for (const THelpText& help : kHelp) {
    ui::TTabSheet& page = pages_->AddPage(help.caption);
    const TRect client = page.ClientRect();
    const bool converter = std::string(help.caption) == "Midi Message";
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
