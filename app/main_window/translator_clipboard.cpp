#include "app/main_window/translator_clipboard.h"

#include <cstring>

#include "app/main_window/project_text.h"
#include "base/text_helpers.h"

namespace kv {
namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

bool StartsBlock(const std::string& line) { return StrHasPrefix(line, kClipNameKey, false); }

}  // namespace

TTranslatorClip WriteTranslatorClip(const std::vector<TClipTranslator>& translators) {
  std::vector<std::string> blocks, text;
  for (const TClipTranslator& t : translators) {
    t.translator->CopyToStrings(blocks);
    DescribeTranslator(text, -1, t.index, *t.translator);
  }
  return {JoinTextLines(blocks), JoinTextLines(text)};
}

std::vector<TTransMsgPtr> ReadTranslatorClip(const void* data, size_t size,
                                             const TTransMsgErrorCallback& onError) {
  std::vector<TTransMsgPtr> result;
  if (!data || size == 0) return result;
  const char* bytes = static_cast<const char*>(data);
  const void* zero = std::memchr(bytes, 0, size);
  const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
  const std::vector<std::string> lines = SplitLines(std::string_view(bytes, length));
  // A block runs from its "Name=" line to the next one; a torn block is skipped without
  // throwing the following blocks out of step.
  size_t i = 0;
  while (i < lines.size()) {
    if (!StartsBlock(lines[i])) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < lines.size() && end - i < 4 && !StartsBlock(lines[end])) ++end;
    std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                   lines.begin() + static_cast<std::ptrdiff_t>(end));
    size_t index = 0;
    TTransMsgPtr translator = TTransMsg::Create();
    if (block.size() == 4 && translator->PasteFromStrings(block, index, onError))
      result.push_back(std::move(translator));
    i = end;
  }
  return result;
}

}  // namespace kv
