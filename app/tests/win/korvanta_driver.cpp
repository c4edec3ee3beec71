#include "app/tests/win/korvanta_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "base/win/wide.h"

namespace kv::test {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    Sleep(20);
  }
  return true;
}

std::wstring BinFolder() {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L"\\/"));
}

void DeleteProgramSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey); }

bool ProgramSettingsExist() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

namespace {

HKEY OpenSection(const std::wstring& programBaseName, const wchar_t* section) {
  const std::wstring path =
      std::wstring(kProgramKey) + L"\\" + programBaseName + L"\\" + section;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

void SetDword(HKEY key, const wchar_t* name, DWORD value) {
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

void WriteSetting(const std::wstring& programBaseName, const std::wstring& name, DWORD value) {
  WriteSectionSetting(programBaseName, L"Current", name.c_str(), value);
}

void WriteSetting(const std::wstring& programBaseName, const std::wstring& name,
                  const std::wstring& value) {
  HKEY key = OpenSection(programBaseName, L"Current");
  if (!key) return;
  SetString(key, name.c_str(), value);
  RegCloseKey(key);
}

void WriteSectionSetting(const std::wstring& programBaseName, const wchar_t* section,
                         const wchar_t* name, DWORD value) {
  HKEY key = OpenSection(programBaseName, section);
  if (!key) return;
  SetDword(key, name, value);
  RegCloseKey(key);
}

void WriteSectionSetting(const std::wstring& programBaseName, const wchar_t* section,
                         const wchar_t* name, const std::wstring& value) {
  HKEY key = OpenSection(programBaseName, section);
  if (!key) return;
  SetString(key, name, value);
  RegCloseKey(key);
}

void WriteQuietSettings(const std::wstring& programBaseName) {
  WriteSetting(programBaseName, L"DontAskForClose", 1);
  WriteSetting(programBaseName, L"MigrationDone", 1);
  // The examples count as installed already, in a data folder of the tests' own.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring data = std::wstring(temp) + L"kv-quiet-data";
  CreateDirectoryW(data.c_str(), nullptr);
  CreateDirectoryW((data + L"\\Presets").c_str(), nullptr);
  WriteSetting(programBaseName, L"PresetFolder", data);
  WriteSetting(programBaseName, L"BuildVersionOfInstalledPresets", 0x7FFFFFFFu);
  WriteSetting(programBaseName, L"ShowSplashScreen", 0);
  // Nothing an earlier test left open reopens at the start.
  WriteSetting(programBaseName, L"ShowEditWindow", 0);
}

// --- input ---------------------------------------------------------------------------------

namespace {

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_DELETE ||
      vk == VK_HOME || vk == VK_END)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

}  // namespace

void Key(WORD vk, bool up) {
  INPUT in = KeyInput(vk, up);
  SendInput(1, &in, sizeof(in));
  Sleep(15);
}

void Press(WORD vk, std::initializer_list<WORD> modifiers) {
  // One batch, so the modifiers are down when the key's message is read.
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(KeyInput(m, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  for (auto it = modifiers.end(); it != modifiers.begin();) inputs.push_back(KeyInput(*--it, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(50);
}

bool PressUntil(WORD vk, std::initializer_list<WORD> modifiers, const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    Press(vk, modifiers);
    if (WaitUntil(done, 4000)) return true;
  }
  return false;
}

void TypeText(const std::string& text) {
  // Characters as the keyboard would give them, whatever the keyboard layout.
  for (char c : text) TypeWideChar(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}

void ClickAt(POINT screen) {
  const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  auto mouse = [&](DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + w - 1) / w);
    in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + h - 1) / h);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
  };
  INPUT move = mouse(0);
  SendInput(1, &move, sizeof(INPUT));
  WaitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
  }, 5000);
  INPUT click[2] = {mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)};
  SendInput(2, click, sizeof(INPUT));
  Sleep(50);
}

// --- the running program -------------------------------------------------------------------

TRunningProgram::TRunningProgram(
    const std::wstring& exe, const std::wstring& arguments,
    const std::vector<std::pair<std::wstring, std::wstring>>& environment,
    const std::wstring& desktop) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  for (const auto& [name, value] : environment) SetEnvironmentVariableW(name.c_str(), value.c_str());
  STARTUPINFOW info{};
  info.cb = sizeof(info);
  std::wstring desktopName = desktop;
  if (!desktopName.empty()) info.lpDesktop = desktopName.data();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &info, &process_))
    process_ = {};
  for (const auto& [name, value] : environment) SetEnvironmentVariableW(name.c_str(), nullptr);
}

// Wine draws a desktop named here in a window of the given size on the display.
constexpr const wchar_t* kWineDesktops = L"Software\\Wine\\Explorer\\Desktops";

TVirtualDesktop::TVirtualDesktop(const std::wstring& name) : name_(name) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kWineDesktops, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    const wchar_t size[] = L"1280x1024";
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof(size));
    RegCloseKey(key);
  }
  previous_ = GetThreadDesktop(GetCurrentThreadId());
  desktop_ = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  entered_ = desktop_ && SetThreadDesktop(desktop_);
}

TVirtualDesktop::~TVirtualDesktop() {
  if (entered_) SetThreadDesktop(previous_);
  if (desktop_) CloseDesktop(desktop_);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kWineDesktops, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, name_.c_str());
    RegCloseKey(key);
  }
}

TRunningProgram::~TRunningProgram() {
  if (!Started()) return;
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool TRunningProgram::Running() const {
  return Started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool TRunningProgram::WaitForExit(DWORD timeoutMs) {
  return Started() && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<HWND> TRunningProgram::VisibleWindows() const {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{process_.dwProcessId, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        RECT r{};
        GetWindowRect(hwnd, &r);
        if (pid == s->pid && IsWindowVisible(hwnd) && r.right - r.left > 1 &&
            r.bottom - r.top > 1)
          s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TRunningProgram::MainWindow(DWORD timeoutMs) {
  if (main_ && IsWindow(main_)) return main_;
  WaitUntil(
      [this] {
        for (HWND w : VisibleWindows()) {
          wchar_t title[256] = {};
          GetWindowTextW(w, title, 256);
          if (std::wstring(title).rfind(L"Zarn's Korvanta Pro", 0) == 0 &&
              GetWindow(w, GW_OWNER) == nullptr) {
            main_ = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return main_;
}

HWND TRunningProgram::Dialog() const {
  for (HWND w : VisibleWindows())
    if (w != main_) return w;
  return nullptr;
}

HWND TRunningProgram::WaitForDialog(DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = Dialog()) != nullptr; }, timeoutMs);
  return found;
}

std::vector<std::string> TRunningProgram::Texts(HWND window) {
  std::vector<std::string> texts;
  auto add = [&texts](HWND w) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(w, buffer, 1024);
    if (buffer[0]) texts.push_back(win::Narrow(buffer));
  };
  add(window);
  EnumChildWindows(
      window,
      [](HWND w, LPARAM lp) -> BOOL {
        (*reinterpret_cast<decltype(add)*>(lp))(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&add));
  return texts;
}

std::string TRunningProgram::Title() {
  HWND w = MainWindow(0);
  if (!w) return {};
  wchar_t title[512] = {};
  GetWindowTextW(w, title, 512);
  return win::Narrow(title);
}

bool TRunningProgram::Activate() {
  HWND w = MainWindow();
  return w && ActivateWindow(w);
}

bool Sync(HWND w) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

bool ActivateWindow(HWND w) {
  const bool active = WaitUntil(
      [w] {
        if (GetForegroundWindow() == w) return true;
        SetForegroundWindow(w);
        return false;
      },
      5000);
  // Keys sent before the window's thread took in its activation lose their modifiers (Wine
  // takes the modifier state from the X server, which knows nothing of injected keys, when it
  // handles the focus change): wait until the thread has a focus and has handled its queue.
  const DWORD thread = GetWindowThreadProcessId(w, nullptr);
  WaitUntil(
      [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr;
      },
      5000);
  Sync(w);
  return active;
}

HWND TRunningProgram::Focused() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

HWND TRunningProgram::List(int which) {
  struct Search {
    std::vector<std::pair<LONG, HWND>> lists;
  } search;
  HWND w = MainWindow(0);
  if (!w) return nullptr;
  EnumChildWindows(
      w,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::wstring(name) == WC_LISTVIEWW) {
          RECT r{};
          GetWindowRect(child, &r);
          reinterpret_cast<Search*>(lp)->lists.push_back({r.left, child});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  std::sort(search.lists.begin(), search.lists.end());
  return which < static_cast<int>(search.lists.size()) ? search.lists[which].second : nullptr;
}

int TRunningProgram::RowCount(int which) {
  HWND list = List(which);
  return list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

namespace {

// Memory in the program's process for a message that carries a pointer.
class TRemoteBlock {
 public:
  TRemoteBlock(HANDLE process, size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~TRemoteBlock() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  TRemoteBlock(const TRemoteBlock&) = delete;
  TRemoteBlock& operator=(const TRemoteBlock&) = delete;
  char* Address() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* data, size_t size) {
    return WriteProcessMemory(process_, Address() + offset, data, size, nullptr) != 0;
  }
  bool Read(size_t offset, void* data, size_t size) {
    return ReadProcessMemory(process_, Address() + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

std::string TRunningProgram::Cell(int which, int row, int column) {
  HWND list = List(which);
  return list ? ListViewCell(list, row, column) : std::string();
}

std::string TRunningProgram::StatusText(int panel) {
  HWND main = MainWindow(0);
  HWND bar = main ? FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr) : nullptr;
  if (!bar) return {};
  constexpr size_t kChars = 512;
  TRemoteBlock block(process_.hProcess, kChars * sizeof(wchar_t));
  const LRESULT r = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0);
  const size_t length = std::min<size_t>(LOWORD(r), kChars - 1);
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(block.Address()));
  std::wstring text(length, L'\0');
  block.Read(0, text.data(), length * sizeof(wchar_t));
  return win::Narrow(text);
}

std::vector<std::string> TRunningProgram::Column(int which, int column) {
  std::vector<std::string> cells;
  const int count = RowCount(which);
  for (int row = 0; row < count; ++row) cells.push_back(Cell(which, row, column));
  return cells;
}

bool TRunningProgram::Checked(int which, int row) {
  HWND list = List(which);
  return list && ((SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                LVIS_STATEIMAGEMASK) >> 12) == 2);
}

bool TRunningProgram::RowSelected(int which, int row) {
  HWND list = List(which);
  return list && SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
}

bool TRunningProgram::SetRowState(int which, int row, UINT mask, UINT state) {
  HWND list = List(which);
  if (!list) return false;
  TRemoteBlock block(process_.hProcess, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  block.Write(0, &item, sizeof(item));
  return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(block.Address())) != 0;
}

std::string TRunningProgram::TreeItemText(HWND tree, HTREEITEM item) {
  constexpr size_t kChars = 256;
  TRemoteBlock block(process_.hProcess, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
  TVITEMW request{};
  request.mask = TVIF_TEXT | TVIF_HANDLE;
  request.hItem = item;
  request.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(TVITEMW));
  request.cchTextMax = kChars;
  block.Write(0, &request, sizeof(request));
  wchar_t text[kChars] = {};
  if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.Address())))
    block.Read(sizeof(TVITEMW), text, (kChars - 1) * sizeof(wchar_t));
  return win::Narrow(text);
}

std::vector<std::string> TRunningProgram::TreeItems(HWND tree) {
  std::vector<std::string> items;
  std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int level) {
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageW(
                     tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      items.push_back(std::string(static_cast<size_t>(level) * 2, ' ') + TreeItemText(tree, item));
      walk(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                    reinterpret_cast<LPARAM>(item))),
           level + 1);
    }
  };
  walk(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0);
  return items;
}

std::string TRunningProgram::TreeSelection(HWND tree) {
  HTREEITEM item =
      reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  return item ? TreeItemText(tree, item) : std::string();
}

bool ClickButton(HWND dialog, const std::string& caption) {
  struct Search {
    std::wstring caption;
    HWND found = nullptr;
  } search{win::Widen(caption), nullptr};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        if (s->caption == text) s->found = child;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  // A dialog may hold its buttons disabled for a moment after it shows.
  if (!search.found || !IsWindowEnabled(search.found)) return false;
  PostMessageW(search.found, BM_CLICK, 0, 0);
  return true;
}

POINT TRunningProgram::RowPoint(int which, int row) {
  HWND list = List(which);
  POINT p{0, 0};
  if (!list) return p;
  TRemoteBlock block(process_.hProcess, sizeof(RECT));
  RECT r{};
  r.left = LVIR_BOUNDS;
  block.Write(0, &r, sizeof(r));
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(block.Address()));
  block.Read(0, &r, sizeof(r));
  // Right of the name: a click on a selected row's name would start renaming it.
  p = {std::min<LONG>(r.left + 190, r.right - 8), (r.top + r.bottom) / 2};
  ClientToScreen(list, &p);
  return p;
}

// --- pictures ------------------------------------------------------------------------------

bool SaveScreenPicture(const RECT& area, const std::wstring& file) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
  header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(h);
  bool ok = false;
  if (FILE* f = _wfopen(file.c_str(), L"wb")) {
    ok = fwrite(&header, sizeof(header), 1, f) == 1 &&
         fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f) == 1 &&
         fwrite(bits, stride * static_cast<DWORD>(h), 1, f) == 1;
    fclose(f);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

namespace {

// The process a window belongs to, opened for messages that carry a pointer into it.
class TWindowProcess {
 public:
  explicit TWindowProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    handle_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  }
  ~TWindowProcess() {
    if (handle_) CloseHandle(handle_);
  }
  TWindowProcess(const TWindowProcess&) = delete;
  TWindowProcess& operator=(const TWindowProcess&) = delete;
  HANDLE Handle() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

bool ToolButtonScreenRect(HWND toolbar, int index, RECT& screen) {
  TWindowProcess process(toolbar);
  if (!process.Handle()) return false;
  TRemoteBlock block(process.Handle(), sizeof(RECT));
  RECT r{};
  if (!block.Address() || !SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(block.Address())))
    return false;
  const bool ok = block.Read(0, &r, sizeof(r));
  MapWindowPoints(toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  screen = r;
  return ok;
}

std::string ListViewCell(HWND list, int row, int column) {
  TWindowProcess process(list);
  if (!process.Handle()) return {};
  constexpr size_t kChars = 512;
  TRemoteBlock block(process.Handle(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(LVITEMW));
  item.cchTextMax = kChars;
  block.Write(0, &item, sizeof(item));
  const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(block.Address()));
  std::wstring text(static_cast<size_t>(std::max<LRESULT>(n, 0)), L'\0');
  if (n > 0) block.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
  return win::Narrow(text);
}

void TypeWideChar(wchar_t c) {
  INPUT in[2]{};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wScan = static_cast<WORD>(c);
  in[0].ki.dwFlags = KEYEVENTF_UNICODE;
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Sleep(15);
}

void BindExampleAliases(const std::wstring& programBaseName) {
  HKEY key = OpenSection(programBaseName, L"MIDI.alias");
  if (!key) return;
  const wchar_t* values[][2] = {{L"Name0", L"Keyboard"}, {L"Device0", L"1:Stage Keyboard"},
                                {L"Name1", L"Synth"}, {L"Device1", L"2:Stage Synth"}};
  for (const auto& value : values) SetString(key, value[0], value[1]);
  RegCloseKey(key);
}

std::vector<std::string> ComboItems(HWND combo) {
  // The system carries a combo box's item texts between processes, as it does window texts.
  std::vector<std::string> items;
  DWORD_PTR count = 0;
  if (!combo || !SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_BLOCK, 2000, &count))
    return items;
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_BLOCK, 2000, &length) ||
        length > 4096)
      break;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_BLOCK, 2000, &copied);
    text.resize(std::min<size_t>(copied, length));
    items.push_back(win::Narrow(text));
  }
  return items;
}

}  // namespace kv::test
