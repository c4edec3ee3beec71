#include "engine/actions/midi_action_text.h"

#include "base/text.h"
#include "engine/text_helpers.h"
#include "engine/variables.h"

namespace kv {

namespace {

bool IsHexDigit(char c) {
  return HexDigitValue(c) >= 0;
}

bool IsBytePair(std::string_view pair) {
  return (IsHexDigit(pair[0]) && IsHexDigit(pair[1])) || VariableIndexOf(pair) >= 0;
}

}  // namespace

std::string ConvertLegacyMidiText(std::string_view midiText, std::string_view description,
                                  const std::vector<std::string>& portNames) {
  std::string midi;
  for (char c : Trim(midiText)) {
    if (c != ' ') midi += c;
  }
  std::string text = portNames.empty() ? kMidiTag : kMidiPortsTag;
  // A MIDI text may itself begin with "MIDD" (variable mi, byte DD); right after MID1 a
  // reader would take that for a description block, so an empty block goes first.
  const bool looksLikeBlock =
      portNames.empty() && std::string_view(midi).substr(0, 4) == kMidiDescriptionBlock;
  if (!description.empty() || looksLikeBlock) {
    text += kMidiDescriptionBlock;
    text += EncodeLengthPrefixed(description);
  }
  if (!portNames.empty()) {
    const size_t count = portNames.size() > 0xFFFF ? 0xFFFF : portNames.size();
    text += kMidiAliasBlock;
    text += IntToHexFixed(static_cast<int64_t>(count), 4, 4);
    for (size_t i = 0; i < count; ++i) text += EncodeLengthPrefixed(portNames[i]);
  }
  text += midi;
  return text;
}

bool IsLegacyMidiText(std::string_view text) {
  std::string head;
  const std::string_view first = text.substr(0, 4);
  for (char c : first) {
    if (c != ' ') head += c;
  }
  head.append(text.substr(first.size()));
  if (head.size() < 4) return false;
  const std::string_view h(head);
  return IsBytePair(h.substr(0, 2)) && IsBytePair(h.substr(2, 2));
}

}  // namespace kv
