#pragma once
// The clipboard: text, and the program's own registered formats as bytes. Each call opens
// and closes the clipboard; false when another program holds it open.
#include <windows.h>

#include <optional>
#include <string>

namespace kv::ui {

class TClipboard {
 public:
  // owner: the window that puts data on the clipboard (may be null).
  explicit TClipboard(HWND owner = nullptr) : owner_(owner) {}

  bool HasText() const;
  std::optional<std::string> GetText() const;
  // Replaces the clipboard's contents with the text.
  bool SetText(const std::string& text);

  // A format of the program's own, by name (the same id in every program that registers it).
  static UINT RegisterFormat(const std::string& name);
  bool HasFormat(UINT format) const;
  std::optional<std::string> GetData(UINT format) const;
  // Replaces the contents with the bytes in the format and, when text is given, the text.
  bool SetData(UINT format, const std::string& bytes, const std::string* text = nullptr);

 private:
  HWND owner_;
};

}  // namespace kv::ui
