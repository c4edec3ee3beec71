// kvcheck cmdline ARG...: the program's command line as a normal start runs it (engine
// running, settings and project not yet loaded), on a controller over the loopback MIDI
// stand-in and a settings registry in memory; autostart changes go to a recorder.
#include "app/controller/autostart.h"
#include "app/controller/controller.h"
#include "base/settings_registry.h"
#include "base/main_thread.h"
#include "base/settings_registry.h"
#include "base/texts.h"
#include "engine/keys/key_hook_manager.h"
#include "engine/timer_manager.h"
#include "midi/manager/midi_manager.h"
#include "midi/testing/loopback_midi.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

class TCheckedController final : public TKVHighLevel {
 public:
  bool ParseCommandLine(std::vector<std::string>& list) override {
    result = TKVHighLevel::ParseCommandLine(list);
    return result;
  }
  bool result = false;
};

std::string AutostartState(const TAutostartRecorder& recorder) {
  if (recorder.installs > 0) return "installed";
  if (recorder.removals > 0) return "removed";
  return "untouched";
}

int RunCmdline(const std::vector<std::string>& args, std::ostream& out) {
  TMainThreadCalls::Instance().SetMainThread();
  TLoopbackMidi loop;
  loop.AddInput("MIDI In 1");
  loop.AddOutput("MIDI Out 1");
  TWinmmMidiScope midi(loop);
  TMemorySettingsRegistry registry;
  TScopedSettingsRegistry registryScope(registry);
  TAutostartRecorder autostart;
  TScopedAutostartRegistry autostartScope(autostart);
  ResetCloseRequestForTests();
  {
    TCheckedController controller;
    controller.DebugWriter = [](const std::string&) {};
    controller.StartEngine();
    controller.SetOnLog([&out](const std::string& message, int level) {
      out << "log " << level << " " << Escaped(message) << "\n";
    });
    controller.RunCommandLine(args);
    out << "project=" << Escaped(controller.ProjectFile()) << "\n";
    out << "settings=" << Escaped(controller.SettingsFile()) << "\n";
    out << "debug=" << controller.Debug() << "\n";
    out << "verbose=" << controller.Verbose() << "\n";
    // The request as the parse left it; the program's own arguments are not looked at.
    out << "close=" << (IsCloseRequestedByParse() ? 1 : 0) << "\n";
    out << "autostart=" << AutostartState(autostart) << "\n";
    out << "result=" << controller.result << "\n";
    controller.SetOnLog({});
  }
  FreeMidiManager();
  FreeHookManager();
  FreeTimerManager();
  return kExitOk;
}

}  // namespace

KVCHECK_SUBCOMMAND(cmdline, "ARG...", RunCmdline);

}  // namespace kv::kvcheck
