#include "base/settings_registry.h"

#include "base/ini_file.h"
#include "base/text.h"

namespace kv {

namespace {

// One key of the memory registry seen through the store interface; what is written lands in
// the shared store at once, as it would in the registry.
class TKeyView final : public TCustomIniFile {
 public:
  explicit TKeyView(std::shared_ptr<TMemIniFile> store) : store_(std::move(store)) {}
  std::string ReadString(std::string_view s, std::string_view k,
                         std::string_view def) const override {
    return store_->ReadString(s, k, def);
  }
  void WriteString(std::string_view s, std::string_view k, std::string_view v) override {
    store_->WriteString(s, k, v);
  }
  std::vector<std::string> ReadSections() const override { return store_->ReadSections(); }
  std::vector<std::string> ReadSection(std::string_view s) const override {
    return store_->ReadSection(s);
  }
  bool SectionExists(std::string_view s) const override { return store_->SectionExists(s); }
  bool ValueExists(std::string_view s, std::string_view k) const override {
    return store_->ValueExists(s, k);
  }
  void EraseSection(std::string_view s) override { store_->EraseSection(s); }
  void DeleteKey(std::string_view s, std::string_view k) override { store_->DeleteKey(s, k); }
  void UpdateFile() override {}

 private:
  std::shared_ptr<TMemIniFile> store_;
};

}  // namespace

std::unique_ptr<TCustomIniFile> TMemorySettingsRegistry::Open(const std::string& keyPath,
                                                              bool forWriting) {
  if (!forWriting && !HasKey(keyPath)) return nullptr;
  return std::make_unique<TKeyView>(Key(keyPath));
}

std::shared_ptr<TMemIniFile> TMemorySettingsRegistry::Key(const std::string& keyPath) {
  std::lock_guard<std::mutex> guard(mutex_);
  std::shared_ptr<TMemIniFile>& store = keys_[LowerCase(keyPath)];
  if (!store) store = std::make_shared<TMemIniFile>();
  return store;
}

bool TMemorySettingsRegistry::HasKey(const std::string& keyPath) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return keys_.count(LowerCase(keyPath)) > 0;
}

}  // namespace kv
