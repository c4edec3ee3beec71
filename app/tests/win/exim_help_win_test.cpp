// The export/import help window as a user meets it: its texts, its size, the check box and the
// two buttons clicked with the mouse; a picture of it is saved under the build folder.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/shell/win/exim_help.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv {
namespace {

void ClickCentre(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

bool SaveWindowPicture(HWND window, const char* path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  BITMAPINFOHEADER bi{sizeof(bi), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (w * 3 + 3) & ~3;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(bi) + pixels.size()), 0, 0,
                      sizeof(fh) + sizeof(bi)};
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  fwrite(&fh, sizeof fh, 1, f);
  fwrite(&bi, sizeof bi, 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  fclose(f);
  return true;
}

class ExImHelpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ui::Application().Initialize(); }
};

TEST_F(ExImHelpTest, TheImportPageShowsItsTextsAndAnswersWithTheBox) {
  TExImHelp help(TExImHelpModel::kImportPage, false, nullptr);
  EXPECT_EQ(help.Text(), "Import Settings");
  EXPECT_EQ(help.Title().Text(), "Import Settings");
  EXPECT_FALSE(help.DontShowAgain().Checked());
  EXPECT_EQ(help.OkButton().Text(), "OK");
  EXPECT_EQ(help.CancelButton().Text(), "Cancel");
  // Every control lies inside the client area, which fits them.
  RECT client;
  GetClientRect(help.Handle(), &client);
  RECT ok;
  GetWindowRect(help.OkButton().Handle(), &ok);
  POINT bottomRight{ok.right, ok.bottom};
  ScreenToClient(help.Handle(), &bottomRight);
  EXPECT_LE(bottomRight.y, client.bottom);
  EXPECT_GT(client.bottom, 200);

  bool saved = false;
  std::optional<bool> answer;
  ui::Application().Post([&] {
    EXPECT_TRUE(ui::testing::PumpUntil([&] { return IsWindowVisible(help.Handle()) != 0; }));
    ui::testing::MakeForeground(help.Handle());
    ui::testing::PumpFor(200);
    saved = SaveWindowPicture(help.Handle(), KV_SHOT_DIR "/exim-help.bmp");
    ClickCentre(help.DontShowAgain().Handle());
    EXPECT_TRUE(ui::testing::PumpUntil([&] { return help.DontShowAgain().Checked(); }));
    ClickCentre(help.OkButton().Handle());
  });
  answer = help.Run();
  EXPECT_TRUE(saved);
  ASSERT_TRUE(answer.has_value());
  EXPECT_TRUE(*answer);
}

TEST_F(ExImHelpTest, CancelGivesNoAnswer) {
  TExImHelp help(TExImHelpModel::kExportPage, true, nullptr);
  EXPECT_EQ(help.Text(), "Export Settings");
  EXPECT_TRUE(help.DontShowAgain().Checked());
  ui::Application().Post([&] {
    EXPECT_TRUE(ui::testing::PumpUntil([&] { return IsWindowVisible(help.Handle()) != 0; }));
    ui::testing::MakeForeground(help.Handle());
    ClickCentre(help.CancelButton().Handle());
  });
  EXPECT_FALSE(help.Run().has_value());
}

}  // namespace
}  // namespace kv
