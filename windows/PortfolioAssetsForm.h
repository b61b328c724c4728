#pragma once
#include <memory>
#include <string>

#include "windows/AssetLineFilter.h"
#include "windows/DataForm.h"

class TAsset;
class TPortfolio;

// What the Assets and Quotes tabs share: the current portfolio's assets as
// the objects, the portfolio's folder as the window directory, notes of the
// portfolio and of each asset, the null-holdings filter, the "PORTFOLIO"
// named value, and catching up with the model when their tab is entered.
class TportfolioAssetsForm : public TdataForm {
 public:
  struct TAssetFiles {
    TDataFormFiles window;
    std::string objectsCaption;  // the tool bar menu's entry for the creation panel
    std::string notesFile;     // the portfolio's notes of this window
    std::string assetPrefix;   // an asset's notes: prefix + Number + ".TXT"
  };
  TportfolioAssetsForm(const TAssetFiles& files, TAssetLineWindow lineWindow, int helpContext,
                       int setupHelpContext);

  void clearView() override;
  void loadView() override;
  // The serial number of the portfolio whose assets are shown; 0 for none.
  int32_t shownPortfolioSerial() const { return shownPortfolioSerial_; }

  // Entering the tab: another portfolio loads the view; a change of the
  // portfolio or a newer script engine recomputes; shared dates are taken.
  void tabEntered(IActiveScript* engine, double macrosLoadedAt, bool datesSynchronised, double fromDate,
                  double toDate);

  void showNullsBtnClick();
  TToolButton& showNullsBtn() const { return *showNullsBtn_; }

 protected:
  std::unique_ptr<TDataObjects> objectsOf(TPortfolioTable& table) const override;
  std::string windowDirectory() const override;
  std::string objectName(int index) const override;
  std::string objectSymbol(int index) const override;
  std::string objectNotesFile(int index) const override;
  std::string globalNotesFile() const override;
  std::string globalNotesCaption() const override;
  double dateBound(TDateBound bound) override;
  void readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) override;
  void writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) override;
  void defineMoreNames() override;
  // A newly listed asset needs more than a recomputation (the Quotes tab).
  virtual bool assetListNewer(const TPortfolio&) const { return false; }
  // After the views were rebuilt on entering the tab.
  virtual void viewsRebuilt() {}

  void bindView() override;
  // The portfolio whose view the window holds (nullptr once it is closed),
  // and the table's current one, which the next view loaded will hold.
  TPortfolio* portfolio() const;
  TPortfolio* currentPortfolio() const;
  TAsset* asset(int index) const;

 private:
  TAssetFiles files_;
  TAssetLineWindow lineWindow_;
  TToolButton* showNullsBtn_ = nullptr;
  TMenuItem* nullsItem_ = nullptr;
  int32_t shownPortfolioSerial_ = 0;
};
