#pragma once
// The text editor control's undo ring: a fixed number of blocks, each one edit (or a run of
// typing merged into one), with the view state before and after it.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// What the editor looked like around an edit; compared field by field.
struct TZNViewState {
  int32_t selActive = 0;
  int32_t anchorCol = -1;
  int32_t anchorLine = -1;
  int32_t selStartCol = 0;
  int32_t selStartLine = 0;
  int32_t selEndCol = 0;
  int32_t selEndLine = 0;
  int32_t caretCol = 0;
  int32_t caretLine = 0;
  bool operator==(const TZNViewState&) const = default;
};

enum class TZNUndoKind : uint8_t { Deletion = 0, Insertion = 1, Typing = 2 };

struct TZNUndoBlock {
  TZNUndoKind kind = TZNUndoKind::Deletion;
  std::string text;  // line breaks inside are CR LF
  TZNViewState before;
  TZNViewState after;
  bool endsInBlank = false;      // last character <= ' ' other than CR and LF
  bool endsInLineBreak = false;  // last character CR or LF
};

class TZNUndoRing {
 public:
  explicit TZNUndoRing(int size = 20) { SetSize(size); }

  int Size() const { return static_cast<int>(blocks_.size()); }
  // A new, empty ring of that many blocks; a negative size is ignored.
  void SetSize(int size);
  void Clear();  // forgets every block, keeps the size

  int UndoCount() const { return undoCount_; }
  int RedoCount() const { return redoCount_; }

  // Step 1 of recording: the state just before the edit.
  void CaptureBefore(const TZNViewState& state);
  // Step 2: the edit itself. Merges a run of typing into the previous block. Returns false
  // when nothing was recorded (empty text, or a ring of no blocks).
  bool Record(TZNUndoKind kind, const std::string& text, const TZNViewState& after);

  // The block to reverse, with the counts and the write index already moved; null when
  // there is nothing to undo.
  const TZNUndoBlock* StepBack();
  // The block to replay; the caller calls FinishRedo once it is replayed.
  const TZNUndoBlock* PeekRedo() const;
  void FinishRedo();

 private:
  int Wrap(int index) const;

  std::vector<TZNUndoBlock> blocks_;
  TZNViewState captured_;
  int writeIndex_ = 0;
  int undoCount_ = 0;
  int redoCount_ = 0;
};

}  // namespace kv
