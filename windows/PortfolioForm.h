#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ProgressReport.h"
#include "platform/FileStamps.h"
#include "platform/Menu.h"
#include "windows/DataForm.h"
#include "windows/PortfolioLoadLog.h"

class TMemo;
class TfolioPickForm;

// The Portfolios tab: one line per open portfolio, the load log of the
// start and of load/unload, and the commands that open, close, create,
// copy, template and delete portfolios.
class TportfolioForm : public TdataForm {
 public:
  static constexpr int portfolioHelpContext = 1100;
  static constexpr int fieldEditorHelpContext = 1110;

  TportfolioForm();
  ~TportfolioForm() override;

  void setLoadLogMemo(TMemo* memo) { loadLogMemo_ = memo; }
  void setOnPortfoliosLoaded(std::function<void()> handler) { onPortfoliosLoaded_ = std::move(handler); }
  void setOnAdditionalPortfoliosLoaded(std::function<void(double since)> handler) {
    onAdditionalPortfoliosLoaded_ = std::move(handler);
  }
  // The main window's title-bar update; called after every change of the
  // current portfolio or of a shown property.
  std::function<void()> onSelectionChanged;

  // The start: the portfolios marked to load always, then the view.
  int loadPortfolios();
  // The files that could not be written are appended to unsavedFiles when
  // given.
  // stamps: the record files', looked up before (see recordFiles).
  int savePortfolios(std::vector<std::string>* unsavedFiles = nullptr, const TFileStamps* stamps = nullptr);
  // The files of the open portfolios' records.
  std::vector<std::string> recordFiles();
  void portfolioTableLoadNotify(int code, const std::string& text);

  // The commands; each answers the model's result code (0 success).
  int loadBtnClick();
  int addBtnClick();
  int copyBtnClick();
  int makeTemplateBtnClick();
  void delBtnClick();
  int menuItemPortfoliosDeleteSelectedClick();

  TfolioPickForm& folioPickForm() const { return *folioPickForm_; }
  TToolButton& loadBtn() const { return *loadBtn_; }
  TToolButton& addBtn() const { return *addBtn_; }
  TToolButton& copyBtn() const { return *copyBtn_; }
  TToolButton& makeTemplateBtn() const { return *makeTemplateBtn_; }
  TToolButton& delBtn() const { return *delBtn_; }
  TPopupMenu& delFolioPopUpMenu() { return delFolioPopUpMenu_; }
  const TPortfolioLoadLog& loadLog() const { return loadLog_; }

 protected:
  std::unique_ptr<TDataObjects> objectsOf(TPortfolioTable& table) const override;
  std::string windowDirectory() const override;
  std::string objectName(int index) const override;
  std::string objectSymbol(int index) const override;
  std::string objectNotesFile(int index) const override;
  std::string globalNotesFile() const override;
  std::string globalNotesCaption() const override { return "Notes"; }
  double dateBound(TDateBound bound) override;
  void addCommand() override { addBtnClick(); }
  void deleteCommand() override { delBtnClick(); }
  void selectionChanged() override;
  void readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) override;
  void writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) override;

 private:
  void buildPortfolioMenus();
  void showLog();
  void hideLog();
  TProgressProcedure progress();
  std::string deleteCaption(int index) const;

  TToolButton* loadBtn_ = nullptr;
  TMemo* loadLogMemo_ = nullptr;
  TPortfolioLoadLog loadLog_;
  std::unique_ptr<TfolioPickForm> folioPickForm_;
  TPopupMenu delFolioPopUpMenu_;
  TMenuItem* copyItem_ = nullptr;
  TMenuItem* makeTemplateItem_ = nullptr;
  TMenuItem* deleteItem_ = nullptr;
  TMenuItem* deleteSelectedItem_ = nullptr;
  std::function<void()> onPortfoliosLoaded_;
  std::function<void(double)> onAdditionalPortfoliosLoaded_;
};
