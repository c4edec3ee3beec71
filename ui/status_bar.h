#pragma once
// A status bar at the bottom of a form: panels of fixed widths, or one simple panel (the
// application's hint, for instance). It docks to the bottom through the layer's alignment,
// at the height the control chooses for its font.
#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui {

class TStatusBar : public TWindow {
 public:
  TStatusBar() = default;
  explicit TStatusBar(TWindow& parent, int id = 0);
  void Create(TWindow& parent, int id = 0);

  // Widths of the panels; -1 for a last panel that takes the rest.
  void SetPanels(const std::vector<int>& widths);
  void SetPanelText(int panel, const std::string& text);
  std::string PanelText(int panel) const;
  void SetSimplePanel(bool simple);
  void SetSimpleText(const std::string& text);
  // Lets the control choose its height again (after a font change) and docks it anew.
  void AutoSize();
};

}  // namespace kv::ui
