#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "controls/FontAttributeSets.h"
#include "controls/ToolGlyphs.h"
#include "app/WebMosaics.h"
#include "controls/WebPanel.h"
#include "model/SettingsBaseline.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "platform/Timer.h"

class TEditPanel;
class TEditorStatus;
class TFindDialog;
class TListViewXPSafe;
class TMessageBox;
class TPanel;
class TPortableIniFile;
class TResizablePanel;
class TResizablePanelContainer;
class TToolButton;
class TgalleryForm;

// What the main window answers for every web panel of the Web tab.
struct TWebPanelRequests {
  std::function<void(TWebPanel&)> makeDefault;
  std::function<void(TWebPanel&)> clearDefault;
  std::function<void(TWebPanel&)> deleteRequest;
};

// The Web tab: the mosaics on the left, and on the right the tiles of the
// selected one, its web panels and its notes. Selecting a mosaic saves and
// unloads the one shown and loads the new one after a short delay, so that
// running through the list loads only where the user stops.
class TwebForm : public TChildForm {
 public:
  static constexpr int selectionDelayMilliseconds = 200;

  explicit TwebForm(TMessageBox& messages, TWebPanel::TBrowserFactory browserFactory = {});
  ~TwebForm() override;

  void setFindDialog(TFindDialog* dialog) { findDialog_ = dialog; }
  void setGalleryForm(TgalleryForm* gallery);
  void setExternalPopupMenus(TPopupMenu* timedRefresh, TPopupMenu* setup, TPopupMenu* favs, TPopupMenu* notes);
  void setExternalEvents(TWebPanelRequests requests) { requests_ = std::move(requests); }
  void loadTranslations(const std::string& languageFile) { languageFile_ = languageFile; }
  // Trimmed and upper-cased; a new root lists its mosaics.
  void setMosaicsRoot(const std::string& path);
  const std::string& mosaicsRoot() const { return mosaicsRoot_; }
  // Section "ProfileSheet" of the window-layout file.
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;

  // Leaving the tab switches the browsers off and saves. Each gives the
  // files that could not be written.
  TSaveFailures tabLeft();
  TSaveFailures saveWebPanels();
  // As saveWebPanels before the panels go: a panel's file that refuses its
  // settings takes them at the close.
  void saveWebPanelsLeft();
  // As saveNotes before the notes go.
  void saveNotesLeft();
  TSaveFailures saveNotes();
  void webBrowsersEnable(bool enable);
  void bringMaximizedToFront();
  void listViewModifyEventsEnable(bool enable);
  // Frees the panels without saving them.
  void unloadWebPanels();

  void listMosaics();
  // Loads the mosaic picked last, now instead of after the delay.
  void selectMosaic();
  // The mosaic picked last, and the one whose tiles are shown; they differ
  // only while a selection waits for its delay.
  int currentMosaic() const { return currentMosaic_; }
  int shownMosaic() const { return shownMosaic_; }
  std::string mosaicFolder(int number) const;
  // The mosaic's descriptor as read when listed, or now for one made since.
  TMosaicDescriptor& descriptor(int number);

  void newMosaic();
  void copySelectedMosaics();
  void deleteSelectedMosaics();
  void findMosaic();
  bool findInListView(TListViewXPSafe& list);
  void newBrowser();
  void galleryBrowser();
  void setNotesShown(bool shown);

  TListViewXPSafe& mosaicListView() const { return *mosaicListView_; }
  TResizablePanelContainer& sheetResizablePanel() const { return *sheetResizablePanel_; }
  TResizablePanel& noteEditorContainer() const { return *noteEditorContainer_; }
  TEditPanel& noteEditPanel() const { return *noteEditPanel_; }
  TEditorStatus* notesDocument() const { return notes_.get(); }
  const std::vector<std::unique_ptr<TWebPanel>>& webPanels() const { return webPanels_; }
  TPanel& controlBar() const { return *controlBar_; }
  TPanel& objectsControlPanel() const { return *objectsControlPanel_; }
  TPanel& objectsArrangePanel() const { return *objectsArrangePanel_; }
  TToolButton& notesBtn() const { return *notesBtn_; }
  TToolButton& newBrowserBtn() const { return *newBrowserBtn_; }
  TToolButton& galleryBtn() const { return *galleryBtn_; }
  TPopupMenu& mosaicListPopupMenu() { return mosaicListPopupMenu_; }
  TPopupMenu& rightPanelPopupMenu() { return rightPanelPopupMenu_; }

  std::string NewMosaic = "New mosaic";
  std::string DeleteMosaic = "Delete mosaic";
  std::string DeleteMosaics = "Delete mosaics";

 private:
  void createControls();
  void createToolBar();
  void createMenus();
  void mosaicListPopup();
  void rightPanelPopup();
  void mosaicListSelectItem(int row, bool selected);
  void flushPendingSelection();
  void loadNotes(const std::string& folder);
  void writeNotesTile(TPortableIniFile& ini);
  TSettingsBaseline::TWriter notesTileWriter();
  void loadWebPanels(const std::string& folder);
  TWebPanel& loadWebPanel(const std::string& fileName);
  void fitMosaicList();
  void webPanelDeleted(TWebPanel& panel);
  std::vector<int> selectedNumbers() const;
  void busy();
  void available();
  void updateControlBar();

  TMessageBox& messages_;
  TWebPanel::TBrowserFactory browserFactory_;
  TFindDialog* findDialog_ = nullptr;
  TgalleryForm* galleryForm_ = nullptr;
  TPopupMenu* timedRefreshPopupMenu_ = nullptr;
  TPopupMenu* setupPopupMenu_ = nullptr;
  TPopupMenu* favsPopupMenu_ = nullptr;
  TWebPanelRequests requests_;
  std::string languageFile_;
  std::string mosaicsRoot_;
  int currentMosaic_ = -1;
  int shownMosaic_ = -1;
  std::unique_ptr<TEditorStatus> notes_;
  TSettingsBaseline savedNotesTile_;
  // What each mosaic's descriptor held when listed, by number.
  std::map<int, TMosaicDescriptor> descriptors_;
  TFontAttributeSets fontAttributeSets_;
  std::vector<std::unique_ptr<TWebPanel>> webPanels_;
  TTimer delayTimer_;
  TPopupMenu mosaicListPopupMenu_;
  TPopupMenu rightPanelPopupMenu_;

  TPanel* mosaicListPanel_ = nullptr;
  // The list's width as the user set it or as it was stored: a window too
  // narrow for it and a mosaic narrows the list shown, not the one kept.
  int wantedListWidth_ = 185;
  TListViewXPSafe* mosaicListView_ = nullptr;
  TPanel* rightPanel_ = nullptr;
  TPanel* controlBar_ = nullptr;
  TPanel* objectsControlPanel_ = nullptr;
  TPanel* objectsArrangePanel_ = nullptr;
  TToolGlyphs glyphs_;
  TToolButton* notesBtn_ = nullptr;
  TToolButton* newBrowserBtn_ = nullptr;
  TToolButton* galleryBtn_ = nullptr;
  TToolButton* cascadeBtn_ = nullptr;
  TToolButton* tileHorizontalBtn_ = nullptr;
  TToolButton* tileVerticalBtn_ = nullptr;
  TResizablePanelContainer* sheetResizablePanel_ = nullptr;
  TResizablePanel* noteEditorContainer_ = nullptr;
  TEditPanel* noteEditPanel_ = nullptr;
};
