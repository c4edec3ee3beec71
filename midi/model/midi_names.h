#pragma once
// Names of MIDI things for people: controllers, notes, and one-line descriptions of MIDI
// bytes written as hexadecimal text (as MIDI actions store them, where a byte may also be a
// two-letter variable name). The translator list, the editor and the log show these.
#include <string>
#include <string_view>

namespace kv {

// The controller's name; empty outside 0-127 and for unnamed numbers, which give
// "Controller N" instead when withFallback is set.
std::string GetMidiControllerName(int number, bool withFallback);

// "C4" for 60, "C-1" for 0; empty outside 0-127.
std::string GetMidiNoteName(int number);

// Describes the messages in the text one after another, joined by " - ". Blanks are
// ignored. Bytes that cannot be described after a described message are appended as spaced
// hexadecimal pairs; when nothing at all can be described the result is empty, or the input
// itself with fallbackToInput.
std::string DescribeMidiHex(std::string_view hexText, bool fallbackToInput);

}  // namespace kv
