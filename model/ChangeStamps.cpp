#include "model/ChangeStamps.h"

#include <atomic>

#include "platform/CalendarDates.h"

namespace {

constexpr double stampStep = 1.0 / 86400000.0;  // 1 ms in days

// The stamps are taken on the GUI thread; the atomic only keeps a stray
// caller on a graph thread from breaking the ordering.
std::atomic<double> previousStamp{0.0};

}  // namespace

double changeStamp() {
  const double now = currentDateTime();
  double previous = previousStamp.load();
  double next;
  do {
    next = now > previous + stampStep ? now : previous + stampStep;
  } while (!previousStamp.compare_exchange_weak(previous, next));
  return next;
}
