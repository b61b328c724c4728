#pragma once
#include <windows.h>

// A lock that readers share, for std::shared_lock and std::unique_lock.
// Under Wine the standard mutex of this runtime waits on a kernel object:
// threads that meet at it each pay a call into the server, and lookups
// meant to run side by side run one after another.
class TReadWriteLock {
 public:
  TReadWriteLock() = default;
  TReadWriteLock(const TReadWriteLock&) = delete;
  TReadWriteLock& operator=(const TReadWriteLock&) = delete;

  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }
  void lock_shared() { AcquireSRWLockShared(&lock_); }
  void unlock_shared() { ReleaseSRWLockShared(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};
