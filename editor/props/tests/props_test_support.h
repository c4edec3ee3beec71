#pragma once
// Scripted answers to the property dialogs' messages, recording what was shown.
#include <string>
#include <vector>

#include "editor/props/props_messages.h"

namespace kv::test {

class TScriptedMessages final : public TPropsMessages {
 public:
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInfo(const std::string& text) override { infos.push_back(text); }
  bool AskYesNo(const std::string& text, uint32_t delayMs) override {
    questions.push_back(text);
    delays.push_back(delayMs);
    return answer;
  }

  bool answer = true;
  std::vector<std::string> errors;
  std::vector<std::string> infos;
  std::vector<std::string> questions;
  std::vector<uint32_t> delays;
};

}  // namespace kv::test
