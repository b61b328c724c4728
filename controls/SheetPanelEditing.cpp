// The in-place editors of the grid: opening by the current cell's type,
// live colouring, placement, and the commit or cancel that ends them.
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "controls/SheetPanel.h"
#include "controls/PaintBoxEx.h"
#include "controls/SpinRepeat.h"
#include "controls/ToolGlyphs.h"
#include "model/LanguageStrings.h"
#include "sheet/Sheet.h"

namespace {

constexpr double newPickerDate = 36526.0;  // 1 January 2000
constexpr int spinWidth = 16;
constexpr double memoLineHeight = 1.3;
constexpr double memoExtraLines = 0.3;
// The edit control's word wrap measures the rest of a paragraph for every
// line it breaks, at a cost that grows with the square of its length: a
// text with a longer paragraph than this (a name of 200,000 characters)
// opens in the memo that breaks lines only where the text does.
constexpr size_t longestWrappedParagraph = 1024;

bool hasLongParagraph(const std::string& text) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end - start > longestWrappedParagraph) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

void TSheetPanel::buildEditors() {
  editorKeys_.onAccept = [this] { acceptEditing(); };
  editorKeys_.onCancel = [this] { cancelEditing(); };

  datePanel_ = &add<TEditorPanel>();
  datePicker_ = &datePanel_->add<TDateTimePicker>();
  datePicker_->wantAllKeys = true;
  datePicker_->onKeyDown = [this](WORD& key, TShiftState shift) {
    if (!datePicker_->calendarOpen()) editorKey(key, shift, editorKeys_);
  };
  datePicker_->onKeyPress = [](char& key) { swallowEnterAndEsc(key); };
  datePicker_->onDoubleClick = [this] {
    if (!datePicker_->calendarOpen()) acceptEditing();
  };
  wrappedMemo_ = &add<TInPlaceEdit>(TInPlaceLines::wrapped, editorKeys_);
  unwrappedMemo_ = &add<TInPlaceEdit>(TInPlaceLines::unwrapped, editorKeys_);
  memo_ = wrappedMemo_;
  numberPanel_ = &add<TEditorPanel>();
  numberEdit_ = &numberPanel_->add<TInPlaceEdit>(TInPlaceLines::single, editorKeys_);
  numberSpin_ = &numberPanel_->add<TSpinButton>();
  currencyPanel_ = &add<TEditorPanel>();
  currencyEdit_ = &currencyPanel_->add<TInPlaceEdit>(TInPlaceLines::single, editorKeys_);
  currencyButton_ = &currencyPanel_->add<TButton>("Currency");
  currencyButton_->setTabStop(false);
  // The middle of the picture: the button is 16 pixels narrow.
  setButtonGlyph(*currencyButton_, "CURRBTNBMP", 12);
  imagePanel_ = &add<TEditorPanel>();
  imagePreview_ = &imagePanel_->add<TImagePreview>();
  imageEdit_ = &imagePanel_->add<TInPlaceEdit>(TInPlaceLines::single, editorKeys_);
  imageSpin_ = &imagePanel_->add<TSpinButton>();
  for (TControl* editor : {static_cast<TControl*>(datePanel_), static_cast<TControl*>(wrappedMemo_),
                           static_cast<TControl*>(unwrappedMemo_), static_cast<TControl*>(numberPanel_),
                           static_cast<TControl*>(currencyPanel_), static_cast<TControl*>(imagePanel_)}) {
    editor->hide();
  }
  // Leaving an editor for anything outside it commits.
  for (TControl* part : {static_cast<TControl*>(datePicker_), static_cast<TControl*>(wrappedMemo_),
                         static_cast<TControl*>(unwrappedMemo_), static_cast<TControl*>(numberEdit_),
                         static_cast<TControl*>(currencyEdit_), static_cast<TControl*>(currencyButton_),
                         static_cast<TControl*>(imageEdit_)}) {
    part->onExit = [this] { editorExit(); };
  }
  for (TInPlaceEdit* edit : {numberEdit_, currencyEdit_, imageEdit_}) {
    edit->onEnter = [edit] { edit->caretToEnd(); };
  }
  for (TInPlaceEdit* memo : {wrappedMemo_, unwrappedMemo_}) {
    memo->setBounds(-100, -100, 97, 21);
    // A stored text of any length opens whole and takes the keys typed into it.
    memo->setMaxLength(0);
    memo->onEnter = [this, memo] {
      memo->caretToEnd();
      memoChanged();
    };
    memo->onChange = [this] { memoChanged(); };
  }
  numberEdit_->onChange = [this] { numberTextChanged(); };
  imageEdit_->onChange = [this] { imageTextChanged(); };
  datePicker_->onChange = [this] { pickerChanged(); };
  numberSpin_->onSpin = [this](int direction) { spinEditor(*numberEdit_, *numberSpin_, direction); };
  imageSpin_->onSpin = [this](int direction) { spinEditor(*imageEdit_, *imageSpin_, direction); };
  currencyButton_->onClick = [this] { pickCurrency(); };
  currencyButton_->onKeyDown = [this](WORD& key, TShiftState) {
    if (key != VK_ESCAPE) return;
    key = 0;
    cancelEditing();
  };
}

void TSheetPanel::startEditing(const std::string& initialText) {
  if (!sheetShown_ || !visible() || !sheet_->hasCurrentCell() || !sheet_->currentCell() ||
      sheet_->currentCellLocked()) {
    return;
  }
  if (session_.isOpen() && !finishEditing(true)) return;
  const std::uint8_t typeCode = sheet_->currentCellType();
  const TCellEditorChoice choice = chooseCellEditor(typeCode);
  switch (choice.kind) {
    case TCellEditorKind::none:
      return;
    case TCellEditorKind::toggle: {
      const bool edited = toggleCurrentCell(*sheet_, typeCode) == TCellWrite::written;
      refresh();
      if (edited) valueEdited();
      return;
    }
    case TCellEditorKind::color: {
      TColor color = sheet_->currentCellInteger();
      if (colorDialog && colorDialog->execute(handle(), color)) {
        const bool edited = writeCurrentCellColor(*sheet_, color) == TCellWrite::written;
        refresh();
        if (edited) valueEdited();
      }
      return;
    }
    default:
      break;
  }

  // A cell cut off at the edge of the surface is brought into view first:
  // an editor must not open where it cannot be seen.
  RECT cell;
  sheet_->getCurrentCellRect(cell);
  if (cell.left < 0 && sheet_->scrollToCurrentCell()) refresh();

  session_.open(*sheet_);
  const std::string text = openingEditorText(*sheet_, typeCode, initialText);
  switch (choice.kind) {
    case TCellEditorKind::number:
      numberEdit_->setText(text);
      numberTextChanged();
      showEditor(*numberPanel_, *numberEdit_);
      break;
    case TCellEditorKind::text:
      memo_ = hasLongParagraph(text) ? unwrappedMemo_ : wrappedMemo_;
      memo_->setText(text);
      applyCellAppearance(*memo_);
      memoLineCount_ = 0;
      showEditor(*memo_, *memo_);
      break;
    case TCellEditorKind::currency:
      currencyEdit_->setText(text);
      if (choice.cellAppearance) {
        applyCellAppearance(*currencyEdit_);
      } else {
        currencyEdit_->setFont(font());
        currencyEdit_->setColor(clWindow);
      }
      showEditor(*currencyPanel_, *currencyEdit_);
      break;
    case TCellEditorKind::image:
      imageEdit_->setText(text);
      applyCellAppearance(*imageEdit_);
      imagePreview_->setColor(imageEdit_->color());
      imageTextChanged();
      showEditor(*imagePanel_, *imageEdit_);
      break;
    case TCellEditorKind::date:
    case TCellEditorKind::time: {
      datePicker_->setKind(choice.kind == TCellEditorKind::time ? TDateTimeKind::time : TDateTimeKind::date);
      const TPickerValue& opening = session_.pickerOpening();
      datePicker_->setDateTime(opening.shown ? opening.value : newPickerDate);
      pickerChanged();
      showEditor(*datePanel_, datePicker_->picker());
      // A date typed onto the cell begins with the digit that opened the
      // picker: it goes into the picker's first field.
      if (initialText.size() == 1 && std::isdigit(static_cast<unsigned char>(initialText[0])))
        SendMessageA(datePicker_->picker().handle(), WM_CHAR, static_cast<unsigned char>(initialText[0]), 1);
      break;
    }
    default:
      session_.close();
      break;
  }
}

void TSheetPanel::showEditor(TControl& editor, TControl& focusTarget) {
  currentEditor_ = &editor;
  editorFocus_ = &focusTarget;
  placeEditor();
  editor.show();
  editor.bringToFront();
  if (focusTarget.canFocus()) focusTarget.setFocus();
  editor.repaint();
}

void TSheetPanel::placeEditor() {
  if (!currentEditor_) return;
  RECT cell;
  sheet_->getCurrentCellRect(cell);
  if (cell.left < 0) {
    // Scrolled out of sight: the editor waits off the surface.
    currentEditor_->setBounds(-100 - (cell.right - cell.left), -100, std::max(6L, cell.right - cell.left), 21);
    return;
  }
  const int width = cell.right - cell.left;
  const int height = cell.bottom - cell.top;
  if (currentEditor_ == memo_) {
    if (memoAutoHeight_) return;  // the height is being set from the memo's own change
    // A memo already in place keeps its grown height: moving it back and
    // forth on every paint would invalidate the surface and paint again.
    const RECT now = memo_->bounds();
    if (now.left != cell.left - 1 || now.top != cell.top - 1 || now.right - now.left != width) {
      memo_->setBounds(cell.left - 1, cell.top - 1, width, height);
    }
    memoLineCount_ = 1;
    memoChanged();
    return;
  }
  currentEditor_->setBounds(cell.left - 1, cell.top - 1, width, height);
  layoutEditorParts(width, height);
}

void TSheetPanel::layoutEditorParts(int width, int height) {
  if (currentEditor_ == datePanel_) {
    // The picker's own border lies outside the panel.
    datePicker_->setBounds(-3, -3, width + 5, height + 4);
  } else if (currentEditor_ == numberPanel_) {
    numberEdit_->setBounds(0, 0, std::max(0, width - spinWidth), height);
    numberSpin_->setBounds(width - spinWidth, 0, spinWidth, height);
  } else if (currentEditor_ == currencyPanel_) {
    const bool button = currencyPicker && currencyPicker->currencyCount() > 0;
    currencyButton_->setVisible(button);
    currencyEdit_->setBounds(0, 0, std::max(0, button ? width - spinWidth : width), height);
    currencyButton_->setBounds(width - spinWidth, 0, spinWidth, height);
  } else if (currentEditor_ == imagePanel_) {
    int previewWidth = 0;
    if (imagePreview_->imageIndex >= 0 && sheet_->imageList) {
      int imageWidth = 0;
      int imageHeight = 0;
      ImageList_GetIconSize(sheet_->imageList, &imageWidth, &imageHeight);
      previewWidth = imageWidth + 8;
    }
    imagePreview_->setBounds(0, 0, previewWidth, height);
    imageEdit_->setBounds(previewWidth, 0, std::max(0, width - spinWidth - previewWidth), height);
    imageSpin_->setBounds(width - spinWidth, 0, spinWidth, height);
  }
}

void TSheetPanel::applyCellAppearance(TControl& editor) {
  TFontProperties font;
  sheet_->getCurrentCellFont(font);
  editor.setFont(fontOf(font));
  editor.setColor(sheet_->currentCellFillColor());
}

// ---- Live colouring and the memo's height ----

void TSheetPanel::numberTextChanged() {
  if (!session_.isOpen()) return;
  TFontProperties font;
  std::int32_t fill = clWindow;
  sheet_->getCurrentCellFormatForText(numberEdit_->text(), font, fill);
  numberEdit_->setFont(fontOf(font));
  numberEdit_->setColor(fill);
}

void TSheetPanel::pickerChanged() {
  if (!session_.isOpen()) return;
  double value = session_.pickerOpening().value;
  if (!pickedValue(value) && !session_.pickerOpening().shown) value = std::trunc(datePicker_->dateTime());
  TFontProperties font;
  std::int32_t fill = clWindow;
  sheet_->getCurrentCellFormatForNumber(value, font, fill);
  datePanel_->setColor(fill);
  datePicker_->setFillColor(fill);
}

void TSheetPanel::memoChanged() {
  if (memoAutoHeight_ || currentEditor_ != memo_) return;
  const int lines = memo_->lineCount();
  if (lines == memoLineCount_) return;
  memoAutoHeight_ = true;
  memoLineCount_ = lines;
  RECT cell;
  sheet_->getCurrentCellRect(cell);
  if (cell.left >= 0) {
    const int cellHeight = cell.bottom - cell.top;
    int height = cellHeight;
    if (lines >= 2) {
      const int wanted =
          static_cast<int>(std::trunc(std::abs(memo_->font().height()) * memoLineHeight * (lines + memoExtraLines)));
      height = std::min(paintBox_->clientHeight() - static_cast<int>(cell.top), std::max(cellHeight, wanted));
    }
    memo_->setBounds(cell.left - 1, cell.top - 1, cell.right - cell.left, height);
  }
  memoAutoHeight_ = false;
}

void TSheetPanel::imageTextChanged() {
  std::int32_t index = -1;
  const bool usable = sheet_->imageList && sheet_->tryStrToIntStrict(imageEdit_->text(), index) && index >= 0 &&
                      index < ImageList_GetImageCount(sheet_->imageList);
  imagePreview_->images = sheet_->imageList;
  imagePreview_->imageIndex = usable ? index : -1;
  if (currentEditor_ == imagePanel_) {
    layoutEditorParts(imagePanel_->width(), imagePanel_->height());
    imagePreview_->invalidate();
  }
}

void TSheetPanel::spinEditor(TInPlaceEdit& edit, TSpinButton& spin, int direction) {
  std::string text = edit.text();
  if (!spinStep(*sheet_, text, direction)) {
    // Not a number: nothing to count from, and nothing typed is lost.
    spin.stop();
    MessageBeep(MB_OK);
    return;
  }
  edit.setText(text);
  edit.caretToEnd();
}

void TSheetPanel::pickCurrency() {
  if (!currencyPicker || !session_.isOpen()) return;
  RECT anchor{};
  GetWindowRect(currencyPanel_->handle(), &anchor);
  std::string symbol = currencyEdit_->text();
  if (currencyPicker->pickCurrency(anchor, symbol) && session_.isOpen()) currencyEdit_->setText(symbol);
  if (session_.isOpen() && currencyEdit_->canFocus()) currencyEdit_->setFocus();
}

// ---- Ending ----

bool TSheetPanel::pickedValue(double& value) const {
  const double picked = datePicker_->dateTime();
  const double day = std::trunc(picked);
  return pickedCellValue(session_.pickerOpening(), session_.choice().kind == TCellEditorKind::time, day,
                         std::fabs(picked - day), value);
}

bool TSheetPanel::focusInsideEditor() const {
  return currentEditor_ && currentEditor_->holdsFocus();
}

void TSheetPanel::editorExit() {
  if (endingEditor_ || askingAboutText_ || !session_.isOpen() || focusInsideEditor()) return;
  // Left because the grid went out of sight: no one could correct a refused
  // value there.
  endEdit(IsWindowVisible(handle()) ? TEditEnding::take : TEditEnding::giveUp);
}

bool TSheetPanel::endEdit(TEditEnding ending) {
  if (!session_.isOpen()) return true;
  if (finishEditing(true, ending == TEditEnding::closing)) return true;
  // Not while the reason is still on the screen.
  if (ending == TEditEnding::giveUp && !askingAboutText_) finishEditing(false);
  return false;
}

void TSheetPanel::acceptEditing() {
  if (finishEditing(true) && canFocus()) setFocus();
}

void TSheetPanel::cancelEditing() {
  finishEditing(false);
  if (canFocus()) setFocus();
}

TCellWrite TSheetPanel::commitEditor() {
  const std::uint8_t typeCode = session_.typeCode();
  hostRefusal_.clear();
  unreadableText_.clear();
  TBoundNumberVeto veto;
  if (refuseBoundNumber)
    veto = [this](double number) {
      hostRefusal_ = refuseBoundNumber(number);
      return !hostRefusal_.empty();
    };
  switch (session_.choice().kind) {
    case TCellEditorKind::date:
    case TCellEditorKind::time: {
      double value = 0.0;
      return pickedValue(value) ? commitPickedValue(*sheet_, typeCode, value, veto) : TCellWrite::nothing;
    }
    case TCellEditorKind::text:
      return commitEditorText(*sheet_, typeCode, memo_->text(), false, veto);
    case TCellEditorKind::number:
      return commitEditorText(*sheet_, typeCode, numberEdit_->text(), numberRequired && numberRequired(), veto,
                              &unreadableText_);
    case TCellEditorKind::currency:
      return commitEditorText(*sheet_, typeCode, currencyEdit_->text());
    case TCellEditorKind::image:
      return commitEditorText(*sheet_, typeCode, imageEdit_->text());
    default:
      return TCellWrite::nothing;
  }
}

bool TSheetPanel::keptAfterTelling(const std::function<bool()>& tell) {
  // The message taking the focus is no leaving of the editor.
  askingAboutText_ = true;
  const bool accepted = tell();
  askingAboutText_ = false;
  if (!accepted && editorFocus_ && editorFocus_->canFocus()) editorFocus_->setFocus();
  return accepted;
}

bool TSheetPanel::typedTextAccepted() {
  const TInPlaceEdit* edit = nullptr;
  switch (session_.choice().kind) {
    case TCellEditorKind::text: edit = memo_; break;
    case TCellEditorKind::number: edit = numberEdit_; break;
    case TCellEditorKind::currency: edit = currencyEdit_; break;
    case TCellEditorKind::image: edit = imageEdit_; break;
    default: return true;
  }
  const std::string text = edit->text();
  if (text == currentEditableText(*sheet_, session_.choice())) return true;
  if (onAcceptTypedText && !keptAfterTelling([&] { return onAcceptTypedText(text); })) return false;
  const bool formula = !session_.choice().bound && text.rfind('=', 0) == 0;
  if (edit != currencyEdit_ || formula || !unlistedCurrency(text)) return true;
  // No rate reaches a code the list does not know unless the user keeps
  // currency tables of its own, so a slip such as "P" would leave every
  // figure in it an error: the user decides, and No leaves the text to mend.
  std::string question = "\"";
  question += normalizeCurrency(text);
  question +=
      "\" is not a currency of the list, so its figures are errors unless a currency table converts it. Keep it?";
  return keptAfterTelling([&] {
    return messages->show(handle(), question, commonString(2), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  });
}

bool TSheetPanel::finishEditing(bool commit, bool closing) {
  if (askingAboutText_) return false;
  if (!session_.isOpen() || endingEditor_) return true;
  bool edited = false;
  // Declined at a question: the text stays to be mended, or goes where the
  // user's answer must settle the edit (a close, which then goes on).
  if (commit && session_.belongsTo(*sheet_) && !typedTextAccepted()) {
    if (!closing) return false;
    commit = false;
  }
  if (commit && session_.belongsTo(*sheet_)) {
    const TCellWrite result = commitEditor();
    if (result == TCellWrite::refused) {
      std::string reason = unreadableText_;
      if (reason.empty()) reason = hostRefusal_.empty() ? refusalText(session_.typeCode()) : hostRefusal_;
      const TCellEditorKind kind = session_.choice().kind;
      if (!reason.empty() && (kind == TCellEditorKind::date || kind == TCellEditorKind::time)) {
        // A picked value has no text to correct: the editor closes on the
        // old value before the message takes the focus.
        session_.close();
        hideEditor();
        refresh();
      }
      if (reason.empty()) {
        MessageBeep(MB_ICONEXCLAMATION);
      } else {
        // A typed text stays in its editor for the user to correct.
        keptAfterTelling([&] {
          messages->show(handle(), reason, commonString(4), MB_OK | MB_ICONWARNING);
          return false;
        });
        // A close goes on once the user has read why: the text is given up
        // and the cell keeps what it held.
        if (closing) commit = false;
      }
      if (commit || !session_.isOpen()) {
        if (session_.isOpen() && editorFocus_ && editorFocus_->canFocus()) editorFocus_->setFocus();
        return !commit;
      }
    }
    edited = result == TCellWrite::written;
  }
  session_.close();
  hideEditor();
  if (edited) valueEdited();
  refresh();
  return true;
}

void TSheetPanel::hideEditor() {
  endingEditor_ = true;
  numberSpin_->stop();
  imageSpin_->stop();
  // The focus must not stay on a hidden window.
  if (focusInsideEditor() && canFocus()) setFocus();
  if (currentEditor_) {
    currentEditor_->hide();
    currentEditor_->setBounds(-100, -100, currentEditor_->width(), currentEditor_->height());
  }
  currentEditor_ = nullptr;
  editorFocus_ = nullptr;
  endingEditor_ = false;
}

void TSheetPanel::valueEdited() {
  if (onCellValueEdited) onCellValueEdited();
}
