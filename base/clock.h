#pragma once
// The program's 32-bit millisecond clock. It wraps after about 49.7 days, so due times are
// compared by signed 32-bit difference (TimeReached). Tests can set the clock.
#include <cstdint>

namespace kv {

// Milliseconds since an arbitrary start (the multimedia timer's time on Windows).
uint32_t GetTickMs();

// True when `now` is at or past `due`, across the clock's wrap.
inline bool TimeReached(uint32_t now, uint32_t due) {
  return static_cast<int32_t>(now - due) >= 0;
}

// While one exists, GetTickMs returns its time instead of the system's. One at a time.
class TestClock {
 public:
  explicit TestClock(uint32_t start = 0);
  ~TestClock();
  TestClock(const TestClock&) = delete;
  TestClock& operator=(const TestClock&) = delete;

  void Set(uint32_t now);
  void Advance(uint32_t ms);
  uint32_t Now() const;
};

}  // namespace kv
