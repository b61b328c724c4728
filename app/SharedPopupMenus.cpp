#include "app/SharedPopupMenus.h"

#include "app/MainForm.h"
#include "controls/EditPanel.h"
#include "controls/FontAttributeSets.h"
#include "controls/ResizablePanel.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"

TsharedPopupMenus::TsharedPopupMenus(TmainForm& owner)
    : sheetChartAndGraphPopupMenu(owner), webPanelMenus(owner), owner_(owner) {
  buildNotesMenu();
  shortcutHook_ = application().addMessageHook([this](MSG& message) { return notesShortcut(message); });
}

TsharedPopupMenus::~TsharedPopupMenus() {
  application().removeMessageHook(shortcutHook_);
  // The main window's dialogs outlive these menus: they must not call back.
  detachSearchHandlers();
}

void TsharedPopupMenus::addShortcut(TMenuItem& item, WORD key, bool control, bool shift, TMenuItem* parent) {
  notesShortcuts_.push_back({key, control, shift, &item, parent});
}

bool TsharedPopupMenus::notesShortcut(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  TEditPanel* editor = nullptr;
  for (TControl* control = TControl::fromHandle(message.hwnd); control != nullptr && editor == nullptr;
       control = control->parent())
    editor = dynamic_cast<TEditPanel*>(control);
  if (editor == nullptr || editor->popupMenu() != &notesPopupMenu) return false;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  for (const TShortcut& shortcut : notesShortcuts_) {
    if (shortcut.key != message.wParam || shortcut.control != control || shortcut.shift != shift) continue;
    notesPopupMenu.popupComponent = editor;
    notesPopup();
    // A disabled item leaves the key to the editor.
    if (!shortcut.item->enabled || !shortcut.item->onClick || (shortcut.parent && !shortcut.parent->enabled))
      return false;
    shortcut.item->onClick();
    return true;
  }
  return false;
}

TEditPanel* TsharedPopupMenus::notesTarget() const { return dynamic_cast<TEditPanel*>(notesPopupMenu.popupComponent); }

void TsharedPopupMenus::buildNotesMenu() {
  TPopupMenu& menu = notesPopupMenu;
  menu.onPopup = [this] { notesPopup(); };
  notesMaximizedItem_ = &menu.add("&Maximized", [this] { notesMaximizedClick(); });
  notesEditItem_ = &menu.add("&Edit");
  const auto onEditor = [this](void (TEditPanel::*action)()) {
    return [this, action] {
      if (TEditPanel* editor = notesTarget()) (editor->*action)();
    };
  };
  const auto onEditorBool = [this](bool (TEditPanel::*action)()) {
    return [this, action] {
      if (TEditPanel* editor = notesTarget()) (editor->*action)();
    };
  };
  notesUndoItem_ = &notesEditItem_->add("&Undo\tCtrl+Z", onEditorBool(&TEditPanel::undo));
  addShortcut(*notesUndoItem_, 'Z', true, false, notesEditItem_);
  notesRedoItem_ = &notesEditItem_->add("&Redo\tCtrl+Shift+Z", onEditorBool(&TEditPanel::redo));
  addShortcut(*notesRedoItem_, 'Z', true, true, notesEditItem_);
  notesCutItem_ = &menu.add("Cut\tCtrl+X", onEditorBool(&TEditPanel::cut));
  addShortcut(*notesCutItem_, 'X', true, false);
  notesCopyItem_ = &menu.add("&Copy\tCtrl+C", onEditor(&TEditPanel::copy));
  addShortcut(*notesCopyItem_, 'C', true, false);
  notesPasteItem_ = &menu.add("&Paste\tCtrl+V", onEditorBool(&TEditPanel::paste));
  addShortcut(*notesPasteItem_, 'V', true, false);
  notesDeleteItem_ = &menu.add("&Delete\tCtrl+Del", onEditorBool(&TEditPanel::deleteSelection));
  addShortcut(*notesDeleteItem_, VK_DELETE, true, false);
  notesDeleteLineItem_ = &menu.add("Delete &Line\tCtrl+Y", onEditor(&TEditPanel::deleteLine));
  addShortcut(*notesDeleteLineItem_, 'Y', true, false);
  addShortcut(menu.add("&Select all\tCtrl+A", onEditor(&TEditPanel::selectAll)), 'A', true, false);
  addShortcut(menu.add("&Time/Date\tF5", [this] { notesTimeDateClick(); }), VK_F5, false, false);
  notesSearchItem_ = &menu.add("&Search");
  addShortcut(notesSearchItem_->add("&Find\tCtrl+F", [this] { notesFindClick(); }), 'F', true, false,
              notesSearchItem_);
  addShortcut(notesSearchItem_->add("&Replace\tCtrl+R", [this] { notesReplaceClick(); }), 'R', true, false,
              notesSearchItem_);
  addShortcut(notesSearchItem_->add("&Search again\tF3", [this] { notesSearchAgainClick(); }), VK_F3, false,
              false, notesSearchItem_);
  notesSetupItem_ = &menu.add("Set&up");
  notesFontItem_ = &notesSetupItem_->add("&Font", [this] { notesFontClick(); });
  notesSetupItem_->add("&Color", [this] { notesColorClick(); });
}

namespace {

// The nearest resizable panel holding the control, or null.
TResizablePanel* enclosingPanel(TControl* control) {
  for (TControl* parent = control ? control->parent() : nullptr; parent != nullptr; parent = parent->parent())
    if (auto* panel = dynamic_cast<TResizablePanel*>(parent)) return panel;
  return nullptr;
}

TForm* enclosingForm(TControl* control) {
  for (TControl* parent = control ? control->parent() : nullptr; parent != nullptr; parent = parent->parent())
    if (auto* form = dynamic_cast<TForm*>(parent)) return form;
  return nullptr;
}

bool formMaximized(TForm& form) { return IsZoomed(form.handle()) != FALSE; }

}  // namespace

void TsharedPopupMenus::notesPopup() {
  TEditPanel* editor = notesTarget();
  TEditorStatus* document = editor ? editor->editorStatus() : nullptr;
  const bool hasDocument = document != nullptr;
  std::string selectedText;
  if (hasDocument) document->getSelectedText(selectedText);
  const bool selected = !selectedText.empty();
  const bool editable = hasDocument && !editor->isReadOnly();
  TResizablePanel* panel = enclosingPanel(editor);
  TForm* form = panel ? nullptr : enclosingForm(editor);
  notesMaximizedItem_->enabled = panel != nullptr || form != nullptr;
  notesMaximizedItem_->checked = panel ? panel->maximized() : form != nullptr && formMaximized(*form);
  notesEditItem_->enabled = hasDocument;
  notesUndoItem_->enabled = hasDocument && editor->canUndo() > 0;
  notesRedoItem_->enabled = hasDocument && editor->canRedo() > 0;
  notesCutItem_->enabled = selected && editable;
  notesCopyItem_->enabled = selected;
  notesPasteItem_->enabled = editable && editor->canPaste();
  notesDeleteItem_->enabled = selected && editable;
  notesDeleteLineItem_->enabled = editable;
  notesSearchItem_->enabled = hasDocument;
  notesSetupItem_->enabled = hasDocument;
  notesFontItem_->enabled = hasDocument && editor->fontAttributeSets() != nullptr;
}

void TsharedPopupMenus::notesMaximizedClick() {
  TEditPanel* editor = notesTarget();
  if (TResizablePanel* panel = enclosingPanel(editor)) {
    panel->toggleMaximized();
  } else if (TForm* form = enclosingForm(editor)) {
    ShowWindow(form->handle(), formMaximized(*form) ? SW_RESTORE : SW_MAXIMIZE);
  }
}

void TsharedPopupMenus::placeOnFirstUse(TFindDialog& dialog, TEditPanel& editor) {
  if (dialog.tag != 0) return;
  POINT corner{0, 0};
  ClientToScreen(editor.handle(), &corner);
  dialog.setPosition(corner.x, corner.y);
  dialog.tag = 1;
}

void TsharedPopupMenus::notesFindClick() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  TFindDialog& dialog = owner_.findDialog;
  dialog.onFind = [this] { notesFind(); };
  dialog.onClose = [this] { detachSearchHandlers(); };
  dialog.execute(owner_.handle());
  placeOnFirstUse(dialog, *editor);
}

void TsharedPopupMenus::notesFind() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  TFindDialog& dialog = owner_.findDialog;
  owner_.replaceDialog.findText = dialog.findText;
  TSearchOptions options;
  options.down = dialog.options.down;
  options.wholeWord = dialog.options.wholeWord;
  options.matchCase = dialog.options.matchCase;
  editor->find(dialog.findText, options);
}

void TsharedPopupMenus::notesSearchAgainClick() { notesFind(); }

void TsharedPopupMenus::notesReplaceClick() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  TFindDialog& dialog = owner_.replaceDialog;
  dialog.onFind = [this] { replaceFind(); };
  dialog.onReplace = [this] { replaceReplace(); };
  dialog.onClose = [this] { detachSearchHandlers(); };
  dialog.execute(owner_.handle());
  placeOnFirstUse(dialog, *editor);
}

void TsharedPopupMenus::replaceFind() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  TFindDialog& dialog = owner_.replaceDialog;
  owner_.findDialog.findText = dialog.findText;
  TSearchOptions options;
  options.down = true;
  options.wholeWord = dialog.options.wholeWord;
  options.matchCase = dialog.options.matchCase;
  editor->find(dialog.findText, options);
}

void TsharedPopupMenus::replaceReplace() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  TFindDialog& dialog = owner_.replaceDialog;
  TSearchOptions options;
  options.replaceAll = dialog.options.replaceAll;
  options.wholeWord = dialog.options.wholeWord;
  options.matchCase = dialog.options.matchCase;
  editor->replace(dialog.findText, dialog.replaceText, options);
}

// Other windows share the dialogs: once closed they carry no notes handlers.
void TsharedPopupMenus::detachSearchHandlers() {
  owner_.findDialog.onFind = nullptr;
  owner_.findDialog.onClose = nullptr;
  owner_.replaceDialog.onClose = nullptr;
  owner_.replaceDialog.onFind = nullptr;
  owner_.replaceDialog.onReplace = nullptr;
}

void TsharedPopupMenus::notesFontClick() {
  TEditPanel* editor = notesTarget();
  TFontAttributeSets* sets = editor ? editor->fontAttributeSets() : nullptr;
  // A table without the set of id 0 has no font to change: nothing happens.
  TFontAttributes* base = sets ? sets->find(0) : nullptr;
  if (base == nullptr) return;
  TFont font(base->fontName, base->size, base->style);
  font.setColor(static_cast<TColor>(base->colour));
  if (!owner_.fontDialog.execute(owner_.handle(), font)) return;
  base->fontName = font.name();
  base->size = font.size();
  base->style = font.style();
  base->colour = static_cast<int32_t>(font.color());
  // Settings files keep 1 for variable and 2 for fixed pitch, the other way
  // round from the system's font records.
  const int systemPitch = font.logFont().lfPitchAndFamily & 3;
  base->pitch = systemPitch == FIXED_PITCH ? 2 : systemPitch == VARIABLE_PITCH ? 1 : 0;
  base->widthsStale = true;
  editor->setFontAttributeSets(sets);
}

void TsharedPopupMenus::notesColorClick() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr || editor->editorStatus() == nullptr) return;
  TColor colour = editor->bgColor();
  if (owner_.colorDialog.execute(owner_.handle(), colour)) editor->setBgColor(colour);
}

void TsharedPopupMenus::notesTimeDateClick() {
  TEditPanel* editor = notesTarget();
  if (editor == nullptr) return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  double date = 0;
  double time = 0;
  encodeDate(now.wYear, now.wMonth, now.wDay, date);
  encodeTime(now.wHour, now.wMinute, now.wSecond, 0, time);
  editor->insertText(formatDateTime("c", combineDateAndTime(date, time)));
}
