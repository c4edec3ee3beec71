#pragma once
// A controller over the loopback MIDI stand-in, a settings registry in memory and an autostart
// recorder, with its log lines and debugger output recorded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/controller/autostart.h"
#include "app/controller/controller.h"
#include "base/settings_registry.h"
#include "base/main_thread.h"
#include "base/settings_registry.h"
#include "engine/action_registry.h"
#include "engine/keys/key_hook_manager.h"
#include "engine/timer_manager.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_manager.h"
#include "midi/model/router.h"
#include "midi/testing/loopback_midi.h"

namespace kv::test {

struct TLogLine {
  std::string message;
  int level;
  bool operator==(const TLogLine&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TLogLine& line) {
  return out << line.level << " " << line.message;
}

class TScriptedDialogs final : public TControllerDialogs {
 public:
  bool AskYesNo(const std::string& text, uint32_t delayMs) override {
    questions.push_back(text);
    delays.push_back(delayMs);
    return answer;
  }
  void OpenDocument(const std::string& file) override { opened.push_back(file); }

  bool answer = true;
  std::vector<std::string> questions;
  std::vector<uint32_t> delays;
  std::vector<std::string> opened;
};

class ControllerFixture : public ::testing::Test {
 protected:
  ControllerFixture()
      : midiScope_(loop_), registryScope_(registry_), autostartScope_(autostart_) {
    RegisterStandardTransActions();
    TMainThreadCalls::Instance().SetMainThread();
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
    loop_.AddInput("Keys");
    loop_.AddOutput("Synth");
    dir_ = std::filesystem::temp_directory_path() /
           ("kv_controller_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  ~ControllerFixture() override {
    controller_.reset();
    while (TMainThreadCalls::Instance().Serve(0)) {
    }
    FreeMidiManager();
    FreeHookManager();
    FreeTimerManager();
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  TKVHighLevel& Make() {
    controller_ = std::make_unique<TKVHighLevel>();
    controller_->DebugWriter = [this](const std::string& text) { debug_.push_back(text); };
    controller_->SetOnLog([this](const std::string& message, int level) {
      log_.push_back({message, level});
    });
    controller_->SetDialogs(&dialogs_);
    return *controller_;
  }

  std::string File(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  bool Logged(const std::string& message, int level) const {
    for (const TLogLine& line : log_)
      if (line.message == message && line.level == level) return true;
    return false;
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope midiScope_;
  TMemorySettingsRegistry registry_;
  TScopedSettingsRegistry registryScope_;
  TAutostartRecorder autostart_;
  TScopedAutostartRegistry autostartScope_;
  TScriptedDialogs dialogs_;
  std::filesystem::path dir_;
  std::vector<TLogLine> log_;
  std::vector<std::string> debug_;
  std::unique_ptr<TKVHighLevel> controller_;
};

}  // namespace kv::test
