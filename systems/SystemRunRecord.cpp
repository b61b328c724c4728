#include "systems/SystemRunRecord.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <tuple>
#include <vector>

#include "model/Asset.h"
#include "model/CustomProperties.h"
#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "platform/CalendarDates.h"
#include "platform/LocaleSettings.h"
#include "systems/System.h"

namespace {

const char* const recordSection = "LastRun";
const char* const recordKey = "State";

// Beside the system file, not in it: a file rewritten through the settings
// reader loses one pair of enclosing quotes of every value, and the system's
// formulas rely on theirs.
std::string recordFileName(const std::string& systemFileName) {
  const size_t slash = systemFileName.find_last_of("\\/");
  return systemFileName.substr(0, slash == std::string::npos ? 0 : slash + 1) + "SystemRun.INI";
}

// Word by word: every step is a one-to-one map of the state, so one input
// that differs always gives another value, and the check stays cheap on
// years of prices and rates.
class THash {
 public:
  void number(std::uint64_t n) {
    const std::uint64_t mixed = value_ ^ n;
    value_ = ((mixed << 31) | (mixed >> 33)) * 0x9E3779B97F4A7C15ULL;
  }
  void text(const std::string& text) {
    number(static_cast<std::uint64_t>(text.size()));
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, text.data() + at, 8);
      number(word);
    }
    if (at < text.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, text.data() + at, text.size() - at);
      number(word);
    }
  }
  void real(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    number(bits);
  }
  // As the model's files write it: a value read back from there hashes the
  // same as the one that was written.
  void stored(long double x) { text(floatToIniText(static_cast<double>(x))); }
  void properties(const TCustomProperties& properties) {
    number(properties.Lines().size());
    for (const TCustomProperty& line : properties.Lines()) {
      text(line.Name);
      text(line.Value);
    }
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 14695981039346656037ULL;
};

// Whether a formula calls the function (a name followed by "("), in any
// letter case. A call inside a string only costs a run too many.
bool callsFunction(const std::string& formula, const std::string& name) {
  const std::string upper = upperCase(formula);
  const auto identifierPart = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (size_t at = upper.find(name); at != std::string::npos; at = upper.find(name, at + 1)) {
    if (at > 0 && identifierPart(upper[at - 1])) continue;
    const size_t next = at + name.size();
    if (next < upper.size() && upper[next] == '(') return true;
  }
  return false;
}

// The clock is an input of a system whose formulas read it: the day for
// TODAY, the moment for NOW (which so runs at every request).
void hashClock(THash& hash, const TSystem& system) {
  std::vector<const std::string*> formulas;
  for (int i = 0; i < system.Rules().count(); ++i) {
    const TSystemRule& rule = *system.Rules().rule(i);
    for (const std::string* formula : {&rule.Condition(), &rule.Units(), &rule.Principal(), &rule.Fees(),
                                       &rule.Flag(), &rule.TransactionComment()}) {
      formulas.push_back(formula);
    }
  }
  for (int i = 0; i < system.Symbols().count(); ++i) formulas.push_back(&system.Symbols().symbol(i)->Definition());
  const double now = currentDateTime();
  for (const std::string* formula : formulas) {
    if (callsFunction(*formula, "NOW")) {
      hash.real(now);
      return;
    }
  }
  for (const std::string* formula : formulas) {
    if (callsFunction(*formula, "TODAY")) {
      hash.real(std::floor(now));
      return;
    }
  }
}

// The system as it reads, written again in one spelling: a file saved by
// another version, or with other quoting, holds the same system. The grids'
// sizes are the System window's view, not the system.
void hashSystem(THash& hash, const std::string& systemFileName) {
  const TFormulaSeparators separators{localeSettings().decimalSeparator, localeSettings().listSeparator};
  TSystem system;
  {
    const TPortableIniFile ini(systemFileName);
    system.loadFromIni(ini, separators);
  }
  hashClock(hash, system);
  TPortableIniFile canonical(systemFileName, TPortableIniFile::TNewFile{});
  system.saveToIni(canonical, separators);
  std::vector<std::string> sections;
  canonical.readSections(sections);
  for (const std::string& section : sections) {
    hash.text(section);
    std::vector<std::string> entries;
    canonical.readSectionValues(section, entries);
    for (const std::string& entry : entries) {
      if (entry.rfind("RowHeight=", 0) == 0 || entry.rfind("ColWidth=", 0) == 0) continue;
      hash.text(entry);
    }
  }
}

void hashPrices(THash& hash, const TPrices& prices) {
  hash.number(static_cast<std::uint64_t>(prices.count()));
  TQuoteRecord quote;
  for (int i = 0; i < prices.count(); ++i) {
    prices.getRecord(i, quote);
    hash.number(quote.Year * 10000ULL + quote.Month * 100ULL + quote.Day);
    hash.number(quote.Mask);
    for (int k = 0; k < quoteValueCount; ++k) {
      if (quote.Mask & quoteValueBit(k)) hash.real(static_cast<double>(quote.*quoteValueFields[k]));
    }
  }
}

// Every cached table, not only those of the portfolio's own assets: a rule
// converts between any two currencies the program holds. In the order of
// their pairs, since the cache fills in the order portfolios were opened.
void hashCurrencyTables(THash& hash) {
  const TForexTables& tables = forexTables();
  std::vector<const TForex*> sorted;
  for (int i = 0; i < tables.tableCount(); ++i) sorted.push_back(&tables.table(i));
  std::sort(sorted.begin(), sorted.end(), [](const TForex* a, const TForex* b) {
    return std::tie(a->FromCode, a->ToCode) < std::tie(b->FromCode, b->ToCode);
  });
  hash.number(sorted.size());
  for (const TForex* table : sorted) {
    hash.text(table->FromCode);
    hash.text(table->ToCode);
    hash.number(table->records().size());
    for (const THistoryRecord& record : table->records()) {
      hash.real(record.Date);
      hash.real(static_cast<double>(record.Value));
    }
  }
}

// Files list the transactions in another order than the run posted them:
// each is hashed alone and the hashes are added up.
void hashTransactions(THash& hash, const TTransactionTable& transactions) {
  std::uint64_t sum = 0;
  for (int i = 0; i < transactions.count(); ++i) {
    const TTransaction& transaction = *transactions.items(i);
    THash one;
    one.number(static_cast<std::uint64_t>(transaction.Number()));
    one.number(static_cast<std::uint64_t>(transaction.Soft()));
    one.stored(transaction.DateTime());
    one.stored(transaction.Units());
    one.stored(transaction.Value());
    one.stored(transaction.Fees());
    one.text(transaction.Flag());
    one.properties(transaction.CustomProperties);
    sum += one.value();
  }
  hash.number(static_cast<std::uint64_t>(transactions.count()));
  hash.number(sum);
}

}  // namespace

std::uint64_t systemRunState(const std::string& systemFileName, const std::string& macros,
                             const TPortfolio& portfolio) {
  THash hash;
  hashSystem(hash, systemFileName);
  hash.text(macros);
  hashCurrencyTables(hash);
  hash.text(portfolio.Name());
  hash.text(portfolio.Symbol());
  hash.text(portfolio.getCurrency());
  hash.properties(portfolio.CustomProperties);
  hash.number(static_cast<std::uint64_t>(portfolio.assetCount()));
  for (int a = 0; a < portfolio.assetCount(); ++a) {
    const TAsset& asset = *portfolio.assets(a);
    // The prices themselves, not where they come from: a working folder
    // moved elsewhere holds the same portfolio.
    hash.text(asset.Name());
    hash.text(asset.Symbol());
    hash.text(asset.getCurrency());
    double stocks = 0, bonds = 0, cash = 0, other = 0;
    asset.Allocation().get(stocks, bonds, cash, other);
    for (double part : {stocks, bonds, cash, other}) hash.stored(part);
    hash.properties(asset.CustomProperties);
    hashPrices(hash, asset.Prices());
    hashTransactions(hash, asset.Transactions());
  }
  // 0 stands for "none kept".
  return hash.value() != 0 ? hash.value() : 1;
}

std::uint64_t lastSystemRunState(const std::string& systemFileName) {
  const TPortableIniFile ini(recordFileName(systemFileName));
  const std::string text = ini.readString(recordSection, recordKey, "");
  try {
    size_t used = 0;
    const std::uint64_t state = std::stoull(text, &used, 16);
    return used == text.size() ? state : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

void keepSystemRunState(const std::string& systemFileName, std::uint64_t state) {
  TPortableIniFile ini(recordFileName(systemFileName));
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(state));
  ini.writeString(recordSection, recordKey, text);
  ini.updateFile();
}
