// windowtexts CAPTION: prints, one a line, the text of every shown top-level
// window whose caption is CAPTION, each followed by the texts of its child
// windows (a message box's question and its buttons). Ends with 1 when no
// such window is shown.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TSearch {
  std::string caption;
  std::vector<HWND> found;
};

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

BOOL CALLBACK collectShown(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<TSearch*>(search);
  if (IsWindowVisible(window) && windowText(window) == wanted.caption) wanted.found.push_back(window);
  return TRUE;
}

BOOL CALLBACK printText(HWND window, LPARAM) {
  std::printf("%s\n", windowText(window).c_str());
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  TSearch search{argv[1], {}};
  EnumWindows(collectShown, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    printText(window, 0);
    EnumChildWindows(window, printText, 0);
  }
  return search.found.empty() ? 1 : 0;
}
