#pragma once
// TTransAction: the base of every incoming trigger and outgoing action. Each kind stores
// itself as a text that begins with a 4-character tag (engine/action_registry.h creates a
// kind from its tag).
//
// Kinds initialise their fields with member initialisers (the same defaults Clear sets): the
// base constructor cannot reach a derived Clear. An action object is used by one thread at a
// time: its owner's preset read lock covers matching, and ExecuteOutgoing may write the
// object's own buffers.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/event.h"
#include "engine/variables.h"

namespace kv {

// Delay units of an outgoing action (the translator's options hold them).
enum TDelayUnit : uint8_t { kDelayNone = 0, kDelaySeconds = 1, kDelayMillis = 2 };

// Bits of GetDirections.
inline constexpr int kDirectionIncoming = 1;
inline constexpr int kDirectionOutgoing = 2;
inline constexpr int kDirectionBoth = kDirectionIncoming | kDirectionOutgoing;

class TTransAction {
 public:
  explicit TTransAction(bool incoming) : incoming_(incoming ? 1 : 0) {}
  virtual ~TTransAction() = default;
  TTransAction(const TTransAction&) = delete;
  TTransAction& operator=(const TTransAction&) = delete;

  bool IsIncoming() const { return incoming_ != 0; }

  uint8_t GetDelayUnit() const { return delayUnit_; }
  void SetDelayUnit(uint8_t unit) { delayUnit_ = unit; }
  const TNumberOrVariable& GetDelay() const { return delay_; }
  void SetDelay(const TNumberOrVariable& delay) { delay_ = delay; }

  // Sets the kind's fields to their defaults (the delay is the translator's, and stays).
  virtual void Clear() {}
  // Copies another action of the same kind; the base goes through the stored text.
  virtual void Assign(const TTransAction& source);
  virtual std::unique_ptr<TTransAction> Clone() const = 0;
  // The stored text, tag first.
  virtual std::string SaveToText() const = 0;
  // Parses the stored text (tag included) and returns the characters used. Throws
  // kv::Exception with a message when the text is corrupt.
  virtual size_t LoadFromText(std::string_view text) = 0;
  // Long text (the log uses it); the base gives the stored text.
  virtual std::string GetDescription() const;
  // Text for lists; the base gives GetDescription.
  virtual std::string GetShortDescription() const;
  // True when the event fires this trigger; may write the event's local variables.
  virtual bool MatchIncoming(TIncomingEvent& event);
  // Performs the action; true when something was output (the activity flags use it).
  virtual bool ExecuteOutgoing(TExecutionContext& context);
  virtual int GetActionType() const = 0;      // a TActionKind
  virtual int GetExecutionLevel() const = 0;  // a TExecutionLevel
  virtual int GetDirections() const = 0;      // kDirectionIncoming | kDirectionOutgoing

  bool AllowsIncoming() const { return (GetDirections() & kDirectionIncoming) != 0; }
  bool AllowsOutgoing() const { return (GetDirections() & kDirectionOutgoing) != 0; }

 private:
  uint8_t incoming_;
  uint8_t delayUnit_ = kDelayNone;
  TNumberOrVariable delay_;
};

}  // namespace kv
