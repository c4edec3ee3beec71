#include "ui/canvas.h"

#include "base/exception.h"
#include "base/win/wide.h"
#include "ui/graphics.h"
#include "ui/window.h"

namespace kv::ui {

void TCanvas::Attach(HDC dc) {
  dc_ = dc;
  saved_ = dc ? SaveDC(dc) : 0;
}

void TCanvas::Detach() {
  if (dc_ && saved_) RestoreDC(dc_, saved_);
  saved_ = 0;
  dc_ = nullptr;
  if (pen_) DeleteObject(pen_);
  if (brush_) DeleteObject(brush_);
  pen_ = nullptr;
  brush_ = nullptr;
}

void TCanvas::ReplacePen(HPEN pen) {
  SelectObject(dc_, pen);
  if (pen_) DeleteObject(pen_);
  pen_ = pen;
}

void TCanvas::ReplaceBrush(HBRUSH brush) {
  SelectObject(dc_, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
  if (brush_) DeleteObject(brush_);
  brush_ = brush;
}

void TCanvas::SetPen(TColor color, int width, int style) {
  if (color == clNone) {
    SelectObject(dc_, GetStockObject(NULL_PEN));
    if (pen_) DeleteObject(pen_);
    pen_ = nullptr;
    return;
  }
  ReplacePen(CreatePen(style, width, ColorToRGB(color)));
}

void TCanvas::SetThickPen(TColor color, int width, TPenCap cap) {
  if (color == clNone || width < 1) {
    SetPen(clNone);
    return;
  }
  const DWORD capStyle = cap == TPenCap::Flat     ? PS_ENDCAP_FLAT
                         : cap == TPenCap::Square ? PS_ENDCAP_SQUARE
                                                  : PS_ENDCAP_ROUND;
  LOGBRUSH lb{BS_SOLID, ColorToRGB(color), 0};
  ReplacePen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | capStyle | PS_JOIN_ROUND,
                          static_cast<DWORD>(width), &lb, 0, nullptr));
}

void TCanvas::SetBrush(TColor color) {
  ReplaceBrush(color == clNone ? nullptr : CreateSolidBrush(ColorToRGB(color)));
}

void TCanvas::SetFont(HFONT font) {
  if (font) SelectObject(dc_, font);
}

void TCanvas::SetTextColor(TColor color) {
  ::SetTextColor(dc_, ColorToRGB(color));
}

void TCanvas::SetTextBackground(TColor color) {
  if (color == clNone) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(color));
  }
}

void TCanvas::FillRect(const TRect& r, TColor color) {
  if (color == clNone) return;
  RECT rc{r.left, r.top, r.right, r.bottom};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  ::FillRect(dc_, &rc, brush);
  DeleteObject(brush);
}

void TCanvas::FillRect(const TRect& r) {
  if (!brush_) return;
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rc, brush_);
}

void TCanvas::FrameRect(const TRect& r, TColor color) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  ::FrameRect(dc_, &rc, brush);
  DeleteObject(brush);
}

void TCanvas::Rectangle(const TRect& r) {
  ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void TCanvas::MoveTo(int x, int y) {
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  ::LineTo(dc_, x, y);
}

TColor TCanvas::Pixel(int x, int y) const {
  return GetPixel(dc_, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  ::SetPixel(dc_, x, y, ColorToRGB(color));
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  std::wstring w = win::Widen(text);
  ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
}

int TCanvas::DrawText(TRect& r, const std::string& text, UINT format) {
  std::wstring w = win::Widen(text);
  RECT rc{r.left, r.top, r.right, r.bottom};
  int height = ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, format);
  if (format & DT_CALCRECT) r = {rc.left, rc.top, rc.right, rc.bottom};
  return height;
}

TSize TCanvas::TextExtent(const std::string& text) const {
  std::wstring w = win::Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  DrawPart(x, y, bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
}

void TCanvas::DrawPart(int x, int y, const TBitmap& bitmap, const TRect& source) {
  if (bitmap.Empty()) return;
  HDC mem = CreateCompatibleDC(dc_);
  HGDIOBJ old = SelectObject(mem, bitmap.Handle());
  BitBlt(dc_, x, y, source.Width(), source.Height(), mem, source.left, source.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TCanvas::DrawIcon(int x, int y, const TIcon& icon, int size) {
  if (!icon.Empty()) DrawIconEx(dc_, x, y, icon.Handle(), size, size, 0, nullptr, DI_NORMAL);
}

void TCanvas::CopyFrom(const TRect& dest, const TCanvas& source, TPoint origin) {
  BitBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), source.dc_, origin.x, origin.y,
         SRCCOPY);
}

void TCanvas::DrawFocusRect(const TRect& r) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::DrawFocusRect(dc_, &rc);
}

void TCanvas::DrawEdge(const TRect& r, UINT edge, UINT flags) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::DrawEdge(dc_, &rc, edge, flags);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  std::vector<POINT> p;
  p.reserve(points.size());
  for (const TPoint& point : points) p.push_back({point.x, point.y});
  ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
}

void TCanvas::Ellipse(const TRect& r) {
  ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

TRect TCanvas::ClipRect() const {
  RECT rc{};
  GetClipBox(dc_, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

TPaintCanvas::TPaintCanvas(HWND hwnd) : hwnd_(hwnd) {
  Attach(BeginPaint(hwnd, &ps_));
}

TPaintCanvas::~TPaintCanvas() {
  Detach();
  EndPaint(hwnd_, &ps_);
}

TRect TPaintCanvas::PaintRect() const {
  return {ps_.rcPaint.left, ps_.rcPaint.top, ps_.rcPaint.right, ps_.rcPaint.bottom};
}

TWindowCanvas::TWindowCanvas(HWND hwnd) : hwnd_(hwnd) {
  Attach(GetDC(hwnd));
}

TWindowCanvas::~TWindowCanvas() {
  HDC dc = Handle();
  Detach();
  if (dc) ReleaseDC(hwnd_, dc);
}

TMemoryCanvas::TMemoryCanvas(int width, int height)
    : width_(width < 1 ? 1 : width), height_(height < 1 ? 1 : height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
  ReleaseDC(nullptr, screen);
  if (!dc || !bitmap_) {
    if (dc) DeleteDC(dc);
    if (bitmap_) DeleteObject(bitmap_);
    throw Exception("Cannot create an off-screen bitmap");
  }
  oldBitmap_ = SelectObject(dc, bitmap_);
  Attach(dc);
}

TMemoryCanvas::~TMemoryCanvas() {
  HDC dc = Handle();
  Detach();
  SelectObject(dc, oldBitmap_);
  DeleteDC(dc);
  DeleteObject(bitmap_);
}

void TMemoryCanvas::CopyTo(TCanvas& target, int x, int y) const {
  target.CopyFrom(TRect::FromBounds(x, y, width_, height_), *this, {0, 0});
}

}  // namespace kv::ui
