#include "systems/OptimizeForm.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "controls/SheetPanel.h"
#include "controls/ToolGlyphs.h"
#include "model/Directories.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/ComCtrls.h"
#include "platform/DateTimePicker.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "sheet/Cell.h"
#include "sheet/StoredFormula.h"
#include "sheet/Sheet.h"
#include "systems/System.h"
#include "systems/SystemProgress.h"

namespace {

constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t textCell = 2;

// A run needs prices: the portfolio's first and last quote dates.
bool hasQuoteDates(TPortfolio* portfolio) {
  if (portfolio == nullptr) return false;
  double date = 0;
  bool first = false, last = false;
  portfolio->firstQuoteDate(date, first);
  portfolio->lastQuoteDate(date, last);
  return first && last;
}

TFormOptions optimizeOptions() {
  TFormOptions options;
  options.caption = "Optimize";
  options.clientWidth = 561;
  options.clientHeight = 400;
  options.stayOnTop = true;
  return options;
}

template <class Control, class... Args>
Control& placed(TForm& form, int left, int top, int width, int height, Args&&... args) {
  Control& control = form.add<Control>(std::forward<Args>(args)...);
  control.setBounds(left, top, width, height);
  return control;
}

}  // namespace

ToptimizeForm::ToptimizeForm() : TForm(optimizeOptions()), dates_(currentDateTime()) {
  helpContext = 1531;
  toolGlyphs_ = std::make_unique<TToolGlyphs>();
  hints_ = std::make_unique<TToolTips>(*this);
  setConstraints(561, 350);
  // Enter anywhere accepts what OK would, Escape closes; the runs box keeps
  // both keys for itself.
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) {
    if ((key != VK_RETURN && key != VK_ESCAPE) || (shift & (ssCtrl | ssAlt)) || runsEdit->focused()) return;
    // A count the days box refuses keeps the dialog open, with the reason.
    if (key == VK_RETURN && daysComboBox->holdsFocus() && !daysEntryEnded()) {
      key = 0;
      return;
    }
    if (key == VK_RETURN) accepted_ = okBtn->enabled();
    key = 0;
    close();
  };
  placed<TLabel>(*this, 8, 10, 60, 16, "Objective");
  objectiveComboBox = &placed<TComboBox>(*this, 72, 6, 480, 24, TComboStyle::dropDown);
  objectiveComboBox->onChange = [this] { updateExecute(); };
  makeDateControls(32);
  shuffleCheckBox = &placed<TCheckBox>(*this, 8, 126, 70, 20, "Shuffle");
  shuffleCheckBox->onClick = [this] { updateExecute(); };
  runsEdit = &placed<TEdit>(*this, 82, 124, 50, 22, "1");
  runsEdit->onChange = [this] { updateExecute(); };
  runsEdit->onEnter = [this] { runsOnEntry_ = runsEdit->text(); };
  runsEdit->onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_ESCAPE) runsEdit->setText(runsOnEntry_);
    if (key == VK_RETURN || key == VK_ESCAPE) {
      key = 0;
      updateExecute();
    }
  };
  runsUpDown = &placed<TUpDown>(*this, 132, 124, 16, 22);
  runsUpDown->setRange(1, 1000000);
  runsUpDown->setAssociate(runsEdit);
  runsUpDown->onClick = [this](bool) { updateExecute(); };
  const char* const kinds[] = {"Median", "Mean", "Max", "Min"};
  for (size_t i = 0; i < aggregationButtons.size(); ++i) {
    aggregationButtons[i] = &placed<TRadioButton>(*this, 160 + 70 * static_cast<int>(i), 126, 66, 20, kinds[i], i == 0);
    aggregationButtons[i]->onClick = [this, i] { setAggregationKind(static_cast<int>(i) + 1); };
  }
  setAggregationKind(1);
  logCheckBox = &placed<TCheckBox>(*this, 8, 154, 50, 20, "Log");
  logCheckBox->onClick = [this] { updateExecute(); };
  logEdit = &placed<TEdit>(*this, 60, 152, 460, 22);
  logEdit->onChange = [this] { updateExecute(); };
  logBrowseBitBtn = &placed<TButton>(*this, 524, 152, 28, 22, "...");
  logBrowseBitBtn->onClick = [this] { logBrowseBitBtnClick(); };

  resultSheetPanel = &placed<TSheetPanel>(*this, 8, 182, 545, 142);
  resultSheetPanel->setShowColCoords(false);
  resultSheetPanel->setShowRowCoords(false);
  resultSheetPanel->setMultiSelect(false);
  resultSheetPanel->setShowCellErrors(false);
  resultSheetPanel->setDefaultMaxDecimals(15);
  resultSheetPanel->setFixedRows(1);
  resultSheetPanel->setDefaultColWidth(545 / 4 - 2);
  resultSheetPanel->onRender = [this] { updateOk(); };

  progressBar = &placed<TProgressBar>(*this, 8, 332, 400, 18);
  progressBar->setRange(0, 100);
  // Right-aligned, so the word stays beside the time and the time at the
  // dialog's edge whatever their widths.
  etaLabel = &placed<TLabel>(*this, 412, 334, 40, 16, "ETA");
  etaLabel->setAlignment(TTextAlignment::right);
  etaValueLabel = &placed<TLabel>(*this, 456, 334, 96, 16, "0 : 00 : 00");
  etaValueLabel->setAlignment(TTextAlignment::right);
  executeBitBtn = &placed<TButton>(*this, 8, 362, 104, 28, "&Execute");
  executeBitBtn->onClick = [this] { executeBitBtnClick(); };
  stopBitBtn = &placed<TButton>(*this, 117, 362, 104, 28, "&Stop");
  stopBitBtn->onClick = [this] { stopBitBtn->setEnabled(false); };
  okBtn = &placed<TButton>(*this, 226, 362, 104, 28, "&OK");
  okBtn->onClick = [this] {
    accepted_ = true;
    close();
  };
  helpBtn = &placed<TButton>(*this, 335, 362, 104, 28, "&Help");
  helpBtn->onClick = [this] { application().helpContext(helpContext); };
  minimizeBtn = &placed<TButton>(*this, 444, 362, 104, 28, "&Minimize");
  minimizeBtn->onClick = [] { ShowWindow(GetAncestor(GetActiveWindow(), GA_ROOTOWNER), SW_MINIMIZE); };
  executeBitBtn->setEnabled(false);
  stopBitBtn->setEnabled(false);
  okBtn->setEnabled(false);
  showDates();

  optimizer_.keepRunning = [this] {
    application().processMessages();
    return stopBitBtn->enabled();
  };
  optimizer_.showProgress = [this](long double fraction) { showProgress(fraction); };
  optimizer_.resultsChanged = [this] { showResults(); };
}

ToptimizeForm::~ToptimizeForm() = default;

bool ToptimizeForm::execute(TPortfolioTable* portfolioTable, TSystem* system, IActiveScript* scriptEngine) {
  TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
  if (system == nullptr || portfolio == nullptr) return false;
  accepted_ = false;
  workingCopy_ = std::make_unique<TSystem>();
  if (workingCopy_->assign(system, false) != 0) return false;
  workingCopy_->setSaveSoftTransactions(false);
  portfolioTable_ = portfolioTable;
  scriptEngine_ = scriptEngine;
  double first = 0, last = 0;
  bool firstFound = false, lastFound = false;
  portfolio->firstQuoteDate(first, firstFound);
  portfolio->lastQuoteDate(last, lastFound);
  // Dates kept in the controls file stay the test window; without them
  // the window starts as the system's range. Either way it starts within
  // the prices the run can use.
  double from = datesLoaded_ ? dates_.fromDate() : workingCopy_->FromDate();
  if (firstFound && from < first) from = first;
  if (lastFound && from > last) from = last;
  if (!datesLoaded_) {
    dates_.setTo(std::trunc(workingCopy_->ToDate()));
    dates_.setFrom(std::trunc(from));
    dates_.setTo(std::trunc(workingCopy_->ToDate()));
  } else if (from != dates_.fromDate()) {
    dates_.setFrom(std::trunc(from));
  }
  showDates();
  resultSheetPanel->sheet().portfolioTable = portfolioTable;
  resultSheetPanel->sheet().setScriptEngine(scriptEngine, false);
  // Results of an earlier opening belong to another run, perhaps of another
  // system: OK must never write them into this one.
  optimizer_.clearResults();
  resultSheetPanel->sheet().setTopLeft({1, 1});
  showResults();
  runStart_ = currentDateTime();
  showProgress(0);
  updateExecute();
  showModal();
  rememberObjective();

  bool written = false;
  const TSheet& sheet = resultSheetPanel->sheet();
  const int col = sheet.currentCol;
  if (accepted_ && col >= 2 && col <= 4) {
    const TResult& result = col == 2 ? optimizer_.maxResult() : col == 3 ? optimizer_.minResult()
                                                                          : optimizer_.lastResult();
    int k = 0;
    for (int i = 0; i < system->Params().count() && result.valid(); ++i) {
      TSystemParameter& parameter = *system->Params().parameter(i);
      if (!parameter.isOptimisable()) continue;
      parameter.setValue(result.getValue(k++));
      written = true;
    }
  }
  workingCopy_.reset();
  return written;
}

void ToptimizeForm::setRunning(bool running) {
  for (TControl* control : std::initializer_list<TControl*>{
           objectiveComboBox, testGroupBox, fromDateTimePicker, toDateTimePicker, daysComboBox, firstDateBtn,
           firstCommonDateBtn, lastCommonDateBtn, lastDateBtn, frameBackBtn, oneDayBackBtn, oneDayForwardBtn,
           frameForwardBtn, shuffleCheckBox, logCheckBox, logEdit, logBrowseBitBtn}) {
    control->setEnabled(!running);
  }
  stopBitBtn->setEnabled(running);
  updateExecute();
}

void ToptimizeForm::executeBitBtnClick() {
  if (!workingCopy_ || portfolioTable_ == nullptr) return;
  THourglass hourglass;
  TOptimizeSettings settings;
  settings.objective = trimmedText(objectiveComboBox->text());
  settings.fromDate = std::trunc(fromDateTimePicker->dateTime());
  settings.toDate = std::trunc(toDateTimePicker->dateTime());
  settings.shuffle = shuffleCheckBox->checked();
  if (!parseDays(runsEdit->text(), settings.runs)) settings.runs = 1;
  settings.runs = std::max(1, settings.runs);
  settings.aggregation = static_cast<TShuffleAggregation>(aggregationKind());
  if (logCheckBox->checked()) settings.logFileName = expandPath(logEdit->text());
  settings.temporaryRoot = expandPath("<TEMP>");
  runStart_ = currentDateTime();
  setRunning(true);
  const int result = optimizer_.optimize(*portfolioTable_, *workingCopy_, scriptEngine_, settings);
  setRunning(false);
  showResults();
  if (result == -4 && !optimizer_.logError().empty()) {
    MessageBoxA(handle(), optimizer_.logError().c_str(), "Optimize", MB_OK | MB_ICONERROR);
  } else if (result == TOptimizer::objectiveRefused || result == TOptimizer::objectiveWithoutValue) {
    MessageBoxA(handle(), optimizer_.objectiveError().c_str(), "Optimize", MB_OK | MB_ICONWARNING);
  }
}

void ToptimizeForm::showProgress(long double fraction) {
  progressBar->setPosition(static_cast<int>(std::lround(100 * fraction)));
  const long long seconds =
      fraction > 0 ? std::llround((currentDateTime() - runStart_) * 86400 * (1 / fraction - 1)) : 0;
  etaValueLabel->setText(TSystemProgress::etaText(seconds));
}

void ToptimizeForm::showResults() {
  TSheet& sheet = resultSheetPanel->sheet();
  const int currentCol = sheet.currentCol, currentRow = sheet.currentRow;
  sheet.clearCells();
  // Results are read, never typed over.
  const auto put = [&sheet](int col, int row, const std::string& text, std::uint8_t type) {
    sheet.setCellContent(col, row, 0, text, type);
    if (TCell* cell = sheet.getCell(col, row)) cell->locked = true;
  };
  const char* const headers[] = {"Symbol", "Max", "Min", "Last"};
  for (int col = 1; col <= 4; ++col) put(col, 1, headers[col - 1], textCell);
  put(1, 2, "<OBJECTIVE>", textCell);
  int row = 3;
  if (workingCopy_) {
    for (int i = 0; i < workingCopy_->Params().count(); ++i) {
      const TSystemParameter& parameter = *workingCopy_->Params().parameter(i);
      if (parameter.isOptimisable()) put(1, row++, parameter.Symbol(), textCell);
    }
  }
  const TResult* results[] = {&optimizer_.maxResult(), &optimizer_.minResult(), &optimizer_.lastResult()};
  for (int col = 2; col <= 4; ++col) {
    const TResult& result = *results[col - 2];
    for (int at = 2; at < row; ++at) {
      const int k = at - 3;
      if (!result.valid())
        put(col, at, "", textCell);
      else
        put(col, at, sheet.floatToStr(static_cast<double>(k < 0 ? result.objective() : result.getValue(k))),
            numberCell);
    }
  }
  sheet.currentCol = currentCol;
  sheet.currentRow = currentRow;
  resultSheetPanel->refresh();
}

void ToptimizeForm::updateExecute() {
  bool enabled = portfolioTable_ != nullptr && hasQuoteDates(portfolioTable_->current()) && !stopBitBtn->enabled() &&
                 workingCopy_ && workingCopy_->Params().combinationCount() > 0 &&
                 toDateTimePicker->dateTime() - fromDateTimePicker->dateTime() >= 1 &&
                 !objectiveComboBox->text().empty();
  int runs = 0;
  if (enabled && shuffleCheckBox->checked()) enabled = parseDays(runsEdit->text(), runs) && runs > 0;
  if (enabled && logCheckBox->checked()) {
    const std::string path = expandPath(logEdit->text());
    const size_t slash = path.find_last_of('\\');
    enabled = slash != std::string::npos && slash + 1 < path.size() && folderExists(path.substr(0, slash));
  }
  executeBitBtn->setEnabled(enabled);
  const bool shuffle = shuffleCheckBox->checked() && !stopBitBtn->enabled();
  runsEdit->setEnabled(shuffle);
  runsUpDown->setEnabled(shuffle);
  const bool aggregate = shuffle && parseDays(runsEdit->text(), runs) && runs >= 2;
  for (TRadioButton* button : aggregationButtons) button->setEnabled(aggregate);
  updateOk();
}

void ToptimizeForm::rememberObjective() {
  const std::string objective = trimmedText(objectiveComboBox->text());
  if (objective.empty()) return;
  // One already kept stays where the user finds it.
  for (int i = 0; i < objectiveComboBox->count() && i < keepRecentObjectives_; ++i) {
    if (objectiveComboBox->item(i) == objective) return;
  }
  std::vector<std::string> items{objective};
  for (int i = 0; i < objectiveComboBox->count() && static_cast<int>(items.size()) < keepRecentObjectives_; ++i) {
    if (objectiveComboBox->item(i) != objective) items.push_back(objectiveComboBox->item(i));
  }
  objectiveComboBox->clear();
  for (const std::string& item : items) objectiveComboBox->addItem(item);
  objectiveComboBox->setText(objective);
}

void ToptimizeForm::loadGUIoptions(const TPortableIniFile& ini) {
  const std::string section = "OptimizeSystem";
  const TLocaleSettings& locale = localeSettings();
  auto fromFile = [&](const std::string& formula) {
    return formulaFromStore(formula, locale.decimalSeparator, locale.listSeparator);
  };
  setBounds(ini.readInteger(section, "Left", left()), ini.readInteger(section, "Top", top()),
            ini.readInteger(section, "Width", width()), ini.readInteger(section, "Height", height()));
  keepRecentObjectives_ = std::max(1, ini.readInteger(section, "KeepRecentObjectives", keepRecentObjectives_));
  std::vector<std::string> recent;
  ini.readSectionValues("OptimizeSystemObjectives", recent);
  objectiveComboBox->clear();
  for (const std::string& entry : recent) {
    if (objectiveComboBox->count() >= keepRecentObjectives_) break;
    const size_t equals = entry.find('=');
    if (equals != std::string::npos) objectiveComboBox->addItem(fromFile(entry.substr(equals + 1)));
  }
  objectiveComboBox->setText(fromFile(ini.readString(section, "Objective", "")));
  shuffleCheckBox->setChecked(ini.readBool(section, "Shuffle", shuffleCheckBox->checked()));
  runsEdit->setText(ini.readString(section, "Runs", runsEdit->text()));
  const int kind = ini.readInteger(section, "ShuffleReturnKind", aggregationKind());
  setAggregationKind(kind >= 1 && kind <= 4 ? kind : 4);
  logCheckBox->setChecked(ini.readBool(section, "Log", logCheckBox->checked()));
  logEdit->setText(expandPath(ini.readString(section, "LogFile", collapsePath(logEdit->text()))));
  TSheet& results = resultSheetPanel->sheet();
  results.setRowHeight(1, ini.readInteger("ResultFixedHeight", "Fixed", resultSheetPanel->getRowHeight(1)));
  for (int col = 1; col <= 4; ++col)
    resultSheetPanel->setColWidth(
        col, ini.readInteger("ResultFieldWidths", std::to_string(col), resultSheetPanel->getColWidth(col)));
  const double from = ini.readFloat(section, "FromDate", dates_.fromDate());
  const double to = ini.readFloat(section, "ToDate", dates_.toDate());
  datesLoaded_ = ini.readString(section, "FromDate", "") != "" && ini.readString(section, "ToDate", "") != "";
  // As after editing: the to date, then the from date, keep the window whole.
  dates_.setTo(to);
  dates_.setFrom(from);
  dates_.setTo(to);
  showDates();
}

void ToptimizeForm::saveGUIoptions(TPortableIniFile& ini) {
  rememberObjective();
  const std::string section = "OptimizeSystem";
  const TLocaleSettings& locale = localeSettings();
  auto toFile = [&](const std::string& formula) {
    return formulaToStore(formula, locale.decimalSeparator, locale.listSeparator);
  };
  ini.writeInteger(section, "Left", left());
  ini.writeInteger(section, "Top", top());
  ini.writeInteger(section, "Width", width());
  ini.writeInteger(section, "Height", height());
  ini.writeString(section, "Objective", quotedWhereNeeded(toFile(objectiveComboBox->text())));
  ini.writeInteger(section, "KeepRecentObjectives", keepRecentObjectives_);
  ini.writeBool(section, "Shuffle", shuffleCheckBox->checked());
  // A count the box reads is kept as plain digits: "1.000" typed under
  // German settings would read back as 1 under English ones.
  int runs = 0;
  ini.writeString(section, "Runs", parseDays(runsEdit->text(), runs) ? std::to_string(runs) : runsEdit->text());
  ini.writeInteger(section, "ShuffleReturnKind", aggregationKind());
  ini.writeBool(section, "Log", logCheckBox->checked());
  ini.writeString(section, "LogFile", collapsePath(logEdit->text()));
  ini.writeFloat(section, "FromDate", truncDay(dates_.fromDate()));
  ini.writeFloat(section, "ToDate", roundDay(dates_.toDate()));
  ini.writeInteger("ResultFixedHeight", "Fixed", resultSheetPanel->getRowHeight(1));
  for (int col = 1; col <= 4; ++col)
    ini.writeInteger("ResultFieldWidths", std::to_string(col), resultSheetPanel->getColWidth(col));
  ini.eraseSection("OptimizeSystemObjectives");
  for (int i = 0; i < objectiveComboBox->count() && i < keepRecentObjectives_; ++i) {
    ini.writeString("OptimizeSystemObjectives", std::to_string(i),
                    quotedWhereNeeded(toFile(objectiveComboBox->item(i))));
  }
}

int ToptimizeForm::aggregationKind() const {
  for (size_t i = 0; i < aggregationButtons.size(); ++i) {
    if (aggregationButtons[i]->checked()) return static_cast<int>(i) + 1;
  }
  return 1;
}

void ToptimizeForm::setAggregationKind(int kind) {
  for (size_t i = 0; i < aggregationButtons.size(); ++i) {
    aggregationButtons[i]->setChecked(static_cast<int>(i) + 1 == kind);
  }
}

void ToptimizeForm::updateOk() {
  const int col = resultSheetPanel->sheet().currentCol;
  const TResult* results[] = {&optimizer_.maxResult(), &optimizer_.minResult(), &optimizer_.lastResult()};
  okBtn->setEnabled(!stopBitBtn->enabled() && col >= 2 && col <= 4 && results[col - 2]->valid());
}
