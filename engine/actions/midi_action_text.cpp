#include "engine/actions/midi_action_text.h"

#include <algorithm>

#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/variables.h"

namespace kv {

namespace {

bool IsHexDigit(char c) {
  return HexDigitValue(c) >= 0;
}

constexpr size_t kBlockLength = 4;

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

bool IsBytePair(std::string_view pair) {
  return (IsHexDigit(pair[0]) && IsHexDigit(pair[1])) || VariableIndexOf(pair) >= 0;
}

}  // namespace

std::string MidiTextWithoutBlanks(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  std::string result(text);
  result.erase(std::remove(result.begin(), result.end(), ' '), result.end());
  return result;
}

std::string ConvertLegacyMidiText(std::string_view midiText, std::string_view description,
                                  const std::vector<std::string>& portNames) {
  const std::string midi = MidiTextWithoutBlanks(midiText);
  // A MIDI text may itself begin with "MIDD" (variable mi, byte DD); right after MID1 a
  // reader would take that for a description block, so an empty block goes first.
  const bool looksLikeBlock =
      portNames.empty() && std::string_view(midi).substr(0, 4) == kMidiDescriptionBlock;
  const bool withDescription = !description.empty() || looksLikeBlock;
  const size_t count = portNames.size() > 0xFFFF ? 0xFFFF : portNames.size();

  size_t size = kBlockLength + midi.size();
  if (withDescription) size += 2 * kBlockLength + description.size();
  if (count > 0) size += 2 * kBlockLength;
  for (size_t i = 0; i < count; ++i) size += kBlockLength + portNames[i].size();
  std::string text;
  text.reserve(size);

  text += count > 0 ? kMidiPortsTag : kMidiTag;
  if (withDescription) {
    text += kMidiDescriptionBlock;
    text += EncodeLengthPrefixed(description);
  }
  if (count > 0) {
    text += kMidiAliasBlock;
    text += IntToHexFixed(static_cast<int64_t>(count), 4, 4);
    for (size_t i = 0; i < count; ++i) text += EncodeLengthPrefixed(portNames[i]);
  }
  text += midi;
  return text;
}

bool IsLegacyMidiText(std::string_view text) {
  // Only the first two pairs decide: the blanks go from the first four characters, and the
  // next four stand in for any that went.
  std::string head;
  const std::string_view first = text.substr(0, kBlockLength);
  for (char c : first) {
    if (c != ' ') head += c;
  }
  head.append(text.substr(first.size(), kBlockLength));
  if (head.size() < 4) return false;
  const std::string_view h(head);
  return IsBytePair(h.substr(0, 2)) && IsBytePair(h.substr(2, 2));
}

}  // namespace kv
