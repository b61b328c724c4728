// A benchmark whose work fails, as a benchmark reports it; built with
// KESTROVA_BENCH_HANGS, one that never ends, after it made a folder of the
// name KESTROVA_BENCH_MARK gives in its temporary folder (which must not
// stay behind when it is stopped).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
#ifdef KESTROVA_BENCH_HANGS
  if (const char* mark = std::getenv("KESTROVA_BENCH_MARK")) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    CreateDirectoryA((std::string(temp) + mark).c_str(), nullptr);
  }
  for (;;) Sleep(1000);
#else
  std::printf("FailingBench: FAILED, the work gave no result\n");
  return 1;
#endif
}
