// The winmm implementation of the MIDI seam, as far as a machine without MIDI devices lets it
// be tried: counts, refused opens and the system's error texts.
#include <gtest/gtest.h>

#include "midi/system/midi_input.h"
#include "midi/system/midi_output.h"
#include "midi/system/winmm_midi.h"

namespace kv {
namespace {

TEST(WinmmMidi, IsTheDefaultAndGivesErrorTexts) {
  TWinmmMidi& api = WinmmMidi();
  EXPECT_EQ(&api, &DefaultWinmmMidi());
  std::string text;
  EXPECT_TRUE(api.OutGetErrorText(kMmBadDeviceId, text));
  EXPECT_FALSE(text.empty());
  EXPECT_LE(MidiOutErrorText(kMmBadDeviceId).size(), 128u);
  EXPECT_FALSE(MidiInErrorText(kMmInvalidHandle).empty());
}

TEST(WinmmMidi, DeviceBeyondTheCountIsRefused) {
  TWinmmMidi& api = WinmmMidi();
  const uint32_t outputs = api.OutGetNumDevs();
  const uint32_t inputs = api.InGetNumDevs();
  std::string name;
  EXPECT_NE(api.OutGetDevName(outputs + 5, name), kMmNoError);
  EXPECT_NE(api.InGetDevName(inputs + 5, name), kMmNoError);
  TMidiHandle handle = 0;
  EXPECT_NE(api.InOpen(handle, inputs + 5, nullptr, 0), kMmNoError);
  EXPECT_NE(api.OutOpen(handle, outputs + 5, nullptr, 0), kMmNoError);
  TMidiInput in;
  in.SetDeviceID(static_cast<int32_t>(inputs));  // one past the end
  EXPECT_EQ(in.GetDeviceID(), kNoMidiDevice);
}

}  // namespace
}  // namespace kv
