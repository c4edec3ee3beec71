#include "editor/help_texts.h"

namespace kv {

const std::vector<std::string>& HelpRuleExamples() {
  static const std::vector<std::string> examples = {
      "pp = pp + 1",
      "if pp > 10 then exit rules, skip Outgoing Action",
      "label \"top\"",
      "goto \"top\"",
  };
  return examples;
}

namespace {

std::string RulesText() {
  std::string text = "One rule per line, for example:\r\n";
  for (const std::string& example : HelpRuleExamples()) text += "      " + example + "\r\n";
  return text + "The builder under the text shows the rule at the caret.";
}

}  // namespace

const std::vector<THelpPageText>& EditorHelpPages() {
  static const std::vector<THelpPageText> pages = {
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
       "sends several keys in turn. Check the box beside the field to record Tab and "
       "Backspace."},
      {"Mouse",
       "Movement moves the pointer by mickeys, Abs Position moves it to a screen position, "
       "Button Clicks press and release a button, Wheel turns a wheel by ticks."},
      {"Timers",
       "A timer action starts a named timer once, several times or until it is killed. A "
       "translator with a Timer trigger of the same name runs each time the timer fires."},
      {"Rules", RulesText()},
      {"Messages",
       "WM_ Messages posts a window message to another program's window, found by its class "
       "name or its title. The message is a number or a name registered with the system."},
  };
  return pages;
}

}  // namespace kv
