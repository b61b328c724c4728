#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/CellEditSession.h"
#include "controls/CurrencyPicker.h"
#include "controls/InPlaceEditors.h"
#include "controls/SpinButton.h"
#include "model/FontProperties.h"
#include "platform/Bitmap.h"
#include "platform/Control.h"
#include "platform/DateTimePicker.h"
#include "platform/Dialogs.h"
#include "platform/Timer.h"

class TSheet;
class TScrollBarEx;
class TPaintBoxEx;

// The control through which every sheet is seen and edited: the owned
// sheet paints itself into an off-screen bitmap copied onto the surface;
// two scroll bars on a fixed 1..10000 scale; mouse and keys go to the sheet's
// own navigation; a deferred refresh coalesces redraws; an in-place editor,
// chosen by the current cell's type code, edits a cell over it.
class TSheetPanel : public TControl {
 public:
  explicit TSheetPanel(TControl* parent);
  ~TSheetPanel() override;

  TSheet& sheet() { return *sheet_; }
  const TSheet& sheet() const { return *sheet_; }

  // ---- Display options forwarded to the sheet ----
  bool showVScrollBar() const;
  void setShowVScrollBar(bool b);
  bool showHScrollBar() const;
  void setShowHScrollBar(bool b);
  bool numericColCoords() const;
  void setNumericColCoords(bool b);
  bool showColCoords() const;
  void setShowColCoords(bool b);
  bool showRowCoords() const;
  void setShowRowCoords(bool b);
  bool colsSizable() const;
  void setColsSizable(bool b);
  bool rowsSizable() const;
  void setRowsSizable(bool b);
  bool innerSizable() const { return innerSizable_; }
  void setInnerSizable(bool b);
  bool showGridLines() const;
  void setShowGridLines(bool b);
  bool showCellErrors() const;
  void setShowCellErrors(bool b);
  int defaultMaxDecimals() const;
  void setDefaultMaxDecimals(int n);
  bool defaultFixedDecimals() const;
  void setDefaultFixedDecimals(bool b);
  bool multiSelect() const;
  void setMultiSelect(bool b);
  int maxVisibleCol() const;
  void setMaxVisibleCol(int n);
  int maxVisibleRow() const;
  void setMaxVisibleRow(int n);
  int defaultColWidth() const;
  void setDefaultColWidth(int w);
  int defaultRowHeight() const;
  void setDefaultRowHeight(int h);
  int fixedCols() const;
  void setFixedCols(int n);
  int fixedRows() const;
  void setFixedRows(int n);
  int trueImageIndex() const;
  void setTrueImageIndex(int i);
  int falseImageIndex() const;
  void setFalseImageIndex(int i);
  TColor backgroundColor() const;
  void setBackgroundColor(TColor c);
  TColor gridColor() const;
  void setGridColor(TColor c);
  TColor defaultFillColor() const;
  void setDefaultFillColor(TColor c);
  const TFontProperties& defaultFont() const;
  void setDefaultFont(const TFontProperties& font);
  HIMAGELIST imageList() const;
  void setImageList(HIMAGELIST images);
  std::string dateFormat() const;
  void setDateFormat(const std::string& format);
  std::string timeFormat() const;
  void setTimeFormat(const std::string& format);
  bool expandVectorResults() const;
  void setExpandVectorResults(bool b);

  int getColWidth(int col) const;
  int getRowHeight(int row) const;
  void setColWidth(int col, int width);
  // The sheet's own separators; callers use ";" and "." when they are empty.
  std::string getListSeparator() const;
  std::string getDecimalSeparator() const;

  // While hidden the surface shows the background colour only and ignores
  // mouse, keys and editing; hosts hide the sheet while they rebuild it.
  void setSheetVisible(bool show);
  bool sheetVisible() const { return sheetShown_; }

  // Draws the sheet into the bitmap and onto the surface.
  void render();
  // render, the scroll bars put where the sheet is, then onRender.
  void refresh();
  // A refresh now after a quiet spell, else within the coalescing delay.
  void requestRefresh();
  double lastRefreshTime() const { return lastRefreshTime_; }

  // ---- In-place editing ----
  // Opens the editor for the current cell with the text the user typed.
  void startEditing(const std::string& initialText);
  // Ends an open editor: with commit its value is written (when the sheet
  // still shows its cell). False when the value was refused or the user
  // declined it at a question: the editor stays, but when closing, a No or
  // the box telling a refusal drops the typed text and the editor closes on
  // the cell's value.
  bool finishEditing(bool commit, bool closing = false);
  bool editing() const { return session_.isOpen(); }
  // finishEditing(true); at a closing a question's No or a refusal's box
  // drops the typed text, and on giving up a refused value is dropped after
  // its message, the editor closed on the cell's old value.
  bool endEdit(TEditEnding ending) override;
  // The editor control now shown, or null.
  TControl* currentEditor() const { return currentEditor_; }
  TCurrencyPicker* currencyPicker = nullptr;
  // The dialog of colour cells (a host or a test may put another in).
  std::unique_ptr<TColorDialog> colorDialog;
  // Tells why a picked value was refused (a test may put another in).
  TMessageBox* messages = &systemMessageBox();
  // The host's reason to refuse the number a text or a picked date or time
  // is about to write into a bound property; empty to let it be written.
  // A refused number leaves the property as it was, with the reason shown.
  std::function<std::string(double number)> refuseBoundNumber;

  // ---- Events ----
  std::function<void()> onRender;
  std::function<void()> onCellValueEdited;
  // Asked with a changed text before an editor writes it; false keeps the
  // editor open on the text, for the user to correct it.
  std::function<bool(const std::string& text)> onAcceptTypedText;
  std::function<void(WORD& key, TShiftState shift)> onSheetKeyDown;
  std::function<void(char& key)> onSheetKeyPress;
  // True when the host keeps the current cell's number elsewhere (a custom
  // property): a typed text that is no number is then refused as a bound
  // number's is, instead of becoming a formula in error.
  std::function<bool()> numberRequired;

  // The parts, for the rare direct call and for tests.
  TScrollBarEx& vScrollBar() { return *vScrollBar_; }
  TScrollBarEx& hScrollBar() { return *hScrollBar_; }
  TPaintBoxEx& paintBox() { return *paintBox_; }
  TInPlaceEdit& textEditor() { return *memo_; }
  TInPlaceEdit& numberEdit() { return *numberEdit_; }
  TSpinButton& numberSpin() { return *numberSpin_; }
  TInPlaceEdit& currencyEdit() { return *currencyEdit_; }
  TButton& currencyButton() { return *currencyButton_; }
  TInPlaceEdit& imageEdit() { return *imageEdit_; }
  TSpinButton& imageSpin() { return *imageSpin_; }
  TImagePreview& imagePreview() { return *imagePreview_; }
  TDateTimePicker& datePicker() { return *datePicker_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void resized() override;
  void paint(TCanvas& canvas) override;
  void keyDown(WORD& key, TShiftState shift) override;
  void keyPress(char& key) override;
  void doEnter() override;
  void doExit() override;

 private:
  // Mouse on the surface.
  void surfaceMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void surfaceMouseMove(TShiftState shift, int x, int y);
  void surfaceMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void scrollBarPressed(TScrollBarEx& bar, TMouseButton button, TShiftState shift, int x, int y);
  void scrolled(TScrollBarEx& bar, bool vertical, WORD code, int position);
  bool wheel(int delta);
  void layout();
  void placeScrollThumbs();
  void copyToSurface();
  void setFocusColors(bool focused);

  // Editors (SheetPanelEditing.cpp).
  void buildEditors();
  void placeEditor();
  void showEditor(TControl& editor, TControl& focusTarget);
  void hideEditor();
  void editorExit();
  void cancelEditing();
  void applyCellAppearance(TControl& editor);
  void layoutEditorParts(int width, int height);
  void numberTextChanged();
  void pickerChanged();
  void memoChanged();
  void imageTextChanged();
  void spinEditor(TInPlaceEdit& edit, TSpinButton& spin, int direction);
  void pickCurrency();
  void acceptEditing();
  TCellWrite commitEditor();
  // False when the host, or the user asked about a currency code the
  // currency list does not hold, keeps the editor's changed text from being
  // written.
  bool typedTextAccepted();
  // Runs a question or message about the editor's text; when it keeps the
  // editor open, the editor gets the focus back.
  bool keptAfterTelling(const std::function<bool()>& tell);
  void valueEdited();
  bool focusInsideEditor() const;
  // The value the date editor would write now; false when it would write none.
  bool pickedValue(double& value) const;

  std::unique_ptr<TSheet> sheet_;
  TScrollBarEx* vScrollBar_ = nullptr;
  TScrollBarEx* hScrollBar_ = nullptr;
  TPaintBoxEx* paintBox_ = nullptr;
  TBitmap offscreen_;
  TDeferredRefresh refreshTimer_;

  TEditorKeys editorKeys_;
  TEditorPanel* datePanel_ = nullptr;
  TDateTimePicker* datePicker_ = nullptr;
  TInPlaceEdit* wrappedMemo_ = nullptr;
  TInPlaceEdit* unwrappedMemo_ = nullptr;
  TInPlaceEdit* memo_ = nullptr;  // the one of the two the open text takes
  TEditorPanel* numberPanel_ = nullptr;
  TInPlaceEdit* numberEdit_ = nullptr;
  TSpinButton* numberSpin_ = nullptr;
  TEditorPanel* currencyPanel_ = nullptr;
  TInPlaceEdit* currencyEdit_ = nullptr;
  TButton* currencyButton_ = nullptr;
  TEditorPanel* imagePanel_ = nullptr;
  TImagePreview* imagePreview_ = nullptr;
  TInPlaceEdit* imageEdit_ = nullptr;
  TSpinButton* imageSpin_ = nullptr;
  TControl* currentEditor_ = nullptr;
  TControl* editorFocus_ = nullptr;  // the part of the editor that takes the keys
  TCellEditSession session_;
  std::string hostRefusal_;  // why the host refused the last commit
  std::string unreadableText_;  // why the last commit's text is no number
  bool endingEditor_ = false;
  bool askingAboutText_ = false;
  bool memoAutoHeight_ = false;
  int memoLineCount_ = 0;

  POINT pressCell_{-1, -1};
  bool sheetShown_ = true;
  bool innerSizable_ = true;
  double lastRefreshTime_ = 0.0;
  ULONGLONG lastRefreshTick_ = 0;
};
