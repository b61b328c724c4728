#include "app/MainFormTransactionsTab.h"

#include "app/MainForm.h"
#include "app/SharedPopupMenus.h"
#include "controls/CurrPickForm.h"
#include "windows/TransactionForm.h"

TtransactionForm& createTransactionsTab(TmainForm& mainForm, const std::string& caption) {
  TtransactionForm& form = createChildForm<TtransactionForm>(*mainForm.pageControl, caption);
  form.setPortfolioTable(mainForm.portfolioTable.get());
  form.setCurrPickForm(mainForm.currPickForm.get());
  form.setAssetPickForm(mainForm.assetPickForm.get());
  form.setSheetImageList(mainForm.imageList.handle());
  form.setExternalPopupMenus(&mainForm.popupMenus->notesPopupMenu);
  form.loadTranslations(mainForm.paths().languageFileName);
  form.clearView();
  return form;
}
