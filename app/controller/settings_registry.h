#pragma once
// A settings registry kept in memory: the stand-in natively, and what tests and the check
// tool give the controller so that nothing reaches this machine's registry.
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "app/controller/controller.h"

namespace kv {

class TMemIniFile;

class TMemorySettingsRegistry final : public TSettingsRegistry {
 public:
  std::unique_ptr<TCustomIniFile> Open(const std::string& keyPath, bool forWriting) override;
  // The store under that key (made when missing), for tests to fill or look at.
  std::shared_ptr<TMemIniFile> Key(const std::string& keyPath);
  bool HasKey(const std::string& keyPath) const;
  // A key that cannot be opened, for failure tests.
  void Refuse(const std::string& keyPath) { refused_ = keyPath; }

 private:
  mutable std::mutex mutex_;  // guards keys_
  std::map<std::string, std::shared_ptr<TMemIniFile>> keys_;  // by lower-case path
  std::string refused_;
};

}  // namespace kv
