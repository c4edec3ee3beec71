#pragma once
// What the export/import help window shows: its page (export or import), the page's caption
// (also the window's caption and title), its text, and the height its client area needs.
#include <string>
#include <vector>

namespace kv {

class TExImHelpModel {
 public:
  static constexpr int kExportPage = 0;
  static constexpr int kImportPage = 1;

  TExImHelpModel(int page, bool dontShowAgain)
      : page_(page == kImportPage ? kImportPage : kExportPage), dontShowAgain(dontShowAgain) {}

  int Page() const { return page_; }
  std::string Caption() const;
  // The page's lines in order; an empty line separates the paragraphs.
  std::vector<std::string> PageLines() const;
  static const char* HintText();
  static const char* ContinueText();
  static const char* CheckBoxText() { return "Don't show this again"; }

  // The title, the hint panel, the bottom panel and the page's text, plus 4 pixels.
  static int ClientHeight(int titleHeight, int hintHeight, int bottomHeight, int textHeight) {
    return titleHeight + hintHeight + bottomHeight + textHeight + 4;
  }

 private:
  int page_;

 public:
  bool dontShowAgain;
};

}  // namespace kv
