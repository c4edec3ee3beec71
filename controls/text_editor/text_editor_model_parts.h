#pragma once
// What the files of the text editor control's model share: position order and the guard
// around the control's own changes of its line list.
#include "controls/text_editor/text_editor_model.h"

namespace kv {

namespace {

inline bool Before(TZNPos a, TZNPos b) {
  return a.line < b.line || (a.line == b.line && a.col < b.col);
}

}  // namespace

// Marks the control's own changes of its line list, so the range hook can tell them from
// changes the program makes through Lines().
class TZNCustomMemo::InternalEdit {
 public:
  explicit InternalEdit(TZNCustomMemo& m) : m_(m) {
    ++m_.internalEdits_;
    m_.lines_.BeginUpdate();
  }
  ~InternalEdit() {
    // The update ends while still marked internal: the hooks run inside EndUpdate.
    m_.lines_.EndUpdate();
    --m_.internalEdits_;
  }
  InternalEdit(const InternalEdit&) = delete;
  InternalEdit& operator=(const InternalEdit&) = delete;

 private:
  TZNCustomMemo& m_;
};

}  // namespace kv
