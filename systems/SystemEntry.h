#pragma once
#include <string>

class TPortableIniFile;

// The separators formulas are shown with; files always hold "." and ";".
struct TFormulaSeparators {
  char decimalSeparator = '.';
  char listSeparator = ';';
};

// One entry of a trading system's list: a rule, a symbol or a parameter.
// Every setter stamps LastChange, so that the windows can tell whether the
// system changed after it was last applied. Loaders and savers answer the
// file codes: 0, -7 missing section or read error, -4 write error.
class TSystemEntry {
 public:
  TSystemEntry();
  virtual ~TSystemEntry() = default;
  TSystemEntry(const TSystemEntry&) = delete;
  TSystemEntry& operator=(const TSystemEntry&) = delete;

  virtual void clear();
  virtual int loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators);
  virtual int saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const;
  // A nullptr source leaves the entry cleared; a source of another class
  // gives only the base fields.
  virtual int assign(const TSystemEntry* source, bool copyTimes);

  int RowHeight() const { return rowHeight_; }
  int ColWidth() const { return colWidth_; }
  double LastChange() const { return lastChange_; }
  void setRowHeight(int height);
  void setColWidth(int width);

 protected:
  void stamp();
  // Trims, stores only a real change and stamps it.
  void setText(std::string& field, const std::string& text);

 private:
  int rowHeight_ = -1;
  int colWidth_ = -1;
  double lastChange_ = 0;
};

class TSystemRule : public TSystemEntry {
 public:
  void clear() override;
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const override;
  int assign(const TSystemEntry* source, bool copyTimes) override;

  // Not enabled, or a formula that a transaction needs is empty.
  bool isInactive() const;

  int Number() const { return number_; }
  bool Enabled() const { return enabled_; }
  const std::string& Condition() const { return condition_; }
  const std::string& AssetSymbol() const { return assetSymbol_; }
  const std::string& Comment() const { return comment_; }
  const std::string& Units() const { return units_; }
  const std::string& Principal() const { return principal_; }
  const std::string& Fees() const { return fees_; }
  const std::string& Flag() const { return flag_; }
  const std::string& TransactionComment() const { return transactionComment_; }

  void setNumber(int number);
  void setEnabled(bool enabled);
  void setCondition(const std::string& text) { setText(condition_, text); }
  void setAssetSymbol(const std::string& text) { setText(assetSymbol_, text); }
  void setComment(const std::string& text) { setText(comment_, text); }
  void setUnits(const std::string& text) { setText(units_, text); }
  void setPrincipal(const std::string& text) { setText(principal_, text); }
  void setFees(const std::string& text) { setText(fees_, text); }
  void setFlag(const std::string& text) { setText(flag_, text); }
  void setTransactionComment(const std::string& text) { setText(transactionComment_, text); }

 private:
  int number_ = 0;
  bool enabled_ = false;
  std::string condition_, assetSymbol_, comment_, units_, principal_, fees_, flag_, transactionComment_;
};

class TSystemSymbol : public TSystemEntry {
 public:
  void clear() override;
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const override;
  int assign(const TSystemEntry* source, bool copyTimes) override;

  const std::string& Symbol() const { return symbol_; }
  const std::string& Definition() const { return definition_; }
  const std::string& Comment() const { return comment_; }
  void setSymbol(const std::string& text) { setText(symbol_, text); }
  void setDefinition(const std::string& text) { setText(definition_, text); }
  void setComment(const std::string& text) { setText(comment_, text); }

 private:
  std::string symbol_, definition_, comment_;
};

// A named number and the grid the optimiser walks: Steps points evenly
// spaced from Low to High. The setters keep Low <= Value <= High; values
// read from a file are taken as stored.
class TSystemParameter : public TSystemEntry {
 public:
  void clear() override;
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) override;
  int saveToIni(TPortableIniFile& ini, const std::string& section, TFormulaSeparators separators) const override;
  int assign(const TSystemEntry* source, bool copyTimes) override;

  const std::string& Symbol() const { return symbol_; }
  const std::string& Comment() const { return comment_; }
  long double Value() const { return value_; }
  long double Low() const { return low_; }
  long double High() const { return high_; }
  int Steps() const { return steps_; }
  int StepIndex() const { return stepIndex_; }
  bool Locked() const { return locked_; }

  void setSymbol(const std::string& text) { setText(symbol_, text); }
  void setComment(const std::string& text) { setText(comment_, text); }
  void setValue(long double x);
  void setLow(long double x);
  void setHigh(long double x);
  void setSteps(int n);
  void setLocked(bool locked);
  // Moves to grid point i mod Steps; an optimisation run is not an edit, so
  // LastChange stays.
  void setStepIndex(int i);
  bool isOptimisable() const;

 private:
  std::string symbol_, comment_;
  long double value_ = 0, low_ = 0, high_ = 0;
  int steps_ = 2;
  int stepIndex_ = 0;
  bool locked_ = false;
};
