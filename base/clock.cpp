#include "base/clock.h"

#include <atomic>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#endif

namespace kv {
namespace {
std::atomic<bool> g_testClockActive{false};
std::atomic<uint32_t> g_testNow{0};

uint32_t SystemTickMs() {
#ifdef _WIN32
  return timeGetTime();
#else
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
#endif
}
}  // namespace

uint32_t GetTickMs() {
  if (g_testClockActive.load(std::memory_order_acquire))
    return g_testNow.load(std::memory_order_acquire);
  return SystemTickMs();
}

TestClock::TestClock(uint32_t start) {
  g_testNow.store(start);
  g_testClockActive.store(true, std::memory_order_release);
}

TestClock::~TestClock() {
  g_testClockActive.store(false, std::memory_order_release);
}

void TestClock::Set(uint32_t now) {
  g_testNow.store(now, std::memory_order_release);
}
void TestClock::Advance(uint32_t ms) {
  g_testNow.fetch_add(ms, std::memory_order_acq_rel);
}
uint32_t TestClock::Now() const {
  return g_testNow.load(std::memory_order_acquire);
}

}  // namespace kv
