#pragma once

// Coalesces the grid's redraw requests. A restartable timer would never fire
// under continuous input (held keys, thumb tracking, typing each restart it
// before it runs out); here the first request of a burst arms the timer and
// later ones join it, so the view lags by at most maxLatencyMs.
class TRefreshDebounce {
 public:
  static constexpr unsigned maxLatencyMs = 50;

  // True when the caller must start the timer: nothing was pending.
  bool request() {
    if (pending_) return false;
    pending_ = true;
    return true;
  }
  // The refresh ran, from the timer or directly.
  void done() { pending_ = false; }
  bool pending() const { return pending_; }

 private:
  bool pending_ = false;
};
