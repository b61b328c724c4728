// holdfiles NAME SECONDS FILE...: opens every file shared with nobody, as
// another program may, sets the event NAME-held and keeps the files until
// the event NAME-release is set, or the seconds have passed (the test that
// holds them can run no longer; one that was ended leaves none behind).
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct THandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using THandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string name = argv[1];
  const DWORD seconds = std::strtoul(argv[2], nullptr, 10);
  std::vector<THandle> held;
  for (int i = 3; i < argc; ++i) {
    HANDLE file = CreateFileA(argv[i], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    held.emplace_back(file);
  }
  const THandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "-held").c_str()));
  const THandle release(OpenEventA(SYNCHRONIZE, FALSE, (name + "-release").c_str()));
  if (!ready || !release) return 4;
  SetEvent(ready.get());
  WaitForSingleObject(release.get(), seconds * 1000);
  return 0;
}
