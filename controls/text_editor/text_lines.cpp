#include "controls/text_editor/text_lines.h"

#include <algorithm>

#include "base/exception.h"
#include "base/text.h"

namespace kv {

class TZNStrings::Update {
 public:
  explicit Update(TZNStrings& list) : list_(list) { list_.BeginUpdate(); }
  ~Update() { list_.EndUpdate(); }
  Update(const Update&) = delete;
  Update& operator=(const Update&) = delete;

 private:
  TZNStrings& list_;
};

void TZNStrings::CheckIndex(int index, bool allowEnd) const {
  const int limit = allowEnd ? Count() : Count() - 1;
  if (index < 0 || index > limit) {
    throw Exception("List index out of bounds (" + IntToStr(index) + ")");
  }
}

const std::string& TZNStrings::Get(int index) const {
  CheckIndex(index, false);
  return lines_[static_cast<size_t>(index)];
}

void TZNStrings::Measure(const std::string& line) {
  const int len = static_cast<int>(line.size());
  if (len > longest_) {
    longest_ = len;
    longestGrew_ = true;
  }
}

void TZNStrings::Mark(int first, int last) {
  if (!pending_) {
    pending_ = true;
    pendingFirst_ = first;
    pendingLast_ = last;
    return;
  }
  pendingFirst_ = std::min(pendingFirst_, first);
  if (pendingLast_ != -1) pendingLast_ = last == -1 ? -1 : std::max(pendingLast_, last);
}

void TZNStrings::Put(int index, std::string text) {
  CheckIndex(index, false);
  Update u(*this);
  Measure(text);
  lines_[static_cast<size_t>(index)] = std::move(text);
  Mark(index, index);
}

void TZNStrings::Insert(int index, std::string text) {
  CheckIndex(index, true);
  Update u(*this);
  Measure(text);
  lines_.insert(lines_.begin() + index, std::move(text));
  Mark(index, -1);
}

int TZNStrings::Add(std::string text) {
  const int index = Count();
  Insert(index, std::move(text));
  return index;
}

void TZNStrings::Delete(int index) {
  CheckIndex(index, false);
  Update u(*this);
  lines_.erase(lines_.begin() + index);
  Mark(index, -1);
}

void TZNStrings::Exchange(int a, int b) {
  CheckIndex(a, false);
  CheckIndex(b, false);
  Update u(*this);
  std::swap(lines_[static_cast<size_t>(a)], lines_[static_cast<size_t>(b)]);
  Mark(std::min(a, b), std::max(a, b));
}

void TZNStrings::Clear() {
  Update u(*this);
  lines_.clear();
  longest_ = 0;
  Mark(-1, -1);
}

void TZNStrings::Sort() {
  Update u(*this);
  std::sort(lines_.begin(), lines_.end());
  Mark(-1, -1);
}

void TZNStrings::AddStrings(const std::vector<std::string>& lines) {
  Update u(*this);
  const int first = Count();
  for (const auto& line : lines) {
    Measure(line);
    lines_.push_back(line);
  }
  Mark(first, -1);
}

void TZNStrings::Assign(const TZNStrings& other) {
  if (&other == this) return;
  Update u(*this);
  lines_.clear();
  longest_ = 0;
  for (const auto& line : other.lines_) {
    Measure(line);
    lines_.push_back(line);
  }
  Mark(-1, -1);
}

void TZNStrings::SetText(std::string_view text) {
  Update u(*this);
  lines_.clear();
  longest_ = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    Measure(line);
    lines_.push_back(std::move(line));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  Mark(-1, -1);
}

std::string TZNStrings::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines_[i];
  }
  return out;
}

void TZNStrings::BeginUpdate() {
  if (updateCount_++ == 0 && onBeginChange_) onBeginChange_();
}

void TZNStrings::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  // The range and the flag are taken before the hooks run, so a hook that edits the list
  // again starts a fresh range.
  const bool hadRange = pending_;
  const int first = pendingFirst_, last = pendingLast_;
  const bool grew = longestGrew_;
  pending_ = false;
  longestGrew_ = false;
  if (hadRange && onRange_) onRange_(first, last);
  if (grew && onWidth_) onWidth_();
  if (onEndChange_) onEndChange_();
}

void TZNStrings::SetHooks(NotifyHook beginChange, NotifyHook endChange, RangeHook range,
                          NotifyHook width) {
  onBeginChange_ = std::move(beginChange);
  onEndChange_ = std::move(endChange);
  onRange_ = std::move(range);
  onWidth_ = std::move(width);
}

}  // namespace kv
