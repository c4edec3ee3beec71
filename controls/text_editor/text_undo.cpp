#include "controls/text_editor/text_undo.h"

namespace kv {

namespace {

bool EndsInLineBreak(const std::string& text) {
  return !text.empty() && (text.back() == '\r' || text.back() == '\n');
}

bool EndsInBlank(const std::string& text) {
  if (text.empty()) return false;
  const auto c = static_cast<unsigned char>(text.back());
  return c <= 32 && c != '\r' && c != '\n';
}

}  // namespace

int TZNUndoRing::Wrap(int index) const {
  const int size = Size();
  return ((index % size) + size) % size;
}

void TZNUndoRing::SetSize(int size) {
  if (size < 0) return;
  blocks_.assign(static_cast<size_t>(size), TZNUndoBlock{});
  writeIndex_ = 0;
  undoCount_ = 0;
  redoCount_ = 0;
}

void TZNUndoRing::Clear() {
  SetSize(Size());
}

void TZNUndoRing::CaptureBefore(const TZNViewState& state) {
  // Kept aside until the edit is recorded: writing it into the slot now would spoil a block
  // that redo may still replay when the edit turns out to record nothing.
  captured_ = state;
}

bool TZNUndoRing::Record(TZNUndoKind kind, const std::string& text, const TZNViewState& after) {
  // A ring of no blocks records nothing: there is no slot to wrap an index into.
  if (text.empty() || Size() == 0) return false;
  redoCount_ = 0;
  TZNUndoBlock& prev = blocks_[static_cast<size_t>(Wrap(writeIndex_ - 1))];
  const bool merge = kind == TZNUndoKind::Typing && undoCount_ > 0 &&
                     prev.kind == TZNUndoKind::Typing && !EndsInLineBreak(text) &&
                     !prev.endsInLineBreak && !(!prev.endsInBlank && EndsInBlank(text)) &&
                     prev.after == captured_;
  if (merge) {
    prev.text += text;
    prev.after = after;
    prev.endsInBlank = EndsInBlank(text);
    prev.endsInLineBreak = EndsInLineBreak(text);
    return true;
  }
  TZNUndoBlock& block = blocks_[static_cast<size_t>(writeIndex_)];
  block.kind = kind;
  block.text = text;
  block.before = captured_;
  block.after = after;
  block.endsInBlank = EndsInBlank(text);
  block.endsInLineBreak = EndsInLineBreak(text);
  if (undoCount_ < Size()) ++undoCount_;
  writeIndex_ = Wrap(writeIndex_ + 1);
  return true;
}

const TZNUndoBlock* TZNUndoRing::StepBack() {
  if (undoCount_ == 0 || Size() == 0) return nullptr;
  --undoCount_;
  ++redoCount_;
  writeIndex_ = Wrap(writeIndex_ - 1);
  return &blocks_[static_cast<size_t>(writeIndex_)];
}

const TZNUndoBlock* TZNUndoRing::PeekRedo() const {
  if (redoCount_ == 0 || Size() == 0) return nullptr;
  return &blocks_[static_cast<size_t>(writeIndex_)];
}

void TZNUndoRing::FinishRedo() {
  if (redoCount_ == 0 || Size() == 0) return;
  --redoCount_;
  ++undoCount_;
  writeIndex_ = Wrap(writeIndex_ + 1);
}

}  // namespace kv
