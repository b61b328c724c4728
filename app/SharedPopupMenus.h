#pragma once
#include "app/ChartPopupMenu.h"
#include "app/WebPanelMenus.h"
#include <windows.h>

#include <vector>

#include "platform/Menu.h"

class TEditPanel;
class TmainForm;

// The popup menus the main window hands to every document window: one set
// of handlers serves the views of all windows, each working on the view the
// menu was opened on.
class TsharedPopupMenus {
 public:
  explicit TsharedPopupMenus(TmainForm& owner);
  ~TsharedPopupMenus();
  TsharedPopupMenus(const TsharedPopupMenus&) = delete;
  TsharedPopupMenus& operator=(const TsharedPopupMenus&) = delete;

  TchartPopupMenu sheetChartAndGraphPopupMenu;
  TPopupMenu notesPopupMenu;
  // The timer, set-up and favourites menus of the web panels.
  TwebPanelMenus webPanelMenus;

  // The notes editor the notes menu was opened on, or null.
  TEditPanel* notesTarget() const;

  // Notes menu handlers (public for the shortcuts of the editors' hosts).
  void notesPopup();
  void notesMaximizedClick();
  void notesFindClick();
  void notesReplaceClick();
  void notesFind();
  void notesSearchAgainClick();
  void notesFontClick();
  void notesColorClick();
  void notesTimeDateClick();

 private:
  void buildNotesMenu();
  void addShortcut(TMenuItem& item, WORD key, bool control, bool shift, TMenuItem* parent = nullptr);
  // The notes menu's shortcuts pressed in an editor that carries the menu.
  bool notesShortcut(const MSG& message);
  void replaceFind();
  void replaceReplace();
  void detachSearchHandlers();
  void placeOnFirstUse(class TFindDialog& dialog, TEditPanel& editor);

  TmainForm& owner_;
  TMenuItem* notesMaximizedItem_ = nullptr;
  TMenuItem* notesEditItem_ = nullptr;
  TMenuItem* notesUndoItem_ = nullptr;
  TMenuItem* notesRedoItem_ = nullptr;
  TMenuItem* notesCutItem_ = nullptr;
  TMenuItem* notesCopyItem_ = nullptr;
  TMenuItem* notesPasteItem_ = nullptr;
  TMenuItem* notesDeleteItem_ = nullptr;
  TMenuItem* notesDeleteLineItem_ = nullptr;
  TMenuItem* notesSearchItem_ = nullptr;
  TMenuItem* notesSetupItem_ = nullptr;
  TMenuItem* notesFontItem_ = nullptr;
  struct TShortcut {
    WORD key;
    bool control;
    bool shift;
    TMenuItem* item;
    TMenuItem* parent;  // a submenu that must be enabled too, or null
  };
  std::vector<TShortcut> notesShortcuts_;
  int shortcutHook_ = 0;
};
