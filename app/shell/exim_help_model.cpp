#include "app/shell/exim_help_model.h"

namespace kv {

std::string TExImHelpModel::Caption() const {
  return page_ == kImportPage ? "Import Settings" : "Export Settings";
}

std::vector<std::string> TExImHelpModel::PageLines() const {
  std::vector<std::string> lines;
  if (page_ == kImportPage) {
    lines = {"With this function, you import your settings from a previously exported .kvxs file.",
             "You can save a .kvxs file with the Export Settings function in the menu."};
  } else {
    lines = {"With this function, you export your settings to a .kvxs file.",
             "After saving, you can restore the settings again with the Import Settings function "
             "in the menu."};
  }
  lines.insert(lines.end(), {"", "These settings include ", "- Options (Midi Thru on/off)",
                             "- window size and position", "- which translator preset is selected"});
  return lines;
}

const char* TExImHelpModel::HintText() {
  return "This is helpful when you want to transfer your settings to another computer, give them "
         "to a friend, or you have to reinstall Windows.";
}

const char* TExImHelpModel::ContinueText() {
  return "Click OK to continue, or Cancel to cancel this operation.";
}

}  // namespace kv
