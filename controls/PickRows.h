#pragma once
#include <string>
#include <utility>
#include <vector>

#include "controls/PickList.h"

class TPortfolio;

// The rows of the currency and asset pick dialogs.

// The five currencies the currency dialog offers before the language file is read.
std::vector<TPickRow> builtInCurrencyRows();
// The language file's currencies in list order: code, currency name, and
// the name of the country of the code's first two letters.
std::vector<TPickRow> languageCurrencyRows();
// The first of the symbols that begins with the symbol in capitals; -1 when none.
int findCurrencyRow(const std::vector<std::string>& symbols, const std::string& symbol);

class TAsset;

// What lists an asset where one text stands for it: its Name, else its
// Symbol, else a text that says it has none, so that no entry is blank.
std::string assetCaption(const TAsset& asset);

// One row (name, symbol, currency; the asset index as number) per pair
// (asset index, display order) whose asset exists, in the pairs' order;
// none without a portfolio. A nameless asset's name says it has none.
std::vector<TPickRow> assetPickRows(const TPortfolio* portfolio, const std::vector<std::pair<int, int>>& order);
