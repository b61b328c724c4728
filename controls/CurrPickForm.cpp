#include "controls/CurrPickForm.h"

#include <cstdlib>

#include "controls/PickDialogPlacement.h"
#include "controls/PickRows.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "controls/ListViewXPSafe.h"
#include "platform/StdControls.h"

TcurrPickForm::TcurrPickForm(HWND owner)
    : TForm(pickDialogOptions("Currency", 280, 258, owner)),
      currencyListView(add<TListViewXPSafe>(pickListOptions(false, false))),
      okBtn(add<TButton>("&OK")) {
  currencyListView.setBounds(0, 0, 280, 223);
  currencyListView.setAnchors(akLeft | akTop | akRight | akBottom);
  currencyListView.addColumn("Symbol", 55);
  currencyListView.addColumn("Name", 110);
  currencyListView.addColumn("Country", 90);
  okBtn.setBounds(200, 229, 75, 25);
  okBtn.setAnchors(akRight | akBottom);
  okBtn.setEnabled(false);

  currencyListView.onSelectItem = [this](int, bool) { okBtn.setEnabled(currencyListView.selectedCount() > 0); };
  currencyListView.onDoubleClick = [this] { acceptIfSelected(); };
  currencyListView.onColumnClick = [this](int column) { currencyListViewColumnClick(column); };
  okBtn.onClick = [this] { acceptIfSelected(); };
  onActivate = [this] { currencyListView.setFocus(); };
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) { FormKeyDown(key, shift); };

  fillRows(false);
  centreOnScreen(*this);
}

void TcurrPickForm::fillRows(bool fromLanguageFile) {
  currencyListView.beginUpdate();
  currencyListView.clear();
  for (const TPickRow& row : fromLanguageFile ? languageCurrencyRows() : builtInCurrencyRows()) {
    const int item = currencyListView.addItem(row.texts[0]);
    currencyListView.setItemText(item, 1, row.texts[1]);
    currencyListView.setItemText(item, 2, row.texts[2]);
  }
  currencyListView.endUpdate();
  okBtn.setEnabled(false);
}

void TcurrPickForm::initList() { fillRows(true); }

void TcurrPickForm::loadTranslations(const std::string& languageFile) {
  const TPortableIniFile language(languageFile);
  okBtn.setText(commonString(0));
  for (int column = 0; column < currencyListView.columnCount(); ++column) {
    const std::string caption = currencyListView.columnCaption(column);
    currencyListView.setColumnCaption(column, language.readString("CurrencyPickColumns", caption, caption));
  }
  setCaption(language.readString("CurrencyPick", "Caption", text()));
}

void TcurrPickForm::pickCurrency(const RECT& anchor, std::string& symbol, std::string& name, std::string& country,
                                 bool& accepted) {
  accepted_ = false;
  std::vector<std::string> symbols;
  for (int row = 0; row < currencyListView.itemCount(); ++row) symbols.push_back(currencyListView.itemText(row));
  // setItemIndex scrolls the row into view through the list itself.
  currencyListView.setItemIndex(findCurrencyRow(symbols, symbol));
  okBtn.setEnabled(currencyListView.selectedCount() > 0);
  centerOn(anchor);
  if (!visible()) showModal();
  const int row = currencyListView.itemIndex();
  accepted = accepted_ && row >= 0;
  if (!accepted) return;
  symbol = currencyListView.itemText(row, 0);
  name = currencyListView.itemText(row, 1);
  country = currencyListView.itemText(row, 2);
}

int TcurrPickForm::currencyCount() const { return currencyListView.itemCount(); }

bool TcurrPickForm::pickCurrency(const RECT& anchor, std::string& symbol) {
  std::string name, country;
  bool accepted = false;
  pickCurrency(anchor, symbol, name, country, accepted);
  return accepted;
}

void TcurrPickForm::acceptIfSelected() {
  if (currencyListView.selectedCount() == 0) return;
  accepted_ = true;
  setModalResult(mrOk);
}

void TcurrPickForm::currencyListViewColumnClick(int column) {
  currencyListView.toggleSortKey(column);
  currencyListView.sortByColumn(std::abs(currencyListView.tag) - 1, currencyListView.tag < 0, true);
}

void TcurrPickForm::FormKeyDown(WORD& key, TShiftState) {
  pickDialogKeyDown(*this, key, [this] {
    if (currencyListView.selectedCount() > 0) acceptIfSelected();
    else setModalResult(mrCancel);
  });
}

void TcurrPickForm::loadGUIoptions(const TPortableIniFile& ini) {
  TPickDialogLayout layout = currentPickDialogLayout(*this, currencyListView, 0);
  readPickDialogLayout(ini, currencyPickLayoutKeys(), layout);
  applyPickDialogLayout(*this, currencyListView, layout);
}

void TcurrPickForm::saveGUIoptions(TPortableIniFile& ini) const {
  writePickDialogLayout(ini, currencyPickLayoutKeys(), currentPickDialogLayout(*this, currencyListView, 0));
}
