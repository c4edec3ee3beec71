#pragma once
// GDI objects with owners: fonts, bitmaps (from the program's resources or made in code),
// icons and image lists. Each frees its handle when it ends; moving hands the handle on.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/color.h"

namespace kv::ui {

struct TFontSpec {
  std::string name = "Tahoma";
  int height = -11;  // negative: character height in pixels (as LOGFONT)
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  TColor color = clWindowText;  // kept for the control drawing with the font
};

class TFont {
 public:
  TFont() = default;
  explicit TFont(const TFontSpec& fontSpec) { Create(fontSpec); }
  ~TFont() { Reset(); }
  TFont(TFont&& other) noexcept;
  TFont& operator=(TFont&& other) noexcept;

  void Create(const TFontSpec& fontSpec);
  // The system's message-box font (what dialogs use).
  void CreateMessageFont();
  const TFontSpec& Params() const { return spec_; }
  HFONT Handle() const { return font_; }
  explicit operator bool() const { return font_ != nullptr; }
  void Reset();

 private:
  HFONT font_ = nullptr;
  TFontSpec spec_;
};

class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap() { Reset(); }
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;

  // A bitmap resource of the program by name; false (bitmap unchanged) when it is missing.
  bool LoadFromResource(const std::string& name, HINSTANCE module = nullptr);
  bool LoadFromResource(int id, HINSTANCE module = nullptr);
  // A bitmap compatible with the screen, filled with the colour.
  void Create(int width, int height, TColor fill = clWhite);
  // A copy of another bitmap's picture.
  void Assign(const TBitmap& other);
  // Takes ownership of a handle.
  void Adopt(HBITMAP bitmap);
  // A copy of what the screen shows in the rectangle (screenshots of tests and galleries).
  bool CaptureScreen(int left, int top, int width, int height);
  // Writes a 24-bit .bmp file; false when it cannot be written.
  bool SaveToFile(const std::string& fileName) const;
  // The colour of one pixel (0x00BBGGRR), clNone outside the bitmap.
  TColor PixelAt(int x, int y) const;

  HBITMAP Handle() const { return bitmap_; }
  bool Empty() const { return bitmap_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Reset();

 private:
  void ReadSize();
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class TIcon {
 public:
  TIcon() = default;
  ~TIcon() { Reset(); }
  TIcon(TIcon&& other) noexcept;
  TIcon& operator=(TIcon&& other) noexcept;

  // An icon resource by name at the given size (0: the system's default icon size).
  bool LoadFromResource(const std::string& name, int size = 0, HINSTANCE module = nullptr);
  bool LoadFromResource(int id, int size = 0, HINSTANCE module = nullptr);
  void Adopt(HICON icon);
  HICON Handle() const { return icon_; }
  bool Empty() const { return icon_ == nullptr; }
  void Reset();

 private:
  HICON icon_ = nullptr;
};

// Equal-sized images for list views, tree views and toolbars.
class TImageList {
 public:
  TImageList() = default;
  TImageList(int width, int height) { Create(width, height); }
  ~TImageList() { Reset(); }
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  void Create(int width, int height);
  // A strip of images side by side; pixels of the mask colour are transparent. Returns the
  // index of the first image added, -1 on failure.
  int AddStrip(const TBitmap& strip, TColor maskColor);
  int AddIcon(const TIcon& icon);
  int Count() const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  HIMAGELIST Handle() const { return list_; }
  void Draw(HDC dc, int index, int x, int y, bool enabled = true) const;
  void Reset();

 private:
  HIMAGELIST list_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace kv::ui
