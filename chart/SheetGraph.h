#pragma once
#include <activscp.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/PriceChart.h"
#include "chart/SheetBuilder.h"
#include "model/SettingsBaseline.h"

class TComputeThread;
class TPortfolioTable;
class TPriceSeries;
class TSheet;
class TSheetGraphSettings;
class TSourceTable;

// A price chart whose lines are computed: the sources become rows of an
// internal sheet, and a compute thread steps X over it. Every change goes
// into the pending settings first; an update compares them with the applied
// ones and rebuilds, recomputes or only redraws. While a computation runs
// the plot shows no series: they are detached and handed to the thread, and
// come back when it completed.
class TSheetGraph : public TPriceChart {
 public:
  explicit TSheetGraph(TControl* parent) : TSheetGraph(parent, false) {}
  ~TSheetGraph() override;

  TSourceTable& sourceTable() { return *sourceTable_; }
  TSheet& internalSheet() { return *sheet_; }
  const TSheetGraphSettings& appliedSettings() const { return *applied_; }
  const TSheetGraphSettings& pendingSettings() const { return *pending_; }
  bool stale() const { return stale_; }
  bool computing() const { return thread_ != nullptr; }
  // How many computations were started since creation.
  int computationCount() const { return computationCount_; }
  // Every series the graph holds, shown or detached.
  int heldSeriesCount() const;
  const std::string& fileName() const { return fileName_; }

  void setActiveScript(IActiveScript* engine);
  void setPortfolioTable(TPortfolioTable* table, bool recompute);
  void refreshSelection();
  void rebuild();
  void setDateRange(double fromDate, double toDate, bool recompute);
  void setXFormulas(const std::string& fromX, const std::string& toX, const std::string& steps, bool recompute);
  void setFieldValueGetter(TFieldValueGetter getter, bool recompute);
  double fromDateTime() const;
  void setFromDateTime(double date);
  double toDateTime() const;
  void setToDateTime(double date);
  std::string fromXFormula() const;
  void setFromXFormula(const std::string& formula);
  std::string toXFormula() const;
  void setToXFormula(const std::string& formula);
  std::string stepsFormula() const;
  void setStepsFormula(const std::string& formula);
  bool logarithmic() const { return getLogarithmic(); }
  void setLogarithmic(bool logarithmic);

  // restart false stops a computation and waits until the step in progress
  // has ended, so that the caller may change what the formulas read.
  void invalidateCompute(bool restart);
  virtual void update();
  bool buildSheet();
  void startCompute();
  void pollCompute();
  void applyXRange();
  void rebasePercentSeries();

  // 0; -2 missing file; -3 read error; else the layout's or sources' code.
  // A file not read whole (emptied, cut off, damaged) is named. What the
  // file refused from a view gone before (see saveHolding) shows in its
  // place, as that view left it.
  int loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator);
  // The owner placed the view after loading it (its file gave no place):
  // that place is no change to save.
  void placedAfterLoading();
  // 0; -4 when the file could not be written (it then keeps its old text).
  // Only what changed since the file was read or saved is written. Once it
  // went through, the file holds what the view shows, and so what was held
  // for it.
  int saveToFile(char decimalSeparator, char listSeparator);
  // As saveToFile, for a view that may go before the close: what its file
  // refuses waits for the close, and for the next view to load the file.
  int saveHolding(char decimalSeparator, char listSeparator);
  // Frees the graph; -4 when its file exists and cannot be deleted.
  static int deleteWithFile(std::unique_ptr<TSheetGraph> graph);

  void editTopText() override;
  void editBottomText() override;

 protected:
  TSheetGraph(TControl* parent, bool chart);
  void topTextEditDblClick() override;
  void topTextEditKeyPress(char& key) override;
  void bottomTextEditDblClick() override;
  void bottomTextEditKeyPress(char& key) override;

  void stopReadoutTimer();
  void armPoll();
  void giveTimerBack();
  void showPendingCaptionChange();
  // The steps every update begins with; true when they settled it.
  bool updateWaitsOrRebuilds();
  void takeComputeResult();
  void readSelection();
  void freeThread();
  void blankCaptionsForComputing();
  // The view file, as read, taken into the view; its code as loadFromFile
  // gives it.
  int readView(const TPortableIniFile& ini, char decimalSeparator, char listSeparator);
  // The view file's keys; the layout's or the sources' code.
  int writeView(TPortableIniFile& ini, char decimalSeparator, char listSeparator);
  TSettingsBaseline::TWriter viewWriter(char decimalSeparator, char listSeparator);

  std::string fileName_;
  TSettingsBaseline savedView_;
  // The view shows what its file refused from a view gone before.
  bool showsHeldChange_ = false;
  std::unique_ptr<TSourceTable> sourceTable_;
  std::unique_ptr<TSheet> sheet_;
  Microsoft::WRL::ComPtr<IActiveScript> scriptEngine_;
  std::unique_ptr<TComputeThread> thread_;
  std::vector<std::unique_ptr<TPriceSeries>> detachedSeries_;
  std::unique_ptr<TSheetGraphSettings> applied_;
  std::unique_ptr<TSheetGraphSettings> pending_;
  bool stale_ = true;
  // A computation that did not complete is not retried until a setting
  // changes: the same inputs would fail the same way.
  bool failedRun_ = false;
  int computationCount_ = 0;
  TFieldValueGetter fieldValueGetter_;
  std::function<void()> ownReadoutHandler_;
  // The captions a computation blanked until its results come: a save
  // meanwhile writes these, so the file does not change merely because it
  // was written while the graph computed.
  std::string heldTopText_;
  std::string heldBottomText_;
  bool captionsHeld_ = false;
};

// A sheet graph over chart sources whose X runs over dates; a narrower date
// range within the computed data is shown without computing.
class TSheetChart : public TSheetGraph {
 public:
  explicit TSheetChart(TControl* parent) : TSheetGraph(parent, true) {}
  void update() override;
};
