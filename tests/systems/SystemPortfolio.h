#pragma once
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "platform/CalendarDates.h"
#include "systems/System.h"
#include "tests/model/SampleWorkFolder.h"

// A portfolio of two assets, "AAA" and "BBB", with daily quotes from 1 to
// 10 March 2024 (AAA closes at 10, 11, ... 19), current in its table.
class SystemPortfolio {
 public:
  SystemPortfolio() {
    std::string aaa, bbb;
    char line[32];
    for (int d = 1; d <= 10; ++d) {
      std::snprintf(line, sizeof line, "202403%02d,%d\r\n", d, 9 + d);
      aaa += line;
      std::snprintf(line, sizeof line, "202403%02d,100\r\n", d);
      bbb += line;
    }
    writeWholeFile(sample.quotes + "AAA.TXT", aaa);
    writeWholeFile(sample.quotes + "BBB.TXT", bbb);
    std::string folder;
    const int made = table.newPortfolio("Systems", "SYS", folder, sample.folios, "EUR");
    if (made != 0) throw std::runtime_error("newPortfolio " + std::to_string(made) + " in " + folder);
    table.setCurrentIndex(table.count() - 1);
    portfolio = table.current();
    portfolio->newAsset("A stock", "AAA", false, "YYYYMMDD,C", sample.quotes + "AAA.TXT", "EUR");
    portfolio->newAsset("B stock", "BBB", false, "YYYYMMDD,C", sample.quotes + "BBB.TXT", "EUR");
  }

  static double march(int d) {
    double date = 0;
    encodeDate(2024, 3, d, date);
    return date;
  }

  // A rule that buys one unit of the asset every day its condition holds.
  static TSystemRule& addRule(TSystem& system, const std::string& asset, const std::string& condition) {
    TRuleEntryTable& rules = system.Rules();
    rules.addRule(-1, -1, asset, rules.count());
    TSystemRule& rule = *rules.rule(rules.count() - 1);
    rule.setEnabled(true);
    rule.setCondition(condition);
    rule.setUnits("1");
    rule.setPrincipal("X");
    rule.setFees("0");
    return rule;
  }

  std::vector<const TTransaction*> transactions(bool soft) const {
    std::vector<const TTransaction*> found;
    for (int a = 0; a < portfolio->assetCount(); ++a) {
      const TTransactionTable& list = portfolio->assets(a)->Transactions();
      for (int i = 0; i < list.count(); ++i) {
        if ((list.items(i)->Soft() != 0) == soft) found.push_back(list.items(i));
      }
    }
    return found;
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
};
