// The driver's helpers that the exe test files share: the programs and files of the build,
// texts and windows found by what they show, pictures of windows.
#include "app/tests/win/korvanta_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/win/wide.h"

namespace kv::test {

std::wstring Exe(const wchar_t* name) { return BinFolder() + L"\\" + name + L".exe"; }

std::wstring ExampleFile(const char* name) {
  return win::Widen(std::string(KV_SOURCE_DIR) + "/app/res/examples/" + name);
}

std::wstring TempFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH];
  GetTempPathW(MAX_PATH, buffer);
  std::wstring folder = std::wstring(buffer) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring CopyExample(const char* name, const wchar_t* folder) {
  const std::wstring target = TempFolder(folder) + L"\\" + win::Widen(name);
  CopyFileW(ExampleFile(name).c_str(), target.c_str(), FALSE);
  // The sources may be read-only; the copy is the test's to change.
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  return target;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool Contains(const std::vector<std::string>& texts, const std::string& part) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

std::string FileBytes(const std::wstring& file) {
  std::string bytes;
  if (FILE* f = _wfopen(file.c_str(), L"rb")) {
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), f)) > 0;) bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

void TypeWide(const std::wstring& text) {
  for (wchar_t c : text) TypeWideChar(c);
}

std::wstring ShotFile(const wchar_t* name) {
  return win::Widen(std::string(KV_SHOT_DIR)) + L"\\" + name;
}

bool SaveWindowShot(HWND window, const wchar_t* name, int extra, bool asWindowLeftIt) {
  // The window's thread answers the paint messages before the picture is taken.
  Sync(window);
  RedrawWindow(window, nullptr, nullptr,
               (asWindowLeftIt ? 0 : RDW_INVALIDATE | RDW_ERASE | RDW_FRAME) | RDW_ALLCHILDREN |
                   RDW_UPDATENOW);
  Sync(window);
  RECT r{};
  GetWindowRect(window, &r);
  InflateRect(&r, extra, extra);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  return SaveScreenPicture(r, ShotFile(name));
}

std::string WindowText(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                      &ignored);
  return win::Narrow(text);
}

std::string ChildTexts(HWND window) {
  std::string all;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM lp) -> BOOL {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(child, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 2000, &length))
          return TRUE;
        std::wstring text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_BLOCK, 2000, &copied);
        text.resize(std::min<size_t>(copied, length));
        *reinterpret_cast<std::string*>(lp) += win::Narrow(text) + "\n";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND TopChildWhere(HWND window, const std::function<bool(HWND)>& test) {
  struct Search {
    const std::function<bool(HWND)>& test;
    HWND found = nullptr;
    RECT at{};
  } search{test};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (!IsWindowVisible(child) || !s->test(child)) return TRUE;
        RECT r{};
        GetWindowRect(child, &r);
        if (!s->found || r.top < s->at.top || (r.top == s->at.top && r.left < s->at.left)) {
          s->found = child;
          s->at = r;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool OfClass(HWND window, const wchar_t* lowerCasePart) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return wcsstr(_wcslwr(name), lowerCasePart) != nullptr;
}

HWND TopChild(HWND window, const wchar_t* className) {
  return TopChildWhere(window, [className](HWND child) { return OfClass(child, className); });
}

std::wstring WriteProject(const wchar_t* folder, const wchar_t* name,
                          const std::string& translators) {
  const std::wstring file = TempFolder(folder) + L"\\" + name;
  std::ofstream out(file.c_str(), std::ios::binary | std::ios::trunc);
  out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Keys\r\nActive=1\r\n"
         "PresetSwitchIgnore=0\r\n"
      << translators;
  return file;
}

std::string FileValue(const std::wstring& file, const std::string& key) {
  std::ifstream in(file.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "(none)";
}

HWND MainWindowShownOrNot(DWORD pid) {
  std::pair<DWORD, HWND> search{pid, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t title[256] = {};
        GetWindowTextW(hwnd, title, 256);
        if (owner == s->first && GetWindow(hwnd, GW_OWNER) == nullptr &&
            std::wstring(title).rfind(L"Zarn's Korvanta Pro", 0) == 0)
          s->second = hwnd;
        return s->second == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

int MostListRows(HWND window) {
  int most = -1;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::wstring(name) == WC_LISTVIEWW) {
          int& m = *reinterpret_cast<int*>(lp);
          m = std::max(m, static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0)));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&most));
  return most;
}

HWND ChildWithText(HWND window, const wchar_t* className, const std::string& text,
                   bool visibleOnly) {
  struct Search {
    const wchar_t* className;
    std::string text;
    bool visibleOnly;
    HWND found = nullptr;
  } search{className, text, visibleOnly, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (s->visibleOnly && !IsWindowVisible(child)) return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (wcsstr(_wcslwr(name), s->className) && WindowText(child) == s->text) s->found = child;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WindowTitled(const TRunningProgram& program, const std::string& start) {
  for (HWND w : program.VisibleWindows()) {
    const std::vector<std::string> texts = TRunningProgram::Texts(w);
    if (!texts.empty() && texts[0].rfind(start, 0) == 0) return w;
  }
  return nullptr;
}

HWND WindowSaying(const TRunningProgram& program, const std::string& part) {
  for (HWND w : program.VisibleWindows())
    if (Contains(TRunningProgram::Texts(w), part)) return w;
  return nullptr;
}

HWND OpenMenuWindow() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

POINT NamePoint(TRunningProgram& program, int which, int row) {
  POINT p = program.RowPoint(which, row);
  POINT origin{0, 0};
  if (HWND list = program.List(which)) ClientToScreen(list, &origin);
  p.x = origin.x + 30;  // past the check box, on the name's first characters
  return p;
}

void ClickCenter(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

HWND TypeOverEditorName(TRunningProgram& program, HWND editor, const std::string& shown,
                        const std::string& typed) {
  HWND name = nullptr;
  if (!PressUntil(VK_F5, {}, [&] {
        return (name = ChildWithText(editor, L"edit", shown, true)) != nullptr;
      }))
    return nullptr;
  ClickCenter(name);
  if (!WaitUntil([&] { return program.Focused() == name; })) return nullptr;
  SendMessageW(name, EM_SETSEL, 0, -1);
  TypeText(typed);
  return name;
}

HWND ListEditBox(HWND list) {
  return list ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0)) : nullptr;
}

// --- the test host's MIDI input feed ---------------------------------------------------------

// Makes the file appear with its whole text at once, for the test host to take.
bool WriteWhole(const std::wstring& file, const std::string& text) {
  {
    std::ofstream out((file + L".part").c_str());
    out << text;
  }
  return MoveFileExW((file + L".part").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Plays short messages (hexadecimal, a line each) into the test host's input; true once taken.
bool PlayIntoInput(const std::wstring& feed, const std::string& messages) {
  return WriteWhole(feed, messages) &&
         WaitUntil([&] { return GetFileAttributesW(feed.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// Plays the messages again (at most five times) while done() does not follow: a message that
// arrives while the program is still starting up is not processed yet.
bool PlayUntil(const std::wstring& feed, const std::string& messages,
               const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 5; ++attempt)
    if (PlayIntoInput(feed, messages) && WaitUntil(done, 4000)) return true;
  return false;
}

}  // namespace kv::test
