#include "app/shell/error_lines.h"

#include "base/main_thread.h"

namespace kv {

void TErrorLines::Add(const std::string& text) {
  // As a memo splits a text: at CR, LF or CR LF.
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines_.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  lines_.push_back(line);
}

void TErrorLines::StartGroup() {
  if (!lines_.empty()) lines_.push_back(kErrorGroupSeparator);
  mark_ = lines_.size();
}

void TErrorLines::Clear() {
  lines_.clear();
  mark_ = 0;
}

void TReportPoster::Report(const std::string& line) const {
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  if (calls.IsMainThread()) {
    receiver_(line);
    return;
  }
  TReceiver receiver = receiver_;
  calls.Queue([receiver, line] { receiver(line); });
}

}  // namespace kv
