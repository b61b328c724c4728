#include <algorithm>
#include <stdexcept>

#include "controls/SheetPanel.h"
#include "controls/WidthGrip.h"
#include "model/PortableIniFile.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "windows/ToolBarOptions.h"
#include "windows/TransactionForm.h"

namespace {

constexpr int buttonHeight = 22;
constexpr int selectionPanelMinimumWidth = 64;
constexpr int gripWidth = 2;
constexpr int comboLeft = 25;  // after the whole-portfolio button
constexpr int initialComboWidth = 150;

TPanel& toolPanel(TControlBar& bar, const char* name) {
  TPanel& panel = bar.add<TPanel>();
  panel.setBevelOuter(TBevelCut::none);
  panel.name = name;
  return panel;
}

}  // namespace

void TtransactionForm::buildControlBar() {
  controlBar_ = &add<TControlBar>();
  controlBar_->name = "controlBar";
  controlBar_->setBounds(0, 0, 600, 26);
  TPanel* panel = nullptr;
  int left = 0;
  // The hint is the button's caption too, which names it to screen readers;
  // the picture shows in its place.
  auto button = [&](const char* glyph, const char* hint, int width) {
    TToolButton& made = panel->add<TToolButton>(hint);
    made.setHint(hint);
    toolGlyphs_.apply(made, glyph);
    made.setBounds(left, 0, width, buttonHeight);
    left += width;
    panel->setSize(left, buttonHeight);
    return &made;
  };
  auto startPanel = [&](TPanel*& member, const char* name) {
    member = &toolPanel(*controlBar_, name);
    panel = member;
    left = 0;
  };
  startPanel(creationPanel_, "CreationControls");
  addBtn_ = button("NEWBMP", "New", 36);
  delBtn_ = button("DELBMP", "Delete", 30);
  sumBtn_ = button("MERGEBMP", "Merge", 42);
  startPanel(gridDirectionPanel_, "GridDirectionControls");
  rowWiseBtn_ = button("ROWWISEBMP", "Rowwise", 36);
  colWiseBtn_ = button("COLWISEBMP", "Columnwise", 34);
  showCellErrorsBtn_ = button("SHOWERRORSBMP", "Show errors", 28);
  startPanel(sortPanel_, "SortControls");
  sortAscendingBtn_ = button("SORTASCBMP", "Sort ascending", 32);
  sortDescendingBtn_ = button("SORTDESCBMP", "Sort descending", 32);
  startPanel(autoPanel_, "AutoControls");
  autoCompleteBtn_ = button("AUTOCOMPLETEBMP", "Autocomplete", 36);
  firstDateBtn_ = button("FIRSTQUOTEBMP", "First quote", 36);
  startPanel(orderPanel_, "OrderControls");
  moveUpBtn_ = button("UPBMP", "Up / Left", 28);
  moveDownBtn_ = button("DOWNBMP", "Down / Right", 28);
  renumberBtn_ = button("RENUMBERBMP", "Renumber", 32);
  startPanel(setupPanel_, "SetupControls");
  fixedBtn_ = button("FIXEDBMP", "Fixed fields", 28);
  sheetSetupBtn_ = button("SETUPBMP", "Setup", 42);
  startPanel(selectionPanel_, "SelectionControls");
  wholePortfolioBtn_ = button("ALLBMP", "All in portfolio", comboLeft - 2);
  assetComboBox_ = &selectionPanel_->add<TComboBox>(TComboStyle::dropDownList);
  assetComboBox_->name = "assetComboBox";
  assetComboBox_->dropDownHeight = 200;
  grip_ = &selectionPanel_->add<TWidthGrip>(buttonHeight);
  grip_->onDrag = [this](int dx) {
    sizeAssetList(assetComboBox_->width() + dx);
    wantedComboWidth_ = assetComboBox_->width();
  };
  sizeAssetList(initialComboWidth);
  wantedComboWidth_ = assetComboBox_->width();

  autoCompleteBtn_->checkButton = true;
  autoCompleteBtn_->setDown(true);
  rowWiseBtn_->checkButton = true;
  rowWiseBtn_->group = 1;
  rowWiseBtn_->setDown(true);
  colWiseBtn_->checkButton = true;
  colWiseBtn_->group = 1;
  showCellErrorsBtn_->checkButton = true;
  fixedBtn_->checkButton = true;
  fixedBtn_->setDown(true);
  wholePortfolioBtn_->checkButton = true;

  for (TPanel* each : {creationPanel_, gridDirectionPanel_, sortPanel_, autoPanel_, orderPanel_, setupPanel_,
                       selectionPanel_})
    controlBar_->addBand(*each, TControlBar::bandWidthFor(*each));
  controlBar_->onResize = [this] { fitSelectionPanel(); };
}

void TtransactionForm::sizeAssetList(int comboWidth) {
  const int width = std::max(selectionPanelMinimumWidth, comboLeft + std::max(0, comboWidth) + gripWidth);
  comboWidth = width - comboLeft - gripWidth;
  assetComboBox_->setBounds(comboLeft, 0, comboWidth, buttonHeight);
  grip_->setBounds(comboLeft + comboWidth, 0, gripWidth, buttonHeight);
  selectionPanel_->setSize(width, buttonHeight);
  if (controlBar_->bandCount() == 0) return;
  std::vector<TBandLayout> layout = controlBar_->layout();
  for (TBandLayout& band : layout)
    if (band.name == selectionPanel_->name) band.width = TControlBar::bandWidthFor(*selectionPanel_);
  controlBar_->setLayout(layout);
}

void TtransactionForm::fitSelectionPanel() {
  if (!selectionPanel_ || !selectionPanel_->visible()) return;
  const int overflow = selectionPanel_->left() + selectionPanel_->width() - (controlBar_->width() - 2);
  if (overflow > 0 && selectionPanel_->width() > selectionPanelMinimumWidth)
    sizeAssetList(assetComboBox_->width() - overflow);
}

std::vector<TToolGroupSection> TtransactionForm::toolGroups() const {
  return {{"CreationControls", creationPanel_}, {"GridDirectionControls", gridDirectionPanel_},
          {"SortControls", sortPanel_},         {"AutoControls", autoPanel_},
          {"OrderControls", orderPanel_},       {"SetupControls", setupPanel_},
          {"SelectionControls", selectionPanel_}};
}

void TtransactionForm::readControls(const std::string& fileName) {
  const TPortableIniFile ini(fileName);
  bool sheetControlsVisible = controlBar_->visible();
  bool widthToMend = false;
  // A damaged file ends the reading where it fails; what was not read keeps
  // the controls as they are.
  try {
    toolGroupPlaces_.read(ini, *controlBar_, toolGroups());
    rowWise_ = ini.readBool("GridDirectionControls", "RowWise", rowWise_);
    rowWiseBtn_->setDown(rowWise_);
    colWiseBtn_->setDown(!rowWise_);
    showCellErrorsBtn_->setDown(ini.readBool("GridErrors", "Show", showCellErrorsBtn_->down()));
    sheetPanel_->setShowCellErrors(showCellErrorsBtn_->down());
    autoCompleteBtn_->setDown(ini.readBool("AutoComplete", "On", autoCompleteBtn_->down()));
    fixedFieldsOn_ = ini.readBool("SetupControls", "FixedOn", fixedFieldsOn_);
    fixedBtn_->setDown(fixedFieldsOn_);
    int comboWidth = ini.readInteger("SelectionControls", "ComboWidth", wantedComboWidth_);
    wantedComboWidth_ = comboWidth;
    wholePortfolioBtn_->setDown(ini.readBool("SelectionControls", "WholePortfolio", wholePortfolioBtn_->down()));
    // A list sized in a wider window shrinks with the window, never grows.
    const int savedWidth = ini.readInteger("Sheet", "Width", 0);
    if (savedWidth > width()) comboWidth -= savedWidth - width();
    widthToMend = savedWidth > width();
    sizeAssetList(comboWidth);
    sheetControlsVisible = ini.readBool("SheetControls", "Visible", sheetControlsVisible);
  } catch (const std::exception&) {
  }
  controlBar_->setVisible(sheetControlsVisible);
  fitSelectionPanel();
  realign();
  // A file that could not be read leaves the controls as they were, which
  // must not replace the file unless the user changes them.
  const auto write = [this](TPortableIniFile& file) { writeControlKeys(file); };
  savedControls_.takeAsShown(fileName, write, ini);
  // A width left by a maximised (or wider) window is what the file holds,
  // not what the window shows: a save in a normal window mends it.
  if (widthToMend) savedControls_.takeAsRead("Sheet", "Width", ini);
  // A portfolio first looked at gets no tool bar layout until the user
  // changes it.
  controlsStandIn_.take(fileName, write);
}

bool TtransactionForm::writeControls(const std::string& fileName) {
  const auto write = [this](TPortableIniFile& file) { writeControlKeys(file); };
  if (controlsStandIn_.standing(write)) return true;
  if (!savedControls_.save(fileName, write)) return false;
  controlsStandIn_.reset();
  return true;
}

void TtransactionForm::writeControlKeys(TPortableIniFile& ini) {
  toolGroupPlaces_.write(ini, toolGroups());
  ini.writeBool("GridDirectionControls", "RowWise", rowWise_);
  ini.writeBool("GridErrors", "Show", showCellErrorsBtn_->down());
  ini.writeBool("AutoComplete", "On", autoCompleteBtn_->down());
  ini.writeBool("SetupControls", "FixedOn", fixedFieldsOn_);
  ini.writeInteger("SelectionControls", "ComboWidth", wantedComboWidth_);
  ini.writeBool("SelectionControls", "WholePortfolio", wholePortfolioBtn_->down());
  // Only a normal window's width says how wide the user wants the list.
  if (inNormalWindow(handle())) ini.writeInteger("Sheet", "Width", width());
  ini.writeBool("SheetControls", "Visible", controlBar_->visible());
}
