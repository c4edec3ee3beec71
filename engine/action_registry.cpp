#include "engine/action_registry.h"

#include <mutex>

namespace kv {

namespace {

struct Registration {
  std::string tag;
  TTransActionFactory factory;
};

struct Registry {
  std::mutex mutex;  // guards entries
  std::vector<Registration> entries;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

bool RegisterTransActionClass(std::string_view tag, TTransActionFactory factory) {
  if (tag.size() != kActionTagLength || !factory) return false;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.mutex);
  for (const Registration& e : r.entries) {
    if (e.tag == tag) return false;
  }
  r.entries.push_back({std::string(tag), std::move(factory)});
  return true;
}

std::unique_ptr<TTransAction> CreateTransActionFromText(std::string_view text, bool incoming) {
  if (text.size() < kActionTagLength) return nullptr;
  const std::string_view tag = text.substr(0, kActionTagLength);
  TTransActionFactory factory;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.mutex);
    for (const Registration& e : r.entries) {
      if (e.tag == tag) {
        factory = e.factory;
        break;
      }
    }
  }
  // The kind's constructor runs outside the registry's lock.
  return factory ? factory(incoming) : nullptr;
}

std::vector<std::string> RegisteredTransActionTags() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.mutex);
  std::vector<std::string> tags;
  for (const Registration& e : r.entries) tags.push_back(e.tag);
  return tags;
}

void ResetTransActionRegistryForTests() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.mutex);
  r.entries.clear();
}

}  // namespace kv
