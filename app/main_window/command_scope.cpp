#include "app/main_window/command_scope.h"

namespace kv {

TCommandScopes::TScope::TScope(TCommandScopes& scopes, TCommandKind kind) : scopes_(scopes) {
  scopes_.frames_.push_back({kind, {}, 0});
}

TCommandScopes::TScope::~TScope() { scopes_.frames_.pop_back(); }

TCommandScopes::TAsking::TAsking(TCommandScopes& scopes)
    : scopes_(scopes), frame_(scopes.frames_.size()) {
  if (frame_ > 0) ++scopes_.frames_[frame_ - 1].asking;
}

TCommandScopes::TAsking::~TAsking() {
  // Scopes nest strictly: the frame that asked is still there.
  if (frame_ > 0 && frame_ <= scopes_.frames_.size()) --scopes_.frames_[frame_ - 1].asking;
}

bool TCommandScopes::Run(TCommandKind kind, const std::function<void()>& command) {
  TScope scope(*this, kind);
  if (Waits(kind)) return false;
  if (joins_.endOpenEdits) joins_.endOpenEdits();
  if (kind == TCommandKind::Project && joins_.takeEditorChange && !joins_.takeEditorChange())
    return false;
  if (command) command();
  return true;
}

TCommandAnswers* TCommandScopes::Answers() {
  return frames_.empty() ? nullptr : &frames_.back().answers;
}

bool TCommandScopes::Waits(TCommandKind kind) const {
  if (kind == TCommandKind::Apart || frames_.size() < 2) return false;
  for (size_t i = 0; i + 1 < frames_.size(); ++i)
    if (frames_[i].asking > 0) return true;
  return false;
}

bool TCommandScopes::InExit() const {
  return !frames_.empty() && frames_.back().kind == TCommandKind::Exit;
}

void TCommandScopes::ForgetDeclinedSaves() {
  for (TFrame& frame : frames_) frame.answers.saveDeclined = false;
}

}  // namespace kv
