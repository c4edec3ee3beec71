#include "base/text_helpers.h"

#include <atomic>

#include "base/exception.h"
#include "base/text.h"

namespace kv {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

std::atomic<int32_t> g_nextHashId{1};

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return 10 + (c - 'a');
  if (c >= 'A' && c <= 'F') return 10 + (c - 'A');
  return -1;
}

int32_t HexToInt(std::string_view text) {
  uint32_t acc = 0;
  for (char c : text) {
    const int v = HexDigitValue(c);
    if (v < 0) return -1;
    acc = (acc << 4) | static_cast<uint32_t>(v);
  }
  return static_cast<int32_t>(acc);
}

int32_t HexToIntAt(std::string_view text, size_t position, size_t count) {
  if (count == 0) return 0;
  if (position < 1 || position - 1 > text.size() || count > text.size() - (position - 1)) {
    return -1;
  }
  return HexToInt(text.substr(position - 1, count));
}

std::string IntToHexFixed(int64_t value, int digits, int keep) {
  uint64_t v = static_cast<uint64_t>(value);
  if (value < 0) v &= 0xFFFFFFFFull;  // a negative value is its 32-bit form
  std::string out;
  do {
    out.insert(out.begin(), kHexDigits[v & 15]);
    v >>= 4;
  } while (v != 0);
  if (digits > 0 && out.size() < static_cast<size_t>(digits)) {
    out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
  }
  if (keep >= 1 && out.size() > static_cast<size_t>(keep)) {
    out.erase(0, out.size() - static_cast<size_t>(keep));
  }
  return out;
}

std::string EncodeLengthPrefixed(std::string_view text) {
  if (text.size() > kMaxLengthPrefixed) text = text.substr(0, kMaxLengthPrefixed);
  std::string out = IntToHexFixed(static_cast<int64_t>(text.size()), 4, 4);
  out.append(text);
  return out;
}

size_t DecodeLengthPrefixed(std::string_view text, size_t position, std::string& out) {
  static const char* kWrong = "Wrong string format";
  if (position < 1 || position - 1 > text.size() || text.size() - (position - 1) < 4) {
    throw Exception(kWrong);
  }
  const int32_t length = HexToIntAt(text, position, 4);
  if (length < 0) throw Exception(kWrong);
  const size_t start = position - 1 + 4;
  if (static_cast<size_t>(length) > text.size() - start) throw Exception(kWrong);
  out.assign(text.substr(start, static_cast<size_t>(length)));
  return 4 + static_cast<size_t>(length);
}

bool StrHasPrefix(std::string_view text, std::string_view prefix, bool ignoreCase) {
  if (prefix.size() > text.size()) return false;
  const std::string_view head = text.substr(0, prefix.size());
  return ignoreCase ? SameText(head, prefix) : head == prefix;
}

std::string BytesToHexText(const uint8_t* bytes, size_t count) {
  std::string out;
  if (!bytes) return out;
  out.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ' ';
    out += kHexDigits[bytes[i] >> 4];
    out += kHexDigits[bytes[i] & 15];
  }
  return out;
}

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\b':
        out += "\\a";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;  // a backslash at the very end is dropped
    const char c = text[++i];
    switch (c) {
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 'a':
        out += '\b';
        break;
      default:
        out += c;  // "\\" and any other escaped character
    }
  }
  return out;
}

bool IsAbsolutePath(std::string_view path) {
  size_t i = 0;
  while (i < path.size() && (path[i] == '"' || path[i] == ' ')) ++i;
  const std::string_view rest = path.substr(i);
  if (rest.size() < 3) return false;
  return rest[1] == ':' || (rest[0] == '\\' && rest[1] == '\\');
}

std::string MakeAbsolutePath(std::string_view path, std::string_view folder) {
  if (IsAbsolutePath(path)) return std::string(path);
  std::string out(folder);
  const bool pathSlash = !path.empty() && path[0] == '\\';
  const bool folderSlash = !folder.empty() && folder.back() == '\\';
  if (!pathSlash && !folderSlash) out += '\\';
  out.append(path);
  return out;
}

int32_t THashStringSet::GetId(std::string_view name, bool add) {
  const std::string key = UpperCase(name);
  std::lock_guard<std::mutex> guard(mutex_);
  for (const Entry& e : entries_) {
    if (e.name == key) return e.id;
  }
  if (!add) return 0;
  const int32_t id = g_nextHashId.fetch_add(1, std::memory_order_relaxed);
  entries_.push_back({key, id});
  return id;
}

std::string THashStringSet::NameOf(int32_t id) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const Entry& e : entries_) {
    if (e.id == id) return e.name;
  }
  return {};
}

void THashStringSet::Clear() {
  std::lock_guard<std::mutex> guard(mutex_);
  entries_.clear();
}

size_t THashStringSet::Count() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return entries_.size();
}

}  // namespace kv
