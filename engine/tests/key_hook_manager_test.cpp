#include "engine/keys/key_hook_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "base/main_thread.h"

#include "engine/action_registry.h"
#include "engine/system/key_system.h"
#include "engine/actions/keystroke_action.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/actions/special_action.h"
#include "engine/translator.h"

namespace kv {
namespace {

// A key-input library that counts what the program asks of it.
class FakeKeyIn : public IKeyInLibrary {
 public:
  bool Load(const std::string& fileName) override {
    ++loads;
    loadedName = fileName;
    loaded = present;
    return loaded;
  }
  bool IsLoaded() const override { return loaded; }
  bool BindExports() override { return bound = loaded && allExports; }
  bool IsBound() const override { return bound; }
  TWindowHandle CreateReceiver(THandler h) override {
    handler = std::move(h);
    return 0x77;
  }
  void Unload() override {
    if (loaded) ++unloads;
    loaded = bound = false;
    handler = {};
  }
  int32_t StartWatching(int32_t kind) override {
    if (kind == kWatchKeys && canWatch) watching = true;
    return watching ? 1 : 0;
  }
  int32_t StopWatching(int32_t kind) override {
    if (kind == kWatchKeys) watching = false;
    return 1;
  }
  int32_t IsWatching(int32_t kind) override { return kind == kWatchKeys && watching ? 1 : 0; }
  bool StillWatching() override { return watching; }
  void StopAll() override { watching = false; }
  bool SetReceiver(TWindowHandle window) override {
    if (window != 0 && otherReceiver != 0) return false;
    if (window == 0 && overridable) otherReceiver = 0;
    receiver = window;
    return true;
  }
  TWindowHandle GetReceiver() override { return otherReceiver != 0 ? otherReceiver : receiver; }
  void ShowInformation(const std::string& text) override { messages.push_back(text); }
  std::string GetWindowTitle(TWindowHandle) override { return title; }
  bool IsOwnMainWindow(TWindowHandle window) override { return window == 1; }

  bool present = true, allExports = true, canWatch = true, overridable = true;
  bool loaded = false, bound = false, watching = false;
  int loads = 0, unloads = 0;
  std::string loadedName, title;
  TWindowHandle receiver = 0, otherReceiver = 0;
  THandler handler;
  std::vector<std::string> messages;
};

TEST(KeyWatchTest, LoadsOnceAndOverridesAnotherReceiverOnce) {
  FakeKeyIn library;
  library.otherReceiver = 0x99;
  TWatch watch(library);
  watch.SetFileName("KVKeyIn.dll");
  EXPECT_TRUE(watch.IsAvailable());
  EXPECT_EQ(library.receiver, 0x77u);
  ASSERT_EQ(library.messages.size(), 1u);
  EXPECT_EQ(library.messages[0], "Another instance already uses KVKeyIn.dll.\r\nOverriding it.");

  FakeKeyIn stubborn;
  stubborn.otherReceiver = 0x99;
  stubborn.overridable = false;
  TWatch second(stubborn);
  EXPECT_FALSE(second.IsAvailable());
  EXPECT_TRUE(second.Failed());
  ASSERT_EQ(stubborn.messages.size(), 2u);
  EXPECT_EQ(stubborn.messages[1], "Unable to override.\r\nSystem watching is disabled.");
  EXPECT_EQ(stubborn.otherReceiver, 0x99u);  // the other program keeps it
  EXPECT_EQ(second.Start(kWatchKeys), 0);
  EXPECT_EQ(stubborn.loads, 1);
}

TEST(KeyWatchTest, AMissingExportDisablesWatchingForGood) {
  FakeKeyIn library;
  library.allExports = false;
  TWatch watch(library);
  EXPECT_EQ(watch.Start(kWatchKeys), 0);
  EXPECT_FALSE(watch.IsLoaded());
  EXPECT_EQ(watch.IsWatchingKind(kWatchKeys), 0);
  EXPECT_EQ(library.loads, 1);  // not tried again
}

TEST(KeyWatchTest, DispatchesItsMessages) {
  FakeKeyIn library;
  TWatch watch(library);
  ASSERT_TRUE(watch.IsAvailable());
  uint32_t key = 0, flags = 0;
  watch.OnKey = [&](TWatch&, uint32_t k, uint32_t f) {
    key = k;
    flags = f;
  };
  library.handler(TWatchMessage::Key, 0x41, static_cast<intptr_t>(0xC01E0001u));
  EXPECT_EQ(key, 0x41u);
  EXPECT_EQ(flags, 0xC01E0001u);

  std::vector<std::string> titles;
  watch.OnShell[3] = [&](TWatch&, TWindowHandle, const std::string& t) { titles.push_back(t); };
  library.title = "Song";
  library.handler(TWatchMessage::Shell, 5, 4);
  library.handler(TWatchMessage::Shell, 5, 4);  // unchanged title: dropped
  library.handler(TWatchMessage::Shell, 1, 4);  // our own window: dropped
  EXPECT_EQ(titles, (std::vector<std::string>{"Song"}));

  int button = -1, x = 0, y = 0, dbl = -1;
  watch.OnMouseUp = [&](TWatch&, int b, int px, int py, int d) {
    button = b;
    x = px;
    y = py;
    dbl = d;
  };
  watch.OnMouseDown = [&](TWatch&, int b, int, int, int d) {
    button = b;
    dbl = d;
  };
  library.handler(TWatchMessage::Mouse, 5, (10 << 16) | 20);
  EXPECT_EQ(button, 1);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  EXPECT_EQ(dbl, 0);
  library.handler(TWatchMessage::Mouse, 9, 0);
  EXPECT_EQ(button, 2);
  EXPECT_EQ(dbl, 64);
}

class HookManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTransActionRegistryForTests();
    RegisterKeyActions();
    RegisterSwitchActions();
  }
  void TearDown() override { ResetTransActionRegistryForTests(); }

  TLockableTransList& AddPreset(TTransEngine& engine, const char* incoming) {
    TLockableTransList& preset = engine.Project().NewPreset();
    preset.AddTranslator(TTransMsg::CreateFromText(incoming, "None", nullptr));
    return preset;
  }

  TKeyRecorder keys;
  TScopedKeySystem scope{keys};
  FakeKeyIn library;
};

TEST_F(HookManagerTest, WatchesExactlyWhileAnActivePresetNeedsKeys) {
  TTransHookManager manager(library);
  TEngineBindings bindings;
  bindings.keys = &manager;
  TTransEngine engine(bindings);
  TLockableTransList& midiOnly = AddPreset(engine, "None");
  midiOnly.SetActive(true);
  // Nothing needs keys: the library is not even loaded to ask.
  EXPECT_EQ(library.loads, 0);

  TLockableTransList& keyed = AddPreset(engine, "KSQ10001041");
  keyed.SetActive(false);
  manager.UpdateWatching(engine.Project());
  EXPECT_EQ(library.loads, 0);
  keyed.SetActive(true);
  EXPECT_EQ(library.loadedName, "KVKeyIn.dll");
  EXPECT_TRUE(library.watching);

  // A reported key reaches the engine as a keystroke trigger.
  const uint32_t matchesBefore = engine.Params().Stats().Matches();
  manager.KeyReceived(0x41, 0x001E0001u);
  EXPECT_EQ(engine.Params().Stats().Matches(), matchesBefore + 1);
  manager.KeyReceived(0x42, 0x00300001u);
  EXPECT_EQ(engine.Params().Stats().Matches(), matchesBefore + 1);

  keyed.SetActive(false);
  EXPECT_FALSE(library.watching);
  EXPECT_FALSE(library.loaded);
  EXPECT_EQ(library.unloads, 1);
}

TEST_F(HookManagerTest, AMissingLibraryIsReportedOnceAndNotRetried) {
  library.present = false;
  TTransHookManager manager(library);
  TEngineBindings bindings;
  bindings.keys = &manager;
  TTransEngine engine(bindings);
  TMainThreadCalls::Instance().SetMainThread();
  std::vector<std::string> lines;
  engine.Params().SetOnLog([&](const std::string& line) { lines.push_back(line); });
  TLockableTransList& keyed = AddPreset(engine, "KSQ10001041");
  keyed.SetActive(true);
  keyed.SetActive(false);
  keyed.SetActive(true);
  EXPECT_EQ(library.loads, 1);
  EXPECT_TRUE(manager.Watch().Failed());
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (lines.size() < 5 && std::chrono::steady_clock::now() < giveUp)
    TMainThreadCalls::Instance().Serve(5);
  engine.Params().SetOnLog({});
  EXPECT_EQ(
      std::count(lines.begin(), lines.end(), "Could not load KVKeyIn.dll: key input is disabled."),
      2);
}

TEST_F(HookManagerTest, ALibraryThatCannotWatchIsReported) {
  library.canWatch = false;
  TTransHookManager manager(library);
  TEngineBindings bindings;
  bindings.keys = &manager;
  TTransEngine engine(bindings);
  TMainThreadCalls::Instance().SetMainThread();
  std::vector<std::string> lines;
  engine.Params().SetOnLog([&](const std::string& line) { lines.push_back(line); });
  AddPreset(engine, "KSQ10001041").SetActive(true);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  auto reported = [&] {
    return std::find(lines.begin(), lines.end(), "Cannot activate keystroke input.") != lines.end();
  };
  while (!reported() && std::chrono::steady_clock::now() < giveUp)
    TMainThreadCalls::Instance().Serve(5);
  engine.Params().SetOnLog({});
  EXPECT_TRUE(reported());
}

TEST_F(HookManagerTest, KeyUpsArriveAsReleases) {
  TTransHookManager manager(library);
  TEngineBindings bindings;
  bindings.keys = &manager;
  TTransEngine engine(bindings);
  TKeyData seen;
  engine.SetOnEvent(
      [&](TTransEngine&, const TIncomingEvent& event) { seen = KeyDataFromWords(event.keyData); });
  manager.KeyReceived(0x41, 0xC01E0001u);
  EXPECT_EQ(seen.virtualKey, 0x41);
  EXPECT_EQ(seen.previousState, 1);
  EXPECT_EQ(seen.transition, 1);
  EXPECT_TRUE(seen.IsKeyUp());
}

}  // namespace
}  // namespace kv
