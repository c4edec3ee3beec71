#pragma once
// Drawing: a canvas over a device context, with the pen, brush, font and text colours it
// draws with; the paint canvas of WM_PAINT, a window canvas for drawing outside WM_PAINT and
// a memory canvas (an off-screen bitmap) for double buffering. A canvas restores the
// context's selections and frees the objects it made when it ends.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/geometry.h"

namespace kv::ui {

class TBitmap;
class TIcon;

// How the ends of a thick line look: rounded, squared beyond the end point, or cut at it.
enum class TPenCap { Round, Square, Flat };

class TCanvas {
 public:
  // Draws on a context owned elsewhere (a control's WM_PAINT or WM_DRAWITEM context).
  explicit TCanvas(HDC dc) { Attach(dc); }
  virtual ~TCanvas() { Detach(); }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }

  void SetPen(TColor color, int width = 1, int style = PS_SOLID);
  // A solid pen of any width with the given ends; corners of polylines are rounded.
  void SetThickPen(TColor color, int width, TPenCap cap = TPenCap::Round);
  // clNone: a hollow brush (shapes are not filled).
  void SetBrush(TColor color);
  void SetFont(HFONT font);  // not owned
  void SetTextColor(TColor color);
  // clNone: text is drawn without background.
  void SetTextBackground(TColor color);

  void FillRect(const TRect& r, TColor color);
  void FillRect(const TRect& r);  // with the brush
  void FrameRect(const TRect& r, TColor color);
  void Rectangle(const TRect& r);  // outline with the pen, inside with the brush
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is not drawn, as in GDI
  void Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  // Joined lines through the points with the pen (nothing for fewer than two points).
  void Polyline(const std::vector<TPoint>& points);
  // The ellipse inside r: outline with the pen, inside with the brush.
  void Ellipse(const TRect& r);
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  void TextOut(int x, int y, const std::string& text);
  // DrawTextW with DT_* format flags; returns the text's height. With DT_CALCRECT r becomes
  // the rectangle the text needs.
  int DrawText(TRect& r, const std::string& text, UINT format);
  TSize TextExtent(const std::string& text) const;
  int TextWidth(const std::string& text) const { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) const { return TextExtent(text).cy; }

  void Draw(int x, int y, const TBitmap& bitmap);
  // Copies part of a bitmap.
  void DrawPart(int x, int y, const TBitmap& bitmap, const TRect& source);
  void DrawIcon(int x, int y, const TIcon& icon, int size = 0);
  // Copies from another canvas (BitBlt, SRCCOPY).
  void CopyFrom(const TRect& dest, const TCanvas& source, TPoint sourceOrigin);
  void DrawFocusRect(const TRect& r);
  void DrawEdge(const TRect& r, UINT edge, UINT flags);

  // The part of the context that may be drawn on (the invalid part while painting).
  TRect ClipRect() const;

 protected:
  TCanvas() = default;
  void Attach(HDC dc);
  // Restores the selections and frees the pen and brush; derived classes call it before they
  // release the context.
  void Detach();

 private:
  void ReplacePen(HPEN pen);
  void ReplaceBrush(HBRUSH brush);

  HDC dc_ = nullptr;
  int saved_ = 0;
  HPEN pen_ = nullptr;      // owned
  HBRUSH brush_ = nullptr;  // owned (null: a stock brush is selected)
};

// The canvas of WM_PAINT: BeginPaint and EndPaint.
class TPaintCanvas : public TCanvas {
 public:
  explicit TPaintCanvas(HWND hwnd);
  ~TPaintCanvas() override;
  TRect PaintRect() const;
  bool EraseRequested() const { return ps_.fErase != FALSE; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
};

// A window's client area outside WM_PAINT (GetDC and ReleaseDC).
class TWindowCanvas : public TCanvas {
 public:
  explicit TWindowCanvas(HWND hwnd);
  ~TWindowCanvas() override;

 private:
  HWND hwnd_;
};

// An off-screen bitmap compatible with the screen, to draw into and then copy in one step.
class TMemoryCanvas : public TCanvas {
 public:
  TMemoryCanvas(int width, int height);
  ~TMemoryCanvas() override;
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies the whole bitmap to (x, y) of the target.
  void CopyTo(TCanvas& target, int x = 0, int y = 0) const;

 private:
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_;
  int height_;
};

}  // namespace kv::ui
