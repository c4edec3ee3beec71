// The controller's reach into Windows: the program's arguments, the Run keys, the Startup
// folder and the shell link object.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <string_view>

#include "app/controller/autostart.h"
#include "app/controller/controller.h"
#include "base/exception.h"
#include "base/platform.h"
#include "base/utils.h"
#include "base/win/wide.h"

namespace kv {

using win::Widen;

namespace {

// An argument the code page cannot hold keeps "?" where its characters have none (never a
// near character, which would name another file): a file name with "?" is then reported.
std::string ArgumentText(std::wstring_view argument) {
  if (std::optional<std::string> exact = win::NarrowExactly(argument)) return *exact;
  const int size = static_cast<int>(argument.size());
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, argument.data(), size, nullptr,
                                    0, "?", nullptr);
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, argument.data(), size, text.data(), n, "?",
                        nullptr);
  return text;
}

}  // namespace

std::vector<std::string> SystemProgramArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ArgumentText(argv[i]));
  LocalFree(argv);
  return arguments;
}

namespace {

class TWinAutostartRegistry final : public TAutostartRegistry {
 public:
  ~TWinAutostartRegistry() override { CloseKey(); }
  bool OpenRunKey(RegRoot root, bool create) override {
    CloseKey();
    const HKEY rootKey = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::wstring path = Widen(std::string_view(kRunKeyPath).substr(1));
    const LSTATUS status =
        create ? RegCreateKeyExW(rootKey, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &key_, nullptr)
               : RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
    return key_ != nullptr;
  }
  bool ValueExists(const std::string& name) override {
    return key_ && RegQueryValueExW(key_, Widen(name).c_str(), nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
  }
  bool WriteString(const std::string& name, const std::string& data) override {
    if (!key_) return false;
    const std::wstring text = Widen(data);
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
  }
  bool DeleteValue(const std::string& name) override {
    return key_ && RegDeleteValueW(key_, Widen(name).c_str()) == ERROR_SUCCESS;
  }
  void CloseKey() override {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// Balances one COM initialisation of the calling thread.
class TComScope {
 public:
  TComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~TComScope() {
    if (initialised_) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  bool initialised_;
};

template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() {
    if (p_) p_->Release();
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace

TAutostartRegistry& DefaultAutostartRegistry() {
  static TWinAutostartRegistry registry;
  return registry;
}

std::string StartupFolder() {
  return GetSpecialFolder(CSIDL_STARTUP);
}

void TShellLink::Save() const {
  const std::string file = LinkFileName(LinkFile);
  const std::string failure = "Error creating shortcut " + file + ".";
  TComScope com;
  TComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out()))))
    throw Exception(failure);
  static const int kShow[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  const std::string folder =
      WorkingFolder.empty() ? RemoveTrailingBackslash(ExtractFilePath(Target)) : WorkingFolder;
  bool ok = SUCCEEDED(link->SetArguments(Widen(Arguments).c_str())) &&
            SUCCEEDED(link->SetDescription(Widen(Description).c_str())) &&
            SUCCEEDED(link->SetHotkey(HotKey)) &&
            (IconFile.empty() ||
             SUCCEEDED(link->SetIconLocation(Widen(IconFile).c_str(), IconIndex))) &&
            SUCCEEDED(link->SetPath(Widen(Target).c_str())) &&
            SUCCEEDED(link->SetShowCmd(kShow[ShowMode < 3 ? ShowMode : 0])) &&
            SUCCEEDED(link->SetWorkingDirectory(Widen(folder).c_str()));
  TComPtr<IPersistFile> persist;
  ok = ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile,
                                            reinterpret_cast<void**>(persist.Out())));
  ok = ok && SUCCEEDED(persist->Save(Widen(file).c_str(), TRUE));
  if (!ok) throw Exception(failure);
}

}  // namespace kv
