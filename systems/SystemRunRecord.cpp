#include "systems/SystemRunRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "model/Asset.h"
#include "model/CustomProperties.h"
#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "model/UnreadableFiles.h"
#include "platform/CalendarDates.h"
#include "platform/LocaleSettings.h"
#include "sheet/FormulaTokenizer.h"
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

// What of a formula tells which inputs a run reads beyond its own
// portfolio: the functions it calls, with the arguments written as plain
// numbers, and the names it uses.
struct TFormulaCall {
  std::string function;  // upper case
  // Per argument: the number it is written as, or nothing.
  std::vector<std::optional<double>> literals;
};

struct TFormulaReads {
  std::vector<TFormulaCall> calls;
  bool namesPortfolio = false;  // the name PORTFOLIO, replaced by the run's own index
};

struct TFormulaToken {
  std::uint8_t tokenClass;
  std::uint8_t operatorCode;
  std::string word;
  std::optional<double> number;
};

std::vector<TFormulaToken> formulaTokens(const std::string& formula, TFormulaSeparators separators) {
  std::vector<TFormulaToken> tokens;
  forEachFormulaToken(formula, separators.decimalSeparator, separators.listSeparator,
                      [&tokens](const TTokenObject& token, size_t, size_t) {
                        TFormulaToken& kept =
                            tokens.emplace_back(TFormulaToken{token.tokenClass, token.operatorCode, {}, {}});
                        const bool function = token.tokenClass == tokenOperator && token.operatorCode == opFunctionCall;
                        const bool operand = token.tokenClass == tokenOperand;
                        if (function || (operand && token.value.kind == valueIdentifier)) {
                          kept.word = upperCase(token.value.string);
                        } else if (operand && token.ok && token.value.kind == valueInteger) {
                          kept.number = token.value.integer;
                        } else if (operand && token.ok && token.value.kind == valueNumber) {
                          kept.number = token.value.number;
                        }
                      });
  return tokens;
}

void addFormulaReads(TFormulaReads& reads, const std::string& formula, TFormulaSeparators separators) {
  const std::vector<TFormulaToken> tokens = formulaTokens(formula, separators);
  for (size_t at = 0; at < tokens.size(); ++at) {
    const TFormulaToken& token = tokens[at];
    if (token.tokenClass == tokenOperand && token.word == "PORTFOLIO") reads.namesPortfolio = true;
    if (token.tokenClass != tokenOperator || token.operatorCode != opFunctionCall) continue;
    TFormulaCall call{token.word, {}};
    // The arguments between the brackets that follow: one token each, or
    // more (an expression, which stays unknown).
    int depth = 0;
    size_t argumentTokens = 0;
    std::optional<double> literal;
    for (size_t next = at + 1; next < tokens.size(); ++next) {
      const TFormulaToken& part = tokens[next];
      const bool opens = part.tokenClass == tokenOpenBrace ||
                         (part.tokenClass == tokenOperator && part.operatorCode == opOpenBracket);
      const bool closes = part.tokenClass == tokenCloseBrace ||
                          (part.tokenClass == tokenOperator && part.operatorCode == opCloseBracket);
      const bool separates = depth == 1 && part.tokenClass == tokenOperator && part.operatorCode == opListSeparator;
      if ((closes && depth == 1) || separates) {
        call.literals.push_back(argumentTokens == 1 ? literal : std::nullopt);
        argumentTokens = 0;
        literal.reset();
        if (closes) break;
        continue;
      }
      if (depth >= 1) {
        ++argumentTokens;
        literal = part.number;
      }
      if (opens) ++depth;
      if (closes) --depth;
      if (depth == 0) break;
    }
    reads.calls.push_back(std::move(call));
  }
}

TFormulaReads systemReads(const TSystem& system, TFormulaSeparators separators) {
  TFormulaReads reads;
  for (int i = 0; i < system.Rules().count(); ++i) {
    const TSystemRule& rule = *system.Rules().rule(i);
    for (const std::string* formula : {&rule.Condition(), &rule.Units(), &rule.Principal(), &rule.Fees(),
                                       &rule.Flag(), &rule.TransactionComment()}) {
      addFormulaReads(reads, *formula, separators);
    }
  }
  for (int i = 0; i < system.Symbols().count(); ++i)
    addFormulaReads(reads, system.Symbols().symbol(i)->Definition(), separators);
  return reads;
}

bool callsFunction(const TFormulaReads& reads, const char* name) {
  return std::any_of(reads.calls.begin(), reads.calls.end(),
                     [name](const TFormulaCall& call) { return call.function == name; });
}

// The clock is an input of a system whose formulas read it: the day for
// TODAY, the moment for NOW (which so runs at every request).
void hashClock(THash& hash, const TFormulaReads& reads) {
  const double now = currentDateTime();
  if (callsFunction(reads, "NOW")) {
    hash.real(now);
  } else if (callsFunction(reads, "TODAY")) {
    hash.real(std::floor(now));
  }
}

// The system as it reads, written again in one spelling: a file saved by
// another version, or with other quoting, holds the same system. The grids'
// sizes are the System window's view, and the entry count the file's, not
// the system.
void hashSystem(THash& hash, const TSystem& system, const std::string& systemFileName,
                TFormulaSeparators separators) {
  TPortableIniFile canonical(systemFileName, TPortableIniFile::TNewFile{});
  system.saveToIni(canonical, separators);
  std::vector<std::string> sections;
  canonical.readSections(sections);
  for (const std::string& section : sections) {
    hash.text(section);
    std::vector<std::string> entries;
    canonical.readSectionValues(section, entries);
    for (const std::string& entry : entries) {
      if (entry.rfind("RowHeight=", 0) == 0 || entry.rfind("ColWidth=", 0) == 0 || entry.rfind("Entries=", 0) == 0)
        continue;
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

// Everything of a portfolio a formula can read.
void hashPortfolio(THash& hash, const TPortfolio& portfolio) {
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
}

// The argument that names a portfolio by its index in the open ones, by
// function; TRANSACTION_PORTFOLIO searches them all.
int portfolioArgument(const std::string& function) {
  if (function == "PORTFOLIO_CURRENCY_PART" || function == "PORTFOLIO_CONVERTED_CURRENCY_PART") return 1;
  return function.rfind("PORTFOLIO_", 0) == 0 ? 0 : -1;
}

// The open portfolios the formulas name by a number written in them
// (PORTFOLIO_NAV(0;X;1)); every one of them for TRANSACTION_PORTFOLIO. An
// index made by an expression, a cell or a macro is not known here.
std::set<std::int64_t> namedIndexes(const TFormulaReads& reads, int portfolioCount) {
  std::set<std::int64_t> indexes;
  for (const TFormulaCall& call : reads.calls) {
    if (call.function == "TRANSACTION_PORTFOLIO") {
      for (int i = 0; i < portfolioCount; ++i) indexes.insert(i);
      continue;
    }
    const int argument = portfolioArgument(call.function);
    if (argument < 0 || static_cast<size_t>(argument) >= call.literals.size()) continue;
    const std::optional<double> index = call.literals[static_cast<size_t>(argument)];
    // As the functions convert it: truncated to an integer.
    if (index && std::fabs(*index) < 2147483648.0) indexes.insert(static_cast<std::int64_t>(std::trunc(*index)));
  }
  return indexes;
}

TFormulaReads systemFileReads(const std::string& systemFileName, TSystem& system) {
  const TFormulaSeparators separators{localeSettings().decimalSeparator, localeSettings().listSeparator};
  const TPortableIniFile ini(systemFileName);
  system.loadFromIni(ini, separators);
  return systemReads(system, separators);
}

// The other portfolios named, and the run's own index when a formula uses
// it: a change there gives other transactions.
void hashNamedPortfolios(THash& hash, const TFormulaReads& reads, const TPortfolioTable& table) {
  const std::set<std::int64_t> indexes = namedIndexes(reads, table.count());
  const int own = table.currentIndex();
  if (reads.namesPortfolio) hash.number(static_cast<std::uint64_t>(own));
  if (indexes.empty()) return;
  hash.number(indexes.size());
  for (std::int64_t index : indexes) {
    hash.number(static_cast<std::uint64_t>(index));
    const TPortfolio* named = index >= 0 && index < table.count() ? table.items(static_cast<int>(index)) : nullptr;
    // The run's own portfolio is in the state already.
    hash.number(index == own ? 1 : named == nullptr ? 2 : 3);
    if (named != nullptr && index != own) hashPortfolio(hash, *named);
  }
}

}  // namespace

std::uint64_t systemRunState(const std::string& systemFileName, const std::string& macros,
                             const TPortfolioTable& table) {
  TSystem system;
  const TFormulaReads reads = systemFileReads(systemFileName, system);
  THash hash;
  hashClock(hash, reads);
  hashSystem(hash, system, systemFileName, {localeSettings().decimalSeparator, localeSettings().listSeparator});
  hash.text(macros);
  hashCurrencyTables(hash);
  if (const TPortfolio* portfolio = table.current()) hashPortfolio(hash, *portfolio);
  hashNamedPortfolios(hash, reads, table);
  // 0 stands for "none kept".
  return hash.value() != 0 ? hash.value() : 1;
}

bool systemNamesPortfolios(const std::string& systemFileName) {
  TSystem system;
  // Any index, open or not: one out of range names a portfolio opened later.
  return !namedIndexes(systemFileReads(systemFileName, system), 1).empty();
}

namespace {

// The state a record holds; none for a text that is no state.
std::optional<std::uint64_t> recordedState(const std::string& text) {
  try {
    size_t used = 0;
    const std::uint64_t state = std::stoull(text, &used, 16);
    return used == text.size() ? std::optional(state) : std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::uint64_t lastSystemRunState(const std::string& systemFileName) {
  const TPortableIniFile ini(recordFileName(systemFileName));
  const std::string text = ini.readString(recordSection, recordKey, "");
  const std::optional<std::uint64_t> state = recordedState(text);
  if (!text.empty() && !state) reportPartlyReadFile(ini.FileName());
  return state.value_or(0);
}

void keepSystemRunState(const std::string& systemFileName, std::uint64_t state) {
  TPortableIniFile ini(recordFileName(systemFileName));
  // A record that did not read whole is left as it stands, as is one whose
  // state does not read: the system merely runs again at the next start.
  const std::string kept = ini.readString(recordSection, recordKey, "");
  if (ini.readFailed() || ini.readInPart() || (!kept.empty() && !recordedState(kept))) return;
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(state));
  ini.writeString(recordSection, recordKey, text);
  ini.updateFile();
}
