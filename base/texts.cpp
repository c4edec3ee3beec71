#include "base/texts.h"

namespace kv {
namespace {
std::string& Title() {
  static std::string title = kDefaultProgramTitle;
  return title;
}
std::string& Override() {
  static std::string title;
  return title;
}
}  // namespace

const std::string& GetProgramTitle() {
  return Title();
}
void SetProgramTitle(const std::string& title) {
  Title() = title;
}
const std::string& GetTitleOverride() {
  return Override();
}
void SetTitleOverride(const std::string& title) {
  Override() = title;
}

}  // namespace kv
