#include "systems/SystemForm.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "controls/AssetPickForm.h"
#include "controls/EditAsTextForm.h"
#include "controls/FormulaPrompt.h"
#include "controls/SheetPanel.h"
#include "controls/ToolGlyphs.h"
#include "model/ChangeStamps.h"
#include "model/Asset.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/DateTimePicker.h"
#include "platform/FileSystem.h"
#include "platform/Dialogs.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "sheet/Cell.h"
#include "sheet/Props.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"
#include "systems/OptimizeForm.h"
#include "systems/SystemFileFault.h"
#include "systems/SystemProgressForm.h"
#include "windows/DateWindow.h"

namespace {

constexpr int barHeight = 30;
const char* const dayChoices[] = {"7",   "14",  "21",  "28",  "30",  "60",  "90",  "120",  "150",  "180",  "210",
                                  "240", "270", "300", "330", "360", "365", "730", "1095", "1460", "1825", "3650"};

TFormulaSeparators userSeparators() {
  return {localeSettings().decimalSeparator, localeSettings().listSeparator};
}

// The fixed columns (x) and rows (y) of a page's grid: the header, and in
// the Rules grid "Nr" and "Asset" besides, which stay when scrolling.
POINT fixedLines(TSystemPage page, bool byRow) {
  const int fields = page == TSystemPage::rules ? 2 : 0;
  return {byRow ? fields : 1, byRow ? 1 : fields};
}

// A change of the system's files left for the close: a later one replaces it.
constexpr const char* heldChange = "system";

// The writer gives what it gave when taken.
bool givesStill(const TPortableIniFile& taken, const TSettingsBaseline::TWriter& write) {
  TPortableIniFile changes(taken.FileName(), TPortableIniFile::TNewFile{});
  return !changes.writeChanges(taken, *TSettingsBaseline::written(taken.FileName(), write));
}

}  // namespace

TsystemForm::TsystemForm() : messages(&systemMessageBox()) {
  helpContext = 1500;
  setText("System");
  hints_ = std::make_unique<TToolTips>(*this);
  pageControl = &add<TPageControl>();
  pageControl->setAlign(TAlign::client);
  fromDateTimePicker = nullptr;
  daysComboBox = nullptr;
  toDateTimePicker = nullptr;
  makePage(TSystemPage::rules, "Rules");
  makePage(TSystemPage::symbols, "Symbols");
  makePage(TSystemPage::params, "Parameters");
  arrangeBars();
  progressForm_ = std::make_unique<TsystemProgressForm>();
  optimizeForm_ = std::make_unique<ToptimizeForm>();
  clearView();
}

TsystemForm::~TsystemForm() {
  try {
    clearView();
  } catch (const std::exception&) {
    // Nothing can be reported from a destructor.
  }
}

TPanel& TsystemForm::makePage(TSystemPage page, const std::string& caption) {
  TTabSheet& sheet = pageControl->own(std::make_unique<TTabSheet>(pageControl, caption));
  TPageControls& controls = pages_[static_cast<int>(page)];
  TPanel& bar = sheet.add<TPanel>();
  bar.setAlign(TAlign::top);
  bar.setBounds(0, 0, 600, barHeight);
  bar.setBevelOuter(TBevelCut::none);
  controls.bar = &bar;
  const std::string base = page == TSystemPage::rules ? "Rule" : page == TSystemPage::symbols ? "Symbol" : "Param";
  const std::string entries = page == TSystemPage::rules     ? "&Rules"
                              : page == TSystemPage::symbols ? "&Symbols"
                                                             : "P&arameters";
  const bool symbols = page == TSystemPage::symbols;
  int left = 0;
  // A group made as wide as the buttons put into it.
  auto group = [&](const std::string& section, const std::string& menuCaption,
                   const std::function<void(TPanel&, int&)>& fill) {
    TPanel& made = addGroup(page, section, menuCaption, left, 0, 0);
    int at = 4;
    fill(made, at);
    made.setBounds(made.left(), made.top(), at + 2, made.height());
    left += made.width() + 2;
  };
  auto button = [this](TPanel& bar, int& at, const std::string& caption, const char* glyph) {
    return &toolGlyphs_.pictureButton(bar, *hints_, caption, caption, glyph, at, 3);
  };
  group(base + "CreationControls", entries, [&](TPanel& creation, int& at) {
    controls.newBtn = button(creation, at, "New", "NEWBMP");
    controls.deleteBtn = button(creation, at, "Delete", "DELBMP");
    controls.copyBtn = button(creation, at, "Copy", "COPYBMP");
    if (symbols) controls.extraBtn = button(creation, at, "Edit as text", "EDITASTEXTBMP");
  });
  group(base + "DirectionControls", "&Layout", [&](TPanel& direction, int& at) {
    controls.rowWiseBtn = button(direction, at, "Rowwise", "ROWWISEBMP");
    controls.colWiseBtn = button(direction, at, "Columnwise", "COLWISEBMP");
  });
  group(base + "OrderControls", "&Position", [&](TPanel& order, int& at) {
    controls.moveDownBtn = button(order, at, "Move down", "DOWNBMP");
    controls.moveUpBtn = button(order, at, "Move up", "UPBMP");
    if (page == TSystemPage::rules) controls.extraBtn = button(order, at, "Renumber", "RENUMBERBMP");
  });
  group(base + "UpdateControls", "&Changes", [&](TPanel& update, int& at) {
    controls.discardBtn = button(update, at, "Discard changes", "DISCARDBMP");
    controls.commitBtn = button(update, at, "Commit changes", "COMMITBMP");
  });
  if (page == TSystemPage::params) {
    group("ParamOptimizeControls", "&Optimize",
          [&](TPanel& optimize, int& at) { controls.extraBtn = button(optimize, at, "Optimize", "OPTIMIZEBMP"); });
  }
  if (page == TSystemPage::rules) makeDateControls(addGroup(page, "DateControls", "&Dates", 0, barHeight, 0));

  TSheetPanel& grid = sheet.add<TSheetPanel>();
  grid.setAlign(TAlign::client);
  grid.setShowColCoords(false);
  grid.setShowRowCoords(false);
  grid.setColsSizable(true);
  grid.setRowsSizable(true);
  grid.setMultiSelect(false);
  // "Enabled" and "Locked" show the image list's true and false pictures.
  grid.setTrueImageIndex(1);
  grid.setFalseImageIndex(0);
  controls.grid = &grid;
  const size_t fields = TSystemEditor::fieldHeaders(page).size();
  controls.fieldWidths.assign(fields, -1);
  controls.fieldHeights.assign(fields, -1);
  grid.onRender = [this, page] { onSheetRender(page); };
  grid.onCellValueEdited = [this, page] { onCellValueEdited(page); };
  grid.onAcceptTypedText = [this, page, &grid](const std::string& text) {
    // A formula that every run would find in error is only taken when the
    // user wants it so; else the editor stays on what was typed.
    const TSheet& sheet = grid.sheet();
    return !editor_.formulaAt(page, sheet.currentCol, sheet.currentRow) ||
           keepTypedFormula(*messages, handle(), "System", grid.sheet(), text);
  };
  grid.numberRequired = [this, page, &grid] {
    return editor_.numberAt(page, grid.sheet().currentCol, grid.sheet().currentRow);
  };
  grid.onSheetKeyDown = [this, page](WORD& key, TShiftState shift) { onSheetKeyDown(page, key, shift); };

  controls.newBtn->onClick = [this, page] { newEntry(page); };
  controls.deleteBtn->onClick = [this, page] { deleteEntry(page); };
  controls.copyBtn->onClick = [this, page] { copyEntry(page); };
  controls.moveDownBtn->onClick = [this, page] { moveEntry(page, 1); };
  controls.moveUpBtn->onClick = [this, page] { moveEntry(page, -1); };
  controls.rowWiseBtn->onClick = [this, page] { setLayout(page, true); };
  controls.colWiseBtn->onClick = [this, page] { setLayout(page, false); };
  controls.discardBtn->onClick = [this, page] { discardChanges(page); };
  controls.commitBtn->onClick = [this, page] { commitChanges(page); };
  if (page == TSystemPage::rules) {
    controls.extraBtn->onClick = [this] {
      editor_.Edited().Rules().renumber();
      showPage(TSystemPage::rules, selectedEntry(TSystemPage::rules));
    };
  } else if (page == TSystemPage::symbols) {
    controls.extraBtn->onClick = [this] { editSymbolsAsText(); };
  } else {
    controls.extraBtn->onClick = [this] { optimize(); };
  }
  makePopupMenu(page);
  grid.setPopupMenu(&controls.popupMenu);
  bar.setPopupMenu(&controls.popupMenu);
  return bar;
}

void TsystemForm::makeDateControls(TPanel& bar) {
  int left = 4;
  const int top = 3;
  // The pictures and the arrows of the captions say nothing without
  // their hints.
  auto button = [&](const std::string& caption, const std::string& hint, const char* glyph,
                    std::function<void()> action) {
    toolGlyphs_.pictureButton(bar, *hints_, caption, hint, glyph, left, 3).onClick = std::move(action);
  };
  button("First date", "First date", "FIRSTDATEBMP", [this] {
    double date = 0;
    bool found = false;
    if (TPortfolio* portfolio = portfolioTable_ ? portfolioTable_->current() : nullptr) portfolio->firstTradeDate(date, found);
    if (found) fromDateTimePicker->setDateTime(std::trunc(date)), fromDateChanged();
  });
  button("First common date", "First common date", "FIRSTCOMMONBMP", [this] {
    double date = 0;
    bool found = false;
    if (TPortfolio* portfolio = portfolioTable_ ? portfolioTable_->current() : nullptr) {
      portfolio->latestFirstTradeDate(date, found);
    }
    if (found) fromDateTimePicker->setDateTime(std::trunc(date)), fromDateChanged();
  });
  button("<<", "One frame back", "FRAMEBACKBMP", [this] { editor_.shiftRange(-editor_.Days()), showDates(); });
  button("<", "One day back", "DAYBACKBMP", [this] { editor_.shiftRange(-1), showDates(); });
  fromDateTimePicker = &bar.add<TDateTimePicker>();
  fromDateTimePicker->setBounds(left, top, 100, 24);
  fromDateTimePicker->onChange = [this] { fromDateChanged(); };
  hints_->setHint(*fromDateTimePicker, "From date");
  left += 102;
  daysComboBox = &bar.add<TComboBox>(TComboStyle::dropDown);
  daysComboBox->setBounds(left, top, 64, 24);
  for (const char* days : dayChoices) daysComboBox->addItem(days);
  daysComboBox->onChange = [this] { daysChanged(); };
  daysComboBox->onExit = [this] { daysEntryEnded(); };
  daysComboBox->onKeyDown = [this](WORD& key, TShiftState) {
    if (key != VK_RETURN) return;
    key = 0;
    daysEntryEnded();
  };
  hints_->setHint(*daysComboBox, "Days in range");
  left += 66;
  toDateTimePicker = &bar.add<TDateTimePicker>();
  toDateTimePicker->setBounds(left, top, 100, 24);
  toDateTimePicker->onChange = [this] { toDateChanged(); };
  hints_->setHint(*toDateTimePicker, "To date");
  left += 102;
  button(">", "One day forward", "DAYFORWARDBMP", [this] { editor_.shiftRange(1), showDates(); });
  button(">>", "One frame forward", "FRAMEFORWARDBMP", [this] { editor_.shiftRange(editor_.Days()), showDates(); });
  button("Last common date", "Last common date", "LASTCOMMONBMP", [this] {
    double date = 0;
    bool found = false;
    if (TPortfolio* portfolio = portfolioTable_ ? portfolioTable_->current() : nullptr) {
      portfolio->earliestLastQuoteDate(date, found);
    }
    if (found) toDateTimePicker->setDateTime(std::trunc(date)), toDateChanged();
  });
  button("Last date", "Last date", "LASTDATEBMP", [this] {
    double date = 0;
    bool found = false;
    if (TPortfolio* portfolio = portfolioTable_ ? portfolioTable_->current() : nullptr) portfolio->lastQuoteDate(date, found);
    if (found) toDateTimePicker->setDateTime(std::trunc(date)), toDateChanged();
  });
  bar.setBounds(bar.left(), bar.top(), left + 2, bar.height());
}

// ---- Wiring by the main window ----

void TsystemForm::setPortfolioTable(TPortfolioTable* table) {
  portfolioTable_ = table;
  for (TPageControls& controls : pages_) controls.grid->sheet().portfolioTable = table;
}

void TsystemForm::setSheetImageList(HIMAGELIST images) {
  for (TPageControls& controls : pages_) controls.grid->setImageList(images);
}

void TsystemForm::setActiveScript(IActiveScript* engine) {
  THourglass hourglass;
  scriptEngine_ = engine;
  for (TPageControls& controls : pages_) controls.grid->sheet().setScriptEngine(engine, false);
  scriptTime_ = changeStamp();
}

void TsystemForm::updateAssetPickers() {
  assetOrder_.clear();
  TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
  if (portfolio == nullptr) return;
  std::vector<std::pair<int, int>> entries;
  for (int i = 0; i < portfolio->assetCount(); ++i) {
    int32_t order = -1;
    if (!textToIntStrict(portfolio->assets(i)->getExternalProperty("DisplayOrder"), order)) order = -1;
    entries.emplace_back(order, i);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [order, index] : entries) assetOrder_.emplace_back(index, order);
  if (assetPickForm_ != nullptr) assetPickForm_->listAssets(portfolio, assetOrder_);
}

void TsystemForm::focusCurrentGrid() {
  if (!visible()) return;
  const int page = pageControl->activePageIndex();
  if (page < 0 || page > 2) return;
  TSheetPanel& panel = *pages_[static_cast<size_t>(page)].grid;
  if (panel.canFocus()) panel.setFocus();
}

void TsystemForm::clearView() {
  folder_.clear();
  damagedSystem_.reset();
  systemStandIn_.reset();
  controlsStandIn_.reset();
  unsaved_ = false;
  portfolioSerial_ = 0;
  portfolioLabel_.clear();
  assetOrder_.clear();
  if (parent() != nullptr) parent()->setText("No portfolio selected");
  for (TPageControls& controls : pages_) {
    controls.grid->sheet().setTopLeft({1, 1});
    controls.rebuilt = 0;
  }
  scriptTime_ = 0;
  hide();
}

void TsystemForm::loadView() {
  clearView();
  TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
  if (portfolio == nullptr) return;
  wholeSystems_.keepOnlyOpen(*portfolioTable_);
  portfolioSerial_ = portfolio->Serial();
  portfolioLabel_ = shortLabel(objectLabel(portfolio->Name(), portfolio->Symbol()));
  updateAssetPickers();
  folder_ = portfolio->Folder();
  if (!folder_.empty() && folder_.back() != '\\') folder_ += '\\';
  const std::string systemFile = folder_ + "System.INI";
  const std::string controlsFile = folder_ + "SystemControls.INI";
  const auto systemWriter = [this](TPortableIniFile& ini) { writeSystem(ini); };
  const auto controlsWriter = [this](TPortableIniFile& ini) { writeControls(ini); };
  // What the files refused when this portfolio's system was shown before
  // shows again as the user left it: read from the files, it would not, and
  // the next save, finding nothing changed, would let it go unwritten.
  std::optional<THeldSettings> heldSystem = heldSettings(systemFile, heldChange);
  std::optional<THeldSettings> heldControls = heldSettings(controlsFile, heldChange);
  std::string fault;
  bool counted = false;
  std::unique_ptr<TPortableIniFile> heldWhole;
  {
    const TPortableIniFile file(systemFile);
    if (!heldSystem) {
      fault = systemFileFault(file);
      if (fault.empty())
        wholeSystems_.keep(portfolioSerial_, file);
      else
        heldWhole = wholeSystems_.wholeRead(portfolioSerial_, systemFile);
    }
    // What another program cut since the portfolio read it whole is not
    // the system: what was read stands for it, and the file gets it back.
    const TPortableIniFile& shown = heldSystem ? *heldSystem->shown : heldWhole ? *heldWhole : file;
    editor_.Edited().loadFromIni(shown, userSeparators());
    readSizes(shown);
    counted = carriesEntryCount(shown);
    if (heldSystem) {
      savedSystem_.takeOver(std::move(heldSystem->baseline), systemWriter);
    } else {
      // Files that could not be read leave the system empty and the bars
      // as they were, which must not replace the files unless the user
      // changes them.
      savedSystem_.takeAsShown(systemFile, systemWriter, file);
      savedSystem_.describe("the system of " + portfolio->Name());
    }
    // Sections past a count are no entries: the save erases them, and an
    // entry added under such a number does not take their keys.
    if (fault.empty() && !heldSystem) {
      for (const std::string& section : systemSectionsPastCounts(shown)) {
        std::vector<std::string> keys;
        shown.readSection(section, keys);
        for (const std::string& key : keys) savedSystem_.takeAsRead(section, key, shown);
      }
    }
  }
  if (heldWhole) savedSystem_.forget();
  // Shown as far as it reads, such a system is not run; here too the user
  // learns why.
  if (!fault.empty())
    reportLoadFailure(systemNotRunNotice(portfolioLabel_, systemFile, fault, heldWhole != nullptr));
  editor_.loadedFromFile();
  showDates();
  show();
  // Fields without a width of their own share the grid's width, which is
  // known only once the window shows, and only on the page in front.
  const int gridWidth = pages_[std::clamp(pageControl->activePageIndex(), 0, 2)].grid->width();
  for (TSystemPage page : {TSystemPage::rules, TSystemPage::symbols, TSystemPage::params}) {
    const int fields = static_cast<int>(TSystemEditor::fieldHeaders(page).size());
    pages_[static_cast<int>(page)].grid->setDefaultColWidth(std::max(TProps::minimumSize, gridWidth / fields));
  }
  {
    const TPortableIniFile file(controlsFile);
    const TPortableIniFile& shown = heldControls ? *heldControls->shown : file;
    optimizeForm_->loadGUIoptions(shown);
    loadBarLayout(shown);
    if (heldControls)
      savedControls_.takeOver(std::move(heldControls->baseline), controlsWriter);
    else
      savedControls_.takeAsShown(controlsFile, controlsWriter, file);
  }
  for (TSystemPage page : {TSystemPage::rules, TSystemPage::symbols, TSystemPage::params}) showPage(page, -1);
  // What was held is the user's: nothing stands in for it.
  if (!heldSystem) systemStandIn_.take(systemFile, systemWriter);
  if (!heldControls) controlsStandIn_.take(controlsFile, controlsWriter);
  // A file saved without the entry count gets it with every entry its
  // count counts, which such a file leaves out when empty: a count written
  // alone would name entries the file never held. One held whole is
  // written whole at the next save already, and a change held is written
  // against what was known when it was held.
  damagedSystem_ = (fault.empty() && counted) || heldWhole || heldSystem
                       ? nullptr
                       : TSettingsBaseline::written(systemFile, systemWriter);
  appliedTime_ = changeStamp();
}

TSaveFailures TsystemForm::saveView() {
  TSaveFailures failed;
  // A view whose portfolio is gone (closed, deleted, its folders released)
  // wrote what it could before, and held what its files refused: the
  // folder may be another portfolio's now.
  if (folder_.empty() || portfolioTable_ == nullptr || portfolioTable_->withSerial(portfolioSerial_) == nullptr)
    return failed;
  const auto controlsWriter = [this](TPortableIniFile& ini) { writeControls(ini); };
  const auto systemWriter = [this](TPortableIniFile& ini) { writeSystem(ini); };
  for (TSystemPage page : {TSystemPage::rules, TSystemPage::symbols, TSystemPage::params}) takeSizes(page);
  // A portfolio without a trading system gets none by being looked at: the
  // empty system shown stands for no file, and a run would find it and
  // keep a record of it. Its tool bars are the user's once moved.
  const bool noSystem = systemStandIn_.standing(systemWriter);
  const std::string controlsFile = folder_ + "SystemControls.INI";
  if (!controlsStandIn_.standing(controlsWriter)) {
    if (savedControls_.save(controlsFile, controlsWriter)) {
      controlsStandIn_.reset();
      forgetUnsavedChange(controlsFile, heldChange);
    } else {
      // The view may go before the close (another portfolio shown, this
      // one closed): what the file refused waits for the close, and shows
      // again with the portfolio's system.
      holdSettingsChange(controlsFile, heldChange, savedControls_, controlsWriter);
      failed.push_back(controlsFile);
    }
  }
  const std::string systemFile = folder_ + "System.INI";
  // Once the user changed a system whose file was not whole, the system
  // shown is written whole: the changes alone would leave the file
  // contradicting itself, and never run.
  if (damagedSystem_ && !givesStill(*damagedSystem_, systemWriter)) savedSystem_.forget();
  if (noSystem) {
    editor_.loadedFromFile();
  } else if (savedSystem_.save(systemFile, systemWriter)) {
    systemStandIn_.reset();
    damagedSystem_.reset();
    editor_.loadedFromFile();
    forgetUnsavedChange(systemFile, heldChange);
    if (const TPortableIniFile written(systemFile); systemFileFault(written).empty())
      wholeSystems_.keep(portfolioSerial_, written);
  } else {
    // Told at once, as the system runs as the file has it until the close
    // tries again, and then in the close's question.
    if (refusedSaveText(systemFile).empty())
      reportRefusedSave(systemFile, whyNotWritten(systemFile), TRefusal::unwritable);
    reportLoadFailure("The trading system of \"" + portfolioLabel_ + "\" was not saved: " +
                      refusedSaveText(systemFile) + ".");
    holdSettingsChange(systemFile, heldChange, savedSystem_, systemWriter);
    failed.push_back(systemFile);
  }
  unsaved_ = !failed.empty();
  return failed;
}

void TsystemForm::writeControls(TPortableIniFile& ini) {
  optimizeForm_->saveGUIoptions(ini);
  saveBarLayout(ini);
}

void TsystemForm::writeSystem(TPortableIniFile& ini) {
  editor_.Edited().saveToIni(ini, userSeparators());
  writeSizes(ini);
}

double TsystemForm::getLatestChangeTime() const {
  return std::max({pages_[0].rebuilt, pages_[1].rebuilt, pages_[2].rebuilt});
}

double TsystemForm::getSystemAppliedTime() {
  // A portfolio closed meanwhile has nothing left to run.
  std::erase_if(unappliedPortfolios_, [this](int serial) {
    for (int i = 0; portfolioTable_ != nullptr && i < portfolioTable_->count(); ++i) {
      if (portfolioTable_->items(i)->Serial() == serial) return false;
    }
    return true;
  });
  if (editor_.Edited().lastChange() > appliedTime_) appliedTime_ = 0;
  return unappliedPortfolios_.empty() ? appliedTime_ : 0;
}

int TsystemForm::applySystemFile(const std::string& fileName, IActiveScript* scriptEngine, const std::string& macros,
                                 TPortfolioTable* portfolioTable, const RECT& centreRect, bool hideAtEnd) {
  const TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
  if (portfolioTable != nullptr) wholeSystems_.keepOnlyOpen(*portfolioTable);
  const int result = ::applySystemFile(*progressForm_, fileName, scriptEngine, macros, portfolioTable, centreRect,
                                       hideAtEnd, appliedTime_, &wholeSystems_);
  // The applied time is one for all portfolios: a later run of another one
  // must not make this one count as applied.
  if (portfolio != nullptr) {
    if (result != -1 && progressForm_->lastRunComplete()) {
      unappliedPortfolios_.erase(portfolio->Serial());
    } else {
      unappliedPortfolios_.insert(portfolio->Serial());
    }
  }
  return result;
}

int TsystemForm::lastRunResult() const { return progressForm_->LastRunResult(); }

std::string TsystemForm::lastRunIncompleteReason() const { return progressForm_->incompleteReason(); }

const TMacroCallFailures& TsystemForm::lastRunMacroFailures() const { return progressForm_->LastMacroFailures(); }

std::string TsystemForm::lastRunRefusal() const { return progressForm_->LastRunRefusal(); }

void TsystemForm::hideProgressWindow() { progressForm_->hideWindow(); }

void TsystemForm::restoreProgressWindow(bool show) { progressForm_->restoreWindow(show); }

// ---- Grids ----

void TsystemForm::showPage(TSystemPage page, int entry) {
  THourglass hourglass;
  TPageControls& controls = pages_[static_cast<int>(page)];
  TSheetPanel& grid = *controls.grid;
  TSheet& sheet = grid.sheet();
  controls.rebuilt = changeStamp();
  const POINT topLeft{sheet.leftCol, sheet.topRow};
  grid.setSheetVisible(false);
  editor_.layOut(page, sheet);
  const bool byRow = editor_.rowWise(page);
  const POINT fixed = fixedLines(page, byRow);
  grid.setFixedRows(fixed.y);
  grid.setFixedCols(fixed.x);
  applySizes(page);
  sheet.setTopLeft(topLeft);
  if (entry >= 0 && entry < editor_.entryCount(page)) {
    const int current = entry + 2;
    sheet.currentCol = byRow ? std::max(1, sheet.currentCol) : current;
    sheet.currentRow = byRow ? current : std::max(1, sheet.currentRow);
  } else {
    sheet.currentCol = sheet.currentRow = -1;
  }
  sheet.selection = RECT{sheet.currentCol, sheet.currentRow, sheet.currentCol, sheet.currentRow};
  grid.setSheetVisible(true);
  // Painted first: the scroll goes by the lines the paint found in view.
  grid.refresh();
  if (sheet.scrollToCurrentCell()) grid.refresh();
}

int TsystemForm::selectedEntry(TSystemPage page) {
  const TSheet& sheet = grid(page).sheet();
  return editor_.entryAt(page, sheet.currentCol, sheet.currentRow);
}

void TsystemForm::onCellValueEdited(TSystemPage page) {
  TSheet& sheet = grid(page).sheet();
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  editor_.cellEdited(page, sheet, col, row);
  grid(page).requestRefresh();
}

void TsystemForm::onSheetKeyDown(TSystemPage page, WORD& key, TShiftState shift) {
  if (key == VK_INSERT) {
    newEntry(page);
    key = 0;
  } else if (key == VK_DELETE && (shift & ssCtrl)) {
    deleteEntry(page);
    key = 0;
  }
}

void TsystemForm::onSheetRender(TSystemPage) { updateButtons(); }

void TsystemForm::updateButtons() {
  TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
  for (TSystemPage page : {TSystemPage::rules, TSystemPage::symbols, TSystemPage::params}) {
    TPageControls& controls = pages_[static_cast<int>(page)];
    const int selected = selectedEntry(page);
    const int count = editor_.entryCount(page);
    const bool modified = portfolio != nullptr && editor_.pageModified(page);
    controls.newBtn->setEnabled(portfolio != nullptr);
    controls.copyBtn->setEnabled(portfolio != nullptr && selected >= 0);
    controls.deleteBtn->setEnabled(portfolio != nullptr && selected >= 0);
    controls.moveUpBtn->setEnabled(portfolio != nullptr && selected >= 1);
    controls.moveDownBtn->setEnabled(portfolio != nullptr && selected >= 0 && selected + 1 < count);
    controls.rowWiseBtn->setEnabled(portfolio != nullptr);
    controls.colWiseBtn->setEnabled(portfolio != nullptr);
    controls.commitBtn->setEnabled(modified);
    controls.discardBtn->setEnabled(modified);
    const bool extra = page == TSystemPage::rules     ? count > 0
                       : page == TSystemPage::symbols ? true
                                                      : editor_.Edited().Params().optimisableCount() > 0;
    controls.extraBtn->setEnabled(portfolio != nullptr && extra);
  }
  for (const TToolGroup& group : pages_[0].groups) {
    if (group.section == "DateControls") group.panel->setEnabled(portfolio != nullptr);
  }
}

// ---- Cell sizes ----

namespace {

const char* const sizeSectionBases[] = {"Rule", "Symbol", "Param"};

TSystemEntryTable& entriesOf(TSystem& system, TSystemPage page) {
  if (page == TSystemPage::rules) return system.Rules();
  if (page == TSystemPage::symbols) return system.Symbols();
  return system.Params();
}

}  // namespace

void TsystemForm::applySizes(TSystemPage page) {
  TPageControls& controls = pages_[static_cast<int>(page)];
  TSheet& sheet = controls.grid->sheet();
  sheet.clearSizes();
  const bool byRow = editor_.rowWise(page);
  const std::vector<int>& fieldSizes = byRow ? controls.fieldWidths : controls.fieldHeights;
  for (size_t field = 0; field < fieldSizes.size(); ++field) {
    if (fieldSizes[field] <= 0) continue;
    const int place = static_cast<int>(field) + 1;
    byRow ? sheet.setColWidth(place, fieldSizes[field]) : sheet.setRowHeight(place, fieldSizes[field]);
  }
  if (byRow && controls.fixedHeight > 0) sheet.setRowHeight(1, controls.fixedHeight);
  if (!byRow && controls.fixedWidth > 0) sheet.setColWidth(1, controls.fixedWidth);
  const TSystemEntryTable& entries = entriesOf(editor_.Edited(), page);
  for (int entry = 0; entry < entries.count(); ++entry) {
    const int size = byRow ? entries.items(entry)->RowHeight() : entries.items(entry)->ColWidth();
    if (size > 0) byRow ? sheet.setRowHeight(entry + 2, size) : sheet.setColWidth(entry + 2, size);
  }
}

void TsystemForm::takeSizes(TSystemPage page) {
  TPageControls& controls = pages_[static_cast<int>(page)];
  const TSheet& sheet = controls.grid->sheet();
  const bool byRow = editor_.rowWise(page);
  // A size left at the grid's default stays -1, so that a saved view
  // follows later changes of the default and an untouched entry is not
  // stamped as changed.
  auto colWidth = [&](int col) {
    const int width = sheet.getColWidth(col);
    return width == sheet.getDefaultColWidth() ? -1 : width;
  };
  auto rowHeight = [&](int row) {
    const int height = sheet.getRowHeight(row);
    return height == sheet.getDefaultRowHeight() ? -1 : height;
  };
  std::vector<int>& fieldSizes = byRow ? controls.fieldWidths : controls.fieldHeights;
  for (size_t field = 0; field < fieldSizes.size(); ++field) {
    const int place = static_cast<int>(field) + 1;
    fieldSizes[field] = byRow ? colWidth(place) : rowHeight(place);
  }
  (byRow ? controls.fixedHeight : controls.fixedWidth) = byRow ? rowHeight(1) : colWidth(1);
  TSystemEntryTable& entries = entriesOf(editor_.Edited(), page);
  for (int entry = 0; entry < entries.count(); ++entry) {
    if (byRow) {
      entries.items(entry)->setRowHeight(rowHeight(entry + 2));
    } else {
      entries.items(entry)->setColWidth(colWidth(entry + 2));
    }
  }
}

void TsystemForm::readSizes(const TPortableIniFile& ini) {
  for (int page = 0; page < 3; ++page) {
    TPageControls& controls = pages_[static_cast<size_t>(page)];
    const std::string base = sizeSectionBases[page];
    controls.fixedWidth = ini.readInteger(base + "FieldWidths", "Fixed", controls.fixedWidth);
    controls.fixedHeight = ini.readInteger(base + "FieldHeights", "Fixed", controls.fixedHeight);
    for (size_t field = 0; field < controls.fieldWidths.size(); ++field) {
      const std::string key = std::to_string(field + 1);
      controls.fieldWidths[field] = ini.readInteger(base + "FieldWidths", key, controls.fieldWidths[field]);
      controls.fieldHeights[field] = ini.readInteger(base + "FieldHeights", key, controls.fieldHeights[field]);
    }
  }
}

void TsystemForm::writeSizes(TPortableIniFile& ini) const {
  for (int page = 0; page < 3; ++page) {
    const TPageControls& controls = pages_[static_cast<size_t>(page)];
    const std::string base = sizeSectionBases[page];
    ini.writeInteger(base + "FieldWidths", "Fixed", controls.fixedWidth);
    ini.writeInteger(base + "FieldHeights", "Fixed", controls.fixedHeight);
    for (size_t field = 0; field < controls.fieldWidths.size(); ++field) {
      const std::string key = std::to_string(field + 1);
      ini.writeInteger(base + "FieldWidths", key, controls.fieldWidths[field]);
      ini.writeInteger(base + "FieldHeights", key, controls.fieldHeights[field]);
    }
  }
}

// ---- Actions ----

std::vector<std::string> TsystemForm::pickAssets(bool& cancelled) {
  cancelled = false;
  std::vector<std::string> symbols;
  TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
  if (portfolio == nullptr || portfolio->assetCount() == 0) {
    cancelled = true;
    return symbols;
  }
  if (portfolio->assetCount() == 1 || assetPickForm_ == nullptr) {
    symbols.push_back(portfolio->assets(0)->Symbol());
    return symbols;
  }
  // The picker is shared: another window may have listed its own assets.
  if (assetOrder_.empty()) updateAssetPickers();
  assetPickForm_->listAssets(portfolio, assetOrder_);
  if (!assetPickForm_->execute()) {
    cancelled = true;
    return symbols;
  }
  for (int index = assetPickForm_->getFirstAssetIndex(); index >= 0; index = assetPickForm_->getNextAssetIndex()) {
    if (TAsset* asset = portfolio->assets(index)) symbols.push_back(asset->Symbol());
  }
  return symbols;
}

void TsystemForm::newEntry(TSystemPage page) {
  if (portfolioTable_ == nullptr || portfolioTable_->current() == nullptr) return;
  const int selected = selectedEntry(page);
  const TSheet& sheet = grid(page).sheet();
  int added = -1;
  if (page == TSystemPage::rules) {
    bool cancelled = false;
    const std::vector<std::string> symbols = pickAssets(cancelled);
    if (cancelled) return;
    added = editor_.addRules(selected, symbols, sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  } else {
    added = editor_.addEntry(page, selected, sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  }
  showPage(page, added);
  grid(page).setFocus();
}

void TsystemForm::copyEntry(TSystemPage page) {
  const int selected = selectedEntry(page);
  if (selected < 0) return;
  int copied = -1;
  if (page == TSystemPage::rules) {
    bool cancelled = false;
    TPortfolio* portfolio = portfolioTable_ != nullptr ? portfolioTable_->current() : nullptr;
    std::vector<std::string> symbols;
    if (portfolio != nullptr && portfolio->assetCount() > 1 && assetPickForm_ != nullptr) {
      symbols = pickAssets(cancelled);
      if (cancelled) return;
    }
    copied = editor_.copyRule(selected, symbols);
  } else {
    copied = editor_.copyEntry(page, selected);
  }
  showPage(page, copied);
}

void TsystemForm::deleteEntry(TSystemPage page) {
  showPage(page, editor_.deleteEntry(page, selectedEntry(page)));
}

void TsystemForm::moveEntry(TSystemPage page, int by) {
  showPage(page, editor_.moveEntry(page, selectedEntry(page), by));
}

void TsystemForm::setLayout(TSystemPage page, bool rowWise) {
  if (editor_.rowWise(page) != rowWise) switchLayout(page);
}

void TsystemForm::switchLayout(TSystemPage page) {
  takeSizes(page);
  // The entry is read in the layout its coordinates belong to; the field
  // follows through the transposed current cell.
  const int selected = selectedEntry(page);
  TSheet& sheet = grid(page).sheet();
  std::swap(sheet.currentCol, sheet.currentRow);
  // The scroll position turns with the grid, counted past the fixed lines
  // of each layout: kept as it stood, it would hide the new first field.
  const int scrolledCols = sheet.leftCol - sheet.getFixedCols() - 1;
  const int scrolledRows = sheet.topRow - sheet.getFixedRows() - 1;
  editor_.setRowWise(page, !editor_.rowWise(page));
  const POINT fixed = fixedLines(page, editor_.rowWise(page));
  sheet.leftCol = fixed.x + 1 + std::max(0, scrolledRows);
  sheet.topRow = fixed.y + 1 + std::max(0, scrolledCols);
  showPage(page, selected);
}

void TsystemForm::commitChanges(TSystemPage page) {
  editor_.commit(page);
  updateButtons();
}

void TsystemForm::discardChanges(TSystemPage page) {
  editor_.discard(page);
  if (page == TSystemPage::rules) showDates();
  showPage(page, -1);
}

void TsystemForm::editSymbolsAsText() {
  std::string text = editor_.symbolsText();
  if (!editAsText(folder_.empty() ? std::string() : folder_ + "SystemControls.INI", languageFile_,
                  textEditorPopupMenu_, text)) {
    return;
  }
  const TSheet& sheet = grid(TSystemPage::symbols).sheet();
  editor_.setSymbolsText(text, sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  showPage(TSystemPage::symbols, -1);
}

void TsystemForm::optimize() {
  if (optimizeForm_->execute(portfolioTable_, &editor_.Edited(), scriptEngine_)) {
    showPage(TSystemPage::params, selectedEntry(TSystemPage::params));
  }
}

// ---- Date range ----

void TsystemForm::showDates() {
  showingDates_ = true;
  fromDateTimePicker->setDateTime(editor_.FromPicker());
  toDateTimePicker->setDateTime(editor_.ToPicker());
  daysComboBox->setText(std::to_string(editor_.Days()));
  showingDates_ = false;
  updateButtons();
}

void TsystemForm::fromDateChanged() {
  if (showingDates_) return;
  editor_.fromDateChanged(fromDateTimePicker->dateTime());
  showDates();
}

void TsystemForm::toDateChanged() {
  if (showingDates_) return;
  editor_.toDateChanged(toDateTimePicker->dateTime());
  showDates();
}

void TsystemForm::daysChanged() {
  if (showingDates_) return;
  int days = 0;
  if (!daysTyping_.count(daysComboBox->text(), editor_.Days(), editor_.ToPicker(), days)) return;
  editor_.daysChanged(days);
  // The text being typed stays until the typing ends.
  showingDates_ = true;
  fromDateTimePicker->setDateTime(editor_.FromPicker());
  toDateTimePicker->setDateTime(editor_.ToPicker());
  showingDates_ = false;
  updateButtons();
}

bool TsystemForm::daysEntryEnded() {
  if (!daysTyping_.typing()) return true;
  const std::string refusal = daysTyping_.end(daysComboBox->text(), editor_.ToPicker());
  if (!refusal.empty()) messages->show(handle(), refusal, commonString(4), MB_OK | MB_ICONWARNING);
  showDates();
  return refusal.empty();
}

bool TsystemForm::endEdit(TEditEnding ending) {
  if (!daysTyping_.typing()) return true;
  if (ending == TEditEnding::take) return daysEntryEnded();
  // A close goes on once the user has read why a count was refused: the
  // count typed is given up.
  if (ending == TEditEnding::closing && daysEntryEnded()) return true;
  daysTyping_.drop();
  showDates();
  return true;
}
