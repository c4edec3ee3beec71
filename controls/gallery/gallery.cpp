// A test-only program that shows every control of the library in one window and saves a
// picture of it, for a reviewer's eyes: controls_gallery [picture.bmp]
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/win/wide.h"
#include "controls/gallery/choice_controls_block.h"
#include "controls/tests/win/win_test_support.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "controls/win/history_menu.h"
#include "controls/win/img_control.h"
#include "controls/win/shadow_panel.h"
#include "controls/win/vk_edit.h"
#include "controls/win/web_label.h"
#include "controls/win/zarn_list_view.h"
#include "ui/action.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/menu.h"
#include "ui/status_bar.h"
#include "ui/toolbar.h"

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

// The toolbar pictures, 16 x 16 each, drawn on the mask colour magenta.
constexpr COLORREF kMask = RGB(255, 0, 255);
enum TGlyph {
  gNew,
  gOpen,
  gSave,
  gAdd,
  gEdit,
  gCopy,
  gPaste,
  gDelete,
  gMonitor,
  gLog,
  gPanic,
  gCount
};

void Box(HDC dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Rectangle(dc, l, t, r, b);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color, int width) {
  HPEN pen = CreatePen(PS_SOLID, width, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Page(HDC dc, int x, int y) {
  Box(dc, x + 2, y + 1, x + 13, y + 15, RGB(255, 255, 255), RGB(90, 90, 90));
  for (int row = 4; row < 13; row += 3)
    Line(dc, x + 4, y + row, x + 11, y + row, RGB(150, 150, 200), 1);
}

// One stroke of a picture: a framed box, a line (edge is its width), a filled circle or a
// small page at (a, b).
struct TStroke {
  char kind;
  int a, b, c, d;
  COLORREF color;
  COLORREF edge;
};

const std::vector<TStroke>& Strokes(int glyph) {
  static const std::vector<std::vector<TStroke>> pictures = {
      {{'b', 3, 1, 13, 15, RGB(255, 255, 255), RGB(90, 90, 90)},
       {'l', 9, 1, 12, 4, RGB(90, 90, 90), 1}},
      {{'b', 1, 3, 8, 6, RGB(230, 180, 50), RGB(150, 100, 20)},
       {'b', 1, 5, 15, 14, RGB(250, 205, 80), RGB(150, 100, 20)}},
      {{'b', 1, 1, 15, 15, RGB(40, 80, 170), RGB(20, 40, 100)},
       {'b', 4, 2, 12, 7, RGB(255, 255, 255), RGB(20, 40, 100)},
       {'b', 5, 10, 11, 15, RGB(200, 200, 210), RGB(20, 40, 100)}},
      {{'b', 6, 2, 10, 14, RGB(40, 170, 60), RGB(20, 110, 30)},
       {'b', 2, 6, 14, 10, RGB(40, 170, 60), RGB(20, 110, 30)}},
      {{'l', 3, 13, 12, 4, RGB(230, 140, 30), 4}, {'l', 2, 14, 4, 12, RGB(60, 60, 60), 2}},
      {{'p', -1, -1, 0, 0, 0, 0}, {'p', 2, 2, 0, 0, 0, 0}},
      {{'b', 1, 2, 12, 15, RGB(170, 120, 60), RGB(100, 60, 20)},
       {'b', 4, 1, 9, 4, RGB(200, 200, 200), RGB(80, 80, 80)},
       {'b', 7, 6, 15, 15, RGB(255, 255, 255), RGB(90, 90, 90)}},
      {{'l', 3, 3, 12, 12, RGB(210, 30, 30), 3}, {'l', 12, 3, 3, 12, RGB(210, 30, 30), 3}},
      {{'b', 1, 2, 15, 13, RGB(30, 30, 30), RGB(90, 90, 90)},
       {'l', 3, 9, 6, 5, RGB(60, 230, 90), 1},
       {'l', 6, 5, 9, 10, RGB(60, 230, 90), 1},
       {'l', 9, 10, 13, 4, RGB(60, 230, 90), 1}},
      {{'p', 0, 0, 0, 0, 0, 0}},
      {{'e', 1, 1, 15, 15, RGB(220, 30, 30), 0}, {'l', 4, 8, 12, 8, RGB(255, 255, 255), 2}},
  };
  return pictures[static_cast<size_t>(glyph)];
}

void DrawGlyph(HDC dc, int glyph, int x) {
  for (const TStroke& s : Strokes(glyph)) {
    switch (s.kind) {
      case 'b':
        Box(dc, x + s.a, s.b, x + s.c, s.d, s.color, s.edge);
        break;
      case 'l':
        Line(dc, x + s.a, s.b, x + s.c, s.d, s.color, static_cast<int>(s.edge));
        break;
      case 'e': {
        HBRUSH brush = CreateSolidBrush(s.color);
        HGDIOBJ old = SelectObject(dc, brush);
        Ellipse(dc, x + s.a, s.b, x + s.c, s.d);
        SelectObject(dc, old);
        DeleteObject(brush);
        break;
      }
      default:
        Page(dc, x + s.a, s.b);
        break;
    }
  }
}

void MakeToolImages(ui::TImageList& images) {
  ui::TBitmap strip;
  strip.Create(16 * gCount, 16, kMask);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip.Handle());
  for (int g = 0; g < gCount; ++g) DrawGlyph(dc, g, g * 16);
  SelectObject(dc, old);
  DeleteDC(dc);
  images.Create(16, 16);
  images.AddStrip(strip, kMask);
}

ui::TAction& ToolAction(ui::TForm& form, const char* caption, int glyph, bool enabled = true) {
  ui::TAction& a = form.Actions().Add(caption);
  a.SetImageIndex(glyph);
  a.SetHint(caption);
  a.SetEnabled(enabled);
  return a;
}

void AddFileMenu(ui::TForm& form, ui::TMainMenu& bar, THistoryMenu& history) {
  ui::TMenuItem& file = bar.Add("&File");
  file.Add("&Open...");
  file.Add("E&xit");
  form.SetMenu(&bar);
  history.SetExistsTest([](const std::string&, bool) { return true; });
  history.SetMenu(file);
  history.AddFile("C:\\Shows\\Second set.kvp");
  history.AddFile("C:\\Shows\\Opening.kvp");
}

void AddToolBars(ui::TForm& form, ui::TImageList& tools, ui::TImageList& disabledTools) {
  MakeToolImages(tools);
  ui::MakeDisabledImages(tools, disabledTools);
  auto& fileBar = form.Add<ui::TToolBar>(form, tools);
  fileBar.SetDisabledImages(&disabledTools);
  for (auto [caption, glyph] : {std::pair{"New", gNew}, {"Open", gOpen}, {"Save", gSave}}) {
    fileBar.AddButton(ToolAction(form, caption, glyph));
  }
  fileBar.AddSeparator();
  fileBar.AddButton(ToolAction(form, "Add", gAdd));
  fileBar.AddButton(ToolAction(form, "Edit", gEdit));
  fileBar.AddButton(ToolAction(form, "Copy", gCopy));
  fileBar.AddButton(ToolAction(form, "Paste", gPaste, false));  // nothing on the clipboard
  fileBar.AddButton(ToolAction(form, "Delete", gDelete, false));
  auto& viewBar = form.Add<ui::TToolBar>(form, tools);
  viewBar.SetDisabledImages(&disabledTools);
  ui::TAction& monitor = ToolAction(form, "Event monitor", gMonitor);
  monitor.SetChecked(true);
  viewBar.AddButton(monitor, true);
  viewBar.AddButton(ToolAction(form, "Log", gLog));
  viewBar.AddSeparator();
  viewBar.AddButton(ToolAction(form, "Panic", gPanic));
}

void AddStatusBar(ui::TForm& form) {
  auto& status = form.Add<ui::TStatusBar>(form);
  status.SetPanels({240, 160, -1});
  status.SetPanelText(0, "MIDI IN 2 open, MIDI OUT 1 open");
  status.SetPanelText(1, "Preset: Verse");
  status.SetPanelText(2, "Processing on");
}

// A rules editor with a selection and a read-only log with line numbers.
void AddMemos(ui::TPanel& body) {
  auto& rules = body.Add<TZarnMemo>(body, ui::TRect::FromBounds(10, 10, 390, 200));
  rules.SetRightEdge(true);
  rules.SetRightEdgeCol(40);
  rules.GutterOptions().SetVisible(false);
  rules.Lines().SetText("if oo = 64 then pp = 127\r\nif pp > 100 then stop\r\n\tga = ga + 1");
  rules.SelectRange(3, 0, 1, 8);

  auto& log = body.Add<TZarnMemo>(body, ui::TRect::FromBounds(410, 10, 390, 200));
  log.SetReadOnly(true);
  log.GutterOptions().SetShowLineNum(true);
  log.GutterOptions().SetWidth(43);
  log.GutterOptions().SetLedingDigits(5);
  log.GutterOptions().SetAlignment(TZNAlignment::taRightJustify);
  log.GutterOptions().SetSpace(1);
  for (int i = 0; i < 12; ++i)
    log.AppendLine("MIDI IN: Note On ch 1 key " + std::to_string(60 + i));
}

void AddLamps(ui::TPanel& body, TFrameImage& lamps) {
  lamps.BeginLoading();
  lamps.SetBitmap(LampStrip());
  lamps.SetWidth(9);
  lamps.SetHeight(9);
  lamps.Loaded();
  for (int i = 0; i < 5; ++i) {
    auto& lamp = body.Add<TImgControl>(body, ui::TRect::FromBounds(10 + i * 14, 222, 9, 9));
    lamp.SetAllowUserControl(false);
    lamp.SetTabStop(false);
    lamp.SetMax(4);
    lamp.SetFrameImage(&lamps);
    lamp.SetPosition(i);
  }
}

// The preset list, the splitter and the translator list docked in a shadow panel; the
// splitter finds the preset list through its right margin, where the shadow falls.
TMarginSplitter& AddListPanel(ui::TPanel& body) {
  auto& panel = body.Add<TShadowPanel>(body, ui::TRect::FromBounds(10, 245, 390, 240));
  panel.SetColor(RGB(240, 240, 240));
  panel.SetShadowColor(RGB(160, 160, 160));
  panel.SetShadowSize(3);
  auto& presets = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(0, 0, 130, 10));
  presets.SetMargins({5, 5, 4, 9});
  presets.SetAlign(ui::TAlign::Left);
  presets.AddColumn("Preset", 125);
  for (const char* name : {"Intro", "Verse", "Chorus", "Solo"}) presets.AddItem(name);
  presets.SetItemIndex(1);
  auto& splitter = panel.Add<TMarginSplitter>(panel, ui::TRect::FromBounds(0, 0, 5, 10));
  splitter.SetMargins({0, 5, 0, 9});
  splitter.MinSize = 50;
  splitter.AutoSnap = false;
  splitter.ResizeStyle = TResizeStyle::rsUpdate;
  auto& translators = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(0, 0, 10, 10));
  translators.SetMargins({0, 5, 9, 9});
  translators.SetAlign(ui::TAlign::Client);
  translators.AddColumn("Name", 85);
  translators.AddColumn("Incoming Trigger", 120);
  translators.AddItem("Program 1");
  translators.SetItemText(0, 1, "Note 60, ch 1");
  translators.AddItem("Next preset");
  translators.SetItemText(1, 1, "Key F5");

  return splitter;
}

void AddKeysAndLink(ui::TPanel& body) {
  auto& keys = body.Add<TVKEdit>(body, ui::TRect::FromBounds(410, 245, 250, 24));
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

  auto& link = body.Add<TZarnWebLabel>(body, "http://www.example.org/korvanta",
                                       ui::TRect::FromBounds(410, 285, 300, 20));
  (void)link;
}

int Run(const std::wstring& picture) {
  ui::Application().Initialize();
  ui::TFormParams p;
  p.caption = "Controls gallery";
  p.bounds = ui::TRect::FromBounds(0, 0, 820, 620);
  ui::TForm form(p);

  ui::TMainMenu bar;
  THistoryMenu history;
  AddFileMenu(form, bar, history);
  // Two toolbars stacked at the top, the status bar at the bottom, the rest in one body.
  ui::TImageList tools, disabledTools;
  AddToolBars(form, tools, disabledTools);
  AddStatusBar(form);
  auto& body = form.Add<ui::TPanel>(form, ui::TRect::FromBounds(0, 0, 10, 10));
  body.SetAlign(ui::TAlign::Client);
  AddMemos(body);
  TFrameImage lamps;
  AddLamps(body, lamps);
  TMarginSplitter& splitter = AddListPanel(body);
  AddKeysAndLink(body);
  gallery::AddChoiceControls(body, form, 500);

  form.Show();
  SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // A drag of the splitter 20 pixels to the right (it resizes only visible neighbours): the
  // translator list follows.
  SendMessageW(splitter.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 20));
  SendMessageW(splitter.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(22, 20));
  SendMessageW(splitter.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(22, 20));
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
