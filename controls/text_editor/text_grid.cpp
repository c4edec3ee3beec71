#include "controls/text_editor/text_grid.h"

#include <algorithm>

#include "base/text.h"
#include "base/utils.h"

namespace kv {

bool IsZNWordChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '@' ||
         c >= 128;
}

namespace {

int NextTabStop(int screen, int tabWidth) {
  const int w = std::max(1, tabWidth);
  return (screen / w + 1) * w;
}

}  // namespace

int ZNScreenColumn(std::string_view line, int col, int tabWidth) {
  int screen = 0;
  const int len = static_cast<int>(line.size());
  for (int i = 0; i < col; ++i) {
    if (i < len && line[static_cast<size_t>(i)] == '\t') {
      screen = NextTabStop(screen, tabWidth);
    } else {
      ++screen;
    }
  }
  return screen;
}

int ZNTextColumn(std::string_view line, int screenCol, int tabWidth) {
  int screen = 0;
  const int len = static_cast<int>(line.size());
  for (int i = 0; i < len; ++i) {
    const int next =
        line[static_cast<size_t>(i)] == '\t' ? NextTabStop(screen, tabWidth) : screen + 1;
    if (screenCol < next) return i;
    screen = next;
  }
  return len + std::max(0, screenCol - screen);
}

std::string ZNExpandLine(std::string_view line, int tabWidth) {
  std::string out;
  for (char ch : line) {
    if (ch == '\t') {
      out.append(
          static_cast<size_t>(NextTabStop(static_cast<int>(out.size()), tabWidth)) - out.size(),
          ' ');
    } else if (static_cast<unsigned char>(ch) < 32) {
      out += '.';
    } else {
      out += ch;
    }
  }
  return out;
}

std::vector<std::string> ZNSplitLines(std::string_view text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

int ZNNextWordStart(std::string_view line, int col) {
  const int len = static_cast<int>(line.size());
  int p = std::clamp(col, 0, len);
  while (p < len && IsZNWordChar(line[static_cast<size_t>(p)])) ++p;
  while (p < len && !IsZNWordChar(line[static_cast<size_t>(p)])) ++p;
  return p;
}

int ZNPrevWordStart(std::string_view line, int col) {
  int p = std::clamp(col, 0, static_cast<int>(line.size()));
  while (p > 0 && !IsZNWordChar(line[static_cast<size_t>(p - 1)])) --p;
  if (p == 0) return -1;
  while (p > 0 && IsZNWordChar(line[static_cast<size_t>(p - 1)])) --p;
  return p;
}

bool ZNWordAt(std::string_view line, int col, int& start, int& end) {
  const int len = static_cast<int>(line.size());
  int p = std::clamp(col, 0, len);
  if (p < len && IsZNWordChar(line[static_cast<size_t>(p)])) {
    while (p > 0 && IsZNWordChar(line[static_cast<size_t>(p - 1)])) --p;
  } else {
    while (p < len && !IsZNWordChar(line[static_cast<size_t>(p)])) ++p;
    if (p >= len) return false;
  }
  start = p;
  while (p < len && IsZNWordChar(line[static_cast<size_t>(p)])) ++p;
  end = p;
  return true;
}

bool ZNRowsForClip(int clipTop, int clipBottom, int lineHeight, int maxRow, int& first, int& last) {
  if (lineHeight <= 0 || clipBottom <= clipTop || maxRow < 0) return false;
  // A row spans [r * h, (r + 1) * h); the clip [top, bottom). Testing overlap rather than
  // whether a row edge lies in the clip also paints a clip that sits inside one row.
  first = std::max(0, clipTop / lineHeight);
  last = std::min(maxRow, (clipBottom - 1) / lineHeight);
  return first <= last;
}

std::string ZNGutterNumber(int number, int leadingDigits) {
  std::string text = IntToStr(number);
  if (leadingDigits > 0) {
    const size_t width = static_cast<size_t>(leadingDigits) + 1;
    if (text.size() < width) text.insert(0, width - text.size(), '0');
  }
  return text;
}

std::string TZNDropEntry::InsertionText() const {
  if (!insert.empty()) return insert;
  if (!second.empty()) return second;
  return whole;
}

TZNDropEntry ZNParseDropEntry(std::string_view entry) {
  TZNDropEntry e;
  e.whole = std::string(entry);
  const size_t bar = entry.find('|');
  if (bar == std::string_view::npos) return e;
  e.hasFields = true;
  e.first = std::string(entry.substr(0, bar));
  const std::string_view rest = entry.substr(bar + 1);
  const size_t bar2 = rest.find('|');
  if (bar2 == std::string_view::npos) {
    e.second = std::string(rest);
  } else {
    e.second = std::string(rest.substr(0, bar2));
    e.insert = std::string(rest.substr(bar2 + 1));
  }
  return e;
}

std::string ZNCompletionToType(std::string_view insertion, std::string_view typed) {
  std::string out;
  for (size_t i = 0; i < insertion.size(); ++i) {
    if (i < typed.size() && UpCaseChar(insertion[i]) == UpCaseChar(typed[i])) continue;
    out += insertion[i];
  }
  return out;
}

std::string ZNLinkHintText(std::string_view link) {
  if (StrEndsWith(link, ".jpg", true) || StrEndsWith(link, ".gif", true) ||
      StrEndsWith(link, ".jpeg", true)) {
    return "Image: " + std::string(link);
  }
  return "Link to: " + std::string(link);
}

}  // namespace kv
