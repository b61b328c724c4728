#include "platform/Timer.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Clock.h"

TTimer::TTimer(UINT interval, std::function<void()> onTimer) : onTimer(std::move(onTimer)), interval_(interval) {}

TTimer::~TTimer() { setEnabled(false); }

void TTimer::setInterval(UINT milliseconds) {
  interval_ = milliseconds;
  if (enabled()) restart();
}

void TTimer::setEnabled(bool enabled) {
  if (enabled == this->enabled()) return;
  if (enabled) {
    id_ = application().startTimer(*this, interval_);
  } else {
    application().stopTimer(id_);
    id_ = 0;
  }
}

void TTimer::restart() {
  setEnabled(false);
  setEnabled(true);
}

void TTimer::fire() {
  if (onTimer) onTimer();
}

TDeferredRefresh::TDeferredRefresh(UINT delay, UINT maxLatency, std::function<void()> call, const TClock& clock)
    : delay_(delay), maxLatency_(std::max(delay, maxLatency)), call_(std::move(call)), clock_(clock) {
  timer_.onTimer = [this] { fire(); };
}

TDeferredRefresh::TDeferredRefresh(UINT delay, UINT maxLatency, std::function<void()> call)
    : TDeferredRefresh(delay, maxLatency, std::move(call), systemClock()) {}

void TDeferredRefresh::request() {
  const uint64_t now = clock_.milliseconds();
  if (!pending_) {
    pending_ = true;
    firstRequest_ = now;
  }
  const uint64_t waited = now - firstRequest_;
  const uint64_t left = waited >= maxLatency_ ? 0 : maxLatency_ - waited;
  timer_.setInterval(static_cast<UINT>(std::min<uint64_t>(delay_, left)));
  timer_.restart();
}

void TDeferredRefresh::flush() {
  if (pending_) fire();
}

void TDeferredRefresh::cancel() {
  pending_ = false;
  timer_.setEnabled(false);
}

void TDeferredRefresh::fire() {
  cancel();
  if (call_) call_();
}
