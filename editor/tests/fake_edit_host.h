#pragma once
// A stand-in for the main window the translator editor hands applied translators to; it
// records what it is asked and can pretend the edited item has gone.
#include <string>
#include <vector>

#include "base/exception.h"
#include "editor/trans_editor.h"

namespace kv::test {

class FakeEditHost : public TEditTransHost {
 public:
  void ReplaceTranslator(TEditItem item, TTransMsgPtr translator) override {
    if (itemGone) throw Exception("Translator does not exist !");
    lastItem = item;
    replaced.push_back(std::move(translator));
  }
  void SelectNextTranslator() override { ++nexts; }
  void SelectPreviousTranslator() override { ++previous; }
  void ShowErrors(const std::string& text) override { errors.push_back(text); }

  bool itemGone = false;
  TEditItem lastItem = nullptr;
  std::vector<TTransMsgPtr> replaced;
  std::vector<std::string> errors;
  int nexts = 0;
  int previous = 0;
};

// Two list items of the main window.
inline const int kItemA = 1;
inline const int kItemB = 2;
inline const TEditItem itemA = &kItemA;
inline const TEditItem itemB = &kItemB;

}  // namespace kv::test
