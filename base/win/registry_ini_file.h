#pragma once
// The settings interface over a registry key of HKEY_CURRENT_USER: each section is a subkey
// of the key, each value a registry value. Integers and flags are written as DWORD values;
// texts as strings. A store opened for reading only never creates keys.
#include <string>

#include "base/ini_file.h"

namespace kv {

class TRegistryIniFile : public TCustomIniFile {
 public:
  // keyPath like "\Software\Zarn Software\..." (a leading "\" is ignored).
  TRegistryIniFile(std::string keyPath, bool writable);

  // True when the key itself exists.
  bool KeyExists() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const override;
  void WriteInteger(std::string_view section, std::string_view key, int32_t value) override;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const override;
  void WriteBool(std::string_view section, std::string_view key, bool value) override;
  std::vector<std::string> ReadSections() const override;
  std::vector<std::string> ReadSection(std::string_view section) const override;
  bool SectionExists(std::string_view section) const override;
  bool ValueExists(std::string_view section, std::string_view key) const override;
  void EraseSection(std::string_view section) override;
  void DeleteKey(std::string_view section, std::string_view key) override;
  void UpdateFile() override {}

 private:
  std::wstring SectionPath(std::string_view section) const;

  std::string keyPath_;
  bool writable_;
};

}  // namespace kv
