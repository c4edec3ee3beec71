#pragma once
// The messages the property dialogs and their pages show the user. The dialogs' windows
// install one that shows the program's message dialogs; tests script the answers.
// Lifecycle: given to a model at construction, kept alive by the caller as long as it.
#include <cstdint>
#include <string>

namespace kv {

class TPropsMessages {
 public:
  virtual ~TPropsMessages() = default;
  virtual void ShowError(const std::string& text) = 0;
  virtual void ShowInfo(const std::string& text) = 0;
  // A Yes/No confirmation whose buttons stay disabled for delayMs; true for Yes.
  virtual bool AskYesNo(const std::string& text, uint32_t delayMs) = 0;
};

// How long confirmation buttons stay disabled unless a caller names another delay.
inline constexpr uint32_t kConfirmDelayMs = 1000;

}  // namespace kv
