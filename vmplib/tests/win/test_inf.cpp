#include "vmplib/tests/win/test_inf.h"

#include <windows.h>

#include <fstream>
#include <vector>

#include "vmplib/win/device_setup_win.h"

namespace kv::vmpl::test {
namespace {

std::wstring TestFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring name = exe;
  name = name.substr(name.find_last_of(L"\\/") + 1);
  return std::wstring(temp) + L"kv-" + name + L".d";
}

}  // namespace

std::wstring WriteTestInf() {
  const std::wstring folder = TestFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\zarnbus.inf";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  const char text[] =
      "[Version]\r\n"
      "Signature=\"$Windows NT$\"\r\n"
      "Class=System\r\n"
      "ClassGuid={4D36E97D-E325-11CE-BFC1-08002BE10318}\r\n"
      "Provider=%Prov%\r\n"
      "DriverVer=01/01/2020,1.0.0.0\r\n"
      "\r\n"
      "[Manufacturer]\r\n"
      "%Prov%=Models,NTamd64\r\n"
      "\r\n"
      "[Models.NTamd64]\r\n"
      "%Desc%=Bus_Install,root\\zarnbus\r\n"
      "\r\n"
      "[Bus_Install]\r\n"
      "\r\n"
      "[Strings]\r\n"
      "Prov=\"Korvanta tests\"\r\n"
      "Desc=\"Test bus\"\r\n";
  DWORD written = 0;
  WriteFile(f, text, sizeof text - 1, &written, nullptr);
  CloseHandle(f);
  return path;
}

int CountDevices(const std::u16string& id, bool presentOnly) {
  win::TWinDeviceSetup setup;
  auto set = setup.OpenDevices(presentOnly);
  if (!set) return -1;
  int n = 0;
  std::vector<char16_t> ids;
  for (uint32_t i = 0;; ++i) {
    const auto r = set->HardwareIds(i, ids);
    if (r == TDeviceSet::Ids::End || r == TDeviceSet::Ids::Error) break;
    if (r == TDeviceSet::Ids::Ok && MultiStringContains(ids, id)) ++n;
  }
  return n;
}

void RemoveDevices(const std::u16string& id) {
  win::TWinDeviceSetup setup;
  auto set = setup.OpenDevices(false);
  if (!set) return;
  std::vector<char16_t> ids;
  for (uint32_t i = 0;; ++i) {
    const auto r = set->HardwareIds(i, ids);
    if (r == TDeviceSet::Ids::End || r == TDeviceSet::Ids::Error) break;
    if (r == TDeviceSet::Ids::Ok && MultiStringContains(ids, id)) set->Remove(i);
  }
}

}  // namespace kv::vmpl::test
