#include "windows/FolioPickSearch.h"

#include <algorithm>

namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool contains(const std::string& caption, const std::string& text, bool matchCase) {
  if (matchCase) return caption.find(text) != std::string::npos;
  const auto match = std::search(caption.begin(), caption.end(), text.begin(), text.end(),
                                 [](char a, char b) { return asciiLower(a) == asciiLower(b); });
  return match != caption.end();
}

}  // namespace

int findFolioRow(const std::vector<std::string>& captions, int selected, const std::string& text, bool down,
                 bool matchCase) {
  const int count = static_cast<int>(captions.size());
  if (count == 0) return -1;
  if (down) {
    const int start = selected < 0 ? 0 : std::min(selected + 1, count - 1);
    for (int row = start; row < count; ++row)
      if (contains(captions[row], text, matchCase)) return row;
  } else {
    const int start = selected < 0 ? 0 : std::max(selected - 1, 0);
    for (int row = start; row >= 0; --row)
      if (contains(captions[row], text, matchCase)) return row;
  }
  return -1;
}
