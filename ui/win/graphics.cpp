#include "ui/graphics.h"

#include <utility>
#include <vector>

#include "base/ini_file.h"

#include "base/win/wide.h"
#include "ui/window.h"

namespace kv::ui {

// --- TFont ---

TFont::TFont(TFont&& other) noexcept
    : font_(std::exchange(other.font_, nullptr)), spec_(std::move(other.spec_)) {}

TFont& TFont::operator=(TFont&& other) noexcept {
  if (this != &other) {
    Reset();
    font_ = std::exchange(other.font_, nullptr);
    spec_ = std::move(other.spec_);
  }
  return *this;
}

void TFont::Create(const TFontSpec& fontSpec) {
  LOGFONTW lf{};
  lf.lfHeight = fontSpec.height;
  lf.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = fontSpec.italic;
  lf.lfUnderline = fontSpec.underline;
  lf.lfStrikeOut = fontSpec.strikeOut;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  std::wstring name = win::Widen(fontSpec.name);
  wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) return;
  Reset();
  font_ = font;
  spec_ = fontSpec;
}

void TFont::CreateMessageFont() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    Create(TFontSpec{});
    return;
  }
  HFONT font = CreateFontIndirectW(&ncm.lfMessageFont);
  if (!font) return;
  Reset();
  font_ = font;
  spec_ = TFontSpec{};
  spec_.name = win::Narrow(ncm.lfMessageFont.lfFaceName);
  spec_.height = ncm.lfMessageFont.lfHeight;
}

void TFont::Reset() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

// --- TBitmap ---

TBitmap::TBitmap(TBitmap&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  if (this != &other) {
    Reset();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

bool TBitmap::LoadFromResource(const std::string& name, HINSTANCE module) {
  std::wstring w = win::Widen(name);
  HANDLE h = LoadImageW(module ? module : GetModuleHandleW(nullptr), w.c_str(), IMAGE_BITMAP, 0, 0,
                        LR_CREATEDIBSECTION);
  if (!h) return false;
  Adopt(static_cast<HBITMAP>(h));
  return true;
}

bool TBitmap::LoadFromResource(int id, HINSTANCE module) {
  HANDLE h = LoadImageW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) return false;
  Adopt(static_cast<HBITMAP>(h));
  return true;
}

void TBitmap::Create(int width, int height, TColor fill) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width < 1 ? 1 : width, height < 1 ? 1 : height);
  if (bitmap) {
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    RECT r{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(fill));
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  ReleaseDC(nullptr, screen);
  if (bitmap) Adopt(bitmap);
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  if (other.Empty()) {
    Reset();
    return;
  }
  HANDLE copy = CopyImage(other.bitmap_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (copy) Adopt(static_cast<HBITMAP>(copy));
}

void TBitmap::Adopt(HBITMAP bitmap) {
  if (bitmap == bitmap_) return;
  Reset();
  bitmap_ = bitmap;
  ReadSize();
}

bool TBitmap::CaptureScreen(int left, int top, int width, int height) {
  if (width < 1 || height < 1) return false;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  bool ok = false;
  if (bitmap) {
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    ok = BitBlt(mem, 0, 0, width, height, screen, left, top, SRCCOPY) != FALSE;
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  ReleaseDC(nullptr, screen);
  if (!ok) {
    if (bitmap) DeleteObject(bitmap);
    return false;
  }
  Adopt(bitmap);
  return true;
}

bool TBitmap::SaveToFile(const std::string& fileName) const {
  if (!bitmap_) return false;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width_;
  info.biHeight = height_;  // bottom-up, as .bmp files store rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
  std::vector<char> pixels(stride * static_cast<size_t>(height_));
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap_, 0, static_cast<UINT>(height_), pixels.data(),
                       reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height_) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  bytes.append(pixels.data(), pixels.size());
  try {
    WriteFileAtomically(fileName, bytes);
  } catch (const EFileError&) {
    return false;
  }
  return true;
}

TColor TBitmap::PixelAt(int x, int y) const {
  if (!bitmap_ || x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, bitmap_);
  COLORREF c = GetPixel(mem, x, y);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return c;
}

void TBitmap::ReadSize() {
  BITMAP bm{};
  if (bitmap_ && GetObjectW(bitmap_, sizeof(bm), &bm)) {
    width_ = bm.bmWidth;
    height_ = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  } else {
    width_ = height_ = 0;
  }
}

void TBitmap::Reset() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

// --- TIcon ---

TIcon::TIcon(TIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}

TIcon& TIcon::operator=(TIcon&& other) noexcept {
  if (this != &other) {
    Reset();
    icon_ = std::exchange(other.icon_, nullptr);
  }
  return *this;
}

bool TIcon::LoadFromResource(const std::string& name, int size, HINSTANCE module) {
  std::wstring w = win::Widen(name);
  HANDLE h = LoadImageW(module ? module : GetModuleHandleW(nullptr), w.c_str(), IMAGE_ICON, size,
                        size, size ? 0 : LR_DEFAULTSIZE);
  if (!h) return false;
  Adopt(static_cast<HICON>(h));
  return true;
}

bool TIcon::LoadFromResource(int id, int size, HINSTANCE module) {
  HANDLE h = LoadImageW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                        IMAGE_ICON, size, size, size ? 0 : LR_DEFAULTSIZE);
  if (!h) return false;
  Adopt(static_cast<HICON>(h));
  return true;
}

void TIcon::Adopt(HICON icon) {
  if (icon == icon_) return;
  Reset();
  icon_ = icon;
}

void TIcon::Reset() {
  if (icon_) DestroyIcon(icon_);
  icon_ = nullptr;
}

// --- TImageList ---

void TImageList::Create(int width, int height) {
  Reset();
  list_ = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 8, 8);
  width_ = width;
  height_ = height;
}

int TImageList::AddStrip(const TBitmap& strip, TColor maskColor) {
  if (!list_ || strip.Empty()) return -1;
  // The image list takes a copy; the caller's bitmap stays its own.
  TBitmap copy;
  copy.Assign(strip);
  return ImageList_AddMasked(list_, copy.Handle(), ColorToRGB(maskColor));
}

int TImageList::AddIcon(const TIcon& icon) {
  if (!list_ || icon.Empty()) return -1;
  return ImageList_AddIcon(list_, icon.Handle());
}

int TImageList::Count() const {
  return list_ ? ImageList_GetImageCount(list_) : 0;
}

void TImageList::Draw(HDC dc, int index, int x, int y, bool enabled) const {
  if (!list_) return;
  if (enabled) {
    ImageList_Draw(list_, index, dc, x, y, ILD_TRANSPARENT);
  } else {
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof(p);
    p.himl = list_;
    p.i = index;
    p.hdcDst = dc;
    p.x = x;
    p.y = y;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_DEFAULT;
    p.fStyle = ILD_TRANSPARENT;
    p.fState = ILS_SATURATE;
    ImageList_DrawIndirect(&p);
  }
}

void TImageList::Reset() {
  if (list_) ImageList_Destroy(list_);
  list_ = nullptr;
}

}  // namespace kv::ui
