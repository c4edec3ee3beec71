#pragma once
// Whether the preset properties dialog changed a preset. The preset's own change notice does
// not tell: it also comes with every activation, which is no change of the project, so the
// main window compares what the dialog edits before and after. Main thread only.
#include <vector>

namespace kv {

class TMidiAlias;
class TPresetHandler;
class TTransList;

class TPresetEditWatch {
 public:
  // Takes what the dialog edits of the preset now.
  explicit TPresetEditWatch(const TTransList& preset);
  // True when the preset is still in the project and its switching option or either list of
  // default ports differs from what was taken (the lists' order counts: it is stored).
  bool Changed(const TPresetHandler& project) const;

 private:
  struct TEdited {
    bool switchIgnore = false;
    std::vector<TMidiAlias*> inPorts;
    std::vector<TMidiAlias*> outPorts;
    bool operator==(const TEdited&) const = default;
  };
  static TEdited Take(const TTransList& preset);

  const TTransList* preset_;
  TEdited before_;
};

}  // namespace kv
