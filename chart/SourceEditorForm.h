#pragma once
#include <functional>
#include <memory>
#include <string>

#include "chart/SourceEditModel.h"
#include "controls/ToolGlyphs.h"
#include "model/SettingsBaseline.h"
#include "platform/Form.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TImageList;
class TListView;
class TPageControl;
class TPanel;
class TPopupMenu;
class TSheetPanel;
class TTabSheet;
class TToolTips;

// What the chart and graph source editors share: the sources, symbols and
// parameters grids on three pages, the formula fields of the current
// source, the favourites beside the sources and OK, Apply and Help. The
// editor works on a copy of the caller's table (TSourceEditModel).
class TSourceEditorForm : public TForm {
 public:
  ~TSourceEditorForm() override;

  void setSheetImageList(const TImageList* images);
  void setTextEditorPopupMenu(TPopupMenu* menu) { textEditorPopupMenu_ = menu; }
  void setLanguageFile(const std::string& fileName) { languageFile_ = fileName; }
  void loadGUIoptions(const std::string& fileName);
  void saveGUIoptions(const std::string& fileName);

  // The editing run without its message loop, for editSources and tests:
  // begin fills the editor, finish stores the row heights and, after OK,
  // copies the working copy back.
  void beginEditing(TSourceTable& table, TSourceTable* favourites, std::function<void()> apply);
  bool finishEditing();
  bool favouritesChanged() const { return model_.favouritesChanged; }
  void clearFavouritesChanged() { model_.favouritesChanged = false; }

  TSourceEditModel& model() { return model_; }
  TSheetPanel& sourcesSheet() { return *sourcesSheet_; }
  TSheetPanel& symbolsSheet() { return *symbolsSheet_; }
  TSheetPanel& parametersSheet() { return *parametersSheet_; }
  TListView& favouritesList() { return *favouritesList_; }
  TPageControl& pages() { return *pages_; }
  TComboBox& imageComboBox() { return *imageComboBox_; }
  void showFavourites(bool show);

  // Commands of the buttons, menus and keys.
  void addBtnClick();
  void copyBtnClick();
  void delBtnClick();
  void moveBtnClick(int delta);
  void disabledBtnClick();
  void makeTemplateBtnClick();
  void clearTemplateBtnClick();
  void sourceKindBoxChange();
  void entryCommand(bool parameters, int command);  // 0 new, 1 copy, 2 delete, 3 up, 4 down
  void editSymbolsAsText();
  void useFavourite();
  void addFavourite();
  void deleteFavourite();
  void moveFavourite(int delta);
  void okBtnClick();
  void applyBtnClick();
  bool dialogKey(WORD key, TShiftState shift) override;
  void colorBtnClick();
  void imageComboBoxChange();

  // The colour dialog behind "Color code" and the message box that
  // questions typed formulas (tests replace them).
  std::unique_ptr<TColorDialog> colorDialog;
  TMessageBox* messages;

 protected:
  TSourceEditModel model_;
  TSourceEditorForm(bool chart, const std::string& dataFolder, int helpContext);
  virtual void showFormulas();
  virtual void storeFormula(TEdit& edit);
  TEdit& formulaEdit(TControl& parent, const std::string& caption, int top, int width);

  TEdit* fromXEdit_ = nullptr;
  TEdit* toXEdit_ = nullptr;
  TEdit* xStepsEdit_ = nullptr;
  TPanel* formulaPanel_ = nullptr;
  TEdit* closeEdit_ = nullptr;
  TEdit* textEdit_ = nullptr;
  TEdit* imageEdit_ = nullptr;
  TComboBox* imageComboBox_ = nullptr;
  bool fillingFields_ = false;
  // Puts text at the caret of an edit, replacing its selection.
  static void insertAtCaret(TEdit& edit, const std::string& text);
  void addCodeControls(TControl& parent, int textTop, int imageTop, int left);

 private:
  void buildSourcesPage(TTabSheet& page);
  void buildEntryPage(TTabSheet& page, bool parameters);
  void buildFavourites(TControl& parent);
  void refillSources(int row);
  void refillEntries();
  void sourceEdited();
  void entryEdited(bool parameters);
  // Ends the grids' open cell editors; false when one keeps its text open.
  bool cellEditorsFinished();
  void sourcesRendered();
  void selectFavourite(int index);
  void layoutButtons();
  void buildMenus();
  int entryIndex(bool parameters) const;
  // Tools enabled as the current source, entry row and favourite allow.
  void updateSourceTools();
  void updateEntryTools(bool parameters);
  void updateFavouriteTools();
  void writeGUIoptions(TPortableIniFile& ini) const;

  bool chart_;
  bool result_ = false;
  TSourceTable* callerTable_ = nullptr;
  std::function<void()> apply_;
  TPopupMenu* textEditorPopupMenu_ = nullptr;
  std::string languageFile_;
  std::string layoutFile_;
  TSettingsBaseline savedGUIoptions_;
  TPageControl* pages_ = nullptr;
  TSheetPanel* sourcesSheet_ = nullptr;
  TSheetPanel* symbolsSheet_ = nullptr;
  TSheetPanel* parametersSheet_ = nullptr;
  TButton* copyBtn_ = nullptr;
  TButton* delBtn_ = nullptr;
  TButton* upBtn_ = nullptr;
  TButton* downBtn_ = nullptr;
  TButton* makeTemplateBtn_ = nullptr;
  // New, copy, delete, up and down of the symbols [0] and parameters [1].
  TButton* entryButtons_[2][5] = {};
  TPanel* entryTools_[2] = {};
  TButton* favUseBtn_ = nullptr;
  TButton* favAddBtn_ = nullptr;
  TButton* favDelBtn_ = nullptr;
  TButton* favUpBtn_ = nullptr;
  TButton* favDownBtn_ = nullptr;
  TComboBox* sourceKindBox_ = nullptr;
  TCheckBox* disabledBtn_ = nullptr;
  TCheckBox* favouritesBtn_ = nullptr;
  TPanel* favouritesPanel_ = nullptr;
  TListView* favouritesList_ = nullptr;
  TButton* okBtn_ = nullptr;
  TButton* applyBtn_ = nullptr;
  TButton* helpBtn_ = nullptr;
  bool sortAscending_ = true;
  TPopupMenu sourcesMenu_;
  TPopupMenu symbolsMenu_;
  TPopupMenu parametersMenu_;
  TPopupMenu favouritesMenu_;
  TToolGlyphs toolGlyphs_;
  std::unique_ptr<TToolTips> hints_;
};
