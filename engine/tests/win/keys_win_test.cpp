// The actions that reach outside the program, for real: keys, window messages, the mouse and
// started programs under the system (Wine on Xvfb in the test suite).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/main_thread.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/actions/execute_file_action.h"
#include "engine/actions/keystroke_action.h"
#include "engine/actions/mouse_action.h"
#include "engine/actions/special_action.h"
#include "engine/actions/window_message_action.h"
#include "engine/keys/key_hook_manager.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/timer_manager.h"
#include "engine/translate_params.h"
#include "engine/translator.h"

namespace kv {
namespace {

constexpr DWORD kPatienceMs = 10000;

// Serves the message queue until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// Low-level keyboard hook of the test thread: every key the system sees, in order.
struct TSeenKey {
  DWORD vk;
  bool up;
  DWORD time;
};
std::vector<TSeenKey>* gSeen = nullptr;

LRESULT CALLBACK SeeKey(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && gSeen != nullptr) {
    const auto& k = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    gSeen->push_back({k.vkCode, (k.flags & LLKHF_UP) != 0, GetTickCount()});
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

class TKeyWatcher {
 public:
  TKeyWatcher() {
    gSeen = &seen;
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, SeeKey, GetModuleHandleW(nullptr), 0);
  }
  ~TKeyWatcher() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    gSeen = nullptr;
  }
  bool Installed() const { return hook_ != nullptr; }
  size_t Downs(DWORD vk) const {
    return static_cast<size_t>(std::count_if(
        seen.begin(), seen.end(), [vk](const TSeenKey& k) { return k.vk == vk && !k.up; }));
  }
  std::vector<TSeenKey> seen;

 private:
  HHOOK hook_ = nullptr;
};

bool IsShift(DWORD vk) {
  return vk == VK_SHIFT || vk == VK_LSHIFT;
}

bool KeyHeld(int vk) {
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

// A top-level edit box with the focus, to type into.
class TEditWindow {
 public:
  TEditWindow() {
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                            300, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Typed keys go to the focus, which the window system hands over a while later.
    PumpUntil([this] {
      if (GetForegroundWindow() == hwnd_ && GetFocus() == hwnd_) return true;
      SetForegroundWindow(hwnd_);
      SetFocus(hwnd_);
      return false;
    });
  }
  ~TEditWindow() { DestroyWindow(hwnd_); }
  std::string Text() const {
    char buffer[256] = {};
    GetWindowTextA(hwnd_, buffer, sizeof buffer);
    return buffer;
  }
  HWND Handle() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

std::unique_ptr<TTransAction> Outgoing(const std::string& text) {
  auto action = CreateTransActionFromText(text, false);
  if (action) action->LoadFromText(text);
  return action;
}

class KeysWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTransActionRegistryForTests();
    RegisterKeyActions();
    RegisterSwitchActions();
    RegisterMouseActions();
    RegisterMessageActions();
    SetApplicationActive(false);
    SetSuppressKeysWhenActive(true);
    context.params = &params;
    context.locals = &locals;
  }
  void TearDown() override { ResetTransActionRegistryForTests(); }

  TGlobalTranslateParams params;
  TLocalVariables locals{};
  TExecutionContext context;
};

TEST_F(KeysWinTest, APlayedSequenceTypesIntoAnEditWindowAndReleasesEverything) {
  TEditWindow edit;
  TKeyWatcher watcher;
  ASSERT_TRUE(watcher.Installed());
  // Shift down, A down, A up, Shift up, B down, B up, then C down left for the release.
  auto action = Outgoing("KSQ10007010041241210042242043");
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil([&] { return edit.Text() == "Abc"; })) << edit.Text();
  PumpUntil([&] { return watcher.seen.size() >= 8; });
  ASSERT_EQ(watcher.seen.size(), 8u);
  const auto& s = watcher.seen;
  EXPECT_TRUE(IsShift(s[0].vk) && !s[0].up);
  EXPECT_TRUE(s[1].vk == 'A' && !s[1].up);
  EXPECT_TRUE(s[2].vk == 'A' && s[2].up);
  EXPECT_TRUE(IsShift(s[3].vk) && s[3].up);
  EXPECT_TRUE(s[4].vk == 'B' && !s[4].up);
  EXPECT_TRUE(s[5].vk == 'B' && s[5].up);
  EXPECT_TRUE(s[6].vk == 'C' && !s[6].up);
  EXPECT_TRUE(s[7].vk == 'C' && s[7].up);
  for (int vk : {int{VK_SHIFT}, int{'A'}, int{'B'}, int{'C'}}) EXPECT_FALSE(KeyHeld(vk)) << vk;
}

TEST_F(KeysWinTest, KeyDownRepeatsAtItsRateUntilTheKeyUp) {
  TTTManager timers;
  SetKeyRepeatTimerManager(&timers);
  TEditWindow edit;
  TKeyWatcher watcher;
  auto down = Outgoing("KAM2111403C0KSQ10001041");  // 20 per second after 60 ms
  auto up = Outgoing("KAM12000KSQ10001041");
  ASSERT_TRUE(down->ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil([&] { return watcher.Downs('A') >= 8; }));
  ASSERT_TRUE(up->ExecuteOutgoing(context));
  PumpUntil([&] { return !watcher.seen.empty() && watcher.seen.back().up; });
  const size_t downs = watcher.Downs('A');
  PumpFor(300);
  EXPECT_EQ(watcher.Downs('A'), downs);  // the key-up ended the repeat
  EXPECT_FALSE(KeyHeld('A'));

  // Repeats come at about the rate, never in a burst (a loaded machine makes them slower, and a
  // late first repeat may make the next one come a little early).
  std::vector<DWORD> times;
  for (const TSeenKey& k : watcher.seen)
    if (k.vk == 'A' && !k.up) times.push_back(k.time);
  ASSERT_GE(times.size(), 8u);
  const double mean = static_cast<double>(times.back() - times[1]) / (times.size() - 2);
  EXPECT_GE(mean, 20.0);
  EXPECT_LE(mean, 2000.0);
  SetKeyRepeatTimerManager(nullptr);
}

TEST_F(KeysWinTest, TypedKeysReachTheEngineWhileAPresetNeedsThem) {
  TTransHookManager manager;
  TEngineBindings bindings;
  bindings.keys = &manager;
  TTransEngine engine(bindings);
  TLockableTransList& preset = engine.Project().NewPreset();
  preset.AddTranslator(TTransMsg::CreateFromText("KAM11000KSQ10001041", "None", nullptr));
  TEditWindow edit;

  preset.SetActive(true);
  ASSERT_TRUE(manager.Watch().IsLoaded()) << "KVKeyIn.dll beside the test";
  EXPECT_EQ(manager.Watch().IsWatchingKind(kWatchKeys), 1);
  const uint32_t before = engine.Params().Stats().Matches();
  TKeySequence keys;
  keys.LoadFromText("KSQ10002041241");
  keys.Play();
  EXPECT_TRUE(PumpUntil([&] { return engine.Params().Stats().Matches() == before + 1; }));
  PumpFor(200);
  EXPECT_EQ(engine.Params().Stats().Matches(), before + 1);  // the release is no key-down

  preset.SetActive(false);
  EXPECT_FALSE(manager.Watch().IsLoaded());
  EXPECT_EQ(GetModuleHandleW(L"KVKeyIn.dll"), nullptr);  // unloaded once nothing is watched
  const uint32_t events = engine.Params().Stats().Events();
  keys.Play();
  PumpFor(300);
  EXPECT_EQ(engine.Params().Stats().Events(), events);
}

TEST_F(KeysWinTest, AMissingLibraryLeavesKeyInputOff) {
  TWatch watch(GetKeyInLibrary());
  watch.SetFileName("KVKeyInNotThere.dll");
  EXPECT_FALSE(watch.IsAvailable());
  EXPECT_TRUE(watch.Failed());
  EXPECT_EQ(watch.Start(kWatchKeys), 0);
  EXPECT_EQ(watch.IsWatchingKind(kWatchKeys), 0);
}

// A window that records the messages it gets.
struct TReceived {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<TReceived>* gReceived = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const bool interesting = msg >= WM_USER || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP ||
                           msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_MOUSEWHEEL ||
                           msg == WM_MOUSEHWHEEL;
  if (interesting && gReceived != nullptr) gReceived->push_back({msg, wp, lp});
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class TRecordingWindow {
 public:
  TRecordingWindow(const wchar_t* title, int x, int y, int w, int h) {
    static const bool registered = [] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = RecordingProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"KvRecordingWindow";
      wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    gReceived = &received;
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, L"KvRecordingWindow", title, WS_POPUP | WS_VISIBLE, x, y,
                            w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Clicks reach it once the window system shows it on top.
    PumpUntil([this] {
      if (GetForegroundWindow() == hwnd_) return true;
      SetForegroundWindow(hwnd_);
      return false;
    });
  }
  ~TRecordingWindow() {
    DestroyWindow(hwnd_);
    gReceived = nullptr;
  }
  bool Got(UINT message) const {
    return std::any_of(received.begin(), received.end(),
                       [message](const TReceived& r) { return r.message == message; });
  }
  const TReceived* Last(UINT message) const {
    for (auto it = received.rbegin(); it != received.rend(); ++it)
      if (it->message == message) return &*it;
    return nullptr;
  }
  std::vector<TReceived> received;
  HWND hwnd_ = nullptr;
};

std::string TargetText(int mode, const std::string& title, const std::string& windowClass) {
  return "TWnd0" + std::to_string(mode) + EncodeLengthPrefixed(title) +
         EncodeLengthPrefixed(windowClass);
}

TEST_F(KeysWinTest, WindowMessagesReachTheWindowByClassAndByEachTitleMode) {
  TRecordingWindow window(L"Korvanta Target Window 4711", 600, 10, 100, 50);
  locals[0] = 42;
  params.Globals().Set(10, -9);  // ga
  struct Case {
    std::string target;
    UINT message;
  };
  const std::vector<Case> cases = {
      {TargetText(0, "", "KvRecordingWindow"), WM_USER + 1},
      {TargetText(2, "Korvanta Target Window 4711", ""), WM_USER + 2},
      {TargetText(3, "Target Window", ""), WM_USER + 3},
      {TargetText(4, "Korvanta Target", "KvRecordingWindow"), WM_USER + 4},
      {TargetText(5, "Window 4711", ""), WM_USER + 5},
  };
  for (const Case& c : cases) {
    auto action = Outgoing("SMsg|D" + std::to_string(c.message) + "|Woo|Lga|T" + c.target);
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->ExecuteOutgoing(context)) << c.target;
    EXPECT_TRUE(PumpUntil([&] { return window.Got(c.message); })) << c.target;
    const TReceived* got = window.Last(c.message);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->wParam, 42u);
    EXPECT_EQ(got->lParam, -9);
  }

  const UINT registered = RegisterWindowMessageA("KV_TEST_REGISTERED_MESSAGE");
  auto named = Outgoing("SMsg|R" + EncodeLengthPrefixed("KV_TEST_REGISTERED_MESSAGE") + "|W1|L2|T" +
                        TargetText(0, "", "KvRecordingWindow"));
  EXPECT_TRUE(named->ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil([&] { return window.Got(registered); }));

  TMainThreadCalls::Instance().SetMainThread();
  std::vector<std::string> log;
  params.SetOnLog([&](const std::string& line) { log.push_back(line); });
  auto missing =
      Outgoing("SMsg|D1025|W0|L0|C0004lost|T" + TargetText(0, "", "KvNoSuchWindowClass"));
  EXPECT_FALSE(missing->ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil([&] {
    TMainThreadCalls::Instance().Serve(0);
    return !log.empty();
  }));
  params.SetOnLog({});
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Error sending Windows message lost: could not get HWND !");
  auto missingTitle = Outgoing("SMsg|D1025|W0|L0|T" + TargetText(3, "No such title 0815", ""));
  EXPECT_FALSE(missingTitle->ExecuteOutgoing(context));
}

TEST_F(KeysWinTest, MouseMovesClicksAndWheels) {
  TRecordingWindow window(L"Mouse target", 100, 100, 300, 300);
  auto moveTo = Outgoing("Mse201250:250");
  ASSERT_NE(moveTo, nullptr);
  ASSERT_TRUE(moveTo->ExecuteOutgoing(context));
  POINT p = {};
  EXPECT_TRUE(PumpUntil([&] {
    GetCursorPos(&p);
    return std::abs(p.x - 250) <= 1 && std::abs(p.y - 250) <= 1;
  })) << p.x
      << "," << p.y;

  auto moveBy = Outgoing("Mse10000140000");  // 20 to the right
  ASSERT_TRUE(moveBy->ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil([&] {
    GetCursorPos(&p);
    return p.x > 255 && std::abs(p.y - 250) <= 1;
  })) << p.x
      << "," << p.y;

  ASSERT_TRUE(Outgoing("Mse10200")->ExecuteOutgoing(context));  // left click
  EXPECT_TRUE(PumpUntil([&] { return window.Got(WM_LBUTTONDOWN) && window.Got(WM_LBUTTONUP); }));
  ASSERT_TRUE(Outgoing("Mse10302")->ExecuteOutgoing(context));  // right down
  ASSERT_TRUE(Outgoing("Mse10402")->ExecuteOutgoing(context));  // right up
  EXPECT_TRUE(PumpUntil([&] { return window.Got(WM_RBUTTONDOWN) && window.Got(WM_RBUTTONUP); }));

  ASSERT_TRUE(Outgoing("Mse1050078")->ExecuteOutgoing(context));  // one notch forward
  EXPECT_TRUE(PumpUntil([&] { return window.Got(WM_MOUSEWHEEL); }));
  if (const TReceived* wheel = window.Last(WM_MOUSEWHEEL)) {
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), 120);
  }
  ASSERT_TRUE(Outgoing("Mse206-10")->ExecuteOutgoing(context));  // one notch left
  EXPECT_TRUE(PumpUntil([&] { return window.Got(WM_MOUSEHWHEEL); }));
  if (const TReceived* wheel = window.Last(WM_MOUSEHWHEEL)) {
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), -120);
  }
}

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  return buffer;
}

std::string ProgramFolder() {
  char buffer[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path = buffer;
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ReadFileText(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[512] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

TEST_F(KeysWinTest, ExecuteFileStartsAProgramInAFolderWithABlank) {
  const std::string folder = TempFolder() + "kv exec test " + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string helper = folder + "\\kv helper.exe";
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "kvexechelper.exe").c_str(), helper.c_str(), FALSE))
      << "kvexechelper.exe beside the test";
  const std::string marker =
      TempFolder() + "kv_exec_marker_" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(marker.c_str());

  locals[0] = 7;
  params.Globals().Set(10, 255);
  TTransExecuteFileAction action(helper, "\"" + marker + "\" v%oo% %X ga%");
  ASSERT_TRUE(action.ExecuteOutgoing(context));
  EXPECT_TRUE(PumpUntil(
      [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
  EXPECT_EQ(ReadFileText(marker), "v7\nFF\n");

  TTransExecuteFileAction missing(folder + "\\no such program.exe", "");
  EXPECT_FALSE(missing.ExecuteOutgoing(context));

  DeleteFileA(marker.c_str());
  PumpUntil([&] { return DeleteFileA(helper.c_str()) != FALSE; }, 5000);
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace kv
