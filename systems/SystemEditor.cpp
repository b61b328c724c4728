#include "systems/SystemEditor.h"

#include <algorithm>
#include <cmath>

#include "platform/DateTimePicker.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"
#include "windows/DateWindow.h"

namespace {

constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t textCell = 2;
constexpr std::uint8_t integerCell = 5;
constexpr std::uint8_t booleanCell = 6;
constexpr std::uint8_t centred = alignHorizontalLow | alignRight | alignVerticalLow | alignBottom;
constexpr std::uint8_t rightAligned = alignRight | alignVerticalLow | alignBottom;
constexpr std::uint8_t leftAligned = alignVerticalLow | alignBottom;

// The kinds of the fields of each page, in display order.
const std::vector<std::uint8_t>& fieldKinds(TSystemPage page) {
  static const std::vector<std::uint8_t> rules{integerCell, textCell, booleanCell, textCell, textCell,
                                               textCell,    textCell, textCell,    textCell, textCell};
  static const std::vector<std::uint8_t> symbols{textCell, textCell, textCell};
  static const std::vector<std::uint8_t> params{textCell,    numberCell,  numberCell, numberCell,
                                                integerCell, booleanCell, textCell};
  return page == TSystemPage::rules ? rules : page == TSystemPage::symbols ? symbols : params;
}

std::uint8_t fieldAlignment(std::uint8_t kind) {
  return kind == booleanCell ? centred : kind == textCell ? leftAligned : rightAligned;
}

std::string trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

void writeCell(TSheet& sheet, int col, int row, std::uint8_t kind, std::uint8_t alignment, const std::string& text,
               long double number) {
  sheet.setCellContent(col, row, alignment, kind == numberCell ? sheet.floatToStr(static_cast<double>(number)) : text,
                       kind);
  if (kind != numberCell) return;
  if (TCell* cell = sheet.getCell(col, row)) {
    TValueRecord value;
    value.kind = valueNumber;
    value.number = static_cast<double>(number);
    sheet.setCellValue(value, cell);
  }
}

}  // namespace

TSystemEditor::TSystemEditor() { loadedFromFile(); }

void TSystemEditor::loadedFromFile() {
  // A range stored beyond the days the pickers show loads clipped to them,
  // so that the pickers, the days box and the system tell the same range.
  pickersFromSystem();
  if (fromPicker_ != std::trunc(edited_.FromDate())) edited_.setFromDate(fromPicker_);
  if (toPicker_ != std::trunc(edited_.ToDate())) edited_.setToDate(toPicker_);
  committed_.assign(&edited_, true);
}

const std::vector<std::string>& TSystemEditor::fieldHeaders(TSystemPage page) {
  static const std::vector<std::string> rules{"Nr",  "Asset", "Enabled", "Condition", "Units",
                                              "Principal", "Fees", "Flag", "Message", "Comment"};
  static const std::vector<std::string> symbols{"Symbol", "Definition", "Comment"};
  static const std::vector<std::string> params{"Symbol", "Value", "Low", "High", "Steps", "Locked", "Comment"};
  return page == TSystemPage::rules ? rules : page == TSystemPage::symbols ? symbols : params;
}

TSystemEntryTable& TSystemEditor::table(TSystem& system, TSystemPage page) {
  if (page == TSystemPage::rules) return system.Rules();
  if (page == TSystemPage::symbols) return system.Symbols();
  return system.Params();
}

const TSystemEntryTable& TSystemEditor::table(const TSystem& system, TSystemPage page) const {
  if (page == TSystemPage::rules) return system.Rules();
  if (page == TSystemPage::symbols) return system.Symbols();
  return system.Params();
}

int TSystemEditor::entryCount(TSystemPage page) const { return table(edited_, page).count(); }

std::string TSystemEditor::fieldText(TSystemPage page, int entry, int field) const {
  if (page == TSystemPage::rules) {
    const TSystemRule& rule = *edited_.Rules().rule(entry);
    switch (field) {
      case 0: return std::to_string(rule.Number());
      case 1: return rule.AssetSymbol();
      case 2: return rule.Enabled() ? "1" : "0";
      case 3: return rule.Condition();
      case 4: return rule.Units();
      case 5: return rule.Principal();
      case 6: return rule.Fees();
      case 7: return rule.Flag();
      case 8: return rule.TransactionComment();
      default: return rule.Comment();
    }
  }
  if (page == TSystemPage::symbols) {
    const TSystemSymbol& symbol = *edited_.Symbols().symbol(entry);
    return field == 0 ? symbol.Symbol() : field == 1 ? symbol.Definition() : symbol.Comment();
  }
  const TSystemParameter& parameter = *edited_.Params().parameter(entry);
  switch (field) {
    case 0: return parameter.Symbol();
    case 4: return std::to_string(parameter.Steps());
    case 5: return parameter.Locked() ? "1" : "0";
    case 6: return parameter.Comment();
    default: return {};
  }
}

void TSystemEditor::layOut(TSystemPage page, TSheet& sheet) const {
  sheet.clearCells();
  const std::vector<std::string>& headers = fieldHeaders(page);
  const std::vector<std::uint8_t>& kinds = fieldKinds(page);
  const bool byRow = rowWise(page);
  for (int field = 0; field < static_cast<int>(headers.size()); ++field) {
    const int col = byRow ? field + 1 : 1;
    const int row = byRow ? 1 : field + 1;
    sheet.setCellContent(col, row, leftAligned, headers[static_cast<size_t>(field)], textCell);
    for (int entry = 0; entry < entryCount(page); ++entry) {
      const int entryCol = byRow ? col : entry + 2;
      const int entryRow = byRow ? entry + 2 : row;
      long double number = 0;
      if (page == TSystemPage::params && field >= 1 && field <= 3) {
        const TSystemParameter& parameter = *edited_.Params().parameter(entry);
        number = field == 1 ? parameter.Value() : field == 2 ? parameter.Low() : parameter.High();
      }
      const std::uint8_t kind = kinds[static_cast<size_t>(field)];
      writeCell(sheet, entryCol, entryRow, kind, fieldAlignment(kind), fieldText(page, entry, field), number);
    }
  }
}

int TSystemEditor::entryAt(TSystemPage page, int col, int row) const {
  const int entry = (rowWise(page) ? row : col) - 2;
  return entry >= 0 && entry < entryCount(page) ? entry : -1;
}

int TSystemEditor::fieldAt(TSystemPage page, int col, int row) const {
  const int field = (rowWise(page) ? col : row) - 1;
  return field >= 0 && field < static_cast<int>(fieldHeaders(page).size()) ? field : -1;
}

std::string TSystemEditor::cleanedFormula(const std::string& text) {
  size_t first = 0;
  while (first < text.size() && text[first] == ' ') ++first;
  while (first < text.size() && text[first] == '=') ++first;
  return trimmed(text.substr(first));
}

void TSystemEditor::storeField(TSystemPage page, int entry, int field, const TSheet& sheet, int col, int row) {
  const TCell* cell = sheet.getCell(col, row);
  const std::string typed = cell != nullptr ? cell->getEditText() : std::string();
  const std::string formula = cleanedFormula(typed);
  if (page == TSystemPage::rules) {
    TSystemRule& rule = *edited_.Rules().rule(entry);
    switch (field) {
      case 0: break;  // the number is the program's: edits are ignored
      case 1: rule.setAssetSymbol(typed); break;
      case 2: rule.setEnabled(sheet.getCellInteger(col, row) != 0); break;
      case 3: rule.setCondition(formula); break;
      case 4: rule.setUnits(formula); break;
      case 5: rule.setPrincipal(formula); break;
      case 6: rule.setFees(formula); break;
      case 7: rule.setFlag(formula); break;
      case 8: rule.setTransactionComment(formula); break;
      default: rule.setComment(formula); break;
    }
    return;
  }
  if (page == TSystemPage::symbols) {
    TSystemSymbol& symbol = *edited_.Symbols().symbol(entry);
    if (field == 0) symbol.setSymbol(formula);
    if (field == 1) symbol.setDefinition(formula);
    if (field == 2) symbol.setComment(formula);
    return;
  }
  TSystemParameter& parameter = *edited_.Params().parameter(entry);
  switch (field) {
    case 0: parameter.setSymbol(formula); break;
    case 1: parameter.setValue(sheet.getCellNumber(col, row)); break;
    case 2: parameter.setLow(sheet.getCellNumber(col, row)); break;
    case 3: parameter.setHigh(sheet.getCellNumber(col, row)); break;
    case 4: parameter.setSteps(sheet.getCellInteger(col, row)); break;
    case 5: parameter.setLocked(sheet.getCellInteger(col, row) != 0); break;
    default: parameter.setComment(formula); break;
  }
}

bool TSystemEditor::formulaAt(TSystemPage page, int col, int row) const {
  if (entryAt(page, col, row) < 0) return false;
  const int field = fieldAt(page, col, row);
  if (page == TSystemPage::rules) return field >= 3 && field <= 8;
  return page == TSystemPage::symbols && field == 1;
}

bool TSystemEditor::numberAt(TSystemPage page, int col, int row) const {
  if (page != TSystemPage::params || entryAt(page, col, row) < 0) return false;
  const int field = fieldAt(page, col, row);
  return field >= 1 && field <= 4;
}

void TSystemEditor::cellEdited(TSystemPage page, TSheet& sheet, int col, int row) {
  const int entry = entryAt(page, col, row);
  const int field = fieldAt(page, col, row);
  if (entry < 0 || field < 0) return;
  storeField(page, entry, field, sheet, col, row);
  // The parameter setters may have moved the neighbouring values too.
  if (page == TSystemPage::params && field >= 1 && field <= 3) {
    layOut(page, sheet);
    return;
  }
  const std::uint8_t kind = fieldKinds(page)[static_cast<size_t>(field)];
  writeCell(sheet, col, row, kind, fieldAlignment(kind), fieldText(page, entry, field), 0);
}

// ---- Entry actions ----

int TSystemEditor::addRules(int selected, const std::vector<std::string>& assetSymbols, int rowHeight, int colWidth) {
  TRuleEntryTable& rules = edited_.Rules();
  int index = selected >= 0 && selected < rules.count() ? selected + 1 : rules.count();
  int added = -1;
  for (const std::string& symbol : assetSymbols) {
    if (symbol.empty() || rules.addRule(rowHeight, colWidth, symbol, index) != 0) break;
    added = index++;
  }
  return added;
}

int TSystemEditor::copyRule(int selected, const std::vector<std::string>& assetSymbols) {
  TRuleEntryTable& rules = edited_.Rules();
  if (selected < 0 || selected >= rules.count()) return -1;
  if (assetSymbols.empty()) return rules.duplicate(selected) == 0 ? selected + 1 : -1;
  for (auto symbol = assetSymbols.rbegin(); symbol != assetSymbols.rend(); ++symbol) {
    if (rules.duplicate(selected) != 0) return -1;
    rules.rule(selected + 1)->setAssetSymbol(*symbol);
  }
  return selected + 1;
}

int TSystemEditor::addEntry(TSystemPage page, int selected, int rowHeight, int colWidth) {
  const int count = entryCount(page);
  const int index = selected >= 0 && selected < count ? selected + 1 : count;
  const int result = page == TSystemPage::symbols ? edited_.Symbols().addSymbol(rowHeight, colWidth, index)
                                                  : edited_.Params().addParameter(rowHeight, colWidth, index);
  return result == 0 ? index : -1;
}

int TSystemEditor::copyEntry(TSystemPage page, int selected) {
  return table(edited_, page).duplicate(selected) == 0 ? selected + 1 : -1;
}

int TSystemEditor::deleteEntry(TSystemPage page, int selected) {
  TSystemEntryTable& entries = table(edited_, page);
  if (entries.deleteEntry(selected) != 0) return -1;
  return std::min(selected, entries.count() - 1);
}

int TSystemEditor::moveEntry(TSystemPage page, int selected, int by) {
  TSystemEntryTable& entries = table(edited_, page);
  const int target = selected + by;
  if (selected < 0 || selected >= entries.count() || target < 0 || target >= entries.count()) return -1;
  return entries.move(selected, target) == 0 ? target : -1;
}

// ---- Changes ----

bool TSystemEditor::pageModified(TSystemPage page) const {
  if (table(edited_, page).lastChange() > table(committed_, page).lastChange()) return true;
  return page == TSystemPage::rules &&
         (edited_.FromDate() != committed_.FromDate() || edited_.ToDate() != committed_.ToDate());
}

void TSystemEditor::commit(TSystemPage page) {
  if (page == TSystemPage::rules) {
    committed_.assignRulesAndRange(&edited_, true);
  } else {
    table(committed_, page).assign(&table(edited_, page), true);
  }
}

void TSystemEditor::discard(TSystemPage page) {
  if (page == TSystemPage::rules) {
    edited_.assignRulesAndRange(&committed_, true);
    pickersFromSystem();
  } else {
    table(edited_, page).assign(&table(committed_, page), true);
  }
}

// ---- Date range ----

void TSystemEditor::pickersFromSystem() {
  fromPicker_ = std::clamp(std::trunc(edited_.FromDate()), firstPickerDay, lastPickerDay - 1);
  toPicker_ = std::clamp(std::trunc(edited_.ToDate()), firstPickerDay + 1, lastPickerDay);
  days_ = std::max(2, static_cast<int>(toPicker_ - fromPicker_ + 1));
}

void TSystemEditor::fromDateChanged(double from) {
  fromPicker_ = std::clamp(std::trunc(from), firstPickerDay, lastPickerDay - 1);
  days_ = std::max(2, static_cast<int>(std::round(toPicker_) - fromPicker_ + 1));
  toPicker_ = fromPicker_ + days_ - 1;
  edited_.setFromDate(fromPicker_);
  edited_.setToDate(toPicker_);
}

void TSystemEditor::toDateChanged(double to) {
  toPicker_ = std::clamp(std::trunc(to), firstPickerDay + 1, lastPickerDay);
  days_ = std::max(2, static_cast<int>(toPicker_ - std::trunc(fromPicker_) + 1));
  fromPicker_ = toPicker_ - days_ + 1;
  edited_.setToDate(toPicker_);
  edited_.setFromDate(fromPicker_);
}

void TSystemEditor::daysChanged(int days) {
  days_ = std::clamp(days, 2, mostDaysEndingOn(toPicker_));
  fromPicker_ = toPicker_ - days_ + 1;
  toDateChanged(toPicker_);
  fromDateChanged(fromPicker_);
}

void TSystemEditor::shiftRange(int days) {
  const double step = std::clamp<double>(days, firstPickerDay - fromPicker_, lastPickerDay - toPicker_);
  fromPicker_ += step;
  toPicker_ += step;
  toDateChanged(toPicker_);
  fromDateChanged(fromPicker_);
}

// ---- Symbols as text ----

std::string TSystemEditor::symbolsText() const {
  std::string text;
  const TSymbolEntryTable& symbols = edited_.Symbols();
  for (int i = 0; i < symbols.count(); ++i) {
    const TSystemSymbol& symbol = *symbols.symbol(i);
    text += symbol.Symbol() + '\t' + symbol.Definition() + '\t' + symbol.Comment() + '\n';
  }
  return text;
}

void TSystemEditor::setSymbolsText(const std::string& text, int rowHeight, int colWidth) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  // Empty lines count only when something follows them.
  while (!lines.empty() && trimmed(lines.back()).empty()) lines.pop_back();
  TSymbolEntryTable& symbols = edited_.Symbols();
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (i == symbols.count()) symbols.addSymbol(rowHeight, colWidth, i);
    const std::string& line = lines[static_cast<size_t>(i)];
    const size_t firstTab = line.find('\t');
    const size_t secondTab = firstTab == std::string::npos ? std::string::npos : line.find('\t', firstTab + 1);
    TSystemSymbol& symbol = *symbols.symbol(i);
    symbol.setSymbol(line.substr(0, firstTab));
    symbol.setDefinition(firstTab == std::string::npos ? "" : line.substr(firstTab + 1, secondTab - firstTab - 1));
    symbol.setComment(secondTab == std::string::npos ? "" : line.substr(secondTab + 1));
  }
  while (symbols.count() > static_cast<int>(lines.size())) symbols.deleteEntry(symbols.count() - 1);
}
