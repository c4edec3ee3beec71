#pragma once
// Hints are "short|long": the short part is shown as a tooltip beside the control, the long
// part is the application's hint (the main window's status bar shows it).
#include <string>
#include <string_view>

namespace kv::ui {

// The text before the first "|" (the whole hint without one).
inline std::string GetShortHint(std::string_view hint) {
  return std::string(hint.substr(0, hint.find('|')));
}
// The text after the first "|" (the whole hint without one).
inline std::string GetLongHint(std::string_view hint) {
  size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

}  // namespace kv::ui
