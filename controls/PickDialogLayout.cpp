#include "controls/PickDialogLayout.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "platform/ScreenFit.h"

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
  const RECT fitted = fitOnWorkArea(layout.left, layout.top, layout.width, layout.height, workArea, {minWidth, minHeight});
  layout.left = fitted.left;
  layout.top = fitted.top;
  layout.width = fitted.right - fitted.left;
  layout.height = fitted.bottom - fitted.top;
}
