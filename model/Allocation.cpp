#include "model/Allocation.h"

#include <cmath>

#include "model/ChangeStamps.h"
#include "model/PortableIniFile.h"

namespace {

const char* const section = allocationSection;
constexpr double wholePercent = 100;
constexpr double sumTolerance = 0.001;

}  // namespace

TAllocation::TAllocation() { clear(); }

void TAllocation::clear() {
  valid_ = false;
  stocks_ = bonds_ = cash_ = other_ = 0;
  lastChange_ = changeStamp();
}

void TAllocation::changed() {
  valid_ = true;
  lastChange_ = changeStamp();
}

bool TAllocation::setAll(double stocks, double bonds, double cash, double other) {
  if (!(std::fabs(stocks + bonds + cash + other - wholePercent) <= sumTolerance)) return false;
  stocks_ = stocks;
  bonds_ = bonds;
  cash_ = cash;
  other_ = other;
  changed();
  return true;
}

void TAllocation::setBalancedByCash(double& share, double value) {
  share = value;
  cash_ = wholePercent - (stocks_ + bonds_ + other_);
  changed();
}

void TAllocation::setStocks(double stocks) { setBalancedByCash(stocks_, stocks); }

void TAllocation::setBonds(double bonds) { setBalancedByCash(bonds_, bonds); }

void TAllocation::setCash(double cash) {
  cash_ = cash;
  other_ = wholePercent - (stocks_ + bonds_ + cash_);
  changed();
}

void TAllocation::setOther(double other) { setBalancedByCash(other_, other); }

bool TAllocation::get(double& stocks, double& bonds, double& cash, double& other) const {
  if (valid_) {
    stocks = stocks_;
    bonds = bonds_;
    cash = cash_;
    other = other_;
  }
  return valid_;
}

void TAllocation::loadFromIni(TNumberReader& ini) {
  clear();
  // In file order, so that the first value that is no number is the one told.
  const double stocks = ini.readFloat(section, "Stocks", 0);
  const double bonds = ini.readFloat(section, "Bonds", 0);
  const double cash = ini.readFloat(section, "Cash", 0);
  setAll(stocks, bonds, cash, ini.readFloat(section, "Other", 0));
}

void TAllocation::saveToIni(TPortableIniFile& ini) const {
  ini.writeFloat(section, "Stocks", stocks_);
  ini.writeFloat(section, "Bonds", bonds_);
  ini.writeFloat(section, "Cash", cash_);
  ini.writeFloat(section, "Other", other_);
}
