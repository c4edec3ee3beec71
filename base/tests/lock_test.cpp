#include "base/lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kv {
namespace {

TEST(LockTest, LockIsReentrantForItsThread) {
  TLock lock;
  lock.Enter();
  lock.Enter();
  lock.Leave();
  lock.Leave();
  // Another thread can take it now.
  std::thread t([&] { TLockGuard guard(lock); });
  t.join();
}

TEST(LockTest, EventIsAutoResetAndStartsUnsignalled) {
  TEvent event;
  EXPECT_EQ(event.WaitFor(1), TWaitResult::Timeout);
  event.Signal();
  event.Signal();  // signals do not add up
  EXPECT_EQ(event.WaitFor(1), TWaitResult::Signaled);
  EXPECT_EQ(event.WaitFor(1), TWaitResult::Timeout);
}

TEST(LockTest, EventReleasesAWaitingThread) {
  TEvent event;
  std::atomic<bool> woke{false};
  std::thread t([&] {
    event.Wait();
    woke = true;
  });
  event.Signal();
  t.join();
  EXPECT_TRUE(woke);
}

TEST(ReadWriteLockTest, WriterMayNestReadAndWriteLocks) {
  TReadWriteLock lock;
  lock.LockWrite();
  lock.LockRead();
  lock.LockWrite();
  lock.UnlockWrite();
  lock.UnlockRead();
  lock.UnlockWrite();
  // Fully released: another thread writes.
  std::thread t([&] { TWriteLockGuard guard(lock); });
  t.join();
}

TEST(ReadWriteLockTest, ReadersShareAndWritersExclude) {
  TReadWriteLock lock;
  int shared = 0;  // guarded by lock
  std::atomic<int> readersInside{0};
  std::atomic<int> maxReaders{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        if (i % 10 == 0) {
          TWriteLockGuard guard(lock);
          EXPECT_EQ(readersInside.load(), 0);
          ++shared;
        } else {
          TReadLockGuard guard(lock);
          const int now = ++readersInside;
          int seen = maxReaders.load();
          while (now > seen && !maxReaders.compare_exchange_weak(seen, now)) {
          }
          (void)shared;
          --readersInside;
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(shared, 4 * 200);
}

TEST(ReadWriteLockTest, ReaderHeldElsewhereMakesWriterWait) {
  TReadWriteLock lock;
  lock.LockRead();
  std::atomic<bool> wrote{false};
  std::thread writer([&] {
    TWriteLockGuard guard(lock);
    wrote = true;
  });
  // The writer cannot get in while the read lock is held; it gets in once it is released.
  std::this_thread::yield();
  EXPECT_FALSE(wrote.load());
  lock.UnlockRead();
  writer.join();
  EXPECT_TRUE(wrote.load());
}

}  // namespace
}  // namespace kv
