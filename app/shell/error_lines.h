#pragma once
// The lines of the error window and its grouping: each load, save or controller operation
// starts a group, and the window shows itself only when the group brought something new.
//
// Reports come from any thread (MIDI, timer, dispatcher): TReportPoster hands each line to
// the main thread with a posted call, so a reporter never waits for the main thread and can
// report while it holds a lock; lines of one thread arrive in the order they were reported.
#include <functional>
#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kErrorGroupSeparator = "--------------------------";

class TErrorLines {
 public:
  // Appends the text; a text with line breaks becomes several lines.
  void Add(const std::string& text);
  // With lines present, appends the separator; then remembers the line count.
  void StartGroup();
  // More lines than at the last StartGroup.
  bool HasNew() const { return lines_.size() > mark_; }
  void Clear();
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  size_t mark_ = 0;
};

// Runs a receiver of text lines on the main thread: at once on the main thread, else posted.
class TReportPoster {
 public:
  using TReceiver = std::function<void(const std::string&)>;
  explicit TReportPoster(TReceiver receiver) : receiver_(std::move(receiver)) {}
  // Any thread; never waits for the main thread.
  void Report(const std::string& line) const;

 private:
  TReceiver receiver_;
};

}  // namespace kv
