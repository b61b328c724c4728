#include "platform/Clock.h"

#include <windows.h>

namespace {

class TSystemClock : public TClock {
 public:
  uint64_t milliseconds() const override { return GetTickCount64(); }
};

}  // namespace

const TClock& systemClock() {
  static const TSystemClock clock;
  return clock;
}
