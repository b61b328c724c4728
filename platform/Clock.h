#pragma once
#include <cstdint>

// The time source of timers and delays, replaceable in tests.
class TClock {
 public:
  virtual ~TClock() = default;
  virtual uint64_t milliseconds() const = 0;  // a steady count, any origin
};

// GetTickCount64.
const TClock& systemClock();
