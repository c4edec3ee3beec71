#pragma once
// Character-grid arithmetic of the text editor control: tab expansion, the visible part of a
// line, word boundaries, line breaks, the gutter's numbers and the completion entries.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Digits, A-Z, a-z, "@" and every code from 128 up; all else separates words.
bool IsZNWordChar(char c);

// The screen column of text column col (tabs expanded to the next multiple of tabWidth); a
// column beyond the line's end counts one screen column per column.
int ZNScreenColumn(std::string_view line, int col, int tabWidth);
// The text column whose screen column is screenCol (a column inside a tab gives the tab);
// beyond the line's end one column per screen column.
int ZNTextColumn(std::string_view line, int screenCol, int tabWidth);
// The line as shown: tabs as blanks, control characters as ".".
std::string ZNExpandLine(std::string_view line, int tabWidth);

// Text split at CR LF, CR or LF (each one break); "" gives one empty piece.
std::vector<std::string> ZNSplitLines(std::string_view text);

// Start of the word at or after col on the line (Ctrl+Right): the first word character after
// the next run of separators, else the line's length.
int ZNNextWordStart(std::string_view line, int col);
// Start of the word that ends at or spans col - 1, or -1 when no word character lies left of
// col on the line.
int ZNPrevWordStart(std::string_view line, int col);
// The word at col, or the next word on the line when col is not on one: [start, end).
// Returns false when there is none.
bool ZNWordAt(std::string_view line, int col, int& start, int& end);

// Rows to paint for a clip rectangle: every row that the rectangle touches, including one
// that it lies inside. Rows are relative to the top line; the result is clamped to
// 0..maxRow. Returns false when no row is touched.
bool ZNRowsForClip(int clipTop, int clipBottom, int lineHeight, int maxRow, int& first, int& last);

// The gutter number as shown: zero-padded to leadingDigits + 1 digits when leadingDigits > 0.
std::string ZNGutterNumber(int number, int leadingDigits);

// A completion entry "first|second" or "first|second|insert".
struct TZNDropEntry {
  bool hasFields = false;
  std::string first, second, insert;
  std::string whole;
  std::string InsertionText() const;  // third field, else second, else the whole entry
};
TZNDropEntry ZNParseDropEntry(std::string_view entry);
// The characters still to type for an insertion when typed was already typed into the memo
// while the list was open: each position whose character equals, ignoring case, the typed
// character at the same position is skipped.
std::string ZNCompletionToType(std::string_view insertion, std::string_view typed);

// The link hint's text for a link.
std::string ZNLinkHintText(std::string_view link);

}  // namespace kv
