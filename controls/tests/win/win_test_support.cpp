#include "controls/tests/win/win_test_support.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace kv::test {

TBrowserSeams StandInBrowser(std::string* started) {
  TBrowserSeams seams;
  seams.readClassDefault = [](const std::string& key) -> std::optional<std::string> {
    if (key == "http") return std::string();
    if (key == "http\\shell\\open\\command") return std::string("C:\\web\\web.exe \"%1\"");
    return std::nullopt;
  };
  seams.fileExists = [](const std::string&) { return true; };
  seams.start = [started](const std::string& program, const std::string& params) {
    if (started) *started = program + " " + params;
    return true;
  };
  return seams;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path) {
  UpdateWindow(window);
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(bi);
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  const int stride = ((w * 3 + 3) / 4) * 4;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  fwrite(&fh, sizeof(fh), 1, f);
  fwrite(&bi, sizeof(bi), 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  fclose(f);
  return true;
}

}  // namespace kv::test
