// A benchmark whose work fails, as a benchmark reports it; built with
// KESTROVA_BENCH_HANGS, one that never ends.
#include <windows.h>

#include <cstdio>

int main() {
#ifdef KESTROVA_BENCH_HANGS
  for (;;) Sleep(1000);
#else
  std::printf("FailingBench: FAILED, the work gave no result\n");
  return 1;
#endif
}
