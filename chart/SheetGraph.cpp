#include "chart/SheetGraph.h"

#include <optional>

#include "chart/ComputeThread.h"
#include "chart/PriceGraph.h"
#include "chart/Series.h"
#include "chart/SheetGraphSettings.h"
#include "chart/SourceTable.h"
#include "model/DeletionRefusal.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/RecordCheck.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/StdControls.h"
#include "sheet/StoredFormula.h"
#include "sheet/Sheet.h"

namespace {

constexpr UINT pollInterval = 500;
// A view's change left for the close: a later one of the view replaces it.
constexpr const char* heldChange = "view";

}  // namespace

TSheetGraph::TSheetGraph(TControl* parent, bool chart) : TPriceChart(parent), sheet_(std::make_unique<TSheet>()) {
  ownReadoutHandler_ = readoutTimer().onTimer;
  graph().plot().drawAllFgHighlighted = true;
  graph().setDefaultHighlightedSeriesWidth(-1);
  if (chart) {
    sourceTable_ = std::make_unique<TSourceTable>(TChartSource::create);
    graph().setShowContinuousX(false);
    graph().setProfileHighlighted(true);
    applied_ = std::make_unique<TSheetChartSettings>();
    pending_ = std::make_unique<TSheetChartSettings>();
  } else {
    sourceTable_ = std::make_unique<TSourceTable>(TSource::create);
    graph().setShowContinuousX(true);
    graph().setProfileHighlighted(false);
    applied_ = std::make_unique<TSheetGraphSettings>();
    pending_ = std::make_unique<TSheetGraphSettings>();
  }
}

TSheetGraph::~TSheetGraph() {
  stopReadoutTimer();
  freeThread();
  detachedSeries_.clear();
  graph().clearSeriesData();
}

int TSheetGraph::heldSeriesCount() const {
  return const_cast<TSheetGraph*>(this)->graph().seriesCount() + static_cast<int>(detachedSeries_.size());
}

void TSheetGraph::freeThread() {
  if (!thread_) return;
  thread_->terminate();
  thread_.reset();  // waits for the step in progress
}

void TSheetGraph::stopReadoutTimer() {
  readoutTimer().setEnabled(false);
  readoutTimer().onTimer = nullptr;
}

void TSheetGraph::armPoll() {
  readoutTimer().onTimer = [this] { pollCompute(); };
  readoutTimer().setInterval(pollInterval);
  readoutTimer().setEnabled(true);
}

void TSheetGraph::giveTimerBack() {
  readoutTimer().onTimer = ownReadoutHandler_;
  if (ownReadoutHandler_) ownReadoutHandler_();
}

// ---- Pending settings ----

void TSheetGraph::readSelection() {
  TPortfolioTable* table = pending_->portfolioTable;
  pending_->portfolioIndex = -1;
  pending_->assetIndex = -1;
  if (table == nullptr) return;
  pending_->portfolioIndex = table->currentIndex();
  if (const TPortfolio* portfolio = table->current()) pending_->assetIndex = portfolio->currentAssetIndex();
}

void TSheetGraph::setActiveScript(IActiveScript* engine) { scriptEngine_ = engine; }

void TSheetGraph::setPortfolioTable(TPortfolioTable* table, bool recompute) {
  pending_->portfolioTable = table;
  readSelection();
  if (recompute) invalidateCompute(true);
}

void TSheetGraph::refreshSelection() {
  readSelection();
  invalidateCompute(true);
}

void TSheetGraph::rebuild() {
  applied_->built = false;
  pending_->built = false;
  refreshSelection();
}

void TSheetGraph::setDateRange(double fromDate, double toDate, bool recompute) {
  pending_->fromDate = fromDate;
  pending_->toDate = toDate;
  if (recompute) invalidateCompute(true);
}

void TSheetGraph::setXFormulas(const std::string& fromX, const std::string& toX, const std::string& steps,
                               bool recompute) {
  pending_->fromXFormula = fromX;
  pending_->toXFormula = toX;
  pending_->stepsFormula = steps;
  if (recompute) invalidateCompute(true);
}

void TSheetGraph::setFieldValueGetter(TFieldValueGetter getter, bool recompute) {
  fieldValueGetter_ = std::move(getter);
  if (recompute) invalidateCompute(true);
}

double TSheetGraph::fromDateTime() const { return applied_->fromDate; }
void TSheetGraph::setFromDateTime(double date) {
  pending_->fromDate = date;
  invalidateCompute(true);
}
double TSheetGraph::toDateTime() const { return applied_->toDate; }
void TSheetGraph::setToDateTime(double date) {
  pending_->toDate = date;
  invalidateCompute(true);
}
std::string TSheetGraph::fromXFormula() const { return applied_->fromXFormula; }
void TSheetGraph::setFromXFormula(const std::string& formula) {
  pending_->fromXFormula = formula;
  invalidateCompute(true);
}
std::string TSheetGraph::toXFormula() const { return applied_->toXFormula; }
void TSheetGraph::setToXFormula(const std::string& formula) {
  pending_->toXFormula = formula;
  invalidateCompute(true);
}
std::string TSheetGraph::stepsFormula() const { return applied_->stepsFormula; }
void TSheetGraph::setStepsFormula(const std::string& formula) {
  pending_->stepsFormula = formula;
  invalidateCompute(true);
}
void TSheetGraph::setLogarithmic(bool logarithmic) {
  pending_->logarithmic = logarithmic;
  invalidateCompute(true);
}

// ---- Computing ----

void TSheetGraph::invalidateCompute(bool restart) {
  failedRun_ = false;
  if (thread_) {
    stopReadoutTimer();
    thread_->terminate();
    pending_->built = false;
    applied_->built = false;
    stale_ = true;
    if (restart) {
      armPoll();
    } else {
      // The caller is about to change data the formulas read.
      thread_->waitFor();
    }
    return;
  }
  if (restart) update();
}

void TSheetGraph::showPendingCaptionChange() {
  if (applied_->topText != pending_->topText) {
    setTopText(pending_->topText);
    heldTopText_ = pending_->topText;
    applied_->setTopText(pending_->topText);
  } else if (applied_->bottomText != pending_->bottomText) {
    setBottomText(pending_->bottomText);
    heldBottomText_ = pending_->bottomText;
    applied_->setBottomText(pending_->bottomText);
  }
}

bool TSheetGraph::updateWaitsOrRebuilds() {
  stopReadoutTimer();
  hidePositionLabels();
  // A failed run waits for a changed setting; a changed source builds anew.
  if (failedRun_) {
    giveTimerBack();
    return true;
  }
  if (applied_->needsRebuild(pending_.get())) {
    buildSheet();
    startCompute();
    return true;
  }
  return false;
}

void TSheetGraph::update() {
  if (updateWaitsOrRebuilds()) return;
  if (!stale_ && !applied_->needsRecompute(pending_.get())) {
    showPendingCaptionChange();
    TPriceChart::setLogarithmic(pending_->logarithmic);
    showCrossHair();
    giveTimerBack();
    return;
  }
  startCompute();
}

void TSheetChart::update() {
  if (updateWaitsOrRebuilds()) return;
  if (stale_ || applied_->needsRecomputeForRange(pending_.get(), graph().firstX(), graph().lastX())) {
    startCompute();
    return;
  }
  if (applied_->fromDate == pending_->fromDate && applied_->toDate == pending_->toDate &&
      applied_->logarithmic == pending_->logarithmic) {
    showPendingCaptionChange();
  } else {
    applied_->fromDate = pending_->fromDate;
    applied_->toDate = pending_->toDate;
    applied_->logarithmic = pending_->logarithmic;
    applied_->fromX = pending_->fromDate;
    applied_->toX = pending_->toDate;
    rebasePercentSeries();
    applyXRange();
  }
  showCrossHair();
  giveTimerBack();
}

bool TSheetGraph::buildSheet() {
  // The series a stopped run still fills are about to go.
  freeThread();
  detachedSeries_.clear();
  graph().freeAllSeries();
  TSheetBuilder builder(*sheet_, graph().plot(), *sourceTable_, *pending_);
  builder.bgSeriesColor = static_cast<uint32_t>(graph().bgSeriesColor());
  builder.scriptEngine = scriptEngine_.Get();
  builder.fieldValueGetter = fieldValueGetter_;
  const bool built = builder.build();
  blankCaptionsForComputing();
  return built;
}

void TSheetGraph::startCompute() {
  setPlotBusy(true);
  graph().clearSeriesData();
  graph().rebuildXValues();
  graph().invalidate();
  syncAxes();
  graph().setNoPaint(true);
  blankCaptionsForComputing();
  applied_->assign(pending_.get());
  if (!applied_->built) {
    setPlotBusy(false);
    return;
  }
  sheet_->portfolioTable = applied_->portfolioTable;
  if (graph().seriesCount() > 0) detachedSeries_ = graph().plot().releaseAllSeries();
  if (detachedSeries_.empty()) {
    setPlotBusy(false);
    return;
  }
  std::vector<TPriceSeries*> series;
  for (const auto& entry : detachedSeries_) series.push_back(entry.get());
  thread_ = std::make_unique<TComputeThread>(series, *sheet_, applied_->fromDate, applied_->toDate,
                                             applied_->assetIndex, applied_->portfolioIndex, applied_->logarithmic);
  ++computationCount_;
  armPoll();
}

void TSheetGraph::pollCompute() {
  stopReadoutTimer();
  if (!thread_) {
    update();
    return;
  }
  if (thread_->finished()) takeComputeResult();
  armPoll();
}

void TSheetGraph::blankCaptionsForComputing() {
  if (!captionsHeld_) {
    heldTopText_ = getTopText();
    heldBottomText_ = getBottomText();
    captionsHeld_ = true;
  }
  setTopText("");
  setBottomText("");
}

void TSheetGraph::takeComputeResult() {
  std::unique_ptr<TComputeThread> thread = std::move(thread_);
  if (thread->completed()) {
    stale_ = false;
    applied_->fromX = thread->fromX();
    applied_->toX = thread->toX();
    applied_->logarithmic = thread->logarithmic();
    graph().plot().adoptSeries(std::move(detachedSeries_));
    detachedSeries_.clear();
    applyXRange();
    setTopText(pending_->topTextIsFormula ? sheet_->getCellText(2, 1, false) : pending_->topText);
    setBottomText(pending_->bottomTextIsFormula ? sheet_->getCellText(3, 1, false) : pending_->bottomText);
    captionsHeld_ = false;
  } else {
    applied_->built = false;
    // An error, not a stop: the same inputs would fail again at every poll.
    if (!thread->terminated()) failedRun_ = true;
  }
  setPlotBusy(false);
}

void TSheetGraph::applyXRange() {
  graph().setNoPaint(true);
  graph().setLoX(applied_->fromX);
  graph().setHiX(applied_->toX);
  graph().setLogarithmic(applied_->logarithmic);
  TPriceChart::setLogarithmic(applied_->logarithmic);
  graph().rebuildXValues();
  graph().setNoPaint(false);
  graph().invalidate();
  syncAxes();
}

void TSheetGraph::rebasePercentSeries() {
  for (int i = 0; i < graph().seriesCount(); ++i) {
    TPriceSeries* series = graph().series(i);
    if (series != nullptr && series->percent) series->setPercentBase(applied_->fromX);
  }
}

// ---- View files ----

int TSheetGraph::loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator) {
  fileName_ = fileName;
  const TSettingsBaseline::TWriter write = viewWriter(decimalSeparator, listSeparator);
  // Read from the file, a change it refused would not show, and the next
  // save, finding nothing changed, would let it go unwritten.
  std::optional<THeldSettings> held = heldSettings(fileName, heldChange);
  showsHeldChange_ = held.has_value();
  if (held) {
    const int result = readView(*held->shown, decimalSeparator, listSeparator);
    savedView_.takeOver(std::move(held->baseline), write);
    return result;
  }
  // A folder under the name is a file that cannot be read, and named so.
  std::unique_ptr<TPortableIniFile> ini;
  int result = -2;
  if (pathExists(fileName)) {
    try {
      ini = std::make_unique<TPortableIniFile>(fileName_);
    } catch (...) {
      // Taken as a file that cannot be read.
    }
    result = ini ? readView(*ini, decimalSeparator, listSeparator) : -3;
  }
  // The view as it stands now is what the file holds as far as the view
  // knows; one that could not be read shows its defaults, which must not
  // replace the file unless the user changes them.
  if (ini)
    savedView_.takeWithNumberedSections(fileName_, write, *ini);
  else
    savedView_.take(fileName_, write);
  return result;
}

int TSheetGraph::readView(const TPortableIniFile& ini, char decimalSeparator, char listSeparator) {
  int result = 0;
  try {
    if (ini.readFailed()) {
      result = -3;
    } else {
      // Every save writes the sources last but for theirs: a file emptied,
      // or cut off before them or inside a line, shows less than it held.
      checkWholeRecord(ini, {{"Sources", "Count"}});
      result = loadLayout(ini);
      auto formula = [&](const char* section, const std::string& current) {
        return formulaFromStore(
            ini.readString(section, "Formula", formulaToStore(current, decimalSeparator, listSeparator)),
            decimalSeparator, listSeparator);
      };
      pending_->fromXFormula = formula("FromX", pending_->fromXFormula);
      pending_->toXFormula = formula("ToX", pending_->toXFormula);
      pending_->stepsFormula = formula("Steps", pending_->stepsFormula);
      pending_->setTopText(formula("TopText", pending_->topText));
      pending_->setBottomText(formula("BottomText", pending_->bottomText));
      pending_->logarithmic = ini.readBool("Graph", "Logarithmic", getLogarithmic());
      if (result == 0) result = sourceTable_->loadFromIni(ini, decimalSeparator, listSeparator);
    }
  } catch (...) {
    result = -3;
  }
  pending_->built = false;
  applied_->built = false;
  return result;
}

void TSheetGraph::placedAfterLoading() {
  // A view showing what its file refused from one gone before was placed
  // by that one: what its file would take is the change.
  if (!showsHeldChange_) savedView_.retake();
}

int TSheetGraph::saveToFile(char decimalSeparator, char listSeparator) {
  int result = 0;
  const bool saved = savedView_.save(
      fileName_, [&](TPortableIniFile& ini) { result = writeView(ini, decimalSeparator, listSeparator); });
  if (!saved) return -4;
  forgetUnsavedChange(fileName_, heldChange);
  return result;
}

int TSheetGraph::saveHolding(char decimalSeparator, char listSeparator) {
  int result = 0;
  const bool saved = ::saveHolding(fileName_, heldChange, savedView_, [&](TPortableIniFile& ini) {
    result = writeView(ini, decimalSeparator, listSeparator);
  });
  return saved ? result : -4;
}

TSettingsBaseline::TWriter TSheetGraph::viewWriter(char decimalSeparator, char listSeparator) {
  return [this, decimalSeparator, listSeparator](TPortableIniFile& ini) {
    writeView(ini, decimalSeparator, listSeparator);
  };
}

int TSheetGraph::writeView(TPortableIniFile& ini, char decimalSeparator, char listSeparator) {
  TChartLayout layout = getLayout();
  if (captionsHeld_) {
    layout.topText.text = heldTopText_;
    layout.bottomText.text = heldBottomText_;
  }
  int result = writeChartLayout(ini, layout);
  // A formula such as "Prices" in quotes, or one with edge blanks, keeps
  // them inside one more pair of quotes, which reading takes off.
  auto formula = [&](const char* section, const std::string& text) {
    ini.writeString(section, "Formula", quotedWhereNeeded(formulaToStore(text, decimalSeparator, listSeparator)));
  };
  formula("FromX", pending_->fromXFormula);
  formula("ToX", pending_->toXFormula);
  formula("Steps", pending_->stepsFormula);
  formula("TopText", pending_->topText);
  formula("BottomText", pending_->bottomText);
  ini.writeBool("Graph", "Logarithmic", pending_->logarithmic);
  if (result == 0) result = sourceTable_->saveToIni(ini, decimalSeparator, listSeparator);
  return result;
}

int TSheetGraph::deleteWithFile(std::unique_ptr<TSheetGraph> graph) {
  const std::string fileName = graph ? graph->fileName_ : std::string();
  graph.reset();
  if (fileName.empty()) return 0;
  // What waited for the file goes with it: the next view made may take its
  // name.
  std::string refusal;
  return deleteWhole({fileName}, refusal) ? 0 : -4;
}

// ---- Captions ----

void TSheetGraph::editTopText() {
  if (!visible()) return;
  topTextEditor().setText(applied_->topText);
  topTextEditor().show();
  if (topTextEditor().canFocus()) topTextEditor().setFocus();
}

void TSheetGraph::editBottomText() {
  if (!visible()) return;
  bottomTextEditor().setText(applied_->bottomText);
  bottomTextEditor().show();
  if (bottomTextEditor().canFocus()) bottomTextEditor().setFocus();
}

void TSheetGraph::topTextEditDblClick() {
  pending_->setTopText(topTextEditor().text());
  topTextEditor().hide();
  invalidateCompute(true);
}

void TSheetGraph::bottomTextEditDblClick() {
  pending_->setBottomText(bottomTextEditor().text());
  bottomTextEditor().hide();
  invalidateCompute(true);
}

void TSheetGraph::topTextEditKeyPress(char& key) {
  if (key == 13) {
    key = 0;
    topTextEditDblClick();
  } else if (key == 27) {
    key = 0;
    topTextEditor().hide();
  }
}

void TSheetGraph::bottomTextEditKeyPress(char& key) {
  if (key == 13) {
    key = 0;
    bottomTextEditDblClick();
  } else if (key == 27) {
    key = 0;
    bottomTextEditor().hide();
  }
}
