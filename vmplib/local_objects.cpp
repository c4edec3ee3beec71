#include "vmplib/local_objects.h"

#include <cstring>
#include <new>

namespace kv::vmpl {
namespace {
constexpr size_t kPageSize = 4096;
}  // namespace

OsHandle TLocalEvents::Create() {
  std::lock_guard lock(mutex_);
  const OsHandle h = next_;
  next_ += 4;
  events_[h] = std::make_shared<Event>();
  return h;
}

std::shared_ptr<TLocalEvents::Event> TLocalEvents::Find(OsHandle event) const {
  std::lock_guard lock(mutex_);
  auto it = events_.find(event);
  return it == events_.end() ? nullptr : it->second;
}

bool TLocalEvents::Exists(OsHandle event) const {
  return Find(event) != nullptr;
}

void TLocalEvents::Signal(OsHandle event) {
  auto e = Find(event);
  if (!e) return;
  {
    std::lock_guard lock(e->mutex);
    e->signalled = true;
  }
  e->cv.notify_one();
}

void TLocalEvents::Wait(OsHandle event) {
  auto e = Find(event);
  if (!e) return;
  std::unique_lock lock(e->mutex);
  e->cv.wait(lock, [&] { return e->signalled; });
  e->signalled = false;
}

bool TLocalEvents::TryWait(OsHandle event) {
  auto e = Find(event);
  if (!e) return false;
  std::lock_guard lock(e->mutex);
  const bool was = e->signalled;
  e->signalled = false;
  return was;
}

void TLocalEvents::Close(OsHandle event) {
  std::lock_guard lock(mutex_);
  events_.erase(event);
}

uint8_t* AllocLocalBlock() {
  void* p = ::operator new (kBlockSize, std::align_val_t{kPageSize}, std::nothrow);
  if (p) std::memset(p, 0, kBlockSize);
  return static_cast<uint8_t*>(p);
}

void FreeLocalBlock(uint8_t* block) {
  if (block) ::operator delete (block, std::align_val_t{kPageSize});
}

}  // namespace kv::vmpl
