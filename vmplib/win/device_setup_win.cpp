#include "vmplib/win/device_setup_win.h"

#include <windows.h>
#include <newdev.h>
#include <setupapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace kv::vmpl {
namespace win {
namespace {

constexpr DWORD kClassNameLength = 32 + 1;

std::wstring W(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}

class TWinDeviceSet : public TDeviceSet {
 public:
  explicit TWinDeviceSet(HDEVINFO set) : set_(set) {}
  ~TWinDeviceSet() override { SetupDiDestroyDeviceInfoList(set_); }
  TWinDeviceSet(const TWinDeviceSet&) = delete;
  TWinDeviceSet& operator=(const TWinDeviceSet&) = delete;

  Ids HardwareIds(uint32_t index, std::vector<char16_t>& ids) override {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInfo(set_, index, &data)) {
      return GetLastError() == ERROR_NO_MORE_ITEMS ? Ids::End : Ids::Error;
    }
    DWORD type = 0, size = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set_, &data, SPDRP_HARDWAREID, &type, nullptr, 0,
                                           &size)) {
      const DWORD e = GetLastError();
      if (e == ERROR_INVALID_DATA) return Ids::None;
      if (e != ERROR_INSUFFICIENT_BUFFER) return Ids::Error;
    }
    std::vector<BYTE> buffer(size + 4, 0);
    if (!SetupDiGetDeviceRegistryPropertyW(set_, &data, SPDRP_HARDWAREID, &type, buffer.data(),
                                           size, &size)) {
      return GetLastError() == ERROR_INVALID_DATA ? Ids::None : Ids::Error;
    }
    ids.assign(size / 2, 0);
    std::memcpy(ids.data(), buffer.data(), ids.size() * 2);
    return Ids::Ok;
  }

  bool Remove(uint32_t index) override {
    removed_ = SP_DEVINFO_DATA{};
    removed_.cbSize = sizeof removed_;
    if (!SetupDiEnumDeviceInfo(set_, index, &removed_)) return false;
    return SetupDiCallClassInstaller(DIF_REMOVE, set_, &removed_) != FALSE;
  }

  bool RestartNeeded() override {
    SP_DEVINSTALL_PARAMS_W params{};
    params.cbSize = sizeof params;
    if (!SetupDiGetDeviceInstallParamsW(set_, &removed_, &params)) return false;
    return (params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0;
  }

 private:
  HDEVINFO set_;
  SP_DEVINFO_DATA removed_{};
};

class TWinNewDevice : public TNewDevice {
 public:
  TWinNewDevice(HDEVINFO list, const SP_DEVINFO_DATA& data) : list_(list), data_(data) {}
  ~TWinNewDevice() override { SetupDiDestroyDeviceInfoList(list_); }
  TWinNewDevice(const TWinNewDevice&) = delete;
  TWinNewDevice& operator=(const TWinNewDevice&) = delete;

  bool Remove() override {
    // The caller reports the failure that led here, not this one.
    const DWORD error = GetLastError();
    const bool ok = SetupDiCallClassInstaller(DIF_REMOVE, list_, &data_) != FALSE;
    SetLastError(error);
    return ok;
  }

 private:
  HDEVINFO list_;
  SP_DEVINFO_DATA data_;
};

}  // namespace

bool TWinDeviceSetup::InfFileExists(std::u16string_view path) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(W(path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::unique_ptr<TDeviceSet> TWinDeviceSetup::OpenDevices(bool presentOnly) {
  const DWORD flags = DIGCF_ALLCLASSES | (presentOnly ? DIGCF_PRESENT : 0);
  HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<TWinDeviceSet>(set);
}

std::unique_ptr<TNewDevice> TWinDeviceSetup::RegisterDevice(std::u16string_view infPath,
                                                            std::u16string_view hardwareIdList) {
  const std::wstring inf = W(infPath);
  GUID classGuid;
  wchar_t className[kClassNameLength];
  if (!SetupDiGetINFClassW(inf.c_str(), &classGuid, className, kClassNameLength, nullptr)) {
    return nullptr;
  }
  HDEVINFO list = SetupDiCreateDeviceInfoList(&classGuid, nullptr);
  if (list == INVALID_HANDLE_VALUE) return nullptr;
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof data;
  // The list is one entry and the list's terminator; the string's own terminator closes it.
  const std::wstring ids = W(hardwareIdList);
  if (!SetupDiCreateDeviceInfoW(list, className, &classGuid, nullptr, nullptr, DICD_GENERATE_ID,
                                &data) ||
      !SetupDiSetDeviceRegistryPropertyW(list, &data, SPDRP_HARDWAREID,
                                         reinterpret_cast<const BYTE*>(ids.c_str()),
                                         DWORD((ids.size() + 1) * sizeof(wchar_t))) ||
      !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list, &data)) {
    SetupDiDestroyDeviceInfoList(list);
    return nullptr;
  }
  return std::make_unique<TWinNewDevice>(list, data);
}

bool TWinDeviceSetup::UpdateDriver(std::u16string_view hardwareId, std::u16string_view infPath,
                                   bool& rebootNeeded) {
  BOOL reboot = FALSE;
  const BOOL ok = UpdateDriverForPlugAndPlayDevicesW(
      nullptr, W(hardwareId).c_str(), W(infPath).c_str(), INSTALLFLAG_FORCE, &reboot);
  rebootNeeded = reboot != FALSE;
  return ok != FALSE;
}

void TWinDeviceSetup::PromptRestart() {
  SetupPromptReboot(nullptr, nullptr, FALSE);
}

void TWinDeviceSetup::DeleteDevConfig() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\zarnbus", 0,
                    KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteKeyW(key, L"DevConfig");
  RegCloseKey(key);
}

}  // namespace win

TDeviceSetup& DefaultDeviceSetup() {
  static win::TWinDeviceSetup setup;
  return setup;
}

}  // namespace kv::vmpl
