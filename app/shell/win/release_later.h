#pragma once
// Frees a window once the messages being handled are done: a window must never be freed
// from inside one of its own handlers. The reference is cleared at once.
#include <memory>

#include "ui/application.h"

namespace kv {

template <class T>
void ReleaseLater(std::unique_ptr<T>& window) {
  if (!window) return;
  std::shared_ptr<T> dying(std::move(window));
  ui::Application().Post([dying] {});
}

}  // namespace kv
