#include "controls/AssetPickForm.h"

#include <algorithm>
#include <cstdlib>

#include "controls/PickDialogPlacement.h"
#include "controls/PickList.h"
#include "controls/PickRows.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "controls/ListViewXPSafe.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

TassetPickForm::TassetPickForm(HWND owner)
    : TForm(pickDialogOptions("Assets", 284, 273, owner)),
      assetListPanel(add<TPanel>()),
      assetListView(assetListPanel.add<TListViewXPSafe>(pickListOptions(true, false))),
      okBtn(add<TButton>("&OK")),
      findMenuItem(assetListPopupMenu.add("&Find")),
      findDialog(std::make_unique<TFindDialog>()) {
  assetListPanel.setBevelOuter(TBevelCut::none);
  assetListPanel.setBounds(0, 0, 284, 238);
  assetListPanel.setAnchors(akLeft | akTop | akRight | akBottom);
  assetListView.setAlign(TAlign::client);
  assetListView.addColumn("Name", 130);
  assetListView.addColumn("Symbol", 70);
  assetListView.addColumn("Currency", 70);
  assetListView.setPopupMenu(&assetListPopupMenu);
  okBtn.setBounds(204, 244, 75, 25);
  okBtn.setAnchors(akRight | akBottom);
  okBtn.setEnabled(false);
  findDialog->options.down = true;
  findDialog->hideWholeWord = true;

  assetListView.onSelectItem = [this](int, bool) { okBtn.setEnabled(assetListView.selectedCount() > 0); };
  assetListView.onDoubleClick = [this] { acceptIfSelected(true); };
  assetListView.onColumnClick = [this](int column) {
    assetListView.toggleSortKey(column);
    assetListView.sortByColumn(std::abs(assetListView.tag) - 1, assetListView.tag < 0, false);
  };
  findMenuItem.onClick = [this] { findMenuItemClick(); };
  findDialog->onFind = [this] { findDialogFind(); };
  okBtn.onClick = [this] { acceptIfSelected(false); };
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) { FormKeyDown(key, shift); };
  onClose = [this] { findDialog->close(); };
  centreOnScreen(*this);
}

TassetPickForm::~TassetPickForm() { findDialog->close(); }

void TassetPickForm::listAssets(const TPortfolio* portfolio, const std::vector<std::pair<int, int>>& order) {
  assetListView.beginUpdate();
  assetListView.clear();
  for (const TPickRow& row : assetPickRows(portfolio, order)) {
    const int item = assetListView.addItem(row.texts[0], row.number);
    assetListView.setItemText(item, 1, row.texts[1]);
    assetListView.setItemText(item, 2, row.texts[2]);
  }
  assetListView.endUpdate();
  iterationRow_ = -1;
  okBtn.setEnabled(false);
}

bool TassetPickForm::execute() {
  accepted_ = false;
  if (!visible()) showModal();
  findDialog->close();
  return accepted_;
}

void TassetPickForm::acceptIfSelected(bool closeOtherwise) {
  if (assetListView.selectedCount() > 0) {
    accepted_ = true;
    setModalResult(mrOk);
  } else if (closeOtherwise) {
    setModalResult(mrCancel);
  }
}

void TassetPickForm::FormKeyDown(WORD& key, TShiftState) {
  pickDialogKeyDown(*this, key, [this] { acceptIfSelected(true); });
}

int TassetPickForm::assetIndexAt(int row) {
  iterationRow_ = row;
  return row < 0 ? -1 : static_cast<int>(assetListView.itemData(row));
}

int TassetPickForm::getFirstAssetIndex() { return assetIndexAt(assetListView.nextSelected(-1)); }

int TassetPickForm::getNextAssetIndex() {
  if (iterationRow_ < 0) return -1;
  return assetIndexAt(assetListView.nextSelected(iterationRow_));
}

int TassetPickForm::getLastAssetIndex() {
  return assetIndexAt(assetListView.previousSelected(assetListView.itemCount()));
}

int TassetPickForm::getPrevAssetIndex() {
  if (iterationRow_ < 0) return -1;
  return assetIndexAt(assetListView.previousSelected(iterationRow_));
}

int TassetPickForm::selectedCount() const { return assetListView.selectedCount(); }

void TassetPickForm::findMenuItemClick() {
  findDialog->execute(handle());
  const int row = assetListView.itemIndex();
  POINT at{0, 0};
  if (row >= 0) {
    const RECT rect = assetListView.itemRect(row);
    at = {rect.left, rect.top};
  }
  ClientToScreen(assetListView.handle(), &at);
  findDialog->setPosition(at.x, at.y);
}

void TassetPickForm::findDialogFind() {
  std::vector<std::string> captions;
  for (int row = 0; row < assetListView.itemCount(); ++row) captions.push_back(assetListView.itemText(row));
  const int found = findPickRow(captions, assetListView.itemIndex(), findDialog->findText, findDialog->options.down,
                                findDialog->options.matchCase);
  if (found >= 0) assetListView.setItemIndex(found);  // deselects the others and scrolls the row into view
}

void TassetPickForm::busy() {
  assetListView.setEnabled(false);
  application().busy();
}

void TassetPickForm::available() {
  assetListView.setEnabled(true);
  application().available();
}

void TassetPickForm::loadGUIoptions(const TPortableIniFile& ini) {
  TPickDialogLayout layout = currentPickDialogLayout(*this, assetListView, 0);
  readPickDialogLayout(ini, assetPickLayoutKeys(), layout);
  applyPickDialogLayout(*this, assetListView, layout);
}

void TassetPickForm::saveGUIoptions(TPortableIniFile& ini) const {
  writePickDialogLayout(ini, assetPickLayoutKeys(), currentPickDialogLayout(*this, assetListView, 0));
}
