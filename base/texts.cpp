#include "base/texts.h"

namespace kv {
namespace {
std::string& Title() {
  static std::string title = kDefaultProgramTitle;
  return title;
}
}  // namespace

const std::string& GetProgramTitle() {
  return Title();
}
void SetProgramTitle(const std::string& title) {
  Title() = title;
}

}  // namespace kv
