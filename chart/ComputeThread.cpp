#include "chart/ComputeThread.h"

#include <chrono>
#include <cmath>
#include <string>

#include "chart/Series.h"
#include "model/Prices.h"
#include "model/TextFormatting.h"
#include "platform/FloatingPoint.h"
#include "sheet/Sheet.h"

namespace {

// Fixed cells of row 1 and the counter columns of the line rows.
constexpr int columnX = 1, columnFromDate = 4, columnToDate = 5, columnAsset = 6, columnPortfolio = 7;
constexpr int columnFromX = 8, columnToX = 9, columnSteps = 10, columnStepCount = 11, columnIsLog = 12;
constexpr int columnText = 6, columnImage = 7, firstCounterColumn = 8;
constexpr uint16_t fieldBits[4] = {quoteOpenBit, quoteHighBit, quoteLowBit, quoteCloseBit};

bool elementNumber(const TSheet& sheet, const TArray& array, int index, double& number) {
  if (index >= array.elementCount()) return false;
  TValueRecord value = array.elements()[index];
  if (!sheet.convertValue(value, valueNumber)) return false;
  number = value.number;
  return std::isfinite(number);
}

bool elementInteger(const TSheet& sheet, const TArray& array, int index, int& integer) {
  if (index >= array.elementCount()) return false;
  TValueRecord value = array.elements()[index];
  if (!sheet.convertValue(value, valueInteger)) return false;
  integer = value.integer;
  return true;
}

bool elementText(const TSheet& sheet, const TArray& array, int index, std::string& text) {
  if (index >= array.elementCount()) return false;
  TValueRecord value = array.elements()[index];
  if (!sheet.convertValue(value, valueString)) return false;
  text = trimBlanks(value.string);
  return true;
}

}  // namespace

TComputeThread::TComputeThread(std::vector<TPriceSeries*> series, TSheet& sheet, double fromDate, double toDate,
                               int assetIndex, int portfolioIndex, bool logarithmic)
    : series_(std::move(series)),
      sheet_(sheet),
      fromDate_(fromDate),
      toDate_(toDate),
      portfolioIndex_(portfolioIndex),
      assetIndex_(assetIndex),
      logarithmic_(logarithmic) {
  // Before the thread starts, so that a stop however early leaves every
  // line with prices of its own, empty or partly filled, and the worker
  // never swaps a series' prices while the GUI thread may look at them.
  clearSeries();
  thread_ = std::thread([this] { Execute(); });
}

TComputeThread::~TComputeThread() {
  waitFor();
  if (thread_.joinable()) thread_.join();
}

void TComputeThread::terminate() {
  terminated_ = true;
  synchronizer_.abandon();
}

void TComputeThread::waitFor() {
  synchronizer_.waitUntil([this] { return finished_.load(); });
}

void TComputeThread::Execute() {
  setExtendedPrecision();
  try {
    if (terminated_) {
      // Stopped before the first step: the lines stay empty.
    } else if (sheet_.macroCallout.scriptEngine() != nullptr) {
      synchronizer_.synchronize([this] {
        prepare();
        doStep();
      });
      stepIndex_ = 1;
      while (stepIndex_ < steps_ && !terminated_) synchronizer_.synchronize([this] { runSlice(); });
    } else {
      prepare();
      doStep();
      for (int i = 1; i < steps_ && !terminated_; ++i) {
        x_ = i * step_ + fromX_;
        setX();
        doStep();
      }
    }
    for (TPriceSeries* series : series_) {
      if (terminated_) break;
      if (series != nullptr && series->percent) series->setPercentBase(fromX_);
    }
    completed_ = !terminated_;
  } catch (...) {
    completed_ = false;
  }
  finished_ = true;
}

void TComputeThread::clearSeries() {
  for (TPriceSeries* series : series_) {
    if (series == nullptr) continue;
    if (series->prices() == nullptr) {
      series->takePrices(std::make_unique<TPrices>());
    } else {
      series->prices()->clear(false);
    }
    series->textMarks.clear();
    series->imageMarks.clear();
  }
}

void TComputeThread::prepare() {
  sheet_.autoRecalculate = false;
  sheet_.setCurrentCell(columnStepCount, 1);
  sheet_.setCurrentCellInteger(0);
  for (std::size_t i = 0; i < series_.size(); ++i) {
    const int row = static_cast<int>(i) + 2;
    for (int column = firstCounterColumn; column < firstCounterColumn + 4; ++column) {
      sheet_.setCurrentCell(column, row);
      sheet_.setCurrentCellInteger(0);
    }
  }
  sheet_.setCurrentCell(columnFromDate, 1);
  sheet_.setCurrentCellNumber(fromDate_);
  sheet_.setCurrentCell(columnToDate, 1);
  sheet_.setCurrentCellNumber(toDate_);
  sheet_.setCurrentCell(columnAsset, 1);
  sheet_.setCurrentCellInteger(assetIndex_);
  sheet_.setCurrentCell(columnPortfolio, 1);
  sheet_.setCurrentCellInteger(portfolioIndex_);
  sheet_.setCurrentCell(columnIsLog, 1);
  sheet_.setCurrentCellInteger(logarithmic_ ? 1 : 0);

  sheet_.markAllDirty();
  sheet_.autoRecalculate = true;
  sheet_.recordDependents = true;
  sheet_.stopAtFirstError = false;
  sheet_.recalculateAll(true);
  sheet_.recordDependents = false;
  sheet_.stopAtFirstError = true;

  fromX_ = sheet_.cellHasValue(columnFromX, 1) ? sheet_.getCellNumber(columnFromX, 1) : 0;
  toX_ = sheet_.cellHasValue(columnToX, 1) ? sheet_.getCellNumber(columnToX, 1) : 0;
  steps_ = sheet_.cellHasValue(columnSteps, 1) ? sheet_.getCellInteger(columnSteps, 1) : 1;
  x_ = fromX_;
  // One step or fewer is the single point at FROM_X, not a division by zero.
  step_ = steps_ > 1 ? (toX_ - fromX_) / (steps_ - 1) : 0;
  setX();
}

void TComputeThread::setX() {
  sheet_.setCurrentCell(columnX, 1);
  sheet_.setCurrentCellNumber(x_);
}

void TComputeThread::doStep() {
  for (std::size_t i = 0; i < series_.size(); ++i) {
    TPriceSeries* series = series_[i];
    if (series == nullptr || series->prices() == nullptr) continue;
    const int row = static_cast<int>(i) + 2;
    TQuoteRecord record;
    record.Mask = 0;
    for (int field = 0; field < 5; ++field) {
      if (!sheet_.cellHasValue(field + 1, row)) continue;
      record.*quoteValueFields[field] = sheet_.getCellNumber(field + 1, row);
      record.Mask |= quoteValueBit(field);
    }

    sheet_.setCurrentCell(columnText, row);
    if (sheet_.currentCellHasValue()) {
      const TArray* array = sheet_.currentCellArray();
      std::string text;
      double y = 0;
      if (array != nullptr && array->elementCount() >= 2 && elementText(sheet_, *array, 0, text) && !text.empty() &&
          elementNumber(sheet_, *array, 1, y)) {
        int offset = 0, frame = 0, textColor = static_cast<int>(markDefaultColor),
            background = static_cast<int>(markDefaultColor);
        elementInteger(sheet_, *array, 2, offset);
        if (!elementInteger(sheet_, *array, 3, frame) || (frame != 1 && frame != 2)) frame = 0;
        elementInteger(sheet_, *array, 4, textColor);
        elementInteger(sheet_, *array, 5, background);
        series->textMarks.add(text, offset, static_cast<uint32_t>(background), static_cast<uint32_t>(textColor),
                              static_cast<uint8_t>(frame), x_, y);
      }
    }

    sheet_.setCurrentCell(columnImage, row);
    if (sheet_.currentCellHasValue()) {
      const TArray* array = sheet_.currentCellArray();
      int image = -1, offset = 0;
      double y = 0;
      std::string hint;
      if (array != nullptr && array->elementCount() >= 2 && elementInteger(sheet_, *array, 0, image) && image >= 0 &&
          elementNumber(sheet_, *array, 1, y)) {
        elementInteger(sheet_, *array, 2, offset);
        elementText(sheet_, *array, 3, hint);
        series->imageMarks.add(image, offset, hint, x_, y);
      }
    }

    if (record.Mask != 0) {
      record.Mask |= quoteDateBits;
      series->prices()->addRecord(record, false, step_, x_);
      for (int field = 0; field < 4; ++field) {
        if ((record.Mask & fieldBits[field]) == 0 || (series->countedFields & fieldBits[field]) == 0) continue;
        sheet_.setCurrentCell(firstCounterColumn + field, row);
        sheet_.setCurrentCellInteger(sheet_.currentCellInteger() + 1);
      }
    }
  }
  sheet_.setCurrentCell(columnStepCount, 1);
  sheet_.setCurrentCellInteger(sheet_.currentCellInteger() + 1);
}

void TComputeThread::runSlice() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(sliceSeconds);
  do {
    x_ = stepIndex_ * step_ + fromX_;
    setX();
    doStep();
    ++stepIndex_;
  } while (stepIndex_ < steps_ && std::chrono::steady_clock::now() <= deadline && !terminated_);
}
