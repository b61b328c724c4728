#include "app/WebForm.h"

#include <algorithm>

#include "app/WebMosaics.h"
#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/GalleryForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/ResizablePanelContainer.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/Panel.h"

namespace {

constexpr const char* optionsSection = "ProfileSheet";
constexpr int splitterWidth = 4;
constexpr int notesContentLeft = 10;  // right of the tile's drag strip
constexpr int browserGalleryKind = 3;

}  // namespace

TwebForm::TwebForm(TMessageBox& messages, TWebPanel::TBrowserFactory browserFactory)
    : messages_(messages),
      browserFactory_(std::move(browserFactory)),
      delayTimer_(selectionDelayMilliseconds, [this] { selectMosaic(); }) {
  helpContext = 1800;
  setText("Web");
  TFontAttributes record;  // id 0: the notes' one font
  record.colour = clWindowText;
  fontAttributeSets_.add(record);
  createControls();
  createMenus();
  // One load with no mosaic leaves every tool button off until a pick.
  delayTimer_.setEnabled(true);
}

TwebForm::~TwebForm() {
  delayTimer_.setEnabled(false);
  mosaicListView_->onSelectItem = nullptr;
  if (findDialog_ && findDialog_->visible()) {
    findDialog_->onFind = nullptr;
    PostMessageA(findDialog_->handle(), WM_CLOSE, 0, 0);
  }
  noteEditPanel_->onExit = nullptr;
  noteEditPanel_->setEditorStatus(nullptr);
  webPanels_.clear();
}

void TwebForm::createControls() {
  mosaicListPanel_ = &addPlainPanel(*this);
  mosaicListPanel_->setAlign(TAlign::left);
  mosaicListPanel_->setBounds(0, 0, 185, 300);
  TListViewOptions listOptions;
  listOptions.editLabels = true;
  listOptions.readOnly = false;
  mosaicListView_ = &mosaicListPanel_->add<TListViewXPSafe>(listOptions);
  mosaicListView_->setAlign(TAlign::client);
  mosaicListView_->addColumn("Mosaic", 160);
  mosaicListView_->setPopupMenu(&mosaicListPopupMenu_);
  mosaicListView_->onSelectItem = [this](int row, bool selected) { mosaicListSelectItem(row, selected); };
  mosaicListView_->onColumnClick = [this](int) {
    mosaicListView_->toggleSortKey(0);
    mosaicListView_->sortByColumn(0, mosaicListView_->tag < 0, false);
  };
  mosaicListView_->onEdited = [this](int row, std::string& text) {
    text = trimmedOf(text, " \t");
    const int number = static_cast<int>(mosaicListView_->itemData(row));
    const std::string file = mosaicDescriptor(mosaicFolder(number));
    TMosaicDescriptor& mosaic = descriptor(number);
    // The list shows the name given; the close saves it again, and asks.
    if (mosaic.rename(text))
      forgetUnsavedChange(file, "Name");
    else
      holdUnsavedChange(file, "Name", [mosaic]() mutable { return mosaic.save(); });
    return true;
  };
  mosaicListView_->onKeyDown = [this](WORD& key, TShiftState) {
    // An edited caption takes its keys itself; these come only from the list.
    if (key == VK_INSERT) {
      key = 0;
      newMosaic();
    } else if (key == VK_DELETE) {
      key = 0;
      deleteSelectedMosaics();
    }
  };
  TSplitter& splitter = add<TSplitter>(TAlign::left);
  splitter.setBounds(185, 0, splitterWidth, 300);
  splitter.onMoved = [this] {
    wantedListWidth_ = mosaicListPanel_->width();
    fitMosaicList();
  };
  onResize = [this] { fitMosaicList(); };

  rightPanel_ = &addPlainPanel(*this);
  rightPanel_->setAlign(TAlign::client);
  rightPanel_->setPopupMenu(&rightPanelPopupMenu_);
  createToolBar();
  sheetResizablePanel_ = &rightPanel_->add<TResizablePanelContainer>();
  sheetResizablePanel_->setAlign(TAlign::client);
  sheetResizablePanel_->setPopupMenu(&rightPanelPopupMenu_);

  noteEditorContainer_ = &sheetResizablePanel_->add<TResizablePanel>();
  noteEditorContainer_->setBounds(0, 0, 300, 200);
  noteEditPanel_ = &noteEditorContainer_->add<TEditPanel>();
  noteEditPanel_->setBounds(notesContentLeft, 3, 300 - notesContentLeft - 3, 200 - 6);
  noteEditPanel_->setAnchors(akLeft | akTop | akRight | akBottom);
  noteEditPanel_->setFontAttributeSets(&fontAttributeSets_);
  noteEditPanel_->onExit = [this] { saveNotes(); };
  noteEditorContainer_->hide();
}

void TwebForm::createToolBar() {
  controlBar_ = &addPlainPanel(*rightPanel_);
  controlBar_->setAlign(TAlign::top);
  controlBar_->setSize(400, 26);
  const auto group = [this](int left, int buttons) {
    TPanel& panel = controlBar_->add<TPanel>();
    panel.setBevelOuter(TBevelCut::raised);
    panel.setBounds(left, 1, 4 + 24 * buttons, 24);
    return &panel;
  };
  // The hint is the button's caption too, which names it to screen
  // readers; the picture shows in its place.
  const auto button = [this](TPanel& panel, int index, const char* hint, const char* glyph, auto onClick) {
    TToolButton& made = panel.add<TToolButton>(hint);
    made.setBounds(2 + 24 * index, 1, 23, 22);
    made.setHint(hint);
    glyphs_.apply(made, glyph);
    made.onClick = onClick;
    return &made;
  };
  objectsControlPanel_ = group(0, 3);
  notesBtn_ = button(*objectsControlPanel_, 0, "Notes", "NOTESBMP", [this] { setNotesShown(notesBtn_->down()); });
  notesBtn_->checkButton = true;
  newBrowserBtn_ = button(*objectsControlPanel_, 1, "New browser", "NEWBROWSERBMP", [this] { newBrowser(); });
  galleryBtn_ = button(*objectsControlPanel_, 2, "Gallery", "GALLERYBMP", [this] { galleryBrowser(); });
  objectsArrangePanel_ = group(80, 3);
  cascadeBtn_ =
      button(*objectsArrangePanel_, 0, "Cascade", "CASCADEBMP", [this] { sheetResizablePanel_->cascade(); });
  tileHorizontalBtn_ = button(*objectsArrangePanel_, 1, "Tile horizontal", "TILEHORZBMP",
                              [this] { sheetResizablePanel_->tileHorizontal(); });
  tileVerticalBtn_ = button(*objectsArrangePanel_, 2, "Tile vertical", "TILEVERTBMP",
                            [this] { sheetResizablePanel_->tileVertical(); });
}

void TwebForm::createMenus() {
  mosaicListPopupMenu_.add("&Find", [this] { findMosaic(); });
  mosaicListPopupMenu_.add("&New", [this] { newMosaic(); });
  mosaicListPopupMenu_.add("&Copy", [this] { copySelectedMosaics(); });
  mosaicListPopupMenu_.add("&Delete", [this] { deleteSelectedMosaics(); });
  mosaicListPopupMenu_.onPopup = [this] { mosaicListPopup(); };

  TMenuItem& toolbar = rightPanelPopupMenu_.add("&Toolbar");
  toolbar.add("&Show", [this] { controlBar_->setVisible(!controlBar_->visible()); });
  toolbar.add("&Objects", [this] { objectsControlPanel_->setVisible(!objectsControlPanel_->visible()); });
  toolbar.add("&Arrange", [this] { objectsArrangePanel_->setVisible(!objectsArrangePanel_->visible()); });
  TMenuItem& objects = rightPanelPopupMenu_.add("&Objects");
  objects.add("&Notes", [this] {
    notesBtn_->setDown(!notesBtn_->down());
    setNotesShown(notesBtn_->down());
  });
  objects.add("&Browser", [this] { newBrowser(); });
  objects.add("G&allery", [this] { galleryBrowser(); });
  TMenuItem& arrange = rightPanelPopupMenu_.add("&Arrange");
  arrange.add("&Cascade", [this] { sheetResizablePanel_->cascade(); });
  arrange.add("Tile &horizontal", [this] { sheetResizablePanel_->tileHorizontal(); });
  arrange.add("Tile &vertical", [this] { sheetResizablePanel_->tileVertical(); });
  rightPanelPopupMenu_.onPopup = [this] { rightPanelPopup(); };
}

void TwebForm::mosaicListPopup() {
  flushPendingSelection();
  mosaicListPopupMenu_.itemCaptioned("&Find")->enabled = findDialog_ && mosaicListView_->itemCount() > 0;
  mosaicListPopupMenu_.itemCaptioned("&Copy")->enabled = currentMosaic_ >= 0;
  mosaicListPopupMenu_.itemCaptioned("&Delete")->enabled = currentMosaic_ >= 0;
  mosaicListView_->setCursor(IDC_ARROW);
}

void TwebForm::rightPanelPopup() {
  TMenuItem& toolbar = *rightPanelPopupMenu_.itemCaptioned("&Toolbar");
  toolbar.itemCaptioned("&Show")->checked = controlBar_->visible();
  toolbar.itemCaptioned("&Objects")->checked = objectsControlPanel_->visible();
  toolbar.itemCaptioned("&Arrange")->checked = objectsArrangePanel_->visible();
  TMenuItem& objects = *rightPanelPopupMenu_.itemCaptioned("&Objects");
  objects.itemCaptioned("&Notes")->checked = notesBtn_->down();
  const bool loaded = shownMosaic_ >= 0;
  objects.enabled = loaded;
  objects.itemCaptioned("G&allery")->enabled = galleryForm_ != nullptr;
  rightPanelPopupMenu_.itemCaptioned("&Arrange")->enabled = loaded;
  rightPanel_->setCursor(IDC_ARROW);
}

void TwebForm::setGalleryForm(TgalleryForm* gallery) {
  galleryForm_ = gallery;
  updateControlBar();
}

void TwebForm::setExternalPopupMenus(TPopupMenu* timedRefresh, TPopupMenu* setup, TPopupMenu* favs,
                                     TPopupMenu* notes) {
  timedRefreshPopupMenu_ = timedRefresh;
  setupPopupMenu_ = setup;
  favsPopupMenu_ = favs;
  noteEditPanel_->setPopupMenu(notes);
}

void TwebForm::setMosaicsRoot(const std::string& path) {
  const std::string root = upperCase(trimmedOf(path, " \t"));
  if (root == mosaicsRoot_) return;
  mosaicsRoot_ = root;
  listMosaics();
}

TMosaicDescriptor& TwebForm::descriptor(int number) {
  const auto found = descriptors_.find(number);
  if (found != descriptors_.end()) return found->second;
  return descriptors_.emplace(number, TMosaicDescriptor(mosaicFolder(number))).first->second;
}

std::string TwebForm::mosaicFolder(int number) const {
  return includeTrailingBackslash(mosaicsRoot_) + std::to_string(number) + "\\";
}

void TwebForm::loadGUIoptions(const TPortableIniFile& ini) {
  wantedListWidth_ = std::max(0, ini.readInteger(optionsSection, "ListWidth", wantedListWidth_));
  fitMosaicList();
  for (auto [prefix, panel] : {std::pair{"ViewsControl", objectsControlPanel_}, {"ViewsArrange", objectsArrangePanel_}}) {
    panel->setBounds(ini.readInteger(optionsSection, std::string(prefix) + "Left", panel->left()), panel->top(),
                     panel->width(), panel->height());
    panel->setVisible(ini.readBool(optionsSection, std::string(prefix) + "Visible", panel->visible()));
  }
  controlBar_->setVisible(ini.readBool(optionsSection, "ControlBar", controlBar_->visible()));
  realign();
}

void TwebForm::fitMosaicList() {
  // A browser tile filling the mosaic keeps its navigation and Delete
  // groups whole: squeezed, they showed nothing to click.
  const int room = clientWidth() - splitterWidth - TWebPanel::narrowestWidthForGroups();
  mosaicListPanel_->setSize(std::max(0, std::min(wantedListWidth_, room)), mosaicListPanel_->height());
}

void TwebForm::saveGUIoptions(TPortableIniFile& ini) const {
  // Only a normal window's list says how wide the user wants it.
  if (inNormalWindow(handle())) ini.writeInteger(optionsSection, "ListWidth", wantedListWidth_);
  ini.writeInteger(optionsSection, "ViewsControlLeft", objectsControlPanel_->left());
  ini.writeBool(optionsSection, "ViewsControlVisible", objectsControlPanel_->visible());
  ini.writeInteger(optionsSection, "ViewsArrangeLeft", objectsArrangePanel_->left());
  ini.writeBool(optionsSection, "ViewsArrangeVisible", objectsArrangePanel_->visible());
  ini.writeBool(optionsSection, "ControlBar", controlBar_->visible());
}

TSaveFailures TwebForm::tabLeft() {
  webBrowsersEnable(false);
  TSaveFailures failed = saveWebPanels();
  addSaveFailures(failed, saveNotes());
  return failed;
}

TSaveFailures TwebForm::saveWebPanels() {
  TSaveFailures failed;
  for (const auto& panel : webPanels_)
    if (panel->saveToOwnFile() != 0) failed.push_back(panel->settingsFile());
  // The mosaics' names are held too: what another program cut out of a
  // descriptor since is put back. One gone meanwhile is not made again.
  for (auto& [number, descriptor] : descriptors_)
    if (!descriptor.save() && fileExists(descriptor.fileName())) failed.push_back(descriptor.fileName());
  return failed;
}

void TwebForm::saveWebPanelsLeft() {
  // The panels go now: what their files refused waits for the close, and
  // shows again with its mosaic.
  for (const auto& panel : webPanels_) panel->saveHolding();
}

void TwebForm::webBrowsersEnable(bool enable) {
  for (const auto& panel : webPanels_) panel->browserEnable(enable);
}

void TwebForm::bringMaximizedToFront() {
  for (TResizablePanel* tile : sheetResizablePanel_->panels(true))
    if (tile->maximized()) {
      tile->bringToFront();
      return;
    }
}

void TwebForm::listViewModifyEventsEnable(bool enable) {
  if (enable) {
    mosaicListView_->onSelectItem = [this](int row, bool selected) { mosaicListSelectItem(row, selected); };
  } else {
    mosaicListView_->onSelectItem = nullptr;
  }
}

void TwebForm::unloadWebPanels() {
  webPanels_.clear();
  shownMosaic_ = -1;
}

void TwebForm::listMosaics() {
  delayTimer_.setEnabled(false);
  mosaicListView_->onSelectItem = nullptr;
  mosaicListView_->beginUpdate();
  mosaicListView_->clear();
  descriptors_.clear();
  for (const TMosaicRow& row : listMosaicFolders(mosaicsRoot_)) {
    mosaicListView_->addItem(row.name, row.number);
    descriptors_.emplace(row.number, TMosaicDescriptor(mosaicFolder(row.number)));
  }
  mosaicListView_->endUpdate();
  listViewModifyEventsEnable(true);
  // The tiles shown belong to no row now: the next pick replaces them.
  currentMosaic_ = -1;
  if (shownMosaic_ >= 0) selectMosaic();
}

void TwebForm::mosaicListSelectItem(int row, bool selected) {
  delayTimer_.setEnabled(false);
  // The notices of one move come in either order; what counts is the row
  // selected now.
  const int current = selected ? row : mosaicListView_->nextSelected(-1);
  currentMosaic_ = current >= 0 ? static_cast<int>(mosaicListView_->itemData(current)) : -1;
  delayTimer_.setEnabled(true);
}

void TwebForm::flushPendingSelection() {
  if (delayTimer_.enabled()) selectMosaic();
}

void TwebForm::selectMosaic() {
  delayTimer_.setEnabled(false);
  busy();
  saveWebPanelsLeft();
  saveNotesLeft();
  unloadWebPanels();
  noteEditorContainer_->hide();
  noteEditPanel_->setEditorStatus(nullptr);
  // A text its file refused shows again with its mosaic (see loadNotes).
  keepDocument(std::move(notes_));
  if (currentMosaic_ >= 0) {
    const std::string folder = mosaicFolder(currentMosaic_);
    shownMosaic_ = currentMosaic_;
    loadNotes(folder);
    loadWebPanels(folder);
    bringMaximizedToFront();
  }
  updateControlBar();
  available();
  if (visible() && mosaicListView_->canFocus()) mosaicListView_->setFocus();
}

void TwebForm::loadWebPanels(const std::string& folder) {
  for (const std::string& fileName : webPanelFiles(folder)) loadWebPanel(fileName);
}

TWebPanel& TwebForm::loadWebPanel(const std::string& fileName) {
  auto made = std::make_unique<TWebPanel>(sheetResizablePanel_, browserFactory_);
  TWebPanel& panel = *made;
  webPanels_.push_back(std::move(made));
  panel.setBounds(sheetResizablePanel_->clientWidth(), 0, panel.width(), panel.height());
  panel.setTimedRefreshPopupMenu(timedRefreshPopupMenu_);
  panel.setSetupPopupMenu(setupPopupMenu_);
  panel.setFavsPopupMenu(favsPopupMenu_);
  panel.setOnMakeDefaultRequest(requests_.makeDefault);
  panel.setOnClearDefaultRequest(requests_.clearDefault);
  panel.onDelSelfRequest = requests_.deleteRequest;
  panel.onDeleted = [this](TWebPanel& deleted, int result) {
    if (result == 0)
      webPanelDeleted(deleted);
    else
      messages_.show(handle(), deleted.refusedDeletion(), commonString(4), MB_OK | MB_ICONWARNING);
  };
  panel.loadTranslations(languageFile_);
  panel.loadSettings(fileName);
  panel.openDefault(nullptr);
  if (panel.left() >= sheetResizablePanel_->clientWidth())
    panel.setBounds(0, panel.top(), panel.width(), panel.height());
  panel.placedAfterLoading();
  return panel;
}

void TwebForm::webPanelDeleted(TWebPanel& panel) {
  const auto found = std::find_if(webPanels_.begin(), webPanels_.end(),
                                  [&panel](const std::unique_ptr<TWebPanel>& held) { return held.get() == &panel; });
  if (found == webPanels_.end()) return;
  // The panel is inside its own message: it goes once that has returned.
  std::unique_ptr<TWebPanel> leaving = std::move(*found);
  webPanels_.erase(found);
  leaving->hide();
  application().deferDelete(std::move(leaving));
}

void TwebForm::newBrowser() {
  flushPendingSelection();
  if (shownMosaic_ < 0) return;
  const std::string name = uniqueFileName(mosaicFolder(shownMosaic_), "", "INI", 1, 1000000);
  if (name.empty()) return;
  const std::string templateFile = getDirectory("<DATA>") + "BrowserTemplate.INI";
  if (fileExists(templateFile)) copyFile(templateFile, name, false);
  sheetResizablePanel_->placeNewPanel(loadWebPanel(name));
}

void TwebForm::galleryBrowser() {
  flushPendingSelection();
  if (!galleryForm_ || shownMosaic_ < 0) return;
  TGalleryTargets targets;
  targets.browserTargetDir = includeTrailingBackslash(mosaicsRoot_) + std::to_string(shownMosaic_);
  int kind = browserGalleryKind;
  std::string resultFile;
  galleryForm_->open(kind, galleryTabOf(kind), targets, resultFile);
  if (!resultFile.empty()) sheetResizablePanel_->placeNewPanel(loadWebPanel(resultFile));
}

void TwebForm::busy() {
  application().busy();
  mosaicListView_->setEnabled(false);
  controlBar_->setEnabled(false);
  sheetResizablePanel_->setEnabled(false);
  update();
}

void TwebForm::available() {
  mosaicListView_->setEnabled(true);
  controlBar_->setEnabled(true);
  sheetResizablePanel_->setEnabled(true);
  application().available();
}

void TwebForm::updateControlBar() {
  const bool loaded = shownMosaic_ >= 0;
  for (TToolButton* button : {notesBtn_, newBrowserBtn_, cascadeBtn_, tileHorizontalBtn_, tileVerticalBtn_})
    button->setEnabled(loaded);
  galleryBtn_->setEnabled(loaded && galleryForm_ != nullptr);
}
