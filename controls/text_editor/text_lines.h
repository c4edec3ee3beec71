#pragma once
// The line list of the text editor control. Every changing operation runs inside its own
// update and widens one pending changed range; when the outermost update ends the owner's
// range hook hears the range, and the width hook hears when the longest line grew. The
// editor repaints and relays out from these two hooks alone, so code that edits the lines
// directly (the rules editor, the log window) is shown like the editor's own edits.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TZNStrings {
 public:
  // first == -1: the whole text changed; last == -1: from first up to the end.
  using RangeHook = std::function<void(int first, int last)>;
  using NotifyHook = std::function<void()>;

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Get(int index) const;  // throws kv::Exception when out of range
  const std::string& operator[](int index) const { return Get(index); }

  void Put(int index, std::string text);
  void Insert(int index, std::string text);
  int Add(std::string text);  // returns the new line's index
  void Delete(int index);
  void Exchange(int a, int b);
  void Clear();
  void Sort();  // ordinal byte order
  void AddStrings(const std::vector<std::string>& lines);
  void Assign(const TZNStrings& other);
  // Lines split at CR LF, CR or LF; a final line break adds no empty line.
  void SetText(std::string_view text);
  // Lines joined with CR LF, no break after the last line.
  std::string Text() const;
  const std::vector<std::string>& Lines() const { return lines_; }

  // Longest line in characters seen since the last Clear or SetText (deleting never lowers it).
  int LongestLine() const { return longest_; }

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  // The owner's hooks (the editor installs them when its window exists).
  void SetHooks(NotifyHook beginChange, NotifyHook endChange, RangeHook range, NotifyHook width);

 private:
  class Update;  // RAII begin/end pair around one changing operation
  void Mark(int first, int last);
  void Measure(const std::string& line);
  void CheckIndex(int index, bool allowEnd) const;

  std::vector<std::string> lines_;
  int longest_ = 0;
  bool longestGrew_ = false;
  int updateCount_ = 0;
  bool pending_ = false;
  int pendingFirst_ = 0;
  int pendingLast_ = 0;
  NotifyHook onBeginChange_, onEndChange_, onWidth_;
  RangeHook onRange_;
};

}  // namespace kv
