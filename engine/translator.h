#pragma once
// TTransMsg: one translator, a name, one incoming trigger, at most one outgoing action,
// optional rules and three flags. It is built from three stored texts (incoming, outgoing,
// options) and writes the same three texts back; it also owns the translator options text
// and the four-line clipboard block.
//
// Reference counting: translators are held through TTransMsgPtr (a shared pointer, whose
// count is atomic). The owning preset holds one reference; the dispatcher holds another while
// an action of the translator is queued (AddRef gives it from a plain pointer), so a removed
// translator lives until that action ran or was discarded.
//
// A translator's fields are read by event producers under the owning preset's read lock;
// they change only through the preset's write operations (a new translator is built and put
// in place of the old one).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/action.h"
#include "engine/event.h"
#include "engine/rules.h"

namespace kv {

class TTransMsg;
using TTransMsgPtr = std::shared_ptr<TTransMsg>;
// Receives each loading error of a translator; optional everywhere.
using TTransMsgErrorCallback = std::function<void(TTransMsg& translator, const std::string& text)>;

// Keys of the clipboard block, in order.
inline constexpr const char* kClipNameKey = "Name=";
inline constexpr const char* kClipIncomingKey = "Incoming=";
inline constexpr const char* kClipOutgoingKey = "Outgoing=";
inline constexpr const char* kClipOptionsKey = "Options=";

// One side of a translator from its stored text: the kind its tag names (an old plain
// hexadecimal MIDI text is converted first), dropped when the kind does not allow the
// direction or its text does not load; then an unknown action that keeps the whole text.
// Each problem goes to onError; used (when given) receives the characters the kind read.
std::unique_ptr<TTransAction> CreateActionFromText(
    std::string_view text, bool incoming,
    const std::function<void(const std::string& text)>& onError, size_t* used = nullptr);

class TTransMsg : public std::enable_shared_from_this<TTransMsg> {
 public:
  // An empty translator with default flags.
  explicit TTransMsg(std::string name = {});
  TTransMsg(const TTransMsg&) = delete;
  TTransMsg& operator=(const TTransMsg&) = delete;

  static TTransMsgPtr Create(std::string name = {});
  // Built from stored texts: SetActionsFromText, then ParseOptions when options is given.
  static TTransMsgPtr CreateFromText(std::string_view incomingText, std::string_view outgoingText,
                                     const std::string* optionsText,
                                     const TTransMsgErrorCallback& onError = {});

  // A further reference for a holder that has only a plain pointer (the dispatcher). The
  // translator must be held by a TTransMsgPtr already.
  TTransMsgPtr AddRef() { return shared_from_this(); }
  // Extra references beside the owner's (0 when only the owning preset holds it).
  long ExtraReferences() const { return weak_from_this().use_count() - 1; }

  // Flags to their defaults (active, not stop, swallow), tail cleared, a new id.
  void Init();
  // A new translator with the same name, then Assign.
  TTransMsgPtr Clone() const;
  // Copies flags, both actions (cloned), the outgoing delay when both sides have an outgoing
  // action, and the rules; not the name. Nothing resets flags, actions and rules.
  void Assign(const TTransMsg* other);

  void SetActionsFromText(std::string_view incomingText, std::string_view outgoingText,
                          const TTransMsgErrorCallback& onError = {});
  // False when the options were corrupt; what could not be read is kept as the option tail.
  bool ParseOptions(std::string_view text, const TTransMsgErrorCallback& onError = {});

  std::string GetIncomingText() const;
  std::string GetOutgoingText() const;
  std::string GetOptionsText() const;

  std::string GetIncomingDescription() const;
  std::string GetIncomingShortDescription() const;
  std::string GetOutgoingDescription() const;
  std::string GetOutgoingShortDescription() const;
  int GetIncomingType() const;
  int GetOutgoingType() const;
  // The outgoing delay in milliseconds, read now with the context's variables.
  int64_t GetDelayMs(const TExecutionContext& context) const;

  // True when active, the incoming kind equals the event's kind and the trigger accepts the
  // event; then the event's pass-through flag takes OutputOriginal and activity gains 1.
  bool MatchIncoming(TIncomingEvent& event, uint16_t& activity);
  // Runs the outgoing action when active; errors of the action are swallowed. When it output
  // something, activity gains the outgoing bit of its kind.
  void ExecuteOutgoing(TExecutionContext& context, uint16_t& activity);

  // A copy of the given rules; none removes them.
  void SetRules(const TTransStepMath* rules);
  // Removes rules and both actions.
  void ClearActions();
  bool HasRules() const { return rules_ && rules_->Count() > 0; }
  const TTransStepMath* Rules() const { return rules_.get(); }

  // Neither side has an action other than an empty unknown one, no rule entries, no tail.
  bool IsEmpty() const;

  // Appends the four clipboard lines.
  void CopyToStrings(std::vector<std::string>& list) const;
  // Reads the four lines at index (any order of the four keys) and advances index by 4;
  // true, with the translator rebuilt from them, only when the four keys were all there.
  // With fewer than four lines left, index moves to the end and the result is false.
  bool PasteFromStrings(const std::vector<std::string>& list, size_t& index,
                        const TTransMsgErrorCallback& onError = {});

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TTransAction* Incoming() const { return incoming_.get(); }
  TTransAction* Outgoing() const { return outgoing_.get(); }
  // The editor builds translators from its controls with these.
  void SetIncoming(std::unique_ptr<TTransAction> action) { incoming_ = std::move(action); }
  void SetOutgoing(std::unique_ptr<TTransAction> action) { outgoing_ = std::move(action); }
  bool Active() const { return active_ != 0; }
  void SetActive(bool active) { active_ = active ? 1 : 0; }
  bool Stop() const { return stop_ != 0; }
  void SetStop(bool stop) { stop_ = stop ? 1 : 0; }
  bool OutputOriginal() const { return outputOriginal_ != 0; }
  void SetOutputOriginal(bool pass) { outputOriginal_ = pass ? 1 : 0; }
  const std::string& OptionTail() const { return optionTail_; }
  int32_t Id() const { return id_; }

 private:
  void Report(const TTransMsgErrorCallback& onError, const std::string& text);

  std::string name_;
  std::unique_ptr<TTransAction> incoming_;
  std::unique_ptr<TTransAction> outgoing_;  // its delay unit and delay are this translator's
  std::unique_ptr<TTransStepMath> rules_;
  uint8_t active_ = 1;
  uint8_t outputOriginal_ = 0;
  uint8_t stop_ = 0;
  std::string optionTail_;
  int32_t id_ = 0;
};

}  // namespace kv
