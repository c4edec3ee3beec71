// The main window's toolbar and menu pictures, 16 x 16, drawn from a few strokes each on the
// mask colour so they need no bitmap files and stay crisp.
#include <windows.h>

#include <vector>

#include "app/main_window/win/main_form.h"

namespace kv {
namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);
constexpr COLORREF kInk = RGB(70, 70, 80);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kLines = RGB(150, 160, 200);

class TGdi {
 public:
  explicit TGdi(HDC dc) : dc_(dc) {}
  void Box(int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
    Shape(l, t, r, b, fill, edge, &Rectangle);
  }
  void Line(int x0, int y0, int x1, int y1, COLORREF color, int width = 1) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
    SelectObject(dc_, old);
    DeleteObject(pen);
  }
  void Disc(int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
    Shape(l, t, r, b, fill, edge, &Ellipse);
  }
  // A sheet with text lines and a folded corner.
  void Sheet(int x, int y, int w = 10, int h = 13) {
    Box(x, y, x + w, y + h, kPaper, kInk);
    for (int row = y + 3; row < y + h - 2; row += 2) Line(x + 2, row, x + w - 3, row, kLines);
  }

 private:
  void Shape(int l, int t, int r, int b, COLORREF fill, COLORREF edge,
             BOOL(WINAPI* draw)(HDC, int, int, int, int)) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ oldBrush = SelectObject(dc_, brush), oldPen = SelectObject(dc_, pen);
    draw(dc_, l, t, r, b);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
  }

  HDC dc_;
};

void Draw(TGdi& g, int image, int x) {
  switch (image) {
    case imgNew:
      g.Box(x + 3, 1, x + 13, 15, kPaper, kInk);
      g.Line(x + 9, 1, x + 12, 4, kInk);
      g.Disc(x + 9, 9, x + 16, 16, RGB(255, 210, 40), RGB(190, 140, 0));
      break;
    case imgOpen:
      g.Box(x + 1, 3, x + 7, 6, RGB(230, 180, 50), RGB(150, 100, 20));
      g.Box(x + 1, 5, x + 15, 14, RGB(250, 205, 80), RGB(150, 100, 20));
      break;
    case imgSave:
      g.Box(x + 1, 1, x + 15, 15, RGB(50, 90, 180), RGB(20, 40, 100));
      g.Box(x + 4, 2, x + 12, 7, kPaper, RGB(20, 40, 100));
      g.Box(x + 5, 10, x + 11, 15, RGB(200, 200, 210), RGB(20, 40, 100));
      break;
    case imgAdd:
      g.Box(x + 6, 2, x + 10, 14, RGB(40, 170, 60), RGB(20, 110, 30));
      g.Box(x + 2, 6, x + 14, 10, RGB(40, 170, 60), RGB(20, 110, 30));
      g.Line(x + 7, 7, x + 9, 7, RGB(40, 170, 60));
      g.Line(x + 7, 8, x + 9, 8, RGB(40, 170, 60));
      break;
    case imgEdit:
      g.Sheet(x + 1, 1);
      g.Line(x + 6, 13, x + 13, 6, RGB(230, 140, 30), 3);
      g.Line(x + 5, 14, x + 6, 13, kInk, 2);
      break;
    case imgRename:
      g.Box(x + 1, 4, x + 15, 12, kPaper, kInk);
      g.Line(x + 3, 6, x + 3, 10, kInk);
      g.Line(x + 5, 10, x + 7, 6, kInk);
      g.Line(x + 7, 6, x + 9, 10, kInk);
      g.Line(x + 6, 9, x + 9, 9, kInk);
      g.Line(x + 11, 2, x + 11, 14, RGB(30, 30, 160));
      break;
    case imgCopy:
      g.Sheet(x + 1, 1, 9, 11);
      g.Sheet(x + 6, 4, 9, 11);
      break;
    case imgCut:
      g.Line(x + 5, 1, x + 10, 10, kInk, 1);
      g.Line(x + 11, 1, x + 6, 10, kInk, 1);
      g.Disc(x + 2, 9, x + 8, 15, kPaper, RGB(200, 40, 40));
      g.Disc(x + 8, 9, x + 14, 15, kPaper, RGB(200, 40, 40));
      break;
    case imgPaste:
      g.Box(x + 1, 2, x + 12, 15, RGB(180, 130, 70), RGB(110, 70, 30));
      g.Box(x + 4, 1, x + 9, 4, RGB(210, 210, 210), RGB(90, 90, 90));
      g.Sheet(x + 6, 6, 9, 10);
      break;
    case imgDelete:
      g.Line(x + 4, 4, x + 12, 12, RGB(210, 30, 30), 3);
      g.Line(x + 12, 4, x + 4, 12, RGB(210, 30, 30), 3);
      break;
    case imgLog:
      g.Box(x + 1, 1, x + 15, 15, RGB(30, 30, 40), RGB(90, 90, 100));
      for (int row = 4; row < 13; row += 3)
        g.Line(x + 3, row, x + 3 + (row % 2 ? 9 : 6), row, RGB(120, 230, 130));
      break;
    case imgPanic:
      g.Disc(x + 0, 0, x + 16, 16, RGB(215, 30, 30), RGB(130, 10, 10));
      g.Box(x + 4, 6, x + 12, 10, kPaper, kPaper);
      break;
    default:
      break;
  }
}

}  // namespace

void MakeMainImages(ui::TImageList& images) {
  ui::TBitmap strip;
  strip.Create(16 * imgCount, 16, kMask);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip.Handle());
  TGdi gdi(dc);
  for (int i = 0; i < imgCount; ++i) Draw(gdi, i, i * 16);
  SelectObject(dc, old);
  DeleteDC(dc);
  images.Create(16, 16);
  images.AddStrip(strip, kMask);
}

}  // namespace kv
