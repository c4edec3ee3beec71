#include "ui/clipboard.h"

#include <cstring>

#include "base/win/wide.h"

namespace kv::ui {
namespace {

// Opens the clipboard for its lifetime; another program may hold it for a moment.
class TOpenClipboard {
 public:
  explicit TOpenClipboard(HWND owner) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~TOpenClipboard() {
    if (open_) CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

HGLOBAL CopyToGlobal(const void* data, size_t size) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!mem) return nullptr;
  void* p = GlobalLock(mem);
  if (!p) {
    GlobalFree(mem);
    return nullptr;
  }
  std::memcpy(p, data, size);
  GlobalUnlock(mem);
  return mem;
}

bool Put(UINT format, const void* data, size_t size) {
  HGLOBAL mem = CopyToGlobal(data, size);
  if (!mem) return false;
  if (!SetClipboardData(format, mem)) {
    GlobalFree(mem);  // still ours when the clipboard refused it
    return false;
  }
  return true;
}

bool PutText(const std::string& text) {
  std::wstring w = win::Widen(text);
  return Put(CF_UNICODETEXT, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
}

}  // namespace

bool TClipboard::HasText() const {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

std::optional<std::string> TClipboard::GetText() const {
  TOpenClipboard open(owner_);
  if (!open.IsOpen()) return std::nullopt;
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return std::nullopt;
  const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return std::nullopt;
  size_t max = GlobalSize(h) / sizeof(wchar_t);
  size_t length = 0;
  while (length < max && p[length]) ++length;
  std::string text = win::Narrow(std::wstring_view(p, length));
  GlobalUnlock(h);
  return text;
}

bool TClipboard::SetText(const std::string& text) {
  TOpenClipboard open(owner_);
  if (!open.IsOpen() || !EmptyClipboard()) return false;
  return PutText(text);
}

UINT TClipboard::RegisterFormat(const std::string& name) {
  return RegisterClipboardFormatW(win::Widen(name).c_str());
}

bool TClipboard::HasFormat(UINT format) const {
  return format && IsClipboardFormatAvailable(format);
}

std::optional<std::string> TClipboard::GetData(UINT format) const {
  TOpenClipboard open(owner_);
  if (!open.IsOpen()) return std::nullopt;
  HANDLE h = GetClipboardData(format);
  if (!h) return std::nullopt;
  const auto* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return std::nullopt;
  std::string bytes(p, GlobalSize(h));
  GlobalUnlock(h);
  return bytes;
}

bool TClipboard::SetData(UINT format, const std::string& bytes, const std::string* text) {
  TOpenClipboard open(owner_);
  if (!open.IsOpen() || !EmptyClipboard()) return false;
  if (!Put(format, bytes.data(), bytes.size())) return false;
  return !text || PutText(*text);
}

}  // namespace kv::ui
