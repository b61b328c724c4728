#include "controls/PickRows.h"

#include "model/Asset.h"
#include "model/LanguageStrings.h"
#include "model/Portfolio.h"
#include "platform/LocaleSettings.h"

namespace {

const char* const noNameText = "(no name)";

TPickRow textRow(std::vector<std::string> texts) {
  TPickRow row;
  row.texts = std::move(texts);
  return row;
}

}  // namespace

std::vector<TPickRow> builtInCurrencyRows() {
  return {textRow({"CHF", "Franc", "Switzerland"}), textRow({"EUR", "Euro", "EU"}),
          textRow({"GBP", "Pound", "United Kingdom"}), textRow({"JPY", "Yen", "Japan"}),
          textRow({"USD", "Dollar", "USA"})};
}

std::vector<TPickRow> languageCurrencyRows() {
  std::vector<TPickRow> rows;
  for (int i = 0; i < currencyCount(); ++i) {
    const std::string code = currencyCode(i);
    rows.push_back(textRow({code, currencyName(code), countryName(code)}));
  }
  return rows;
}

int findCurrencyRow(const std::vector<std::string>& symbols, const std::string& symbol) {
  const std::string wanted = upperCase(symbol);
  for (size_t i = 0; i < symbols.size(); ++i)
    if (symbols[i].starts_with(wanted)) return static_cast<int>(i);
  return -1;
}

std::string assetCaption(const TAsset& asset) {
  if (!asset.Name().empty()) return asset.Name();
  return asset.Symbol().empty() ? noNameText : asset.Symbol();
}

std::vector<TPickRow> assetPickRows(const TPortfolio* portfolio, const std::vector<std::pair<int, int>>& order) {
  std::vector<TPickRow> rows;
  if (portfolio == nullptr) return rows;
  for (const auto& [assetIndex, displayOrder] : order) {
    const TAsset* asset = portfolio->assets(assetIndex);
    if (asset == nullptr) continue;
    TPickRow row;
    row.texts = {asset->Name().empty() ? noNameText : asset->Name(), asset->Symbol(), asset->getCurrency()};
    row.number = assetIndex;
    rows.push_back(std::move(row));
  }
  return rows;
}
