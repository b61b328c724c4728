// The optimiser's test window: the date pickers, the days box and the
// buttons that move the window or take its ends from the portfolio.
#include <cmath>

#include "controls/ToolGlyphs.h"
#include "model/Directories.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/DateTimePicker.h"
#include "platform/FileSystem.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "systems/OptimizeForm.h"

namespace {

const char* const dayChoices[] = {"7",   "14",  "21",  "28",  "30",  "60",  "90",  "120",  "150",  "180",  "210",
                                  "240", "270", "300", "330", "360", "365", "730", "1095", "1460", "1825", "3650"};

}  // namespace

void ToptimizeForm::makeDateControls(int top) {
  testGroupBox = &add<TGroupBox>("Test quotes");
  testGroupBox->setBounds(4, top, 553, 84);
  TGroupBox& group = *testGroupBox;
  top = 18;
  auto label = [&group](int left, int y, int width, const char* text) {
    group.add<TLabel>(text).setBounds(left, y + 4, width, 16);
  };
  label(4, top, 60, "From date");
  fromDateTimePicker = &group.add<TDateTimePicker>();
  fromDateTimePicker->setBounds(68, top, 110, 24);
  label(188, top, 70, "Days in range");
  daysComboBox = &group.add<TComboBox>(TComboStyle::dropDown);
  daysComboBox->setBounds(262, top, 64, 24);
  for (const char* days : dayChoices) daysComboBox->addItem(days);
  label(338, top, 50, "To date");
  toDateTimePicker = &group.add<TDateTimePicker>();
  toDateTimePicker->setBounds(392, top, 110, 24);
  fromDateTimePicker->onChange = [this] { fromDateChanged(); };
  toDateTimePicker->onChange = [this] { toDateChanged(); };
  daysComboBox->onChange = [this] { daysChanged(); };
  daysComboBox->onExit = [this] { daysEntryEnded(); };

  // The pictures of the System window's date group, which say nothing
  // without their hints; the captions stay the buttons' names for screen
  // readers. The buttons that move the start stand under its picker, those
  // that move the end under the end's.
  int left = 68;
  auto button = [&](const char* caption, const char* hint, const char* glyph) -> TButton& {
    return toolGlyphs_->pictureButton(group, *hints_, caption, hint, glyph, left, top + 28);
  };
  firstDateBtn = &button("First date", "First date", "FIRSTDATEBMP");
  firstCommonDateBtn = &button("First common date", "First common date", "FIRSTCOMMONBMP");
  frameBackBtn = &button("<<", "One frame back", "FRAMEBACKBMP");
  oneDayBackBtn = &button("<", "One day back", "DAYBACKBMP");
  left = toDateTimePicker->left() + toDateTimePicker->width() - 4 * 30 + 2;
  oneDayForwardBtn = &button(">", "One day forward", "DAYFORWARDBMP");
  frameForwardBtn = &button(">>", "One frame forward", "FRAMEFORWARDBMP");
  lastCommonDateBtn = &button("Last common date", "Last common date", "LASTCOMMONBMP");
  lastDateBtn = &button("Last date", "Last date", "LASTDATEBMP");
  hints_->setHint(*daysComboBox, "Days in range");
  firstDateBtn->onClick = [this] {
    takePortfolioDate([](TPortfolio& p, double& date, bool& found) { p.firstTradeDate(date, found); }, true);
  };
  firstCommonDateBtn->onClick = [this] {
    takePortfolioDate([](TPortfolio& p, double& date, bool& found) { p.latestFirstTradeDate(date, found); }, true);
  };
  lastCommonDateBtn->onClick = [this] {
    takePortfolioDate([](TPortfolio& p, double& date, bool& found) { p.earliestLastQuoteDate(date, found); }, false);
  };
  lastDateBtn->onClick = [this] {
    takePortfolioDate([](TPortfolio& p, double& date, bool& found) { p.lastQuoteDate(date, found); }, false);
  };
  frameBackBtn->onClick = [this] {
    if (!daysEntryEnded()) return;
    dates_.scrollFrame(daysComboBox->text(), -1);
    showDates();
  };
  frameForwardBtn->onClick = [this] {
    if (!daysEntryEnded()) return;
    dates_.scrollFrame(daysComboBox->text(), 1);
    showDates();
  };
  oneDayBackBtn->onClick = [this] {
    dates_.scroll(-1);
    showDates();
  };
  oneDayForwardBtn->onClick = [this] {
    dates_.scroll(1);
    showDates();
  };
}

void ToptimizeForm::showDates() {
  showingDates_ = true;
  fromDateTimePicker->setDateTime(truncDay(dates_.fromDate()));
  toDateTimePicker->setDateTime(roundDay(dates_.toDate()));
  daysComboBox->setText(std::to_string(dates_.days()));
  showingDates_ = false;
  updateExecute();
}

void ToptimizeForm::fromDateChanged() {
  if (showingDates_) return;
  dates_.setFrom(fromDateTimePicker->dateTime());
  showDates();
}

void ToptimizeForm::toDateChanged() {
  if (showingDates_) return;
  dates_.setTo(toDateTimePicker->dateTime());
  showDates();
}

void ToptimizeForm::daysChanged() {
  if (showingDates_) return;
  // Half-typed text keeps the window until it reads as a number.
  int days = 0;
  if (!daysTyping_.count(daysComboBox->text(), dates_.days(), dates_.toDate(), days)) return;
  dates_.setDays(days);
  // The text being typed stays until the typing ends.
  showingDates_ = true;
  fromDateTimePicker->setDateTime(truncDay(dates_.fromDate()));
  showingDates_ = false;
  updateExecute();
}

bool ToptimizeForm::daysEntryEnded() {
  if (!daysTyping_.typing()) return true;
  const std::string refusal = daysTyping_.end(daysComboBox->text(), dates_.toDate());
  if (!refusal.empty()) messages->show(handle(), refusal, "Optimize", MB_OK | MB_ICONWARNING);
  showDates();
  return refusal.empty();
}

void ToptimizeForm::takePortfolioDate(const std::function<void(TPortfolio&, double&, bool&)>& date, bool from) {
  TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
  if (portfolio == nullptr) return;
  double found = 0;
  bool exists = false;
  date(*portfolio, found, exists);
  if (!exists) return;
  from ? dates_.setFrom(std::trunc(found)) : dates_.setTo(std::trunc(found));
  showDates();
}

void ToptimizeForm::logBrowseBitBtnClick() {
  TFileDialogOptions options;
  options.filter = "*.CSV|*.CSV|*.*|*.*";
  options.mustExist = false;
  options.promptOverwrite = true;
  std::string fileName;
  const std::string current = expandPath(logEdit->text());
  const size_t slash = current.find_last_of('\\');
  if (slash != std::string::npos && folderExists(current.substr(0, slash))) {
    options.initialDir = current.substr(0, slash);
    fileName = current;
  } else {
    options.initialDir = expandPath("<TEMP>");
  }
  if (!fileDialog->open(handle(), options, fileName)) return;
  logEdit->setText(collapsePath(fileName));
  updateExecute();
}
