#pragma once
// The synchronisation primitives the engine and the MIDI layer share: a re-entrant lock, an
// automatic-reset event, and the readers-writer lock that lets event producers walk a preset
// while the main thread edits it.
//
// All three are portable (standard library) and may be used from any thread. None of them
// calls out to other code while its own internal mutex is held.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace kv {

// A critical section: re-entrant for the thread that holds it; Leave as often as Enter.
class TLock {
 public:
  TLock() = default;
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }

  // Lets std::lock_guard / std::unique_lock hold a TLock.
  void lock() { Enter(); }
  void unlock() { Leave(); }

 private:
  std::recursive_mutex mutex_;
};

// Holds a TLock for a scope.
class TLockGuard {
 public:
  explicit TLockGuard(TLock& lock) : lock_(lock) { lock_.Enter(); }
  ~TLockGuard() { lock_.Leave(); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

 private:
  TLock& lock_;
};

enum class TWaitResult { Signaled, Timeout };

// An event with automatic reset, initially not signalled: one Signal releases one Wait (or
// the next Wait when nobody waits yet); signals do not add up.
class TEvent {
 public:
  TEvent() = default;
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void Signal();
  void Wait();
  TWaitResult WaitFor(uint32_t milliseconds);

 private:
  std::mutex mutex_;  // guards signaled_
  std::condition_variable cond_;
  bool signaled_ = false;
};

// Readers-writer lock. Any number of readers hold it together; a writer holds it alone. The
// thread that holds the write lock may take the read and the write lock again (nested), so
// write operations may call reading ones. A waiting writer keeps new readers out, so a walk
// that takes the read lock must not take the same preset's read lock again while it holds it
// (a walk never does: it reads each preset once). Each lock is released by the thread that
// took it.
class TReadWriteLock {
 public:
  TReadWriteLock() = default;
  TReadWriteLock(const TReadWriteLock&) = delete;
  TReadWriteLock& operator=(const TReadWriteLock&) = delete;

  void LockRead();
  void UnlockRead();
  void LockWrite();
  void UnlockWrite();

  // Lets std::unique_lock hold the lock.
  void lock() { LockWrite(); }
  void unlock() { UnlockWrite(); }

 private:
  bool HeldForWriteByMe() const;

  std::mutex mutex_;  // guards every field below
  std::condition_variable changed_;
  int readers_ = 0;          // read locks of threads other than the writer
  int writersWaiting_ = 0;   // writers blocked in LockWrite
  int writeDepth_ = 0;       // nested write locks of the writer
  int writerReadDepth_ = 0;  // read locks taken by the writer while it writes
  std::thread::id writer_;
};

// Holds a read or a write lock of a TReadWriteLock for a scope.
class TReadLockGuard {
 public:
  explicit TReadLockGuard(TReadWriteLock& lock) : lock_(lock) { lock_.LockRead(); }
  ~TReadLockGuard() { lock_.UnlockRead(); }
  TReadLockGuard(const TReadLockGuard&) = delete;
  TReadLockGuard& operator=(const TReadLockGuard&) = delete;

 private:
  TReadWriteLock& lock_;
};

class TWriteLockGuard {
 public:
  explicit TWriteLockGuard(TReadWriteLock& lock) : lock_(lock) { lock_.LockWrite(); }
  ~TWriteLockGuard() { lock_.UnlockWrite(); }
  TWriteLockGuard(const TWriteLockGuard&) = delete;
  TWriteLockGuard& operator=(const TWriteLockGuard&) = delete;

 private:
  TReadWriteLock& lock_;
};

}  // namespace kv
