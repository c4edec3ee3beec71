// The program's command line: options that switch diagnostics, name the settings file and the
// project, open MIDI ports, set the number of virtual ports, install or remove the autostart
// entry and make the program quit at once.
#include <atomic>
#include <mutex>
#include <optional>

#include "app/controller/controller.h"
#include "base/text.h"
#include "base/utils.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/port_text.h"
#include "midi/virtual/virtual_port.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv {

std::vector<std::string> SystemProgramArguments();  // per platform

namespace {

std::mutex gArgumentsMutex;
std::optional<std::vector<std::string>> gTestArguments;  // guarded by gArgumentsMutex
// 0 not looked for yet, 1 "/close" present, 2 looked for and absent.
std::atomic<int> gCloseRequest{0};

std::string Formatted(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

bool IsProjectFileName(const std::string& argument) {
  return StrEndsWith(argument, ".kvxp", true) || StrEndsWith(argument, ".kvxe", true);
}

// The switches of the diagnostics and "/close"; false when argument is none of them.
bool ApplyDiagnosticsSwitch(TKVHighLevel& controller, const std::string& argument, bool& silent) {
  auto is = [&](const char* option) { return SameText(argument, option); };
  if (is("/silent")) {
    if (controller.Verbose()) controller.Log("Silent mode", kLogInfo);
    controller.SetVerbose(false);
    silent = true;
  } else if (is("/nosilent") || is("/verbose")) {
    if (!controller.Verbose()) controller.Log("Verbose mode", kLogInfo);
    controller.SetVerbose(true);
  } else if (is("/debug")) {
    if (!controller.Debug()) controller.Log("Debug mode", kLogInfo);
    controller.SetDebug(true);
  } else if (is("/nodebug")) {
    if (controller.Debug()) controller.Log("No Debug mode", kLogInfo);
    controller.SetDebug(false);
  } else if (is("/close")) {
    gCloseRequest = 1;
    if (controller.Debug()) controller.Log("will close immediately", kLogInfo);
  } else {
    return false;
  }
  return true;
}

// Under "/silent" the virtual-port setup waits for nobody (an installer runs the program so): its
// errors go to the log, and a port that cannot be removed does not stop the others.
class TLoggedSetupErrors final : public TVirtualPortSetupHost {
 public:
  explicit TLoggedSetupErrors(TKVHighLevel& controller) : controller_(controller) {}
  bool ConfirmWarning(const std::string&) override { return true; }
  bool ErrorOkCancel(const std::string& text) override {
    Error(text);
    return true;
  }
  void Error(const std::string& text) override { controller_.Log(text, kLogError); }

 private:
  TKVHighLevel& controller_;
};

// The options of the autostart entry; false when argument is none of them. autostartOption
// becomes true for those that concern the entry.
bool ApplyAutostartOption(TKVHighLevel& controller, const std::string& argument,
                          bool& autostartOption) {
  auto is = [&](const char* option) { return SameText(argument, option); };
  if (is("/install")) {
    controller.Log("Ignoring /install parameter", kLogInfo);
    autostartOption = true;
  } else if (is("/autostart")) {
    controller.InstallAutostart();
    controller.Log("Installing autostart", kLogInfo);
    autostartOption = true;
  } else if (is("/uninstall") || is("/noautostart")) {
    controller.RemoveAutostart();
    autostartOption = true;
  } else if (is("/start")) {
    // The autostart entry starts the program with it; reporting it would open the error
    // window at every log-on.
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> ProgramArguments() {
  {
    std::lock_guard<std::mutex> guard(gArgumentsMutex);
    if (gTestArguments) return *gTestArguments;
  }
  return SystemProgramArguments();
}

void SetProgramArgumentsForTests(std::vector<std::string> arguments) {
  std::lock_guard<std::mutex> guard(gArgumentsMutex);
  gTestArguments = std::move(arguments);
  gCloseRequest = 0;
}

bool IsCloseRequested() {
  if (gCloseRequest.load() == 0) {
    bool found = false;
    for (const std::string& argument : ProgramArguments())
      if (SameText(argument, "/close")) found = true;
    int expected = 0;
    gCloseRequest.compare_exchange_strong(expected, found ? 1 : 2);
  }
  return gCloseRequest.load() == 1;
}

void ResetCloseRequestForTests() {
  gCloseRequest = 0;
}

bool IsCloseRequestedByParse() {
  return gCloseRequest.load() == 1;
}

void TKVHighLevel::RunCommandLine() {
  RunCommandLine(ProgramArguments());
}

void TKVHighLevel::RunCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return;
  std::vector<std::string> list = arguments;
  ParseCommandLine(list);
  for (const std::string& argument : list)
    Log(Formatted("Unknown parameter: %s", argument), kLogError);
}

bool TKVHighLevel::ParseCommandLine(std::vector<std::string>& list) {
  bool autostartOption = false;
  bool silent = false;
  size_t i = 0;
  // An option with a value takes itself out first, so that its value is at i; without one it
  // reports and the walk goes on.
  auto takeValue = [&](const char* message, const std::string& option) -> std::optional<std::string> {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    if (i >= list.size()) {
      Log(Formatted(message, option), kLogError);
      return std::nullopt;
    }
    std::string value = list[i];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    return value;
  };
  auto consume = [&] { list.erase(list.begin() + static_cast<std::ptrdiff_t>(i)); };

  while (i < list.size()) {
    const std::string argument = list[i];
    auto is = [&](const char* option) { return SameText(argument, option); };
    if (ApplyDiagnosticsSwitch(*this, argument, silent)) {
      consume();
    } else if (is("/settings")) {
      const auto file = takeValue("Parameter %s requires a filename argument.", argument);
      if (!file) continue;
      settingsFile_ = *file;
      if (params_) params_->SettingsFile = *file;
      if (stage_ >= 3) {
        try {
          LoadSettings(false, true);
        } catch (const std::exception& error) {
          Log(Formatted(Formatted("Loading settings from \"%s\": %s", *file), error.what()),
              kLogError);
        }
      }
    } else if (is("/project") || is("/addproject") ||
               (i + 1 == list.size() && IsProjectFileName(argument))) {
      const bool add = is("/addproject");
      std::string file;
      if (is("/project") || add) {
        const auto value = takeValue("Parameter %s requires a filename argument.", argument);
        if (!value) continue;
        file = *value;
      } else {
        file = argument;
        consume();
      }
      projectFile_ = file;
      if (params_) params_->ProjectFile = file;
      if (stage_ >= 4) {
        try {
          LoadProject(add, false);
        } catch (const std::exception& error) {
          Log(Formatted(Formatted("Loading project from \"%s\": %s", file), error.what()),
              kLogError);
        }
      }
    } else if (is("/midiin") || is("/midiout")) {
      const auto name = takeValue("Parameter %s requires a MIDI device argument.", argument);
      if (name) OpenPortOption(*name, is("/midiin"));
    } else if (is("/vmpl") || is("/vmplAtLeast")) {
      const bool atLeast = is("/vmplAtLeast");
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      std::string value;
      if (i < list.size()) {
        value = list[i];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      }
      SetVirtualPorts(argument, value, atLeast, silent);
    } else if (ApplyAutostartOption(*this, argument, autostartOption)) {
      consume();
    } else {
      ++i;
    }
  }
  return autostartOption;
}

void TKVHighLevel::OpenPortOption(const std::string& name, bool isInput) {
  TMidiManager& manager = MidiManager();
  const int index = manager.FindOrAddDevice(name, isInput, false, true);
  if (index < 0) return;
  try {
    manager.OpenDevice(index, isInput, false);
  } catch (const std::exception& error) {
    LogException(error);
  }
}

void TKVHighLevel::SetVirtualPorts(const std::string& option, const std::string& value,
                                   bool atLeast, bool silent) {
  int32_t count = 0;
  if (value.empty() || !StrToIntCheck(value, count)) {
    Log(Formatted("Parameter %s requires a number argument.", option), kLogError);
    return;
  }
  if (count < 0 || count > 5) {
    Log("Requested number of virtual MIDI ports " + IntToStr(count) + " out of range.",
        kLogError);
    return;
  }
  Log(std::string("Making sure to have ") + (atLeast ? "at least " : "exactly ") +
          IntToStr(count) + " virtual MIDI ports.",
      kLogInfo);
  const int existing = GetVirtualPortCount(Utf16FromNarrow(kProductName));
  if ((atLeast && existing < count) || (!atLeast && existing != count)) {
    TLoggedSetupErrors logged(*this);
    SetVirtualPortCount(kProductName, kProductName, count, !silent, true,
                        silent ? &logged : nullptr);
  }
}

}  // namespace kv
