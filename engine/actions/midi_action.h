#pragma once
// TTransMidiAction (tags MID1 and MID2, kind 1, both directions): a MIDI message pattern of
// hexadecimal pairs in which any pair may name a variable, an optional description and an
// optional list of port aliases. Incoming, it matches every MIDI message (short or SysEx)
// against the pattern, joins messages that arrive in pieces, and copies the bytes at
// variable positions into variables. Outgoing, it fills the variable positions from the
// variables and sends the bytes through the MIDI output sink (midi/midi_action_sink.h).
// Execution level 1 for patterns longer than 3 bytes (SysEx is never sent on a MIDI or timer
// callback thread), else 0.
//
// Stored form: "MID1" (no ports) or "MID2"; "MIDD" and the length-prefixed description when
// there is one; for MID2 a MIDA block of port names; then the MIDI text without blanks, e.g.
// MID2MIDA00010004OutA903Cpp. An untagged text is read as a plain MIDI text.
//
// Ports: the action's own, else the default ports of the preset being walked, else the
// project's, of the action's direction. Incoming with none: every port; outgoing with none:
// every open output.
//
// Threads: the text, description, ports and pattern change only on the main thread while the
// action is not in use (loading, or the editor before the translator is put in place).
// MatchIncoming may run on several input threads at once (pieces are collected per port,
// under the collector's own lock); ExecuteOutgoing may run on several threads at once and
// fills its own copy of the pattern, so concurrent sends never mix their bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/action.h"
#include "engine/actions/midi_action_pattern.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_action_sink.h"

namespace kv {

inline constexpr const char* kMidiDescriptionFormat = "MIDI %s";
inline constexpr const char* kMidiBytesFormat = "MIDI %d bytes:";
inline constexpr const char* kMidiPortClosedText = "[port closed]";

class TTransMidiAction : public TTransAction {
 public:
  explicit TTransMidiAction(bool incoming) : TTransAction(incoming) {}

  void Clear() override;
  // Only from another MIDI action: text, description and ports.
  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  // Reads the whole text and returns its length. Throws kv::Exception for a MIDI text that
  // does not parse, a malformed description or port block; the action is then unchanged.
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override;
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionMidi; }
  int GetExecutionLevel() const override {
    return pattern_.Length() > 3 ? kLevelNotCallback : kLevelAnyThread;
  }
  int GetDirections() const override { return kDirectionBoth; }

  // The MIDI text as stored (no blanks), and with a blank after every two characters.
  const std::string& GetMidiText() const { return midiText_; }
  std::string GetSpacedMidiText() const;
  const std::string& GetMidiDescription() const { return description_; }
  const TMidiPattern& GetPattern() const { return pattern_; }

  // The own ports; none when the action has none.
  const TMidiAliasList* GetOwnPorts() const { return HasOwnPorts() ? ports_.get() : nullptr; }
  bool HasOwnPorts() const { return ports_ && !ports_->IsEmpty(); }
  // Nothing without a list; else the list becomes a copy of the own ports, or with append
  // gets those it does not hold yet.
  void GetPorts(TMidiAliasList* list, bool append) const;
  // A non-empty list is copied; none or empty clears the own ports.
  void SetPorts(const TMidiAliasList* list);

  // Bytes collected from the source port towards a match (0 when nothing is pending).
  int32_t GetPendingCount(int32_t source) const { return collector_.PendingCount(source); }

 private:
  uint8_t PortKind() const { return IsIncoming() ? makMidiIn : makMidiOut; }
  // The ports of the first non-empty list of the chain; none when all are empty. hold keeps
  // a snapshot of the project's list alive while the caller uses it.
  const TMidiAliasList* ChooseIncomingPorts(const TIncomingEvent& event,
                                            std::shared_ptr<const TMidiAliasList>& hold) const;
  const TMidiAliasList* ChooseOutgoingPorts(const TExecutionContext& context,
                                            std::shared_ptr<const TMidiAliasList>& hold) const;

  std::unique_ptr<TMidiAliasList> ports_;  // made on first need; the aliases are not ours
  std::string midiText_;
  std::string description_;
  TMidiPattern pattern_;
  TMidiPieceCollector collector_;
};

// "MIDI 90 3C 64" for up to 3 bytes, else "MIDI 6 bytes: F0 7E 7F 06 01 F7"; past 20 bytes
// the first 19, "..." and the last byte.
std::string DescribeMidiBytes(const uint8_t* bytes, int32_t n);

// The log lines: a match, with the captured variables (", " then " pp=0x64" for each), and
// a send, with " [port closed]" when no output took it.
std::string DescribeMidiMatch(const TMidiPattern& pattern, const uint8_t* bytes, int32_t n);
std::string DescribeMidiSend(const uint8_t* bytes, int32_t n, bool sent);

// A blank after every two characters: "903C7F" -> "90 3C 7F"; an odd last character stands
// alone; an empty text stays empty.
std::string InsertHexSpaces(std::string_view text);

// The stored text without an action object, from an alias list (none or empty: MID1); from
// port names it is ConvertLegacyMidiText (engine/actions/midi_action_text.h).
std::string FormatMidiActionText(std::string_view midiText, std::string_view description,
                                 const TMidiAliasList* ports);

// Registers the tags MID1 and MID2 (engine/standard_actions.cpp calls it at start-up).
void RegisterMidiActions();

}  // namespace kv
