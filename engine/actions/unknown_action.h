#pragma once
// TTransUnknownAction stands in for an incoming or outgoing side whose text no registered
// kind accepts (an unknown tag, a corrupt text, a kind not allowed on that side, or an empty
// text). It keeps the text verbatim, so saving writes it back unchanged, and it never
// matches or acts.
#include <string>
#include <string_view>

#include "engine/action.h"

namespace kv {

class TTransUnknownAction : public TTransAction {
 public:
  TTransUnknownAction(bool incoming, std::string_view text = {});

  const std::string& Text() const { return text_; }

  void Clear() override {}
  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override { return text_; }
  // Keeps the whole text; never fails.
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override;
  bool MatchIncoming(TIncomingEvent&) override { return false; }
  bool ExecuteOutgoing(TExecutionContext&) override { return false; }
  int GetActionType() const override { return kActionUnknown; }
  int GetExecutionLevel() const override { return kLevelMainThread; }
  int GetDirections() const override { return kDirectionBoth; }

 private:
  std::string text_;
};

}  // namespace kv
