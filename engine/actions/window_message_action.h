#pragma once
// TTransMessageAction: the window-message kind (id 8, tag "SMsg", outgoing only, execution
// level 0): posts a message, a number or a name registered with the system, with wParam and
// lParam (numbers or variables) to a window of another program described by a
// TTargetWindow.
//
// Thread: level 0, so it runs on whichever thread produced the event (MIDI input, timer,
// dispatcher, main). It only reads its own fields, looks the window up (TTargetWindow keeps
// its cache safe across threads) and posts; it never sends, so it cannot wait for a busy
// window, our own main thread's included.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "engine/action.h"
#include "engine/actions/target_window.h"

namespace kv {

class TTransMessageAction : public TTransAction {
 public:
  explicit TTransMessageAction(bool incoming);

  void Clear() override;
  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  // Throws kv::Exception "corrupt window message action" when the message, "|W" or "|L" is
  // missing or a field cannot be read, so the translator keeps the text as it stands.
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionWindowMessage; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionOutgoing; }

  // Stores the name; the message becomes the number the system registered for it.
  void SetRegisteredMessage(std::string name);
  const std::string& RegisteredMessage() const { return registeredName_; }
  const TNumberOrVariable& Message() const { return message_; }
  void SetMessage(const TNumberOrVariable& message) { message_ = message; }
  const TNumberOrVariable& WParam() const { return wParam_; }
  void SetWParam(const TNumberOrVariable& value) { wParam_ = value; }
  const TNumberOrVariable& LParam() const { return lParam_; }
  void SetLParam(const TNumberOrVariable& value) { lParam_ = value; }
  const std::string& Comment() const { return comment_; }
  void SetComment(std::string comment) { comment_ = std::move(comment); }
  TTargetWindow& TargetWindow() { return *target_; }
  const TTargetWindow& TargetWindow() const { return *target_; }

 private:
  std::string InnerText() const;
  void Log(const TExecutionContext& context, const std::string& line) const;

  TNumberOrVariable message_;
  TNumberOrVariable wParam_;
  TNumberOrVariable lParam_;
  std::string registeredName_;
  std::string comment_;
  std::unique_ptr<TTargetWindow> target_;
};

// Registers "SMsg".
void RegisterMessageActions();

}  // namespace kv
