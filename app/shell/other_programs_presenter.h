#pragma once
// What the other-programs window shows next: the entry list (read on first use and kept), the
// shuffled order, and the entry's name, link, description body and picture. A resource that
// cannot be read (missing, broken checksum, malformed, no entries) is an error the caller
// gets as text; it never escapes, so the window can close itself and leave the program (and
// an unsaved project) alone.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/other_programs.h"

namespace kv {

struct TPublicityView {
  std::string name;
  std::string link;
  std::vector<std::string> body;
  std::string picture;  // a bitmap file
};

class TPublicityPresenter {
 public:
  // random(n) gives 0 .. n-1.
  TPublicityPresenter(TPublicityResources& resources, std::string programTitle,
                      std::function<int(int)> random);
  // The next entry; false with the error's text when it cannot be shown.
  bool Next(TPublicityView& view, std::string& error);

 private:
  TPublicityResources& resources_;
  std::string title_;
  std::unique_ptr<TPublicities> entries_;
  TPublicityOrder order_;
};

}  // namespace kv
