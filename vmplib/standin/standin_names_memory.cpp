#include <map>
#include <mutex>

#include "vmplib/standin/standin_names.h"

namespace kv::vmpl {
namespace {

class TMemoryNames : public TStandInNames {
 public:
  void Write(std::u16string_view keyPath, const RegistryValue& value) override {
    std::lock_guard lock(mutex_);
    values_[std::u16string(keyPath)] = value;
  }
  void Delete(std::u16string_view keyPath) override {
    std::lock_guard lock(mutex_);
    values_.erase(std::u16string(keyPath));
  }
  bool Read(std::u16string_view keyPath, RegistryValue& value) override {
    std::lock_guard lock(mutex_);
    auto it = values_.find(std::u16string(keyPath));
    if (it == values_.end()) return false;
    value = it->second;
    if (value.data.size() > kMaxNameValueBytes) value.data.resize(kMaxNameValueBytes);
    return true;
  }

 private:
  std::mutex mutex_;
  std::map<std::u16string, RegistryValue> values_;  // guarded by mutex_
};

}  // namespace

std::unique_ptr<TStandInNames> MakeStandInNames() {
  return std::make_unique<TMemoryNames>();
}

}  // namespace kv::vmpl
