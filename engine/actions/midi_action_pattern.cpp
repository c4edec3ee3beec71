#include "engine/actions/midi_action_pattern.h"

#include <algorithm>
#include <cstring>

#include "base/exception.h"
#include "base/text_helpers.h"
#include "engine/actions/midi_action_text.h"
#include "engine/format.h"
#include "engine/variables.h"

namespace kv {
namespace {

constexpr size_t kMaxPatternChars = 2 * static_cast<size_t>(kMaxMidiPatternBytes);

}  // namespace

TMidiPattern TMidiPattern::Parse(std::string_view text, std::string& cleaned) {
  std::string clean = MidiTextWithoutBlanks(text);
  if (clean.size() % 2 != 0) throw Exception(kInvalidMidiMessageText);
  TMidiPattern pattern;
  const size_t end = std::min(clean.size(), kMaxPatternChars);
  for (size_t pos = 0; pos < end; pos += 2) {
    const std::string_view pair = std::string_view(clean).substr(pos, 2);
    const auto k = static_cast<int32_t>(pos / 2);
    const int variable = VariableIndexOf(pair);
    if (variable >= 0) {
      pattern.isVariable_.set(static_cast<size_t>(k));
      pattern.AddVariable({variable, k});
    } else {
      const int32_t value = HexToInt(pair);
      if (value < 0) throw Exception(FormatText(kInvalidMidiVariableText, {pair}));
      pattern.bytes_[static_cast<size_t>(k)] = static_cast<uint8_t>(value);
    }
  }
  // Counted once every pair has been read: a pair that is no variable is the error to report.
  if (pattern.variableCount_ > kMaxMidiPatternVariables)
    throw Exception(kTooManyMidiVariablesText);
  pattern.length_ = static_cast<int32_t>(end / 2);
  cleaned = std::move(clean);
  return pattern;
}

void TMidiPattern::AddVariable(TMidiPatternVariable variable) {
  if (variableCount_ < kInlineVariables) {
    inlineVariables_[variableCount_] = variable;
  } else {
    if (variableCount_ == kInlineVariables)
      moreVariables_.assign(inlineVariables_.begin(), inlineVariables_.end());
    moreVariables_.push_back(variable);
  }
  ++variableCount_;
}

std::span<const TMidiPatternVariable> TMidiPattern::Variables() const {
  if (variableCount_ <= kInlineVariables) return {inlineVariables_.data(), variableCount_};
  return moreVariables_;
}

int32_t TMidiPattern::VariableAt(int32_t position) const {
  if (position < 0 || position >= length_ || !isVariable_.test(static_cast<size_t>(position)))
    return -1;
  const std::span<const TMidiPatternVariable> variables = Variables();
  const auto it = std::lower_bound(
      variables.begin(), variables.end(), position,
      [](const TMidiPatternVariable& v, int32_t p) { return v.position < p; });
  return it->variable;
}

bool TMidiPattern::FitsAt(int32_t offset, const uint8_t* data, int32_t n) const {
  if (offset < 0 || n < 0 || offset + n > length_) return false;
  for (int32_t i = 0; i < n; ++i) {
    const size_t at = static_cast<size_t>(offset + i);
    if (!isVariable_.test(at) && data[i] != bytes_[at]) return false;
  }
  return true;
}

// --- TMidiPieceCollector ------------------------------------------------------------------

TMidiPieceCollector::TPending* TMidiPieceCollector::Find(int32_t source) {
  for (TPending& p : pending_)
    if (p.count > 0 && p.source == source) return &p;
  return nullptr;
}

TMidiPieceCollector::TPending& TMidiPieceCollector::Take(int32_t source) {
  for (TPending& p : pending_) {
    if (p.count == 0) {
      p.source = source;
      return p;
    }
  }
  pending_.emplace_back();
  pending_.back().source = source;
  return pending_.back();
}

int32_t TMidiPieceCollector::Offer(const TMidiPattern& pattern, int32_t source, const uint8_t* data,
                                   int32_t n, uint8_t* out) {
  if (!data || n <= 0) return 0;
  const int32_t length = pattern.Length();
  std::lock_guard<std::mutex> guard(mutex_);
  TPending* pending = Find(source);
  const int32_t a = pending ? pending->count : 0;
  if (!pattern.FitsAt(a, data, n)) {
    // A channel message between the pieces breaks the run; system messages (realtime bytes
    // among SysEx pieces) do not.
    if (pending && n <= 3 && (data[0] >> 4) != 0xF) pending->count = 0;
    return 0;
  }
  if (a == 0 && n == length) {
    std::memcpy(out, data, static_cast<size_t>(n));
    return n;
  }
  TPending& p = pending ? *pending : Take(source);
  std::memcpy(p.bytes.data() + a, data, static_cast<size_t>(n));
  p.count = a + n;
  if (p.count < length) return 0;
  const int32_t matched = p.count;
  std::memcpy(out, p.bytes.data(), static_cast<size_t>(matched));
  p.count = 0;
  return matched;
}

void TMidiPieceCollector::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  for (TPending& p : pending_) p.count = 0;
}

int32_t TMidiPieceCollector::PendingCount(int32_t source) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const TPending& p : pending_)
    if (p.count > 0 && p.source == source) return p.count;
  return 0;
}

}  // namespace kv
