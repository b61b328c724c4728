#pragma once

class TNumberReader;
class TPortableIniFile;

// The section of an asset's file that holds its allocation.
constexpr const char* allocationSection = "Allocation";

// How an asset's value divides into four classes, in percent. Valid once
// the four are set together summing to 100; a single setter then keeps the
// sum by moving Cash (or Other, when Cash itself is set), which may become
// negative.
class TAllocation {
 public:
  TAllocation();

  void clear();
  bool setAll(double stocks, double bonds, double cash, double other);
  void setStocks(double stocks);
  void setBonds(double bonds);
  void setCash(double cash);
  void setOther(double other);
  bool get(double& stocks, double& bonds, double& cash, double& other) const;

  // Section "Allocation"; a missing section or a sum other than 100 loads
  // as invalid. The four are written even when invalid.
  void loadFromIni(TNumberReader& ini);
  void saveToIni(TPortableIniFile& ini) const;

  bool Valid() const { return valid_; }
  double Stocks() const { return stocks_; }
  double Bonds() const { return bonds_; }
  double Cash() const { return cash_; }
  double Other() const { return other_; }
  double LastChange() const { return lastChange_; }

 private:
  void changed();
  // Sets stocks, bonds or other and moves cash to keep the sum.
  void setBalancedByCash(double& share, double value);

  bool valid_ = false;
  double stocks_ = 0;
  double bonds_ = 0;
  double cash_ = 0;
  double other_ = 0;
  double lastChange_ = 0;
};
