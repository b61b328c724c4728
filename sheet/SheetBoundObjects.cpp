// The model behind bound cells: portfolios, assets and transactions reached
// through the sheet's portfolio table. A sheet without a table finds no
// object. Every setter that changes the model tells the cells bound to the
// changed object, so that formulas reading it through them follow at once.
#include <cmath>

#include "model/Asset.h"
#include "model/LanguageStrings.h"
#include "model/PlainText.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "platform/DateTime.h"
#include "sheet/BoundCells.h"
#include "sheet/Sheet.h"

namespace {

// The kind of value each bound property holds, by the cell's type code.
std::uint8_t propertyKind(std::uint8_t typeCode) {
  switch (typeCode) {
    case 10: case 11: case 12: case 13: case 14: case 15: case 26:
      return valueString;
    case 20: case 27:
      return valueInteger;
    default:
      return valueNumber;
  }
}

double wholeDays(double dateTime) { return std::trunc(dateTime); }
// A date-time before day 0 counts its time backwards: the time is the
// fraction's size either way.
double timeOfDay(double dateTime) { return std::fabs(dateTime - std::trunc(dateTime)); }

template <class Read>
void readPortfolio(const TSheet& sheet, std::int32_t index, bool& found, Read read) {
  TPortfolio* portfolio = nullptr;
  sheet.findPortfolio(index, portfolio, found);
  if (found) read(*portfolio);
}

template <class Read>
void readAsset(const TSheet& sheet, std::int32_t index, bool& found, Read read) {
  TAsset* asset = nullptr;
  sheet.findAsset(index, asset, found);
  if (found) read(*asset);
}

template <class Read>
void readTransaction(const TSheet& sheet, std::int32_t number, bool& found, Read read) {
  TTransaction* transaction = nullptr;
  sheet.findTransaction(number, transaction, found);
  if (found) read(*transaction);
}

// Each applies the change (which tells whether it changed anything) to the
// object found and then starts the propagation from the object's cells.
template <class Change>
bool changePortfolio(TSheet& sheet, std::int32_t index, Change change) {
  TPortfolio* portfolio = nullptr;
  bool found = false;
  sheet.findPortfolio(index, portfolio, found);
  if (!found || !change(*portfolio)) return false;
  sheet.objectChanged(objectPortfolio, index);
  return true;
}

template <class Change>
bool changeAsset(TSheet& sheet, std::int32_t index, Change change) {
  TAsset* asset = nullptr;
  bool found = false;
  sheet.findAsset(index, asset, found);
  if (!found || !change(*asset)) return false;
  sheet.objectChanged(objectAsset, index);
  return true;
}

template <class Change>
bool changeTransaction(TSheet& sheet, std::int32_t number, Change change) {
  TTransaction* transaction = nullptr;
  bool found = false;
  sheet.findTransaction(number, transaction, found);
  if (!found) return false;
  change(*transaction);
  sheet.objectChanged(objectTransaction, number);
  return true;
}

// A text property of the model is changed only by a different trimmed text.
template <class Object>
bool replaceText(Object& object, const std::string& current, const std::string& text,
                 void (Object::*setter)(const std::string&)) {
  const std::string trimmed = trimmedText(text);
  if (trimmed == current) return false;
  (object.*setter)(trimmed);
  return true;
}

// The share setters and the transaction setters count every call as a
// change, but a number that is not finite would end up in the files.
bool changeAssetShare(TSheet& sheet, std::int32_t index, double percent, void (TAsset::*setter)(double)) {
  if (!std::isfinite(percent)) return false;
  return changeAsset(sheet, index, [&](TAsset& asset) {
    (asset.*setter)(percent);
    return true;
  });
}

enum TShare { stocksShare, bondsShare, cashShare, otherShare };

// An allocation that is not valid shows its stored shares, which are 0.
double assetShare(const TAsset& asset, TShare share) {
  double shares[4] = {0, 0, 0, 0};
  asset.getAllocation(shares[stocksShare], shares[bondsShare], shares[cashShare], shares[otherShare]);
  return shares[share];
}

// The current cell when it is a bound cell that may be edited.
TCellObject* editableBoundCell(const TSheet& sheet) {
  auto* cell = dynamic_cast<TCellObject*>(sheet.currentCell());
  return cell && !cell->locked ? cell : nullptr;
}

}  // namespace

// ---- Finders ----

void TSheet::findPortfolio(std::int32_t index, TPortfolio*& portfolio, bool& found) const {
  TPortfolio* item = portfolioTable ? portfolioTable->items(index) : nullptr;
  found = item != nullptr;
  if (found) portfolio = item;
}

void TSheet::findAsset(std::int32_t index, TAsset*& asset, bool& found) const {
  const TPortfolio* current = portfolioTable ? portfolioTable->current() : nullptr;
  TAsset* item = current ? current->assets(index) : nullptr;
  found = item != nullptr;
  if (found) asset = item;
}

void TSheet::findTransaction(std::int32_t number, TTransaction*& transaction, bool& found) const {
  const TPortfolio* current = portfolioTable ? portfolioTable->current() : nullptr;
  TTransaction* item = current ? current->findTransaction(number) : nullptr;
  found = item != nullptr;
  if (found) transaction = item;
}

// ---- Portfolios ----

void TSheet::getPortfolioName(std::int32_t index, std::string& text, bool& found) const {
  readPortfolio(*this, index, found, [&](const TPortfolio& portfolio) { text = portfolio.Name(); });
}

void TSheet::getPortfolioSymbol(std::int32_t index, std::string& text, bool& found) const {
  readPortfolio(*this, index, found, [&](const TPortfolio& portfolio) { text = portfolio.Symbol(); });
}

void TSheet::getPortfolioCurrency(std::int32_t index, std::string& text, bool& found) const {
  readPortfolio(*this, index, found, [&](const TPortfolio& portfolio) { text = portfolio.getCurrency(); });
}

bool TSheet::setPortfolioName(std::int32_t index, const std::string& text) {
  return changePortfolio(*this, index, [&](TPortfolio& portfolio) {
    return replaceText(portfolio, portfolio.Name(), text, &TPortfolio::setName);
  });
}

bool TSheet::setPortfolioSymbol(std::int32_t index, const std::string& text) {
  return changePortfolio(*this, index, [&](TPortfolio& portfolio) {
    return replaceText(portfolio, portfolio.Symbol(), text, &TPortfolio::setSymbol);
  });
}

// The code is compared as it would be stored: "eur" is no change of "EUR".
bool TSheet::setPortfolioCurrency(std::int32_t index, const std::string& text) {
  return changePortfolio(*this, index, [&](TPortfolio& portfolio) {
    const std::string code = normalizeCurrency(trimmedText(text));
    if (code == portfolio.getCurrency()) return false;
    portfolio.setCurrency(code);
    portfolio.loadForexTables({}, nullptr);
    return true;
  });
}

// ---- Assets ----

void TSheet::getAssetName(std::int32_t index, std::string& text, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { text = asset.Name(); });
}

void TSheet::getAssetSymbol(std::int32_t index, std::string& text, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { text = asset.Symbol(); });
}

void TSheet::getAssetCurrency(std::int32_t index, std::string& text, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { text = asset.getCurrency(); });
}

bool TSheet::setAssetName(std::int32_t index, const std::string& text) {
  return changeAsset(*this, index,
                     [&](TAsset& asset) { return replaceText(asset, asset.Name(), text, &TAsset::setName); });
}

bool TSheet::setAssetSymbol(std::int32_t index, const std::string& text) {
  return changeAsset(*this, index,
                     [&](TAsset& asset) { return replaceText(asset, asset.Symbol(), text, &TAsset::setSymbol); });
}

bool TSheet::setAssetCurrency(std::int32_t index, const std::string& text) {
  return changeAsset(*this, index, [&](TAsset& asset) {
    const std::string code = normalizeCurrency(trimmedText(text));
    if (code == asset.getCurrency()) return false;
    asset.setCurrency(code);
    portfolioTable->loadForexTables({}, nullptr);
    return true;
  });
}

void TSheet::getAssetPercentStocks(std::int32_t index, double& percent, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { percent = assetShare(asset, stocksShare); });
}

void TSheet::getAssetPercentBonds(std::int32_t index, double& percent, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { percent = assetShare(asset, bondsShare); });
}

void TSheet::getAssetPercentCash(std::int32_t index, double& percent, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { percent = assetShare(asset, cashShare); });
}

void TSheet::getAssetPercentOther(std::int32_t index, double& percent, bool& found) const {
  readAsset(*this, index, found, [&](const TAsset& asset) { percent = assetShare(asset, otherShare); });
}

bool TSheet::setAssetPercentStocks(std::int32_t index, double percent) {
  return changeAssetShare(*this, index, percent, &TAsset::setPercentStocks);
}

bool TSheet::setAssetPercentBonds(std::int32_t index, double percent) {
  return changeAssetShare(*this, index, percent, &TAsset::setPercentBonds);
}

bool TSheet::setAssetPercentCash(std::int32_t index, double percent) {
  return changeAssetShare(*this, index, percent, &TAsset::setPercentCash);
}

bool TSheet::setAssetPercentOther(std::int32_t index, double percent) {
  return changeAssetShare(*this, index, percent, &TAsset::setPercentOther);
}

// ---- Transactions ----

void TSheet::getTransactionDate(std::int32_t number, double& date, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { date = wholeDays(t.DateTime()); });
}

void TSheet::getTransactionTime(std::int32_t number, double& time, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { time = timeOfDay(t.DateTime()); });
}

void TSheet::getTransactionUnits(std::int32_t number, double& units, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { units = static_cast<double>(t.Units()); });
}

void TSheet::getTransactionValue(std::int32_t number, double& value, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { value = static_cast<double>(t.Value()); });
}

void TSheet::getTransactionFees(std::int32_t number, double& fees, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { fees = static_cast<double>(t.Fees()); });
}

void TSheet::getTransactionFlag(std::int32_t number, std::string& flag, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { flag = t.Flag(); });
}

void TSheet::getTransactionSoft(std::int32_t number, std::int32_t& soft, bool& found) const {
  readTransaction(*this, number, found, [&](const TTransaction& t) { soft = t.Soft(); });
}

// The transaction tells its table of a new date, so that the table puts its
// transactions in date order again before its next sum or flow.
// A day the transaction cannot hold is refused, so that neither the date nor
// the time is touched.
bool TSheet::setTransactionDate(std::int32_t number, double date) {
  if (!std::isfinite(date) || !transactionCanHold(wholeDays(date))) return false;
  return changeTransaction(*this, number, [&](TTransaction& t) {
    t.setDateTime(combineDateAndTime(wholeDays(date), timeOfDay(t.DateTime())));
  });
}

bool TSheet::setTransactionTime(std::int32_t number, double time) {
  if (!std::isfinite(time)) return false;
  return changeTransaction(*this, number, [&](TTransaction& t) {
    t.setDateTime(combineDateAndTime(wholeDays(t.DateTime()), timeOfDay(time)));
  });
}

bool TSheet::setTransactionUnits(std::int32_t number, double units) {
  if (!std::isfinite(units)) return false;
  return changeTransaction(*this, number, [&](TTransaction& t) { t.setUnits(units); });
}

bool TSheet::setTransactionValue(std::int32_t number, double value) {
  if (!std::isfinite(value)) return false;
  return changeTransaction(*this, number, [&](TTransaction& t) { t.setValue(value); });
}

bool TSheet::setTransactionFees(std::int32_t number, double fees) {
  if (!std::isfinite(fees)) return false;
  return changeTransaction(*this, number, [&](TTransaction& t) { t.setFees(fees); });
}

bool TSheet::setTransactionFlag(std::int32_t number, const std::string& flag) {
  return changeTransaction(*this, number, [&](TTransaction& t) { t.setFlag(flag); });
}

bool TSheet::setTransactionSoft(std::int32_t number, std::int32_t soft) {
  return changeTransaction(*this, number, [&](TTransaction& t) { t.setSoft(soft); });
}

// ---- By type code, for the bound cells ----

bool TSheet::readObjectProperty(std::uint8_t typeCode, std::int32_t id, TValueRecord& value) const {
  bool found = false;
  std::string text;
  double number = 0;
  std::int32_t integer = 0;
  switch (typeCode) {
    case 10: getPortfolioName(id, text, found); break;
    case 11: getPortfolioSymbol(id, text, found); break;
    case 12: getPortfolioCurrency(id, text, found); break;
    case 13: getAssetName(id, text, found); break;
    case 14: getAssetSymbol(id, text, found); break;
    case 15: getAssetCurrency(id, text, found); break;
    case 16: getAssetPercentStocks(id, number, found); break;
    case 17: getAssetPercentBonds(id, number, found); break;
    case 18: getAssetPercentCash(id, number, found); break;
    case 19: getAssetPercentOther(id, number, found); break;
    case 21: getTransactionDate(id, number, found); break;
    case 22: getTransactionTime(id, number, found); break;
    case 23: getTransactionUnits(id, number, found); break;
    case 24: getTransactionValue(id, number, found); break;
    case 25: getTransactionFees(id, number, found); break;
    case 26: getTransactionFlag(id, text, found); break;
    case 27: getTransactionSoft(id, integer, found); break;
    default: return false;
  }
  if (!found) return false;
  value.clear();
  value.kind = propertyKind(typeCode);
  value.string = std::move(text);
  value.number = number;
  value.integer = integer;
  return true;
}

bool TSheet::writeObjectProperty(std::uint8_t typeCode, std::int32_t id, const TValueRecord& value) {
  TValueRecord converted = value;
  if (typeCode < 10 || typeCode > 27 || !convertValue(converted, propertyKind(typeCode))) return false;
  const std::string& text = converted.string;
  const double number = converted.number;
  switch (typeCode) {
    case 10: return setPortfolioName(id, text);
    case 11: return setPortfolioSymbol(id, text);
    case 12: return setPortfolioCurrency(id, text);
    case 13: return setAssetName(id, text);
    case 14: return setAssetSymbol(id, text);
    case 15: return setAssetCurrency(id, text);
    case 16: return setAssetPercentStocks(id, number);
    case 17: return setAssetPercentBonds(id, number);
    case 18: return setAssetPercentCash(id, number);
    case 19: return setAssetPercentOther(id, number);
    case 21: return setTransactionDate(id, number);
    case 22: return setTransactionTime(id, number);
    case 23: return setTransactionUnits(id, number);
    case 24: return setTransactionValue(id, number);
    case 25: return setTransactionFees(id, number);
    case 26: return setTransactionFlag(id, text);
    case 27: return setTransactionSoft(id, converted.integer);
    default: return false;  // 20, the number, is read only
  }
}

// ---- The current cell's property ----

void TSheet::getCurrentObjectText(std::string& text) const {
  text.clear();
  const TCellObject* cell = editableBoundCell(*this);
  TValueRecord value;
  if (cell && cell->getPropertyValue(value) && convertValue(value, valueString)) text = value.string;
}

std::int32_t TSheet::currentObjectInteger() const {
  const TCellObject* cell = editableBoundCell(*this);
  TValueRecord value;
  if (cell && cell->getPropertyValue(value) && convertValue(value, valueInteger)) return value.integer;
  return 0;
}

double TSheet::currentObjectNumber() const {
  const TCellObject* cell = editableBoundCell(*this);
  TValueRecord value;
  if (cell && cell->getPropertyValue(value) && convertValue(value, valueNumber)) return value.number;
  return 0.0;
}

namespace {

// Hands the value, in the property's kind, to the current bound cell's own
// setter; a value that does not convert is dropped.
void writeCurrentObject(const TSheet& sheet, TValueRecord& value) {
  TCellObject* cell = editableBoundCell(sheet);
  if (!cell) return;
  const std::uint8_t kind = propertyKind(cell->cellType());
  if (!sheet.convertValue(value, kind)) return;
  value.kind = kind;
  cell->setPropertyValue(value);
}

}  // namespace

void TSheet::setCurrentObjectText(const std::string& text) {
  TValueRecord value;
  value.kind = valueString;
  value.string = text;
  writeCurrentObject(*this, value);
}

void TSheet::setCurrentObjectInteger(std::int32_t n) {
  TValueRecord value;
  value.kind = valueInteger;
  value.integer = n;
  writeCurrentObject(*this, value);
}

void TSheet::setCurrentObjectNumber(double x) {
  TValueRecord value;
  value.kind = valueNumber;
  value.number = x;
  writeCurrentObject(*this, value);
}
