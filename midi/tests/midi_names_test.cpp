#include "midi/model/midi_names.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(MidiNames, ControllerNamesAndFallback) {
  EXPECT_EQ(GetMidiControllerName(7, false), "Channel Volume");
  EXPECT_EQ(GetMidiControllerName(127, false), "Poly Mode On");
  EXPECT_EQ(GetMidiControllerName(3, false), "");
  EXPECT_EQ(GetMidiControllerName(3, true), "Controller 3");
  EXPECT_EQ(GetMidiControllerName(128, true), "");
  EXPECT_EQ(GetMidiControllerName(-1, true), "");
}

TEST(MidiNames, NoteNames) {
  EXPECT_EQ(GetMidiNoteName(60), "C4");
  EXPECT_EQ(GetMidiNoteName(0), "C-1");
  EXPECT_EQ(GetMidiNoteName(61), "C#4");
  EXPECT_EQ(GetMidiNoteName(127), "G9");
  EXPECT_EQ(GetMidiNoteName(128), "");
}

TEST(MidiNames, ChannelMessages) {
  EXPECT_EQ(DescribeMidiHex("90 3C 7F", false), "Note On #1: C4, vel 127");
  EXPECT_EQ(DescribeMidiHex("8F3C00", false), "Note Off #16: C4, vel 0");
  EXPECT_EQ(DescribeMidiHex("A1 3C 40", false), "Aftertouch #2: C4, 64");
  EXPECT_EQ(DescribeMidiHex("C1 05", false), "Program Change #2: 5");
  EXPECT_EQ(DescribeMidiHex("D0 7F", false), "Channel Pressure #1: 127");
  EXPECT_EQ(DescribeMidiHex("B0 07 64 C1 05", false),
            "CC #1: Channel Volume, 100 - Program Change #2: 5");
  EXPECT_EQ(DescribeMidiHex("B0 03 01", false), "CC #1: Controller 3, 1");
}

TEST(MidiNames, VariablesKeepTheirRawText) {
  EXPECT_EQ(DescribeMidiHex("90 pp qq", false), "Note On #1: Note pp, vel qq");
  EXPECT_EQ(DescribeMidiHex("B0 oo 7F", false), "CC #1: Controller oo, 127");
  EXPECT_EQ(DescribeMidiHex("E0 pp 40", false), "PitchWheel #1: pp,40");
  // A status that is a variable describes nothing.
  EXPECT_EQ(DescribeMidiHex("pp 3C 7F", false), "");
}

TEST(MidiNames, PitchWheelPercentages) {
  EXPECT_EQ(DescribeMidiHex("E0 00 40", false), "PitchWheel #1: 0%");
  EXPECT_EQ(DescribeMidiHex("E0 40 00", false), "PitchWheel #1: -99.2%");
  EXPECT_EQ(DescribeMidiHex("E0 00 00", false), "PitchWheel #1: -100%");
  EXPECT_EQ(DescribeMidiHex("E0 7F 7F", false), "PitchWheel #1: +100%");
}

TEST(MidiNames, SystemMessages) {
  EXPECT_EQ(DescribeMidiHex("F8", false), "Timing Clock");
  EXPECT_EQ(DescribeMidiHex("FE FF", false), "Active Sensing - System Reset");
  EXPECT_EQ(DescribeMidiHex("F2 01 02", false), "Song Position Pointer: 257");
  EXPECT_EQ(DescribeMidiHex("F3 05", false), "Song Select: 5");
  EXPECT_EQ(DescribeMidiHex("F6", false), "Tune Request");
}

TEST(MidiNames, UndescribableTextAndFallback) {
  EXPECT_EQ(DescribeMidiHex("F0 43 10 F7", false), "");
  EXPECT_EQ(DescribeMidiHex("F0 43 10 F7", true), "F0 43 10 F7");
  EXPECT_EQ(DescribeMidiHex("", true), "");
  // Too few characters for the status: nothing.
  EXPECT_EQ(DescribeMidiHex("90 3C", false), "");
  // After something described, the rest is shown as spaced pairs.
  EXPECT_EQ(DescribeMidiHex("F8 F0 43 F7", false), "Timing Clock - F0 43 F7");
  EXPECT_EQ(DescribeMidiHex("90 3C 7F 90 3", false), "Note On #1: C4, vel 127 - 90 3");
}

TEST(MidiNames, ParameterNumberRunsAreOneDescription) {
  EXPECT_EQ(DescribeMidiHex("B0 63 01 B0 62 02 B0 06 40 B0 26 05", false),
            "NRPN: MSB=1 LSB=2, data: LSB: 5 MSB: 64");
  EXPECT_EQ(DescribeMidiHex("B1 65 00 B1 64 00 B1 06 02", false), "RPN: MSB=0 LSB=0, data: MSB: 2");
  // Two messages alone are not enough to be taken together.
  EXPECT_EQ(DescribeMidiHex("B1 65 00 B1 64 00", false), "CC #2: RPN MSB, 0 - CC #2: RPN LSB, 0");
  // A run ends at another channel; what follows is described on its own.
  EXPECT_EQ(DescribeMidiHex("B0 65 00 B0 64 00 B1 06 02", false),
            "RPN: MSB=0 LSB=0 - CC #2: Data MSB, 2");
  // Fewer than 12 characters after the first message: the plain controller text.
  EXPECT_EQ(DescribeMidiHex("B0 63 01 C0 01", false), "CC #1: NRPN MSB, 1 - Program Change #1: 1");
  // A number message not followed by a part of the run stays a plain controller message.
  EXPECT_EQ(DescribeMidiHex("B0 63 01 B0 07 64 B0 07 64", false),
            "CC #1: NRPN MSB, 1 - CC #1: Channel Volume, 100 - CC #1: Channel Volume, 100");
}

}  // namespace
}  // namespace kv
