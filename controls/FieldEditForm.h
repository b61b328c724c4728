#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/FieldEditModel.h"
#include "model/SettingsBaseline.h"
#include "platform/Form.h"

class TButton;
class TColorDialog;
class TComboBox;
class TFontDialog;
class TMessageBox;
class TPanel;
class TPopupMenu;
class TSheetPanel;
class TCurrencyPicker;
class TToolButton;
class TToolTips;
class TgetStringForm;
class TgetThresholdForm;

// The field definition editor: a grid of the fields of a list window (symbol,
// header, definition and a test cell in the field's kind and format), with
// tools for the field under the cursor. It works on a copy of the table and
// writes it back on OK, and on Apply when the caller gave a callback.
class TfieldEditForm : public TForm {
 public:

  TfieldEditForm();
  ~TfieldEditForm() override;

  // Edits the table; true when closed with OK. The caller's other windows
  // wait meanwhile; a quit of the program closes the editor and goes on to
  // the program's own loop.
  bool execute(TFieldTable& fieldTable, std::function<void()> applyCallback);

  void loadGUIoptions(const std::string& fileName);
  void saveGUIoptions(const std::string& fileName);
  void loadTranslations(const std::string& languageFile);
  void setCurrPickForm(TCurrencyPicker* picker);
  void setSheetImageList(HIMAGELIST images);
  void setTextEditorPopupMenu(TPopupMenu* menu) { textEditorPopupMenu_ = menu; }
  // The modal dialogs the tools open (tests put their own in).
  std::unique_ptr<TFontDialog> fontDialog;
  std::unique_ptr<TColorDialog> colorDialog;
  std::function<bool(std::string& text)> editText;
  TMessageBox* messages;

  TSheetPanel& sheetPanel() const { return *sheetPanel_; }
  TFieldEditModel* model() const { return model_.get(); }
  TButton& applyBtn() const { return *applyBtn_; }
  TButton& okBtn() const { return *okBtn_; }
  TComboBox& fieldFormatBox() const { return *fieldFormatBox_; }
  TPopupMenu& formatPopupMenu() const { return *formatPopupMenu_; }
  // The field under the grid's cursor, or -1.
  int currentField() const;

  // The tools' commands on the current field.
  void addField();
  void deleteField();
  void moveField(int step);
  void toggle(const std::function<bool(TFieldEditModel&, int)>& command);
  void editAsText();
  void chooseTrail(bool atButton);
  void chooseFont(bool conditional);
  void chooseColor(bool conditional);
  void chooseThreshold();

 private:
  void buildTools();
  void buildMenus();
  void fillGrid();
  void updateTools();
  void cellValueEdited();
  bool typedTextKept(const std::string& text);
  void sheetKeyDown(WORD& key, TShiftState shift);
  void apply();
  void placeButtons();
  void setCurrentRow(int row);
  void popupAtButton(TPopupMenu& menu, TControl& button);
  void writeGUIoptions(TPortableIniFile& ini) const;

  std::unique_ptr<TFieldEditModel> model_;
  TFieldTable* callerTable_ = nullptr;
  std::function<void()> applyCallback_;
  bool accepted_ = false;
  bool filling_ = false;
  std::string layoutFile_;
  TSettingsBaseline savedGUIoptions_;
  std::string languageFile_;
  TPopupMenu* textEditorPopupMenu_ = nullptr;

  TPanel* toolPanel_ = nullptr;
  TSheetPanel* sheetPanel_ = nullptr;
  TComboBox* fieldFormatBox_ = nullptr;
  TPanel* buttonPanel_ = nullptr;
  TButton* helpBtn_ = nullptr;
  TButton* applyBtn_ = nullptr;
  TButton* okBtn_ = nullptr;
  struct TTools;
  std::unique_ptr<TTools> tools_;
  std::unique_ptr<TPopupMenu> formatPopupMenu_;
  std::unique_ptr<TPopupMenu> fontPopupMenu_;
  std::unique_ptr<TPopupMenu> colorPopupMenu_;
  std::unique_ptr<TPopupMenu> decimalsPopupMenu_;
  std::unique_ptr<TgetStringForm> stringPrompt_;
  std::unique_ptr<TgetThresholdForm> thresholdPrompt_;
  std::unique_ptr<TToolTips> hints_;
};
