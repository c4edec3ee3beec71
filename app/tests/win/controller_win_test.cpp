// The controller against the real registry, Run keys and shell link object.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/controller/autostart.h"
#include "app/controller/controller.h"
#include "base/ini_file.h"
#include "base/main_thread.h"
#include "base/platform.h"
#include "base/settings_key.h"
#include "base/text.h"
#include "base/texts.h"
#include "base/utils.h"
#include "base/win/wide.h"
#include "engine/action_registry.h"
#include "engine/keys/key_hook_manager.h"
#include "engine/timer_manager.h"
#include "midi/model/alias.h"
#include "midi/testing/loopback_midi.h"
#include "midi/manager/midi_manager.h"

namespace kv {

using win::Widen;
namespace {

std::wstring KeyUnder(const std::string& company) {
  return Widen("Software\\" + company + "\\" + GetProgramTitle() + "\\" + GetProgramBaseName());
}

void DeleteTree(HKEY root, const std::wstring& path) {
  RegDeleteTreeW(root, path.c_str());
  RegDeleteKeyW(root, path.c_str());
}

bool ReadValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type,
               std::vector<BYTE>& data) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  bool ok = RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
  if (ok) {
    data.resize(size);
    ok = RegQueryValueExW(handle, name.c_str(), nullptr, &type, data.data(), &size) ==
         ERROR_SUCCESS;
  }
  RegCloseKey(handle);
  return ok;
}

std::wstring StringOf(const std::vector<BYTE>& data) {
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

class ControllerWinTest : public ::testing::Test {
 protected:
  ControllerWinTest() : midiScope_(loop_) {
    RegisterStandardTransActions();
    TMainThreadCalls::Instance().SetMainThread();
    MidiAliasManager().ClearAliases();
    loop_.AddInput("Keys");
    ForgetKeys();
  }
  ~ControllerWinTest() override {
    controller_.reset();
    while (TMainThreadCalls::Instance().Serve(0)) {
    }
    FreeMidiManager();
    FreeHookManager();
    FreeTimerManager();
    MidiAliasManager().ClearAliases();
    ForgetKeys();
  }
  static void ForgetKeys() {
    DeleteTree(HKEY_CURRENT_USER, KeyUnder(kSettingsCompany));
    DeleteTree(HKEY_CURRENT_USER, KeyUnder(kLegacySettingsCompany));
    ClearSettingsKeyCache();
  }
  TKVHighLevel& Make() {
    controller_ = std::make_unique<TKVHighLevel>();
    controller_->SetOnLog([this](const std::string& message, int level) {
      log_.push_back(IntToStr(level) + " " + message);
    });
    return *controller_;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : log_)
      if (l == line) return true;
    return false;
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope midiScope_;
  std::unique_ptr<TKVHighLevel> controller_;
  std::vector<std::string> log_;
};

TEST_F(ControllerWinTest, SettingsRoundTripThroughTheRegistryWithTheirTypes) {
  {
    TKVHighLevel& controller = Make();
    controller.SetSettingsFile("");
    controller.OnWriteSettings = [](TCustomIniFile& ini) {
      ini.WriteInteger("Current", "Left", 140);
      ini.WriteBool("Current", "MainVisible", true);
      ini.WriteString("Current", "Caption", "Stage left");
    };
    const int keys = MidiManager().FindOrAddDevice("Keys", true, false, true);
    MidiManager().OpenInput(keys, false);
    ASSERT_TRUE(controller.SaveSettings(true, false));
    EXPECT_TRUE(Logged("0 Settings saved successfully to <registry>."));
  }
  const std::wstring current = KeyUnder(kSettingsCompany) + L"\\Current";
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, current, L"Left", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(*reinterpret_cast<const DWORD*>(data.data()), 140u);
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, current, L"MainVisible", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, current, L"Caption", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(StringOf(data), L"Stage left");
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, KeyUnder(kSettingsCompany) + L"\\MIDI.in", L"Name0",
                        type, data));
  EXPECT_EQ(StringOf(data), L"Keys");

  // A restart reads it back.
  controller_.reset();
  FreeMidiManager();
  TKVHighLevel& again = Make();
  again.SetSettingsFile("");
  int left = 0;
  again.OnReadSettings = [&](TCustomIniFile& ini) { left = ini.ReadInteger("Current", "Left", 0); };
  EXPECT_TRUE(again.LoadSettings(true, true));
  EXPECT_EQ(left, 140);
  EXPECT_EQ(again.LoadedFrom(), TKVHighLevel::kLoadedFromRegistry);
  EXPECT_TRUE(MidiManager().GetInput(MidiManager().IndexOfDevice("Keys", true))->IsOpenRequested());
}

TEST_F(ControllerWinTest, ASettingsFileOnTheCommandLineReplacesTheRegistry) {
  TKVHighLevel& first = Make();
  first.SetSettingsFile("");
  first.OnWriteSettings = [](TCustomIniFile& ini) { ini.WriteString("Current", "Who", "registry"); };
  ASSERT_TRUE(first.SaveSettings(true, false));

  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string file = std::string(folder) + "kv_controller_win.kvxs";
  DeleteFileA(file.c_str());
  TKVHighLevel& controller = Make();
  std::vector<std::string> seen;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    seen.push_back(ini.ReadString("Current", "Who", "none"));
  };
  controller.OnWriteSettings = [](TCustomIniFile& ini) { ini.WriteString("Current", "Who", "file"); };
  controller.StartEngine();
  controller.RunCommandLine({"/settings", file});
  EXPECT_FALSE(controller.LoadSettings(true, true));  // the file does not exist yet
  EXPECT_TRUE(seen.empty());                           // and the registry was not read
  EXPECT_TRUE(controller.SaveSettings(false, true));
  EXPECT_TRUE(FileExists(file));
  // The next start with the same command line reads the file alone.
  TKVHighLevel& next = Make();
  next.OnReadSettings = [&](TCustomIniFile& ini) {
    seen.push_back(ini.ReadString("Current", "Who", "none"));
  };
  next.StartEngine();
  next.RunCommandLine({"/settings", file});
  EXPECT_TRUE(next.LoadSettings(true, true));
  EXPECT_EQ(seen, (std::vector<std::string>{"file"}));
  EXPECT_EQ(next.LoadedFrom(), TKVHighLevel::kLoadedFromFile);
  DeleteFileA(file.c_str());
}

TEST_F(ControllerWinTest, TheLegacyKeyIsReadButNeverWritten) {
  HKEY legacy = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER,
                            (KeyUnder(kLegacySettingsCompany) + L"\\Current").c_str(), 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, &legacy, nullptr),
            ERROR_SUCCESS);
  const std::wstring old = L"old";
  RegSetValueExW(legacy, L"Who", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()),
                 static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(legacy);
  ClearSettingsKeyCache();

  TKVHighLevel& controller = Make();
  controller.SetSettingsFile("");
  std::string who;
  controller.OnReadSettings = [&](TCustomIniFile& ini) { who = ini.ReadString("Current", "Who", ""); };
  controller.OnWriteSettings = [](TCustomIniFile& ini) { ini.WriteString("Current", "Who", "new"); };
  EXPECT_TRUE(controller.LoadSettings(true, false));
  EXPECT_EQ(who, "old");
  EXPECT_TRUE(controller.SaveSettings(true, false));
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, KeyUnder(kSettingsCompany) + L"\\Current", L"Who",
                        type, data));
  EXPECT_EQ(StringOf(data), L"new");
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, KeyUnder(kLegacySettingsCompany) + L"\\Current",
                        L"Who", type, data));
  EXPECT_EQ(StringOf(data), L"old");
}

TEST_F(ControllerWinTest, AutostartEntryInTheRealRunKey) {
  TKVHighLevel& controller = Make();
  const std::wstring run = Widen(std::string(kRunKeyPath).substr(1));
  controller.InstallAutostart();
  DWORD type = 0;
  std::vector<BYTE> data;
  const bool machine =
      ReadValue(HKEY_LOCAL_MACHINE, run, Widen(GetProgramTitle()), type, data);
  const bool user = !machine && ReadValue(HKEY_CURRENT_USER, run, Widen(GetProgramTitle()), type, data);
  ASSERT_TRUE(machine || user);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(StringOf(data), Widen("\"" + GetProgramPath() + "\" /start"));
  EXPECT_TRUE(Logged(machine ? "1 Successfully installed autostart of " + GetProgramTitle()
                             : "1 Successfully installed autostart of " + GetProgramTitle() +
                                   " for this user"));

  controller.RemoveAutostart();
  EXPECT_FALSE(ReadValue(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, run,
                         Widen(GetProgramTitle()), type, data));
  log_.clear();
  controller.RemoveAutostart();
  EXPECT_TRUE(Logged("1 Could not uninstall " + GetProgramTitle() + ", since it was not installed."));
}

TEST_F(ControllerWinTest, StartupShortcutThroughTheShellLinkObject) {
  const std::string target = GetProgramPath();
  const std::string name = "kv controller test";
  DeleteStartupShortcut(target, name);
  ASSERT_FALSE(StartupShortcutExists(name));
  ASSERT_TRUE(CreateStartupShortcut(target, "", name, ""));
  EXPECT_TRUE(StartupShortcutExists(name));

  // Read it back through the same object.
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkW, reinterpret_cast<void**>(&link))));
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  const std::string path = AddTrailingBackslash(StartupFolder()) + name + ".lnk";
  ASSERT_TRUE(SUCCEEDED(file->Load(Widen(path).c_str(), STGM_READ)));
  wchar_t buffer[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, 0)));
  EXPECT_EQ(_wcsicmp(buffer, Widen(target).c_str()), 0);
  ASSERT_TRUE(SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)));
  EXPECT_EQ(_wcsicmp(buffer, Widen(GetProgramFolder()).c_str()), 0);
  file->Release();
  link->Release();
  CoUninitialize();

  EXPECT_TRUE(DeleteStartupShortcut(target, name));
  EXPECT_FALSE(StartupShortcutExists(name));
}

}  // namespace
}  // namespace kv
