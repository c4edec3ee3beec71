#pragma once
// The fixed texts of the translator editor's help pages. The rules page quotes rules a user
// may copy into the rules text, so they are kept apart and every one of them must parse.
#include <string>
#include <vector>

namespace kv {

struct THelpPageText {
  std::string caption;
  std::string text;
};

// The pages in their order; the rules page shows every rule of HelpRuleExamples.
const std::vector<THelpPageText>& EditorHelpPages();
const std::vector<std::string>& HelpRuleExamples();

}  // namespace kv
