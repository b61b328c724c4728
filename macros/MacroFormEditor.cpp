#include "macros/MacroForm.h"

#include <algorithm>
#include <ctime>

#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/PageControl.h"

bool TmacroForm::showsSelectedMacro() const { return macroEditPanel_->editorStatus() == &selectedMacroStatus_; }

void TmacroForm::macroEditPageControlChange() {
  if (TEditorStatus* shown = macroEditPanel_->editorStatus()) shown->backgroundColour = editorColor_;
  TEditorStatus& document =
      macroEditPageControl_->activePage() == activeMacrosTabSheet_ ? activeMacrosStatus_ : selectedMacroStatus_;
  document.backgroundColour = editorColor_;
  macroEditPanel_->setEditorStatus(&document);
  macroEditorStatusBar_->setPanelText(1, document.insertMode ? "Insert" : "Overwrite");
  if (macroEditPanel_->canFocus()) macroEditPanel_->setFocus();
}

void TmacroForm::macroEditPanelExit() {
  if (!showsSelectedMacro() || selectedMacroStatus_.fileName.empty()) return;
  if (!selectedMacroStatus_.modified ||
      saveDocumentAsking(selectedMacroStatus_, false, systemMessageBox(), handle()) != TDocumentSave::saved)
    return;
  selectedMacroTabSheet_->setCaption(selectedMacroFileName_);
  int row = macroListView_->itemIndex();
  TMacroReference* package = row >= 0 ? macroIndex_.item(static_cast<int>(macroListView_->itemData(row))) : nullptr;
  if (package != nullptr && package->Active()) loadMacros();
}

void TmacroForm::macroEditPanelRender() {
  if (TEditorStatus* document = macroEditPanel_->editorStatus()) {
    TTextPoint caret = document->getCaret();
    macroEditorStatusBar_->setPanelText(0, std::to_string(caret.y) + ": " + std::to_string(caret.x));
  }
  if (!selectedMacroFileName_.empty())
    selectedMacroTabSheet_->setCaption(selectedMacroFileName_ + (selectedMacroStatus_.modified ? "*" : ""));
}

void TmacroForm::getTextAttributes(const std::string& text, std::vector<uint16_t>& attributeIds) {
  if (!colouringEnabled || !host_.hasScriptDebug() || text.empty()) return;
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  // The engine colours characters; the editor's array has one entry a byte,
  // which the system code page makes the same count.
  std::vector<SOURCE_TEXT_ATTR> attributes(wide.size() + 1, 0);
  if (!host_.getScriptTextAttributes(wide, attributes)) return;
  size_t count = std::min(attributeIds.size(), wide.size());
  for (size_t i = 0; i < count; ++i) attributeIds[i] = attributes[i];
}

// ---- menus

void TmacroForm::buildListPopupMenu() {
  TMenuItem& find = macroListPopupMenu_.add("&Find", [this] { findInList(); });
  TMenuItem& created = macroListPopupMenu_.add("&New", [this] { newMacro(); });
  TMenuItem& copied = macroListPopupMenu_.add("&Copy", [this] { copyMacro(); });
  TMenuItem& deleted = macroListPopupMenu_.add("&Delete", [this] { deleteMacros(); });
  macroListPopupMenu_.onPopup = [this, &find, &created, &copied, &deleted] {
    find.enabled = findDialog_ != nullptr && macroListView_->itemCount() > 0;
    created.enabled = macroIndex_.indexOf("New") < 0;
    copied.enabled = deleted.enabled = macroListView_->selectedCount() > 0;
  };
}

void TmacroForm::buildEditorPopupMenu() {
  TMenuItem& edit = editorPopupMenu_.add("&Edit");
  TMenuItem& undo = edit.add("&Undo\tCtrl+Z", [this] { macroEditPanel_->undo(); });
  TMenuItem& redo = edit.add("&Redo\tCtrl+Shift+Z", [this] { macroEditPanel_->redo(); });
  TMenuItem& cut = edit.add("Cut\tCtrl+X", [this] { macroEditPanel_->cut(); });
  TMenuItem& copy = edit.add("&Copy\tCtrl+C", [this] { macroEditPanel_->copy(); });
  TMenuItem& paste = edit.add("&Paste\tCtrl+V", [this] { macroEditPanel_->paste(); });
  TMenuItem& remove = edit.add("&Delete\tCtrl+Del", [this] { macroEditPanel_->deleteSelection(); });
  TMenuItem& deleteLine = edit.add("Delete &Line\tCtrl+Y", [this] { macroEditPanel_->deleteLine(); });
  edit.add("&Select all\tCtrl+A", [this] { macroEditPanel_->selectAll(); });
  TMenuItem& timeDate = edit.add("&Time/Date\tF5", [this] { insertTimeDate(); });
  TMenuItem& search = editorPopupMenu_.add("&Search");
  TMenuItem& find = search.add("&Find\tCtrl+F", [this] { editorFind(false); });
  TMenuItem& replace = search.add("&Replace\tCtrl+R", [this] { editorFind(true); });
  TMenuItem& again = search.add("&Search again\tF3", [this] { searchAgain(); });
  TMenuItem& setup = editorPopupMenu_.add("Set&up");
  TMenuItem& engines = setup.add("&Engines");
  TMenuItem& reset = engines.add("&Reset", [this] { loadMacros(); });
  TMenuItem& fonts = engines.add("&Fonts");
  const char* fontCaptions[] = {"&Keywords", "&Operators", "&Numbers", "&Strings", "F&unction starts", "&Comments",
                                "Not &source"};
  for (int fontClass = fcKeyword; fontClass < fontClassCount; ++fontClass)
    fonts.add(fontCaptions[fontClass - 1], [this, fontClass] { getFontAttributes(fontClass); });
  engines.add("&Add", [this] { editorEnginesAddMenuItemClick(); });
  TMenuItem& editEngine = engines.add("&Edit", [this] { editorEnginesEditMenuItemClick(); });
  TMenuItem& deleteEngine = engines.add("&Delete", [this] { editorEnginesDeleteMenuItemClick(); });
  TMenuItem& colour = setup.add("&Color", [this] { editorColorMenuItemClick(); });
  editorPopupMenu_.onPopup = [=, this, &edit, &undo, &redo, &cut, &copy, &paste, &remove, &deleteLine, &timeDate,
                              &search, &find, &replace, &again, &setup, &reset, &fonts, &editEngine, &deleteEngine,
                              &colour] {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    bool shown = macroEditPanel_->editorStatus() != nullptr;
    bool editable = !macroEditPanel_->isReadOnly();
    TTextRect selected;
    if (shown) macroEditPanel_->editorStatus()->getSelectionOrdered(selected);
    bool selection = shown && (selected.left != selected.right || selected.top != selected.bottom);
    edit.enabled = search.enabled = setup.enabled = shown;
    undo.enabled = macroEditPanel_->canUndo() > 0;
    redo.enabled = macroEditPanel_->canRedo() > 0;
    cut.enabled = remove.enabled = selection && editable;
    copy.enabled = selection;
    paste.enabled = editable && macroEditPanel_->canPaste();
    deleteLine.enabled = timeDate.enabled = editable;
    find.enabled = again.enabled = findDialog_ != nullptr;
    replace.enabled = replaceDialog_ != nullptr && editable;
    bool engineSelected = selectedEngine() != nullptr;
    reset.enabled = editEngine.enabled = deleteEngine.enabled = engineSelected;
    fonts.enabled = fontDialog_ != nullptr;
    colour.enabled = colorDialog_ != nullptr;
  };
  macroEditPanel_->onKeyDown = [this](WORD& key, TShiftState shift) { macroEditPanelKeyDown(key, shift); };
}

// The short-cuts the editor menu shows, each doing what its entry does; the
// document ignores them when it is read-only.
void TmacroForm::macroEditPanelKeyDown(WORD& key, TShiftState shift) {
  const TShiftState modifiers = shift & (ssCtrl | ssAlt | ssShift);
  bool handled = true;
  if (modifiers == ssCtrl) {
    switch (key) {
      case 'Z': macroEditPanel_->undo(); break;
      case 'X': macroEditPanel_->cut(); break;
      case 'C': macroEditPanel_->copy(); break;
      case 'V': macroEditPanel_->paste(); break;
      case VK_DELETE: macroEditPanel_->deleteSelection(); break;
      case 'Y': macroEditPanel_->deleteLine(); break;
      case 'A': macroEditPanel_->selectAll(); break;
      case 'F': editorFind(false); break;
      case 'R': editorFind(true); break;
      default: handled = false;
    }
  } else if (modifiers == (ssCtrl | ssShift) && key == 'Z') {
    macroEditPanel_->redo();
  } else if (modifiers == 0 && key == VK_F5) {
    insertTimeDate();
  } else if (modifiers == 0 && key == VK_F3) {
    searchAgain();
  } else {
    handled = false;
  }
  if (handled) key = 0;
}

void TmacroForm::insertTimeDate() {
  if (macroEditPanel_->isReadOnly()) return;
  char text[64];
  std::time_t now = std::time(nullptr);
  std::strftime(text, sizeof text, "%x %X", std::localtime(&now));
  macroEditPanel_->insertText(text);
}

void TmacroForm::searchAgain() {
  if (findDialog_ == nullptr || findDialog_->findText.empty()) return;
  TSearchOptions options;
  options.down = findDialog_->options.down;
  options.wholeWord = findDialog_->options.wholeWord;
  options.matchCase = findDialog_->options.matchCase;
  macroEditPanel_->find(findDialog_->findText, options);
}

void TmacroForm::editorFind(bool replace) {
  TFindDialog* dialog = replace ? replaceDialog_ : findDialog_;
  if (dialog == nullptr || (replace && macroEditPanel_->isReadOnly())) return;
  auto optionsOf = [dialog] {
    TSearchOptions options;
    options.down = dialog->options.down;
    options.wholeWord = dialog->options.wholeWord;
    options.matchCase = dialog->options.matchCase;
    return options;
  };
  dialog->onFind = [this, dialog, optionsOf] { macroEditPanel_->find(dialog->findText, optionsOf()); };
  dialog->onReplace = [this, dialog, optionsOf] {
    TSearchOptions options = optionsOf();
    options.replaceAll = dialog->options.replaceAll;
    macroEditPanel_->replace(dialog->findText, dialog->replaceText, options);
  };
  dialog->onClose = [dialog] {
    dialog->onFind = nullptr;
    dialog->onReplace = nullptr;
  };
  RECT at;
  GetWindowRect(macroEditPanel_->handle(), &at);
  dialog->setPosition(at.left, at.top);
  dialog->execute(handle());
}

void TmacroForm::findInList() {
  if (findDialog_ == nullptr || macroListView_->itemCount() == 0) return;
  TFindDialog* dialog = findDialog_;
  dialog->onFind = [this, dialog] {
    std::string wanted = dialog->findText;
    if (!dialog->options.matchCase) CharUpperBuffA(wanted.data(), static_cast<DWORD>(wanted.size()));
    int count = macroListView_->itemCount();
    int current = macroListView_->itemIndex();
    int step = dialog->options.down ? 1 : -1;
    for (int row = current + step; row >= 0 && row < count; row += step) {
      std::string caption = macroListView_->itemText(row);
      bool found = caption.find(wanted) != std::string::npos;
      if (!found && !dialog->options.matchCase) {
        CharUpperBuffA(caption.data(), static_cast<DWORD>(caption.size()));
        found = caption.find(wanted) != std::string::npos;
      }
      if (found) {
        macroListView_->clearSelection();
        macroListView_->setItemIndex(row);
        selectMacro();
        return;
      }
    }
  };
  dialog->onReplace = nullptr;
  dialog->onClose = [dialog] { dialog->onFind = nullptr; };
  // Below the selected package, or at the list's top-left corner.
  const int row = macroListView_->itemIndex();
  POINT at{0, 0};
  if (row >= 0) {
    const RECT item = macroListView_->itemRect(row);
    at = {item.left, item.bottom};
  }
  ClientToScreen(macroListView_->handle(), &at);
  dialog->setPosition(at.x, at.y);
  dialog->execute(handle());
}

void TmacroForm::editorColorMenuItemClick() {
  if (colorDialog_ == nullptr) return;
  TColor colour = editorColor_;
  if (!colorDialog_->execute(handle(), colour)) return;
  editorColor_ = colour;
  macroEditPanel_->setBgColor(colour);
}
