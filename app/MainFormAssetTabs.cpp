#include "app/MainFormAssetTabs.h"

#include "app/MainForm.h"
#include "app/SharedPopupMenus.h"
#include "controls/AssetPickForm.h"
#include "controls/CurrPickForm.h"
#include "controls/DownloadPickForm.h"
#include "controls/GalleryForm.h"
#include "controls/SheetPanel.h"
#include "windows/AssetForm.h"
#include "windows/QuoteEditor.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"

void wireDataForm(TmainForm& mainForm, TdataForm& form) {
  TsharedPopupMenus& menus = *mainForm.popupMenus;
  form.setSheetImageList(&mainForm.imageList);
  form.setExternalPopupMenus(&menus.sheetChartAndGraphPopupMenu, &menus.notesPopupMenu,
                             &menus.webPanelMenus.webPanelFavsPopupMenu, &menus.webPanelMenus.webPanelSetupPopupMenu,
                             &menus.webPanelMenus.webPanelTimerPopupMenu);
  TwebPanelMenus& webMenus = menus.webPanelMenus;
  form.setExternalEvents([&webMenus](TWebPanel& panel) { webMenus.makeWebPanelTemplate(panel); },
                         [&webMenus](TWebPanel& panel) { webMenus.clearWebPanelTemplate(panel); },
                         [&webMenus](TWebPanel& panel) { webMenus.onWebPanelDeleteRequest(panel); });
  form.onSynchDatesClick = [&mainForm](TToolButton& button) { mainForm.updateDateRangeTracker(button); };
  form.setCurrPickForm(mainForm.currPickForm.get());
  form.setGalleryForm(mainForm.galleryForm.get());
  form.setPortfolioTable(mainForm.portfolioTable.get());
  form.loadTranslations(mainForm.paths().languageFileName);
}

TassetForm& createAssetsTab(TmainForm& mainForm, const std::string& caption) {
  TassetForm& form = createChildForm<TassetForm>(*mainForm.pageControl, caption);
  wireDataForm(mainForm, form);
  form.setAssetPickForm(mainForm.assetPickForm.get());
  form.setDownloadPickForm(mainForm.downloadPickForm.get());
  form.sheetPanel().setSheetVisible(false);
  form.clearView();
  return form;
}

TquoteForm& createQuotesTab(TmainForm& mainForm, const std::string& caption) {
  TquoteForm& form = createChildForm<TquoteForm>(*mainForm.pageControl, caption);
  wireDataForm(mainForm, form);
  form.quoteEditor().messages = &mainForm.messageBox();
  form.sheetPanel().setSheetVisible(false);
  form.clearView();
  return form;
}

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
