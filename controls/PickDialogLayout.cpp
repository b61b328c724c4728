#include "controls/PickDialogLayout.h"

#include <algorithm>

#include "model/PortableIniFile.h"

const TPickDialogLayoutKeys& currencyPickLayoutKeys() {
  static const TPickDialogLayoutKeys keys{"CurrencyPick", false, false, {"SymbolWidth", "NameWidth", "CountryWidth"}};
  return keys;
}

const TPickDialogLayoutKeys& downloadPickLayoutKeys() {
  static const TPickDialogLayoutKeys keys{
      "DownloadPick", true, true, {"NameWidth", "SymbolWidth", "CurrencyWidth", "UpdatedWidth"}};
  return keys;
}

const TPickDialogLayoutKeys& assetPickLayoutKeys() {
  static const TPickDialogLayoutKeys keys{"AssetPick", true, false, {"NameWidth", "SymbolWidth", "CurrencyWidth"}};
  return keys;
}

void readPickDialogLayout(const TPortableIniFile& ini, const TPickDialogLayoutKeys& keys, TPickDialogLayout& layout) {
  auto read = [&](const char* key, int& value) { value = ini.readInteger(keys.section, key, value); };
  if (keys.withPosition) {
    read("Left", layout.left);
    read("Top", layout.top);
  }
  read("Height", layout.height);
  read("Width", layout.width);
  if (keys.withListWidth) read("ListWidth", layout.listWidth);
  layout.columnWidths.resize(std::max(layout.columnWidths.size(), keys.columnKeys.size()));
  for (size_t i = 0; i < keys.columnKeys.size(); ++i) read(keys.columnKeys[i], layout.columnWidths[i]);
}

void writePickDialogLayout(TPortableIniFile& ini, const TPickDialogLayoutKeys& keys, const TPickDialogLayout& layout) {
  auto write = [&](const char* key, int value) { ini.writeInteger(keys.section, key, value); };
  if (keys.withPosition) {
    write("Left", layout.left);
    write("Top", layout.top);
  }
  write("Height", layout.height);
  write("Width", layout.width);
  if (keys.withListWidth) write("ListWidth", layout.listWidth);
  for (size_t i = 0; i < keys.columnKeys.size() && i < layout.columnWidths.size(); ++i)
    write(keys.columnKeys[i], layout.columnWidths[i]);
}

void fitPickDialogLayout(TPickDialogLayout& layout, const RECT& workArea, int minWidth, int minHeight) {
  const int areaWidth = static_cast<int>(workArea.right - workArea.left);
  const int areaHeight = static_cast<int>(workArea.bottom - workArea.top);
  layout.width = std::max(minWidth, std::min(layout.width, areaWidth));
  layout.height = std::max(minHeight, std::min(layout.height, areaHeight));
  layout.left = std::max(static_cast<int>(workArea.left), std::min(layout.left, static_cast<int>(workArea.right) - layout.width));
  layout.top = std::max(static_cast<int>(workArea.top), std::min(layout.top, static_cast<int>(workArea.bottom) - layout.height));
}
