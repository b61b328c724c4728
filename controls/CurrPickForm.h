#pragma once
#include <string>

#include "controls/CurrencyPicker.h"
#include "platform/Form.h"

class TButton;
class TListViewXPSafe;
class TPortableIniFile;

// The currency picker of the currency cell editor and the field editor: a
// list of currency codes with their names and countries.
class TcurrPickForm : public TForm, public TCurrencyPicker {
 public:
  // The owner is the window the dialog stays above (the main window).
  explicit TcurrPickForm(HWND owner = nullptr);

  // The language file's currencies in place of the built-in five.
  void initList();
  void loadTranslations(const std::string& languageFile);
  // Offers the currencies centred on the anchor with the first one whose
  // code begins with the symbol selected. Only when the user accepts a row
  // are symbol, name and country set from it.
  void pickCurrency(const RECT& anchor, std::string& symbol, std::string& name, std::string& country,
                    bool& accepted);
  // The same for the grid's currency editor, which needs the symbol only.
  int currencyCount() const override;
  bool pickCurrency(const RECT& anchor, std::string& symbol) override;
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;

  TListViewXPSafe& currencyListView;
  TButton& okBtn;

 private:
  void fillRows(bool fromLanguageFile);
  void acceptIfSelected();
  void currencyListViewColumnClick(int column);
  void FormKeyDown(WORD& key, TShiftState shift);

  bool accepted_ = false;
};
