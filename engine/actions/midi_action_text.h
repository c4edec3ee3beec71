#pragma once
// The stored text of a MIDI action built without an action object: the translator turns a
// plain hexadecimal MIDI text of old project files into the current form with it. The MIDI
// text is cleaned of blanks here just as a loaded pattern is.
//
// Form: "MID1" (no ports) or "MID2"; then, when a description is given, "MIDD" and the
// description length-prefixed; for MID2, "MIDA", the port count as 4 upper-case hexadecimal
// digits and each port name length-prefixed; then the MIDI text without blanks.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kMidiTag = "MID1";
inline constexpr const char* kMidiPortsTag = "MID2";
inline constexpr const char* kMidiDescriptionBlock = "MIDD";
inline constexpr const char* kMidiAliasBlock = "MIDA";

// The MIDI text as a MIDI action stores it: trimmed (every character up to the blank goes at
// both ends), then without any blank inside.
std::string MidiTextWithoutBlanks(std::string_view text);

std::string ConvertLegacyMidiText(std::string_view midiText, std::string_view description,
                                  const std::vector<std::string>& portNames);

// A text of the old untagged form: after removing blanks among its first four characters
// it has at least four characters, and characters 1-2 and 3-4 are each two hexadecimal
// digits or a variable name.
bool IsLegacyMidiText(std::string_view text);

}  // namespace kv
