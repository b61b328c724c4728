#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <utility>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "sheet/Cell.h"
#include "sheet/CellStates.h"
#include "sheet/ColumnLetters.h"
#include "sheet/FormulaTokenizer.h"
#include "sheet/Sheet.h"
#include "systems/System.h"
#include "systems/SystemDayStep.h"
#include "systems/SystemNameTable.h"

namespace {

// Cell kinds of the run sheet.
constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t textCell = 2;
constexpr std::uint8_t integerCell = 5;
constexpr std::uint8_t booleanCell = 6;

constexpr int firstRuleRow = 4;
// 23:59:59 of a day: the soft transactions of the range's last day go too.
constexpr double lastSecondOfDay = 0.999988425925926;
constexpr std::int32_t noTransactionExcepted = std::numeric_limits<std::int32_t>::min();

std::string reference(int col, int row) { return columnLetters(col) + std::to_string(row); }

// The number exactly, not as its 15-digit text.
void writeNumber(TSheet& sheet, int col, int row, double x) {
  sheet.setCellContent(col, row, 0, sheet.floatToStr(x), numberCell);
  if (TCell* cell = sheet.getCell(col, row)) {
    TValueRecord value;
    value.kind = valueNumber;
    value.number = x;
    sheet.setCellValue(value, cell);
  }
}

// The last row holding a cell: a place emptied again may stay in its column.
int lastUsedRow(const TSheet& sheet) {
  int last = 0;
  for (const auto& column : sheet.cells) {
    for (int row = static_cast<int>(column.size()); row > last; --row) {
      if (column[static_cast<size_t>(row - 1)]) {
        last = row;
        break;
      }
    }
  }
  return last;
}

TPortfolio* runPortfolio(const TSheet* sheet) {
  if (sheet == nullptr || sheet->portfolioTable == nullptr) return nullptr;
  TPortfolio* portfolio = sheet->portfolioTable->current();
  return portfolio != nullptr && portfolio->assetCount() > 0 ? portfolio : nullptr;
}

// Soft transactions that will be written to files again leave theirs for
// the new ones to reuse; run discards what is left of them.
int deleteSoftTransactions(TPortfolio& portfolio, double fromDate, double toDate, bool keepFilesForReuse,
                           std::string* refusal = nullptr) {
  return portfolio.deleteTransactionsBetweenDates(noTransactionExcepted, true, std::trunc(fromDate),
                                                  std::trunc(toDate) + lastSecondOfDay, keepFilesForReuse, refusal);
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

void TSystem::substituteNames(const std::string& formula, std::string& result, const TSystemNameTable& names,
                              TFormulaSeparators separators) {
  result.clear();
  size_t end = 0;
  const size_t stopped = forEachFormulaToken(
      formula, separators.decimalSeparator, separators.listSeparator,
      [&](const TTokenObject& token, size_t position, size_t tokenEnd) {
        result.append(position - end, ' ');
        const std::string* replacement = nullptr;
        if (token.tokenClass == tokenOperand && token.value.kind == valueIdentifier) {
          replacement = names.find(formula.substr(position, tokenEnd - position));
        }
        if (replacement != nullptr) {
          result += *replacement;
        } else {
          result.append(formula, position, tokenEnd - position);
        }
        end = tokenEnd;
      });
  // The end, or a token the tokenizer could not take apart: the rest as written.
  result.append(formula, stopped, std::string::npos);
}

int TSystem::compileToSheet(TSheet* sheet, std::string& objective, double fromDate, double toDate) const {
  if (sheet == nullptr) return -7;
  try {
    sheet->clearCells();
    TPortfolio* portfolio = runPortfolio(sheet);
    if (portfolio == nullptr) return 0;
    sheet->autoRecalculate = false;
    sheet->recordDependents = false;
    const TFormulaSeparators separators{sheet->decimalSeparator.empty() ? '.' : sheet->decimalSeparator[0],
                                        sheet->listSeparator.empty() ? ';' : sheet->listSeparator[0]};

    TSystemNameTable names;
    names.add("X", "A1");
    names.add("FROM_DATE", "B1");
    names.add("TO_DATE", "C1");
    names.add("PORTFOLIO", std::to_string(sheet->portfolioTable->currentIndex()));
    names.add("RULE", "RULE");
    for (int i = 0; i < portfolio->assetCount(); ++i) names.add(portfolio->assets(i)->Symbol(), std::to_string(i));
    for (int i = 0; i < params_.count(); ++i) names.add(params_.parameter(i)->Symbol(), reference(i + 1, 2));
    for (int i = 0; i < symbols_.count(); ++i) names.add(symbols_.symbol(i)->Symbol(), reference(i + 1, 3));

    writeNumber(*sheet, 1, 1, fromDate);
    writeNumber(*sheet, 2, 1, fromDate);
    writeNumber(*sheet, 3, 1, toDate);
    for (int i = 0; i < params_.count(); ++i) {
      writeNumber(*sheet, i + 1, 2, static_cast<double>(params_.parameter(i)->Value()));
    }
    std::string text;
    for (int i = 0; i < symbols_.count(); ++i) {
      substituteNames(symbols_.symbol(i)->Definition(), text, names, separators);
      if (!text.empty()) sheet->setCellContent(i + 1, 3, 0, text, numberCell);
    }
    substituteNames(objective, text, names, separators);
    objective = text;

    for (int k = 1; k <= rules_.count(); ++k) {
      const TSystemRule* rule = rules_.rule(k - 1);
      if (rule->isInactive()) continue;
      int assetIndex = -1;
      for (int i = 0; i < portfolio->assetCount() && assetIndex < 0; ++i) {
        if (equalsIgnoringCase(portfolio->assets(i)->Symbol(), rule->AssetSymbol())) assetIndex = i;
      }
      if (assetIndex < 0) continue;
      const int row = firstRuleRow - 1 + k;
      names.setRule(std::to_string(rule->Number()));
      sheet->setCellContent(1, row, 0, std::to_string(assetIndex), integerCell);
      const std::pair<int, const std::string*> formulas[] = {
          {2, &rule->Condition()}, {3, &rule->Units()}, {4, &rule->Principal()}, {5, &rule->Fees()}};
      for (const auto& [col, formula] : formulas) {
        substituteNames(*formula, text, names, separators);
        sheet->setCellContent(col, row, 0, text, col == 2 ? booleanCell : numberCell);
      }
      // A text cell evaluates only a text that begins with "=".
      const std::pair<int, const std::string*> texts[] = {{6, &rule->TransactionComment()}, {7, &rule->Flag()}};
      for (const auto& [col, formula] : texts) {
        substituteNames(*formula, text, names, separators);
        size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        if (text[first] != '=') text = '=' + text;
        sheet->setCellContent(col, row, 0, text, textCell);
      }
      names.setRule("");
    }
    return 0;
  } catch (const std::exception&) {
    return -5;
  }
}

int TSystem::prepareRun(std::unique_ptr<TSheet>& sheet, IActiveScript* scriptEngine, TPortfolioTable* portfolioTable,
                        std::string& objective, const TSystemCallback& callback, std::string* refusal) const {
  sheet.reset();
  if (refusal) refusal->clear();
  TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
  if (portfolio == nullptr || portfolio->assetCount() == 0) return -7;
  try {
    const int deleted = deleteSoftTransactions(*portfolio, fromDate_, toDate_, saveSoftTransactions_, refusal);
    if (deleted != 0) return deleted;
    double first = 0, last = 0;
    bool firstFound = false, lastFound = false;
    portfolio->firstQuoteDate(first, firstFound);
    portfolio->lastQuoteDate(last, lastFound);
    if (!firstFound || !lastFound) return -7;
    const double from = std::max(first, fromDate_);
    const double to = std::min(last, toDate_);
    if (from > to || rules_.activeCount() == 0) return -7;

    auto made = std::make_unique<TSheet>();
    made->setScriptEngine(scriptEngine, false);
    made->portfolioTable = portfolioTable;
    int result = compileToSheet(made.get(), objective, from, to);
    if (result == 0 && callback) result = callback(fromDate_ - 1, toDate_, fromDate_ - 1);
    if (result == 0) sheet = std::move(made);
    return result;
  } catch (const std::exception&) {
    return -5;
  }
}

int TSystem::simulate(TSheet* sheet, bool setParameters, const TSystemCallback& callback, bool& objectiveFound,
                      double& objectiveValue, const std::string& objective, std::uint8_t* objectiveState) const {
  objectiveFound = false;
  if (objectiveState != nullptr) *objectiveState = errNA;
  TPortfolio* portfolio = runPortfolio(sheet);
  if (portfolio == nullptr) return -7;
  if (!sheet->cellHasValue(2, 1) || !sheet->cellHasValue(3, 1)) return -7;
  const double from = sheet->getCellNumber(2, 1);
  const double to = sheet->getCellNumber(3, 1);
  const int deleted = deleteSoftTransactions(*portfolio, from, to, saveSoftTransactions_);
  if (deleted != 0) return deleted;
  double day = from;
  const int rows = lastUsedRow(*sheet);
  if (rows < firstRuleRow) return 0;

  if (setParameters) {
    sheet->autoRecalculate = false;
    for (int i = 0; i < params_.count(); ++i) {
      const TSystemParameter* parameter = params_.parameter(i);
      if (parameter->isOptimisable()) writeNumber(*sheet, i + 1, 2, static_cast<double>(parameter->Value()));
    }
  }

  // The first day: everything, and the dependents lists that the later days follow.
  sheet->currentCol = 1;
  sheet->currentRow = 1;
  writeNumber(*sheet, 1, 1, day);
  sheet->markAllDirty();
  sheet->autoRecalculate = true;
  sheet->recordDependents = true;
  sheet->stopAtFirstError = false;
  sheet->recalculateAll(true);
  sheet->recordDependents = false;
  sheet->stopAtFirstError = true;
  TSystemDayStep dayStep(*sheet);

  fireRules(*sheet, *portfolio, rows, firstRuleRow, day);
  if (callback) {
    const int answer = callback(from - 0.5, to, day);
    if (answer != 0) return answer;
  }
  for (int i = 1; day < to; ++i) {
    day = from + i;
    dayStep.setDay(day);
    fireRules(*sheet, *portfolio, rows, firstRuleRow, day);
    if (callback) {
      const int answer = callback(from - 0.5, to, day);
      if (answer != 0) return answer;
    }
  }

  if (!objective.empty()) {
    const int row = rows + 1;
    sheet->currentCol = 1;
    sheet->currentRow = row;
    sheet->setCellContent(1, row, 0, objective, numberCell);
    if (TCell* cell = sheet->getCell(1, row)) {
      if (cell->hasFormula()) cell->evaluate(1, row, false);
      if (sheet->cellHasValue(1, row)) {
        objectiveValue = sheet->getCellNumber(1, row);
        objectiveFound = true;
      }
      if (objectiveState != nullptr && objectiveFound) *objectiveState = stateValid;
      if (objectiveState != nullptr && !objectiveFound && cell->state != stateValid) *objectiveState = cell->state;
    }
    sheet->putCell(1, row, nullptr);
  }
  if (callback) callback(from, to, to);
  return 0;
}

int TSystem::run(IActiveScript* scriptEngine, TPortfolioTable* portfolioTable, const TSystemCallback& callback,
                 TMacroCallFailures* macroFailures, std::string* refusal) const {
  if (macroFailures != nullptr) *macroFailures = {};
  std::unique_ptr<TSheet> sheet;
  std::string objective;
  int result = prepareRun(sheet, scriptEngine, portfolioTable, objective, callback, refusal);
  if (result == 0) {
    bool found = false;
    double value = 0;
    try {
      result = simulate(sheet.get(), false, callback, found, value, objective);
    } catch (const std::exception&) {
      result = -5;
    }
    if (macroFailures != nullptr && sheet) *macroFailures = sheet->macroCallout.failures();
  }
  // An old soft transaction that could not be deleted is still in the
  // folder: the run did not replace them all, as when deleting fails first.
  TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
  if (portfolio != nullptr && !portfolio->discardSpareTransactionFiles() && result == 0) result = -4;
  return result;
}

void TSystem::fireRules(const TSheet& sheet, TPortfolio& portfolio, int lastRow, int firstRow, double day) const {
  for (int row = firstRow; row <= lastRow; ++row) {
    if (!sheet.cellHasValue(2, row) || sheet.getCellInteger(2, row) == 0) continue;
    if (!sheet.cellHasValue(3, row) || !sheet.cellHasValue(4, row) || !sheet.cellHasValue(5, row) ||
        !sheet.cellHasValue(1, row)) {
      continue;
    }
    portfolio.addTransaction(sheet.getCellInteger(1, row), 1, day, sheet.getCellNumber(3, row),
                             sheet.getCellNumber(4, row), sheet.getCellNumber(5, row), sheet.getCellText(7, row, false),
                             sheet.getCellText(6, row, false), saveSoftTransactions_);
  }
}
