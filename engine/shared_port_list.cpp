#include "engine/shared_port_list.h"

#include <utility>

namespace kv {

TSharedPortList::TSharedPortList() : list_(std::make_shared<const TMidiAliasList>()) {}

std::shared_ptr<const TMidiAliasList> TSharedPortList::Snapshot() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return list_;
}

void TSharedPortList::Replace(std::shared_ptr<const TMidiAliasList> list) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    list_.swap(list);
  }
  // The old list (now in list) is freed here, outside the lock, when no reader holds it.
}

bool TSharedPortList::Set(const TMidiAliasList* list) {
  const TMidiAliasList empty;
  const TMidiAliasList& wanted = list ? *list : empty;
  if (Current().SameMembers(wanted)) return false;
  auto copy = std::make_shared<TMidiAliasList>();
  copy->Assign(&wanted);
  Replace(std::move(copy));
  return true;
}

void TSharedPortList::Clear() {
  if (!Current().IsEmpty()) Replace(std::make_shared<const TMidiAliasList>());
}

void TSharedPortList::LoadFromData(std::string_view text, uint8_t kind) {
  auto list = std::make_shared<TMidiAliasList>();
  try {
    list->LoadFromData(text, 1, kind);
  } catch (...) {
    Replace(std::move(list));
    throw;
  }
  Replace(std::move(list));
}

}  // namespace kv
