#include "controls/PickList.h"

#include <algorithm>

#include "platform/LocaleSettings.h"

int findPickRow(const std::vector<std::string>& captions, int selectedRow, const std::string& text, bool down,
                bool matchCase) {
  const int count = static_cast<int>(captions.size());
  if (count == 0) return -1;
  int row = 0;
  if (selectedRow >= 0 && selectedRow < count) row = down ? std::min(selectedRow + 1, count - 1) : std::max(selectedRow - 1, 0);
  const std::string wanted = matchCase ? text : upperCase(text);
  for (; row >= 0 && row < count; row += down ? 1 : -1) {
    const std::string& caption = captions[static_cast<size_t>(row)];
    if ((matchCase ? caption : upperCase(caption)).find(wanted) != std::string::npos) return row;
  }
  return -1;
}
