#include "app/DownloadForm.h"

#include <algorithm>

#include "app/DownloadLists.h"
#include "app/MonthsForm.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "controls/ToolGlyphs.h"
#include "controls/ToolGroupLayout.h"
#include "model/DeletionRefusal.h"
#include "model/LanguageStrings.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/LocaleSettings.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

namespace {

constexpr int itemColumnCount = 4;
constexpr int splitterWidth = 4;
constexpr int defaultItemsHeight = 121;
constexpr const char* optionsSection = "DownloadSheet";
constexpr const char* columnKeys[itemColumnCount] = {"Name", "Symbol", "Currency", "Updated"};
// The images of the window's image list; a row's state index counts from 1.
constexpr int itemImage = 5;
constexpr int remarksImage = 6;
constexpr int stateIndexOf(int image) { return image + 1; }
constexpr int toolButtonWidth = 23;
constexpr int toolButtonHeight = 22;
constexpr int toolGripperWidth = 11;
constexpr int toolRowHeight = 28;
constexpr int toolFirstTop = 2;
// The groups' places when the options name none.
std::string withoutAccelerator(std::string caption) {
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  return caption;
}

// The window's image list: 5 an item, 6 an item with remarks, 7 and 8 the
// secure and the plain page.
std::unique_ptr<TImageList> makeDownloadImages() {
  constexpr TColor mask = 0xFF00FF;
  constexpr int size = TToolGlyphs::size;
  const char* const pictures[] = {"ITEMBMP", "ITEMREMARKSBMP", "LOCKBMP", "UNLOCKBMP"};
  constexpr int first = 5;
  TBitmap strip(size * (first + 4), size);
  strip.canvas().fillRect({0, 0, strip.width(), size}, mask);
  for (int image = 0; image < 4; ++image) drawToolGlyph(strip.canvas(), (first + image) * size, 0, pictures[image]);
  auto images = std::make_unique<TImageList>(size, size);
  images->add(strip, mask);
  return images;
}

const TToolGroupPlace defaultToolGroupPlaces[] = {{"Update", 11, 2},   {"Remark", 47, 2},    {"FindAndProps", 106, 2},
                                                  {"Creation", 224, 2}, {"Deletion", 165, 2}, {"Setup", 283, 2}};

}  // namespace

TdownloadForm::TdownloadForm(TMessageBox& messages, TdownloadBrowserPane::TBrowserFactory browserFactory)
    : messages_(messages), selectTimer_(selectionDelayMilliseconds, [this] { selectList(); }) {
  helpContext = 1700;
  setText("Downloads");
  createControls(std::move(browserFactory));
  createPopupMenus();
  updateControlBar();
}

TdownloadForm::~TdownloadForm() {
  selectTimer_.setEnabled(false);
  if (findDialog_) {
    findDialog_->onFind = nullptr;
    findDialog_->close();
  }
  listView_->onSelectItem = nullptr;
  listView_->onItemChecked = nullptr;
  listView_->setPopupMenu(nullptr);
  itemView_->setPopupMenu(nullptr);
}

void TdownloadForm::createToolBar() {
  toolBar_ = &add<TControlBar>();
  const auto onFocusedView = [this](std::function<void()> onItems, std::function<void()> onLists) {
    return [this, onItems, onLists] {
      // Showing a pending list focuses the list view: the command keeps to
      // the view the user was in.
      TListView* const view = lastFocusedView_;
      flushPendingSelection();
      lastFocusedView_ = view;
      if (view == itemView_) {
        if (onItems) onItems();
      } else if (view == listView_) {
        if (onLists) onLists();
      }
    };
  };
  struct TButtonDefinition {
    const char* key;
    const char* caption;
    const char* glyph;
    std::function<void()> onClick;
  };
  struct TGroupDefinition {
    const char* name;
    std::vector<TButtonDefinition> buttons;
  };
  // In the order of their default places.
  const TGroupDefinition groups[] = {
      {"Update",
       {{"Update", "&Update", "UPDATEBMP",
         onFocusedView([this] { showErrorDialog(updateSelectedItems()); },
                       [this] { showErrorDialog(updateCheckedLists()); })}}},
      {"Remark",
       {{"Remarks", "&Remarks", "REMARKSBMP", onFocusedView([this] { showSelectedItemRemarks(); }, nullptr)},
        {"Zap", "&Zap remarks", "ZAPREMARKSBMP",
         onFocusedView([this] { zapSelectedItemRemarks(); }, [this] { zapSelectedListRemarks(); })}}},
      {"FindAndProps",
       {{"Find", "&Find", "FINDBMP",
         [this] {
           TListView* const view = lastFocusedView_;
           flushPendingSelection();
           lastFocusedView_ = view;
           if (!view || !findDialog_) return;
           openFindDialog(*view, false);
           POINT corner{0, 0};
           ClientToScreen(buttons_["Find"]->handle(), &corner);
           findDialog_->setPosition(corner.x, corner.y);
         }},
        {"Properties", "&Properties", "PROPERTIESBMP",
         [this] {
           flushPendingSelection();
           editSelectedItems();
         }}}},
      {"Deletion",
       {{"Clear", "Cl&ear", "CLEARBMP",
         onFocusedView([this] { clearSelectedItems(); }, [this] { clearSelectedLists(); })},
        {"Delete", "&Delete", "DELBMP",
         onFocusedView([this] { deleteSelectedItems(); }, [this] { deleteSelectedLists(); })}}},
      {"Creation",
       {{"New", "&New", "NEWBMP", onFocusedView([this] { newItem(); }, [this] { newList(); })},
        {"Copy", "&Copy", "COPYBMP", onFocusedView([this] { copyBtnClick(); }, [this] { copySelectedLists(); })}}},
      {"Setup",
       {{"Months", "&Month names", "MONTHSBMP", [this] { monthsBtnClick(); }},
        {"NetSetup", "&Internet setup", "NETSETUPBMP",
         [this] {
           if (!link_) return;
           try {
             link_->netSetup();
           } catch (const std::exception& error) {
             reportError(error);
           }
         }}}},
  };
  for (const TGroupDefinition& group : groups) {
    TPanel& panel = add<TPanel>();
    panel.setBevelOuter(TBevelCut::none);
    panel.name = group.name;
    int left = 0;
    for (const TButtonDefinition& definition : group.buttons) {
      // The caption names the button to screen readers and keeps its Alt
      // key; the picture shows in its place and the hint says it in words.
      TToolButton& button = panel.add<TToolButton>(definition.caption);
      button.setBounds(left, 1, toolButtonWidth, toolButtonHeight);
      button.setHint(withoutAccelerator(definition.caption));
      glyphs_.apply(button, definition.glyph);
      button.onClick = definition.onClick;
      buttons_[definition.key] = &button;
      left += toolButtonWidth;
    }
    panel.setBounds(0, 0, left, toolButtonHeight + 2);
    toolGroups_[group.name] = &panel;
    toolBar_->addBand(panel, left + toolGripperWidth);
  }
}

void TdownloadForm::createControls(TdownloadBrowserPane::TBrowserFactory browserFactory) {
  createToolBar();

  TListViewOptions listOptions;
  listOptions.checkBoxes = true;
  listOptions.editLabels = true;
  listOptions.readOnly = false;
  listView_ = &add<TListView>(listOptions);
  listView_->setAlign(TAlign::left);
  listView_->setBounds(0, 30, 185, 300);
  listView_->addColumn("List", 160);
  listView_->onSelectItem = [this](int row, bool selected) { listViewSelectItem(row, selected); };
  listView_->onItemChecked = [this](int row) { listViewItemChecked(row); };
  listView_->onEnter = [this] {
    lastFocusedView_ = listView_;
    if (findDialog_) findDialog_->onFind = [this] { findInListView(*listView_); };
    updateControlBar();
  };
  // The tool bar acts on the view that has the focus, and on none once the
  // focus has gone elsewhere in the window.
  const auto leave = [this] {
    lastFocusedView_ = nullptr;
    updateControlBar();
  };
  listView_->onExit = leave;
  listView_->onColumnClick = [this](int) {
    listView_->toggleSortKey(0);
    listView_->sortByColumn(0, listView_->tag < 0, false);
  };
  listView_->onEdited = [this](int row, std::string& text) {
    text = trimmedText(text);
    const int number = static_cast<int>(listView_->itemData(row));
    const std::string folder = listFolder(number);
    if (!descriptor(number).rename(text)) {
      tellDescriptorKept(folder, "The list is not renamed");
      return false;
    }
    static const std::string unnamed = "?";
    if (text.empty()) text = unnamed;
    return true;
  };
  add<TSplitter>(TAlign::left).setBounds(185, 30, splitterWidth, 300);

  TListViewOptions itemOptions;
  itemOptions.multiSelect = true;
  itemOptions.editLabels = true;
  itemOptions.readOnly = false;
  // Right of the lists: the items above, the browser below.
  TPanel& rightPanel = add<TPanel>();
  rightPanel.setBevelOuter(TBevelCut::none);
  rightPanel.setAlign(TAlign::client);
  itemsPanel_ = &rightPanel.add<TPanel>();
  itemsPanel_->setBevelOuter(TBevelCut::none);
  itemsPanel_->setAlign(TAlign::top);
  itemsPanel_->setSize(rightPanel.width(), defaultItemsHeight);
  rightPanel.add<TSplitter>(TAlign::top).setBounds(0, defaultItemsHeight, rightPanel.width(), splitterWidth);
  browserPane_ = &rightPanel.add<TdownloadBrowserPane>(std::move(browserFactory));
  browserPane_->setAlign(TAlign::client);
  browserPane_->onFocusTimer = [this] { updateControlBar(); };
  noListLabel_ = &itemsPanel_->add<TLabel>("No list selected");
  noListLabel_->setBounds(8, 8, 200, 17);
  itemView_ = &itemsPanel_->add<TListView>(itemOptions);
  itemView_->setAlign(TAlign::client);
  const char* columns[itemColumnCount] = {"Name", "Symbol", "Currency", "Updated"};
  const int widths[itemColumnCount] = {310, 70, 70, 87};
  for (int column = 0; column < itemColumnCount; ++column) itemView_->addColumn(columns[column], widths[column]);
  itemView_->onEnter = [this] {
    lastFocusedView_ = itemView_;
    if (findDialog_) findDialog_->onFind = [this] { findInListView(*itemView_); };
    updateControlBar();
  };
  itemView_->onExit = leave;
  itemView_->onSelectItem = [this](int, bool) { updateControlBar(); };
  itemView_->onColumnClick = [this](int column) {
    // Every column sorts as text, the dates too (by their text).
    itemView_->toggleSortKey(column);
    itemView_->sortByColumn(column, itemView_->tag < 0, false);
  };
  itemView_->onEdited = [this](int row, std::string& text) {
    text = trimmedText(text);
    const int number = static_cast<int>(itemView_->itemData(row));
    if (renameDownloadItem(shownItem(number), text)) return true;
    tellFileKept(itemFile(number), "The item is not renamed");
    return false;
  };
  images_ = makeDownloadImages();
  itemView_->setStateImages(images_.get());
  itemView_->hide();

  listView_->onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_INSERT) {
      key = 0;
      newList();
    } else if (key == VK_DELETE) {
      key = 0;
      flushPendingSelection();
      deleteSelectedLists();
    }
  };
  itemView_->onDoubleClick = [this] {
    flushPendingSelection();
    editSelectedItems();
  };
  itemView_->onKeyDown = [this](WORD& key, TShiftState) {
    if (key != VK_INSERT && key != VK_DELETE && key != VK_RETURN) return;
    const WORD pressed = key;
    key = 0;
    flushPendingSelection();
    if (pressed == VK_INSERT) newItem();
    else if (pressed == VK_DELETE) deleteSelectedItems();
    else editSelectedItems();
  };
}

void TdownloadForm::loadGUIoptions(const TPortableIniFile& ini) {
  listView_->setBounds(listView_->left(), listView_->top(),
                       std::max(0, std::min(ini.readInteger(optionsSection, "ListWidth", listView_->width()),
                                            clientWidth() - splitterWidth)),
                       listView_->height());
  for (int column = 0; column < itemColumnCount; ++column)
    itemView_->setColumnWidth(column, ini.readInteger(optionsSection, std::string(columnKeys[column]) + "Width",
                                                      itemView_->columnWidth(column)));
  std::vector<TToolGroupPlace> places;
  std::map<std::string, int> ownWidths;
  for (const TToolGroupPlace& place : defaultToolGroupPlaces) {
    places.push_back({place.name, ini.readInteger(optionsSection, place.name + "ControlsLeft", place.left),
                      ini.readInteger(optionsSection, place.name + "ControlsTop", place.top)});
    ownWidths[place.name] = toolGroups_.at(place.name)->width();
  }
  toolBar_->setLayout(bandLayoutFor(places, ownWidths, toolRowHeight, toolGripperWidth));
  const int rightHeight = itemsPanel_->parent()->clientHeight();
  itemsPanel_->setSize(itemsPanel_->width(),
                       std::max(0, std::min(ini.readInteger(optionsSection, "ListHeight", itemsPanel_->height()),
                                            rightHeight - splitterWidth)));
  browserPane_->loadGUIoptions(ini, width());
  realign();
}

void TdownloadForm::saveGUIoptions(TPortableIniFile& ini) const {
  // A minimised or maximised main window shows no size worth keeping.
  const HWND root = GetAncestor(handle(), GA_ROOT);
  const bool normal = !IsIconic(root) && !IsZoomed(root);
  if (normal) {
    ini.writeInteger(optionsSection, "Width", width());
    ini.writeInteger(optionsSection, "ListWidth", listView_->width());
    ini.writeInteger(optionsSection, "ListHeight", itemsPanel_->height());
    for (int column = 0; column < itemColumnCount; ++column)
      ini.writeInteger(optionsSection, std::string(columnKeys[column]) + "Width", itemView_->columnWidth(column));
    // In the order of the defaults, wherever the user moved them.
    const std::vector<TToolGroupPlace> places =
        toolGroupPlaces(toolBar_->layout(), toolFirstTop, toolRowHeight, toolGripperWidth);
    for (const TToolGroupPlace& group : defaultToolGroupPlaces)
      for (const TToolGroupPlace& place : places)
        if (place.name == group.name) {
          ini.writeInteger(optionsSection, place.name + "ControlsLeft", place.left);
          ini.writeInteger(optionsSection, place.name + "ControlsTop", place.top);
        }
  }
  browserPane_->saveGUIoptions(ini, normal);
}

void TdownloadForm::loadTranslations(const std::string& fileName) {
  translationFile_ = fileName;
  const TPortableIniFile ini(fileName);
  for (auto [key, text] : {std::pair{"NewListName", &NewListName}, {"ClearList", &ClearList},
                           {"ClearLists", &ClearLists}, {"DeleteList", &DeleteList}, {"DeleteLists", &DeleteLists},
                           {"ClearObject", &ClearObject}, {"ClearObjects", &ClearObjects},
                           {"DeleteObject", &DeleteObject}, {"DeleteObjects", &DeleteObjects}})
    *text = ini.readString("Downloads", key, *text);
}

void TdownloadForm::setListsRoot(const std::string& path) {
  const std::string root = upperCase(trimmedText(path));
  if (root == listsRoot_) return;
  listsRoot_ = root;
  listLists();
}

std::string TdownloadForm::listFolder(int listNumber) const {
  const auto found = listFolders_.find(listNumber);
  return listsRoot_ + (found == listFolders_.end() ? std::to_string(listNumber) : found->second) + "\\";
}

TListDescriptor& TdownloadForm::descriptor(int listNumber) {
  const auto found = descriptors_.find(listNumber);
  if (found != descriptors_.end()) return found->second;
  return descriptors_.emplace(listNumber, TListDescriptor(listFolder(listNumber))).first->second;
}

std::string TdownloadForm::itemFile(int itemNumber) const {
  const auto found = itemFiles_.find(itemNumber);
  return shownFolder_ + (found == itemFiles_.end() ? std::to_string(itemNumber) + ".INI" : found->second);
}

void TdownloadForm::listLists() {
  // Filling the rows must write nothing back into the lists.
  fillingLists_ = true;
  selectTimer_.setEnabled(false);
  listView_->beginUpdate();
  listView_->clear();
  listFolders_.clear();
  descriptors_.clear();
  for (const TPickRow& row : listDownloadLists(listsRoot_)) {
    listFolders_[row.number] = row.foundName;
    const int added = listView_->addItem(row.texts[0], row.number);
    listView_->setChecked(added, descriptor(row.number).checked());
  }
  listView_->endUpdate();
  fillingLists_ = false;
  selectedList_ = -1;
  shownList_ = -1;
  shownFolder_.clear();
  itemView_->clear();
  shownItems_.clear();
  itemView_->hide();
  noListLabel_->show();
  updateControlBar();
}

void TdownloadForm::listViewSelectItem(int row, bool selected) {
  if (fillingLists_) return;
  // The notices of one move come in either order; what counts is the row
  // selected now.
  const int current = selected ? row : listView_->nextSelected(-1);
  selectedList_ = current >= 0 ? static_cast<int>(listView_->itemData(current)) : -1;
  selectTimer_.restart();
}

void TdownloadForm::listViewItemChecked(int row) {
  if (fillingLists_ || row < 0 || row >= listView_->itemCount()) return;
  const int number = static_cast<int>(listView_->itemData(row));
  const std::string folder = listFolder(number);
  // The row keeps the mark the user gave it, for Update while the window
  // lasts.
  const bool checked = listView_->checked(row);
  TListDescriptor& list = descriptor(number);
  const std::string& file = list.fileName();
  if (list.setChecked(checked)) {
    forgetUnsavedChange(file, "Checked");
  } else {
    holdUnsavedChange(file, "Checked", [list]() mutable { return list.save(); });
    tellDescriptorKept(folder, "The mark of the list \"" + listView_->itemText(row) +
                                   "\" is not stored yet (the close tries again)");
  }
  updateControlBar();
}

void TdownloadForm::tellDescriptorKept(const std::string& listFolder, const std::string& what) {
  tellFileKept(listFolder + "0.INI", what);
}

void TdownloadForm::tellFileKept(const std::string& file, const std::string& what) {
  messages_.show(handle(),
                 what + ": its file \"" + file + "\" could not be read whole or written, and is left as it is.",
                 commonString(4), MB_OK | MB_ICONWARNING);
}

void TdownloadForm::flushPendingSelection() {
  if (selectTimer_.enabled()) selectList();
}

void TdownloadForm::selectList() {
  selectTimer_.setEnabled(false);
  busy();
  itemView_->hide();
  if (selectedList_ > 0) {
    shownList_ = selectedList_;
    shownFolder_ = listFolder(shownList_);
    loadList(false);
    noListLabel_->hide();
    itemView_->show();
  } else {
    shownList_ = -1;
    shownFolder_.clear();
    itemView_->clear();
    shownItems_.clear();
    noListLabel_->show();
  }
  available();
  updateControlBar();
  if (visible() && listView_->canFocus()) listView_->setFocus();
}

void TdownloadForm::loadList(bool keepSelection) {
  const std::vector<int> kept = keepSelection ? selectedNumbers(*itemView_) : std::vector<int>{};
  int failures = 0;
  shownItems_.clear();
  const std::vector<TPickRow> rows = listDownloadItems(shownFolder_, failures, &shownItems_);
  itemView_->beginUpdate();
  itemView_->clear();
  itemFiles_.clear();
  for (const TPickRow& found : rows) {
    itemFiles_[found.number] = found.foundName;
    const int row = itemView_->addItem(found.texts[0], found.number, stateIndexOf(found.stateImage));
    for (int column = 1; column < itemColumnCount; ++column) itemView_->setItemText(row, column, found.texts[column]);
    if (std::find(kept.begin(), kept.end(), found.number) != kept.end()) itemView_->setSelected(row, true);
  }
  itemView_->endUpdate();
}

void TdownloadForm::setItemRow(int row, int number) {
  TDownloadItem& item = shownItems_[number];
  item.loadFromFile(itemFile(number));
  showItemRow(row, item);
}

void TdownloadForm::showItemRow(int row, const TDownloadItem& item) {
  itemView_->setItemText(row, 0, item.Name);
  itemView_->setItemText(row, 1, item.Symbol);
  itemView_->setItemText(row, 2, item.Currency);
  itemView_->setItemText(row, 3, lastUpdateText(item.LastUpdate));
  itemView_->setStateImage(row, stateIndexOf(item.Remarks.empty() ? itemImage : remarksImage));
}

void TdownloadForm::addItemRow(const std::string& fileName, int number) {
  const std::string name = fileName.substr(fileName.find_last_of('\\') + 1);
  itemFiles_[number] = name;
  const int row = itemView_->addItem("", number, stateIndexOf(itemImage));
  setItemRow(row, number);
  itemView_->setSelected(row, true);
}

bool TdownloadForm::selectedItemHasRemarks() const {
  const int row = itemView_->itemIndex();
  return row >= 0 && itemView_->stateImage(row) == stateIndexOf(remarksImage);
}

void TdownloadForm::showSelectedItemRemarks() {
  const int row = itemView_->itemIndex();
  if (shownList_ < 0 || row < 0) return;
  TDownloadItem item;
  item.loadFromFile(itemFile(static_cast<int>(itemView_->itemData(row))));
  std::string text;
  for (const std::string& line : item.Remarks) text += (text.empty() ? "" : "\r\n") + remarkValue(line);
  if (!text.empty()) messages_.show(handle(), text, item.Name, MB_OK);
}

void TdownloadForm::reloadObjectsInSelectedList() {
  if (shownList_ < 0) return;
  busy();
  for (int row = 0; row < itemView_->itemCount(); ++row) {
    const int number = static_cast<int>(itemView_->itemData(row));
    if (number > 0) setItemRow(row, number);
  }
  available();
}

std::vector<int> TdownloadForm::selectedNumbers(const TListView& view) const {
  std::vector<int> numbers;
  for (int row = view.nextSelected(-1); row >= 0; row = view.nextSelected(row))
    numbers.push_back(static_cast<int>(view.itemData(row)));
  return numbers;
}

void TdownloadForm::tellDeletion(const std::string& what, const std::vector<bool>& gone, const std::string& refusal) {
  if (refusal.empty()) return;
  const std::string named = gone.size() == 1 ? "The " + what + " was" : "The " + what + "s were";
  messages_.show(handle(), deletionNotice(named, std::find(gone.begin(), gone.end(), true) != gone.end(), refusal),
                 commonString(4), MB_OK | MB_ICONWARNING);
}

bool TdownloadForm::confirm(const TListView& view, const std::string& singular, const std::string& plural) {
  std::vector<std::string> captions;
  for (int row = view.nextSelected(-1); row >= 0; row = view.nextSelected(row)) captions.push_back(view.itemText(row));
  if (captions.empty()) return false;
  return messages_.show(handle(), confirmationText(singular, plural, captions), commonString(2),
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void TdownloadForm::newList() {
  const int number = newDownloadList(listsRoot_, NewListName);
  if (number < 0) return;
  fillingLists_ = true;
  listFolders_[number] = std::to_string(number);
  descriptors_.insert_or_assign(number, TListDescriptor(listFolder(number)));
  listView_->addItem(NewListName, number);
  fillingLists_ = false;
}

void TdownloadForm::copySelectedLists() {
  fillingLists_ = true;
  for (const int number : selectedNumbers(*listView_)) {
    const int row = listView_->findData(number);
    const int copy = copyDownloadList(listsRoot_, listFolder(number));
    if (copy < 0) break;
    listFolders_[copy] = std::to_string(copy);
    descriptors_.insert_or_assign(copy, TListDescriptor(listFolder(copy)));
    const int added = listView_->addItem(listView_->itemText(row), copy);
    // The copied descriptor keeps the source's mark; the row starts unchecked.
    listView_->setChecked(added, false);
  }
  fillingLists_ = false;
}

void TdownloadForm::clearSelectedLists() {
  if (!confirm(*listView_, ClearList, ClearLists)) return;
  busy();
  std::vector<std::string> refusals;
  for (const int number : selectedNumbers(*listView_)) {
    // The shown list's items as the program holds them, so that their
    // saves check what another program did to them since.
    if (number == shownList_) {
      for (const auto& held : shownItems_) clearShownItem(held.first, refusals);
      continue;
    }
    for (const std::string& file : downloadItemFiles(listFolder(number))) {
      TDownloadItem item;
      item.loadFromFile(file);
      std::string why;
      if (clearDownloadItem(item, why) == TClearResult::fileKept) refusals.push_back("\"" + item.Name + "\": " + why);
    }
  }
  available();
  tellClearRefusals(refusals);
}

void TdownloadForm::clearShownItem(int number, std::vector<std::string>& refusals) {
  TDownloadItem& item = shownItem(number);
  std::string why;
  const TClearResult result = clearDownloadItem(item, why);
  if (result == TClearResult::fileKept) refusals.push_back("\"" + item.Name + "\": " + why);
  if (result != TClearResult::cleared) return;
  const int row = itemView_->findData(number);
  if (row >= 0) itemView_->setItemText(row, 3, "");
}

void TdownloadForm::tellClearRefusals(const std::vector<std::string>& refusals) {
  if (refusals.empty()) return;
  std::string text = refusals.size() == 1 ? "An item was not cleared, and keeps its date:"
                                          : "These items were not cleared, and keep their dates:";
  for (const std::string& refusal : refusals) text += "\n\n" + refusal;
  messages_.show(handle(), text, commonString(4), MB_OK | MB_ICONWARNING);
}

void TdownloadForm::deleteSelectedLists() {
  if (!confirm(*listView_, DeleteList, DeleteLists)) return;
  fillingLists_ = true;
  selectTimer_.setEnabled(false);
  selectedList_ = -1;
  const std::vector<int> numbers = selectedNumbers(*listView_);
  std::vector<std::string> folders;
  for (const int number : numbers) folders.push_back(listFolder(number));
  std::string refusal;
  const std::vector<bool> gone = deleteDownloadLists(folders, refusal);
  tellDeletion("list", gone, refusal);
  for (size_t i = 0; i < numbers.size(); ++i) {
    // A row goes only with its descriptor: a list that could not be removed stays listed.
    if (!gone[i]) continue;
    const int number = numbers[i];
    listView_->deleteItem(listView_->findData(number));
    listFolders_.erase(number);
    descriptors_.erase(number);
    if (number == shownList_) {
      shownList_ = -1;
      shownFolder_.clear();
      itemView_->clear();
      shownItems_.clear();
      itemView_->hide();
      noListLabel_->show();
    }
  }
  fillingLists_ = false;
  updateControlBar();
}

void TdownloadForm::zapSelectedListRemarks() {
  busy();
  for (const int number : selectedNumbers(*listView_)) {
    if (number != shownList_) {
      zapListRemarks(listFolder(number));
      continue;
    }
    for (auto& [itemNumber, item] : shownItems_) {
      zapItemRemarks(item);
      const int row = itemView_->findData(itemNumber);
      if (row >= 0) showItemRow(row, item);
    }
  }
  available();
}

int TdownloadForm::updateCheckedLists() {
  std::vector<std::string> folders;
  for (int row = 0; row < listView_->itemCount(); ++row)
    if (listView_->checked(row)) folders.push_back(listFolder(static_cast<int>(listView_->itemData(row))));
  if (folders.empty() || !link_) return -1;
  return link_->queueDownloads(downloadQueueText(folders));
}

int TdownloadForm::updateSelectedLists() {
  std::vector<std::string> folders;
  for (const int number : selectedNumbers(*listView_)) folders.push_back(listFolder(number));
  if (folders.empty() || !link_) return -1;
  return link_->queueDownloads(downloadQueueText(folders));
}

std::string TdownloadForm::selectedItemsText() const {
  std::vector<std::string> files;
  if (shownList_ < 0) return {};
  for (const int number : selectedNumbers(*itemView_)) files.push_back(itemFile(number));
  return downloadQueueText(files);
}

int TdownloadForm::updateSelectedItems() {
  const std::string text = selectedItemsText();
  if (text.empty() || !link_) return -1;
  return link_->queueDownloads(text);
}

void TdownloadForm::copySelectedItemsToList(int listNumber) {
  if (shownList_ < 0 || listNumber < 0) return;
  const std::vector<int> sources = selectedNumbers(*itemView_);
  for (const int number : sources) {
    const int copy = copyDownloadItem(itemFile(number), listFolder(listNumber));
    if (copy < 0) break;
    if (listNumber != shownList_) continue;
    itemView_->setSelected(itemView_->findData(number), false);
    addItemRow(itemFile(copy), copy);
  }
}

void TdownloadForm::clearSelectedItems() {
  if (shownList_ < 0 || !confirm(*itemView_, ClearObject, ClearObjects)) return;
  std::vector<std::string> refusals;
  for (const int number : selectedNumbers(*itemView_)) clearShownItem(number, refusals);
  tellClearRefusals(refusals);
}

void TdownloadForm::deleteSelectedItems() {
  if (shownList_ < 0 || !confirm(*itemView_, DeleteObject, DeleteObjects)) return;
  const std::vector<int> numbers = selectedNumbers(*itemView_);
  std::vector<std::string> files;
  for (const int number : numbers) files.push_back(itemFile(number));
  std::string refusal;
  const std::vector<bool> gone = deleteDownloadItems(files, refusal);
  tellDeletion("item", gone, refusal);
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (!gone[i]) continue;
    itemView_->deleteItem(itemView_->findData(numbers[i]));
    itemFiles_.erase(numbers[i]);
    shownItems_.erase(numbers[i]);
  }
  updateControlBar();
}

void TdownloadForm::zapSelectedItemRemarks() {
  if (shownList_ < 0) return;
  for (const int number : selectedNumbers(*itemView_))
    if (zapItemRemarks(shownItem(number)))
      itemView_->setStateImage(itemView_->findData(number), stateIndexOf(itemImage));
}

TDownloadItem& TdownloadForm::shownItem(int number) {
  const auto held = shownItems_.find(number);
  if (held != shownItems_.end()) return held->second;
  TDownloadItem& item = shownItems_[number];
  item.loadFromFile(itemFile(number));
  return item;
}

TSaveFailures TdownloadForm::saveHeldFiles() {
  TSaveFailures failed;
  // One gone meanwhile is not made again.
  for (auto& [number, descriptor] : descriptors_)
    if (!descriptor.save() && fileExists(descriptor.fileName())) failed.push_back(descriptor.fileName());
  if (shownItems_.empty() || shownFolder_.empty()) return failed;
  // The folder is listed once: a file as this program left it is not
  // looked up, let alone read.
  std::map<std::string, TFileStamp> listed;
  for (const TFoundFile& entry : findFiles(shownFolder_ + "*.INI"))
    if (!entry.isFolder) listed.emplace(upperCase(entry.name), entry.stamp);
  for (auto& [number, item] : shownItems_) {
    const auto found = listed.find(upperCase(item.fileName.substr(item.fileName.find_last_of('\\') + 1)));
    // One gone meanwhile is not made again.
    if (found == listed.end()) continue;
    if (item.saveUnchanged(found->second) != 0) failed.push_back(item.fileName);
  }
  return failed;
}

void TdownloadForm::newItem() {
  if (shownList_ < 0 || !link_) return;
  int code = 0;
  std::string folder = shownFolder_;
  folder.pop_back();
  std::string fileName;
  try {
    fileName = link_->makeObject(folder, code, [this](bool enabled) { setEnabled(enabled); });
  } catch (const std::exception& error) {
    reportError(error);
  }
  if (code != 0) showErrorDialog(code);
  if (!fileName.empty()) {
    const std::string name = fileName.substr(fileName.find_last_of('\\') + 1);
    const int number = positiveNumberName(name.substr(0, name.find('.')));
    if (number > 0) addItemRow(fileName, number);
  }
  if (visible() && itemView_->canFocus()) itemView_->setFocus();
}

void TdownloadForm::reportError(const std::exception& error) {
  messages_.show(handle(), error.what(), commonString(4), MB_OK | MB_ICONSTOP);
}

void TdownloadForm::setDownloaderHost(TDownloaderHost host) {
  host.downloaderMissing = [this](const std::string& executable) { reportDownloaderMissing(executable); };
  link_ = std::make_unique<TDownloaderLink>(std::move(host));
}

void TdownloadForm::reportDownloaderMissing(const std::string& executable) {
  const std::string text = "The downloader was not found beside the program:\n" + executable +
                           "\n\nIt is the companion program that downloads the quotes of the download items and "
                           "writes them into their data folders. Without it, Update, New item, Properties and "
                           "Internet setup cannot work.";
  messages_.show(handle(), text, "Downloads", MB_OK | MB_ICONINFORMATION);
}

void TdownloadForm::editSelectedItems() {
  const std::string text = selectedItemsText();
  if (text.empty() || !link_) return;
  showErrorDialog(link_->editItems(text));
  reloadObjectsInSelectedList();
  if (visible() && itemView_->canFocus()) itemView_->setFocus();
}

void TdownloadForm::monthsBtnClick() {
  RECT bounds{};
  GetWindowRect(GetAncestor(handle(), GA_ROOT), &bounds);
  if (layout_) editMonthNames(translationFile_, monthsPath_, bounds, *layout_);
}

void TdownloadForm::openFindDialog(TListView& view, bool place) {
  if (!findDialog_) return;
  findDialog_->onFind = [this, &view] { findInListView(view); };
  findDialog_->execute(handle());
  if (!place) return;
  const int row = view.itemIndex();
  POINT at{0, 0};
  if (row >= 0) {
    const RECT rect = view.itemRect(row);
    at = {rect.left, rect.top};
  }
  ClientToScreen(view.handle(), &at);
  findDialog_->setPosition(at.x, at.y);
}

bool TdownloadForm::findInListView(TListView& view) {
  if (!findDialog_ || view.itemCount() == 0) return false;
  std::vector<std::string> captions;
  for (int row = 0; row < view.itemCount(); ++row) captions.push_back(view.itemText(row));
  const int found = findPickRow(captions, view.nextSelected(-1), findDialog_->findText, findDialog_->options.down,
                                findDialog_->options.matchCase);
  if (found < 0) return false;
  view.setItemIndex(found);  // deselects the others and scrolls the row into view
  if (&view == listView_) selectList();
  return true;
}

void TdownloadForm::busy() {
  application().busy();
  toolBar_->setEnabled(false);
  listView_->setEnabled(false);
  itemView_->setEnabled(false);
}

void TdownloadForm::available() {
  toolBar_->setEnabled(true);
  listView_->setEnabled(true);
  itemView_->setEnabled(true);
  application().available();
}

void TdownloadForm::updateControlBar() {
  const bool items = lastFocusedView_ == itemView_ && shownList_ >= 0;
  const bool lists = lastFocusedView_ == listView_;
  const bool itemSelected = items && itemView_->selectedCount() > 0;
  const bool listSelected = lists && listView_->selectedCount() > 0;
  bool anyChecked = false;
  for (int row = 0; lists && row < listView_->itemCount() && !anyChecked; ++row) anyChecked = listView_->checked(row);
  bool remarks = false;
  if (itemSelected) remarks = selectedItemHasRemarks();
  buttons_["Update"]->setEnabled(items ? itemSelected : anyChecked);
  buttons_["Remarks"]->setEnabled(remarks);
  buttons_["Zap"]->setEnabled(items ? remarks : listSelected);
  buttons_["Properties"]->setEnabled(itemSelected);
  buttons_["New"]->setEnabled(items || lists);
  for (const char* key : {"Copy", "Clear", "Delete"}) buttons_[key]->setEnabled(itemSelected || listSelected);
  buttons_["Find"]->setEnabled(findDialog_ && (items ? itemView_->itemCount() > 0 : lists && listView_->itemCount() > 0));
}
