#include "windows/FolioPickForm.h"

#include "controls/ListViewXPSafe.h"
#include "controls/PickDialogPlacement.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "windows/FolioPickSearch.h"

namespace {

const char* const section = "FolioPick";

}  // namespace

TfolioPickForm::TfolioPickForm(HWND owner) : TForm(pickDialogOptions("Loaded portfolios", 284, 273, owner)) {
  name = "folioPickForm";
  keyPreview = true;
  buttonPanel_ = &add<TPanel>();
  buttonPanel_->setBevelOuter(TBevelCut::none);
  buttonPanel_->setAlign(TAlign::bottom);
  buttonPanel_->setSize(284, 36);
  okBtn = &buttonPanel_->add<TButton>("&OK");
  okBtn->setBounds(104, 6, 75, 25);
  okBtn->setAnchors(akTop);
  okBtn->onClick = [this] { accept(); };

  folioListView = &add<TListViewXPSafe>(pickListOptions(false, true));
  folioListView->name = "folioListView";
  firstField = folioListView;
  folioListView->setAlign(TAlign::client);
  folioListView->addColumn("Name", 130);
  folioListView->addColumn("Symbol", 70);
  folioListView->addColumn("Currency", 70);
  folioListView->onColumnClick = [this](int column) { folioListViewColumnClick(column); };
  folioListView->onMouseDown = [this](TMouseButton, TShiftState, int, int) { stopCountDown(); };
  onMouseDown = [this](TMouseButton, TShiftState, int, int) { stopCountDown(); };
  onKeyDown = [this](WORD& key, TShiftState) {
    stopCountDown();
    if (key == VK_RETURN) {
      key = 0;
      accept();
    } else if (key == VK_ESCAPE) {
      key = 0;
      close();
    }
  };

  folioListPopupMenu.add("&Find", [this] { findMenuClick(); });
  folioListView->setPopupMenu(&folioListPopupMenu);
  findDialog.options.down = true;
  findDialog.hideWholeWord = true;

  countDownTimer.onTimer = [this] { countDownTimerTimer(); };
  onActivate = [this] { FormActivate(); };
  onClose = [this] { findDialog.close(); };
}

TfolioPickForm::~TfolioPickForm() {
  countDownTimer.setEnabled(false);
  findDialog.close();
}

void TfolioPickForm::listFolios() {
  // Ticks set while filling must not look like the user's.
  auto itemChecked = std::move(folioListView->onItemChecked);
  folioListView->onItemChecked = nullptr;
  folioListView->beginUpdate();
  folioListView->clear();
  portfolios_.clear();
  portfolios_.scan(getDirectory("<FOLIOS>"));
  for (int index = 0; index < portfolios_.count(); ++index) {
    const TPortfolio& portfolio = *portfolios_.items(index);
    const int row = folioListView->addItem(portfolio.Name(), index);
    folioListView->setItemText(row, 1, portfolio.Symbol());
    folioListView->setItemText(row, 2, portfolio.getCurrency());
    folioListView->setChecked(row, portfolio.LoadAlways());
  }
  folioListView->endUpdate();
  folioListView->onItemChecked = std::move(itemChecked);
  folioListView->tag = 0;
}

bool TfolioPickForm::execute(int countDown, bool autoCloseResult) {
  result_ = false;
  countDown_ = countDown;
  autoCloseResult_ = autoCloseResult;
  if (visible()) {
    SetForegroundWindow(handle());
    bringToFront();
    return false;
  }
  countDownStopped_ = false;
  showModal();
  countDownTimer.setEnabled(false);
  return result_;
}

void TfolioPickForm::FormActivate() {
  if (countDown_ < 1 || countDownStopped_ || countDownTimer.enabled()) return;
  countDownTimer.setInterval(static_cast<UINT>(countDown_) * 1000);
  countDownTimer.setEnabled(true);
}

void TfolioPickForm::stopCountDown() {
  countDownStopped_ = true;
  countDownTimer.setEnabled(false);
}

void TfolioPickForm::accept() {
  stopCountDown();
  result_ = true;
  close();
}

void TfolioPickForm::countDownTimerTimer() {
  countDownTimer.setEnabled(false);
  result_ = autoCloseResult_;
  close();
}

void TfolioPickForm::folioListViewColumnClick(int column) {
  stopCountDown();
  folioListView->toggleSortKey(column);
  folioListView->sortByColumn(column, folioListView->tag < 0, false);
}

void TfolioPickForm::getFirstFolioDir(bool ticked, std::string& folder) { findFolioDir(0, ticked, folder); }

void TfolioPickForm::getNextFolioDir(bool ticked, std::string& folder) {
  findFolioDir(iterationRow_ + 1, ticked, folder);
}

void TfolioPickForm::findFolioDir(int fromRow, bool ticked, std::string& folder) {
  folder.clear();
  for (int row = fromRow; row < folioListView->itemCount(); ++row) {
    if (folioListView->checked(row) != ticked) continue;
    const TPortfolio* portfolio = portfolios_.items(static_cast<int>(folioListView->itemData(row)));
    if (portfolio == nullptr) continue;
    iterationRow_ = row;
    folder = portfolio->Folder();
    return;
  }
  iterationRow_ = folioListView->itemCount();
}

int TfolioPickForm::saveLoadAlwaysStatus() {
  for (int row = 0; row < folioListView->itemCount(); ++row) {
    TPortfolio* portfolio = portfolios_.items(static_cast<int>(folioListView->itemData(row)));
    if (portfolio != nullptr) portfolio->setLoadAlways(folioListView->checked(row));
  }
  return portfolios_.saveLoadAlways();
}

void TfolioPickForm::loadGUIoptions(const TPortableIniFile& ini) {
  const int height = ini.readInteger(section, "Height", this->height());
  const int width = ini.readInteger(section, "Width", this->width());
  const int left = ini.readInteger(section, "Left", (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = ini.readInteger(section, "Top", (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  setBounds(left, top, width, height);
  folioListView->setColumnWidth(0, ini.readInteger(section, "NameWidth", folioListView->columnWidth(0)));
  folioListView->setColumnWidth(1, ini.readInteger(section, "SymbolWidth", folioListView->columnWidth(1)));
  folioListView->setColumnWidth(2, ini.readInteger(section, "CurrencyWidth", folioListView->columnWidth(2)));
}

void TfolioPickForm::saveGUIoptions(TPortableIniFile& ini) const {
  ini.writeInteger(section, "Left", left());
  ini.writeInteger(section, "Top", top());
  ini.writeInteger(section, "Height", height());
  ini.writeInteger(section, "Width", width());
  ini.writeInteger(section, "NameWidth", folioListView->columnWidth(0));
  ini.writeInteger(section, "SymbolWidth", folioListView->columnWidth(1));
  ini.writeInteger(section, "CurrencyWidth", folioListView->columnWidth(2));
}

void TfolioPickForm::findMenuClick() {
  findDialog.onFind = [this] { findFolio(); };
  const int selected = folioListView->itemIndex();
  POINT corner{0, 0};
  if (selected >= 0) {
    const RECT item = folioListView->itemRect(selected);
    corner = {item.left, item.top};
  }
  ClientToScreen(folioListView->handle(), &corner);
  findDialog.execute(handle());
  findDialog.setPosition(corner.x, corner.y);
}

void TfolioPickForm::findFolio() { findInListView(*folioListView); }

bool TfolioPickForm::findInListView(TListViewXPSafe& list) {
  std::vector<std::string> captions;
  for (int row = 0; row < list.itemCount(); ++row) captions.push_back(list.itemText(row));
  const int selected = list.nextSelected(-1);
  const int found = findFolioRow(captions, selected, findDialog.findText, findDialog.options.down,
                                 findDialog.options.matchCase);
  if (found < 0) return false;
  // The list's own ensure-visible: stepping the scroll position until the
  // row shows never ends when a step moves no line.
  list.setItemIndex(found);
  list.ensureVisible(found);
  return true;
}
