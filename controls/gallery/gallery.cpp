// A test-only program that shows every control of the library in one window and saves a
// picture of it, for a reviewer's eyes: controls_gallery [picture.bmp]
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "base/win/wide.h"
#include "controls/gallery/choice_controls_block.h"
#include "controls/tests/win/win_test_support.h"
#include "controls/win/history_menu.h"
#include "controls/win/img_control.h"
#include "controls/win/shadow_panel.h"
#include "controls/win/vk_edit.h"
#include "controls/win/web_label.h"
#include "controls/win/zarn_list_view.h"
#include "controls/win/zarn_memo.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace kv {
namespace {

// Five 9 x 9 lamp frames: dark, bright yellow, then fading through orange to brown.
std::unique_ptr<TBitmapPicture> LampStrip() {
  static const COLORREF colors[5] = {RGB(40, 30, 20), RGB(255, 240, 60), RGB(255, 170, 0),
                                     RGB(200, 110, 0), RGB(110, 60, 10)};
  ui::TBitmap b;
  b.Create(45, 9, ui::clBlack);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b.Handle());
  for (int i = 0; i < 5; ++i) {
    HBRUSH br = CreateSolidBrush(colors[i]);
    RECT r{i * 9 + 1, 1, i * 9 + 8, 8};
    FillRect(dc, &r, br);
    DeleteObject(br);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::make_unique<TBitmapPicture>(std::move(b));
}

int Run(const std::wstring& picture) {
  ui::Application().Initialize();
  ui::TFormParams p;
  p.caption = "Controls gallery";
  p.bounds = ui::TRect::FromBounds(0, 0, 820, 560);
  ui::TForm form(p);

  ui::TMainMenu bar;
  ui::TMenuItem& file = bar.Add("&File");
  file.Add("&Open...");
  file.Add("E&xit");
  form.SetMenu(&bar);
  THistoryMenu history;
  history.SetExistsTest([](const std::string&, bool) { return true; });
  history.SetMenu(file);
  history.AddFile("C:\\Shows\\Second set.kvp");
  history.AddFile("C:\\Shows\\Opening.kvp");

  auto& rules = form.Add<TZarnMemo>(form, ui::TRect::FromBounds(10, 10, 390, 200));
  rules.SetRightEdge(true);
  rules.SetRightEdgeCol(40);
  rules.GutterOptions().SetVisible(false);
  rules.Lines().SetText("if oo = 64 then pp = 127\r\nif pp > 100 then stop\r\n\tga = ga + 1");
  rules.SelectRange(3, 0, 1, 8);

  auto& log = form.Add<TZarnMemo>(form, ui::TRect::FromBounds(410, 10, 390, 200));
  log.SetReadOnly(true);
  log.GutterOptions().SetShowLineNum(true);
  log.GutterOptions().SetWidth(43);
  log.GutterOptions().SetLedingDigits(5);
  log.GutterOptions().SetAlignment(TZNAlignment::taRightJustify);
  log.GutterOptions().SetSpace(1);
  for (int i = 0; i < 12; ++i)
    log.AppendLine("MIDI IN: Note On ch 1 key " + std::to_string(60 + i));

  TFrameImage lamps;
  lamps.BeginLoading();
  lamps.SetBitmap(LampStrip());
  lamps.SetWidth(9);
  lamps.SetHeight(9);
  lamps.Loaded();
  for (int i = 0; i < 5; ++i) {
    auto& lamp = form.Add<TImgControl>(form, ui::TRect::FromBounds(10 + i * 14, 222, 9, 9));
    lamp.SetAllowUserControl(false);
    lamp.SetTabStop(false);
    lamp.SetMax(4);
    lamp.SetFrameImage(&lamps);
    lamp.SetPosition(i);
  }

  auto& panel = form.Add<TShadowPanel>(form, ui::TRect::FromBounds(10, 245, 390, 240));
  panel.SetColor(RGB(240, 240, 240));
  auto& presets = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(5, 5, 150, 220));
  presets.AddColumn("Presets", 140);
  for (const char* name : {"Intro", "Verse", "Chorus", "Solo"}) presets.AddItem(name);
  presets.SetItemIndex(1);
  auto& splitter = panel.Add<TMarginSplitter>(panel, ui::TRect::FromBounds(155, 5, 5, 220));
  splitter.MinSize = 50;
  splitter.AutoSnap = false;
  splitter.ResizeStyle = TResizeStyle::rsUpdate;
  auto& translators = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(165, 5, 215, 220));
  translators.AddColumn("Translator", 200);
  translators.AddItem("Note 60 -> Program 1");
  translators.AddItem("Key F5 -> next preset");

  auto& keys = form.Add<TVKEdit>(form, ui::TRect::FromBounds(410, 245, 250, 24));
  TKeyData ctrl;
  ctrl.virtualKey = VK_CONTROL;
  TKeyData c;
  c.virtualKey = 'C';
  keys.Keys().RecordKey(ctrl);
  keys.Keys().RecordKey(c);
  c.previousState = c.transition = 1;
  ctrl.previousState = ctrl.transition = 1;
  keys.Keys().RecordKey(c);
  keys.Keys().RecordKey(ctrl);

  auto& link = form.Add<TZarnWebLabel>(form, "http://www.example.org/korvanta",
                                       ui::TRect::FromBounds(410, 285, 300, 20));
  (void)link;

  gallery::AddChoiceControls(form, 500);

  form.Show();
  SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Let the append tick and every paint run before the picture is taken.
  for (int i = 0; i < 30; ++i) {
    test::Pump();
    Sleep(20);
  }
  const bool saved = test::SaveWindowBitmap(form.Handle(), picture);
  return saved ? 0 : 1;
}

}  // namespace
}  // namespace kv

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring picture = argc > 1 ? argv[1] : L"controls-gallery.bmp";
  LocalFree(argv);
  return kv::Run(picture);
}
