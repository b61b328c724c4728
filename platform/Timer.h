#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

class TClock;

// A message-loop timer: fires onTimer every interval while enabled.
class TTimer {
 public:
  explicit TTimer(UINT interval = 1000, std::function<void()> onTimer = {});
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  UINT interval() const { return interval_; }
  void setInterval(UINT milliseconds);
  bool enabled() const { return id_ != 0; }
  void setEnabled(bool enabled);
  // Starts the interval afresh (a restartable one-shot when the handler
  // disables the timer).
  void restart();

  std::function<void()> onTimer;

 private:
  friend class TApplication;
  void fire();

  UINT interval_;
  UINT_PTR id_ = 0;
};

// Coalesces many requests into one call: the call comes `delay` after the
// last request, but never later than `maxLatency` after the first request of
// a burst, so a stream of changes still shows on the screen.
class TDeferredRefresh {
 public:
  TDeferredRefresh(UINT delay, UINT maxLatency, std::function<void()> call, const TClock& clock);
  TDeferredRefresh(UINT delay, UINT maxLatency, std::function<void()> call);

  void request();
  bool pending() const { return pending_; }
  // Runs a pending call now (before a paint that must show the latest state).
  void flush();
  void cancel();

 private:
  void fire();

  UINT delay_;
  UINT maxLatency_;
  std::function<void()> call_;
  const TClock& clock_;
  TTimer timer_;
  bool pending_ = false;
  uint64_t firstRequest_ = 0;
};
