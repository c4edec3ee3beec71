#pragma once
// The parsed form of a MIDI action's text (TMidiPattern) and the collector that joins a
// message arriving in pieces (TMidiPieceCollector).
//
// A pattern is a run of byte positions written as hexadecimal pairs, any of which may name a
// variable instead: incoming, a variable position accepts any byte and captures it; outgoing,
// it is filled from the variable. A pattern is immutable once parsed, so any number of
// threads may read it at once.
#include <array>
#include <bitset>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr int32_t kMaxMidiPatternBytes = 600;
inline constexpr size_t kMaxMidiPatternVariables = 200;

inline constexpr const char* kInvalidMidiMessageText = "invalid MIDI message";
inline constexpr const char* kInvalidMidiVariableText = "\"%s\" is not a valid variable.";
inline constexpr const char* kTooManyMidiVariablesText = "Too many variables !";

struct TMidiPatternVariable {
  int32_t variable;  // 0..9 locals, 10..297 globals
  int32_t position;  // byte position in the pattern
};

class TMidiPattern {
 public:
  // Trims the text and removes every blank; the result is what the action stores. Then reads
  // the pairs (at most 600; characters beyond the 1200th are kept in the text but not read).
  // Throws kv::Exception "invalid MIDI message" for an odd number of characters, "\"xy\" is
  // not a valid variable." for a pair that is neither, "Too many variables !" past 200.
  static TMidiPattern Parse(std::string_view text, std::string& cleaned);

  int32_t Length() const { return length_; }
  bool IsEmpty() const { return length_ == 0; }
  // The fixed bytes; a variable position holds 0. Always kMaxMidiPatternBytes long.
  const uint8_t* Bytes() const { return bytes_.data(); }
  // The variable index at the position, -1 for a fixed byte or outside the pattern.
  int32_t VariableAt(int32_t position) const;
  // In position order.
  std::span<const TMidiPatternVariable> Variables() const;
  // True when the n bytes fit from the offset on and equal every fixed byte they cover.
  bool FitsAt(int32_t offset, const uint8_t* data, int32_t n) const;

 private:
  std::array<uint8_t, kMaxMidiPatternBytes> bytes_{};
  int32_t length_ = 0;
  void AddVariable(TMidiPatternVariable variable);

  // Most patterns hold a variable or two: those stay inline, so loading thousands of actions
  // allocates nothing for them.
  static constexpr size_t kInlineVariables = 4;

  std::bitset<kMaxMidiPatternBytes> isVariable_;  // by position
  size_t variableCount_ = 0;
  std::array<TMidiPatternVariable, kInlineVariables> inlineVariables_{};
  std::vector<TMidiPatternVariable> moreVariables_;  // all of them, when more than fit inline
};

// Joins consecutive messages (or SysEx pieces) from one input port until together they spell
// the pattern. Each port collects on its own, so pieces that two ports deliver at the same
// time are never joined into one message.
//
// Lock: mutex_ guards pending_; it is a leaf lock, held only to compare and copy bytes.
// Any thread may offer a message.
class TMidiPieceCollector {
 public:
  // Offers one message (n >= 1 bytes) from the source port. When it completes a match, the
  // whole matched message is copied to out (room for kMaxMidiPatternBytes) and its length
  // returned; otherwise 0 (no match, or waiting for more pieces).
  int32_t Offer(const TMidiPattern& pattern, int32_t source, const uint8_t* data, int32_t n,
                uint8_t* out);
  // Forgets every pending piece.
  void Reset();
  // Bytes held for the source port (0 when nothing is pending).
  int32_t PendingCount(int32_t source) const;

 private:
  struct TPending {
    int32_t source = 0;
    int32_t count = 0;  // 0: the entry is free
    std::array<uint8_t, kMaxMidiPatternBytes> bytes{};
  };
  TPending* Find(int32_t source);
  TPending& Take(int32_t source);

  mutable std::mutex mutex_;  // guards pending_
  std::vector<TPending> pending_;
};

}  // namespace kv
