#pragma once
// Portable stand-ins for the operating system's automatic-reset events and page-aligned
// blocks, for bus systems that are not the real one (the native default and the stand-in bus).
//
// Lock: one mutex guards the table of events; each event has its own mutex and condition.
// A wait holds a reference to its event, so closing it meanwhile cannot free it under the
// waiter (the library closes events only after its receivers have left).
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "vmplib/bus_system.h"

namespace kv::vmpl {

class TLocalEvents {
 public:
  OsHandle Create();
  void Signal(OsHandle event);
  void Wait(OsHandle event);
  void Close(OsHandle event);
  // True once when the event was signalled since the last wait (for tests).
  bool TryWait(OsHandle event);
  bool Exists(OsHandle event) const;

 private:
  struct Event {
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;  // guarded by mutex
  };
  std::shared_ptr<Event> Find(OsHandle event) const;

  mutable std::mutex mutex_;
  std::map<OsHandle, std::shared_ptr<Event>> events_;  // guarded by mutex_
  OsHandle next_ = 0x10000;                            // guarded by mutex_
};

uint8_t* AllocLocalBlock();
void FreeLocalBlock(uint8_t* block);

}  // namespace kv::vmpl
