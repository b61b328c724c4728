#pragma once
#include <chrono>

// Processor time the calling thread has used so far. A check that work stays
// small measures this, not the clock: on a loaded machine the clock also
// counts the time spent waiting for a processor.
std::chrono::duration<double> threadProcessorTime();
