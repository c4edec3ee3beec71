// The stand-in bus's display names in the local machine's registry, where the library reads
// them. Every key names a fresh unique identifier, so parallel test programs never meet.
#include <windows.h>

#include <string>

#include "vmplib/standin/standin_names.h"
#include "vmplib/win/registry_name.h"

namespace kv::vmpl {
namespace {

class TRegistryNames : public TStandInNames {
 public:
  void Write(std::u16string_view keyPath, const RegistryValue& value) override {
    const std::wstring path(keyPath.begin(), keyPath.end());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    RegSetValueExW(key, L"Name", 0, value.type, value.data.data(), DWORD(value.data.size()));
    RegCloseKey(key);
  }
  void Delete(std::u16string_view keyPath) override {
    const std::wstring path(keyPath.begin(), keyPath.end());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  }
  bool Read(std::u16string_view keyPath, RegistryValue& value) override {
    return win::ReadHklmNameValue(keyPath, value);
  }
};

}  // namespace

std::unique_ptr<TStandInNames> MakeStandInNames() {
  return std::make_unique<TRegistryNames>();
}

}  // namespace kv::vmpl
