#pragma once
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/DownloadBrowserPane.h"
#include "app/DownloadLists.h"
#include "app/DownloaderLink.h"
#include "controls/DownloadItem.h"
#include "controls/ChildForm.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "platform/Timer.h"

class TControlBar;
class TFindDialog;
class TImageList;
class TLabel;
class TListView;
class TMessageBox;
class TPanel;
class TPortableIniFile;
class TToolButton;

// The Downloads tab: the download lists with their check boxes on the left,
// the items of the shown list on the right, and a tool bar acting on the
// view that has the focus. Fetchmoor does the downloading; this window only
// keeps the lists and hands them over.
class TdownloadForm : public TChildForm {
 public:
  static constexpr int selectionDelayMilliseconds = 200;

  // The browser control comes from the factory (the system's by default).
  explicit TdownloadForm(TMessageBox& messages, TdownloadBrowserPane::TBrowserFactory browserFactory = {});
  ~TdownloadForm() override;

  // The window tells the user itself when the downloader is missing.
  void setDownloaderHost(TDownloaderHost host);
  // The window layout file the month names are saved in, and what the
  // program holds of it whole.
  void setMonthsFile(const std::string& path, TSettingsBaseline& layout) {
    monthsPath_ = path;
    layout_ = &layout;
  }
  // The main window's shared find dialog, set before the window is used.
  void setFindDialog(TFindDialog* dialog) { findDialog_ = dialog; }
  // Finds the next row of the view whose caption holds the dialog's text; a
  // list found is shown at once. False when nothing matched.
  bool findInListView(TListView& view);
  void loadTranslations(const std::string& fileName);
  // Section "DownloadSheet": the lists' width, the item columns' widths and
  // where the tool-bar groups sit.
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;
  // Trimmed and upper-cased; a new root lists its lists.
  void setListsRoot(const std::string& path);
  const std::string& listsRoot() const { return listsRoot_; }
  void listLists();
  // Re-reads the shown item rows from their files; no row comes or goes.
  void reloadObjectsInSelectedList();
  // The shown list's items and the lists' descriptors as the program read
  // or saved them, checked as the close checks held files: what another
  // program cut out of one since is put back and told. The files that
  // could not be written.
  TSaveFailures saveHeldFiles();
  // The list whose items are shown; -1 for none.
  int shownList() const { return shownList_; }
  int selectedList() const { return selectedList_; }
  // Shows the selected list now instead of after the delay.
  void selectList();

  // The commands, acting on the view that had the focus last.
  void newList();
  void copySelectedLists();
  void clearSelectedLists();
  void deleteSelectedLists();
  void zapSelectedListRemarks();
  // Queues the checked lists; the result handed to Fetchmoor, -1 when not available.
  int updateCheckedLists();
  int updateSelectedLists();
  int updateSelectedItems();
  void copySelectedItemsToList(int listNumber);
  void clearSelectedItems();
  void deleteSelectedItems();
  void zapSelectedItemRemarks();
  void showSelectedItemRemarks();
  void newItem();
  void editSelectedItems();
  void monthsBtnClick();

  // The browser below the items: on while the tab shows (the main window
  // switches it), gone when the program closes.
  void webBrowserEnable(bool enable) { browserPane_->webBrowserEnable(enable); }
  void killWebBrowser() { browserPane_->killWebBrowser(); }
  void makeWebBrowser() { browserPane_->makeWebBrowser(); }
  TdownloadBrowserPane& browserPane() const { return *browserPane_; }

  TListView& listView() const { return *listView_; }
  TListView& itemView() const { return *itemView_; }
  TToolButton& toolButton(const std::string& key) const { return *buttons_.at(key); }
  TControlBar& toolBar() const { return *toolBar_; }
  TPopupMenu& listPopupMenu() { return listPopupMenu_; }
  TPopupMenu& itemPopupMenu() { return itemPopupMenu_; }
  // The Copy button's menu while the item view has the focus.
  TPopupMenu& copyToPopupMenu() { return copyToPopupMenu_; }
  std::string listFolder(int listNumber) const;
  // The list's descriptor as read when listed, or now for one made since.
  TListDescriptor& descriptor(int listNumber);
  std::string itemFile(int itemNumber) const;

  // The nine texts of section "Downloads".
  std::string NewListName = "New list";
  std::string ClearList = "Clear list";
  std::string ClearLists = "Clear selected lists";
  std::string DeleteList = "Delete list";
  std::string DeleteLists = "Delete selected lists";
  std::string ClearObject = "Clear item";
  std::string ClearObjects = "Clear selected items";
  std::string DeleteObject = "Delete item";
  std::string DeleteObjects = "Delete selected items";

 private:
  void createControls(TdownloadBrowserPane::TBrowserFactory browserFactory);
  void createToolBar();
  void createPopupMenus();
  void listPopup();
  void itemPopup();
  // One entry a list row, in row order, copying the selected items there.
  void fillCopyToMenu(TMenuItem& menu);
  void copyBtnClick();
  void itemViewBeginDrag();
  void itemViewDragMove(int x, int y);
  void itemViewDragDrop(int x, int y);
  // The list row under a point of the item view, or -1.
  int listRowAt(int x, int y) const;
  // A selection writes nothing; only a toggle of the check box stores the
  // list's mark.
  void listViewSelectItem(int row, bool selected);
  void listViewItemChecked(int row);
  // Tells that a list's descriptor was left as it is, and so what.
  void tellDescriptorKept(const std::string& listFolder, const std::string& what);
  // What the user did did not go into the file, which stays as it is.
  void tellFileKept(const std::string& file, const std::string& what);
  void loadList(bool keepSelection);
  void addItemRow(const std::string& fileName, int number);
  // Reads the item again and shows it in the row.
  void setItemRow(int row, int number);
  void showItemRow(int row, const TDownloadItem& item);
  // The shown list's item as the program holds it; read now for one it
  // does not hold yet.
  TDownloadItem& shownItem(int number);
  // Clears the item's data and date; refusals gains why one was kept.
  void clearShownItem(int number, std::vector<std::string>& refusals);
  void tellClearRefusals(const std::vector<std::string>& refusals);
  // A command must see the list the user picked last, not the one the delay
  // has yet to show.
  void flushPendingSelection();
  bool confirm(const TListView& view, const std::string& singular, const std::string& plural);
  // The selected lists or items (gone: which went) stay listed when a file
  // refused; the user learns which file and why, or, for those gone, what
  // another program kept on disk.
  void tellDeletion(const std::string& what, const std::vector<bool>& gone, const std::string& refusal);
  std::vector<int> selectedNumbers(const TListView& view) const;
  std::string selectedItemsText() const;
  bool selectedItemHasRemarks() const;
  void busy();
  void available();
  void updateControlBar();
  void showErrorDialog(int) {}
  // A failing call into Fetchmoor, which the user must hear of.
  void reportError(const std::exception& error);
  void reportDownloaderMissing(const std::string& executable);

  // Shows the find dialog for the view; place puts it at the selected row,
  // or at the view's corner when none is selected.
  void openFindDialog(TListView& view, bool place);

  TMessageBox& messages_;
  TFindDialog* findDialog_ = nullptr;
  std::unique_ptr<TDownloaderLink> link_;
  std::string listsRoot_;
  std::string monthsPath_;
  TSettingsBaseline* layout_ = nullptr;
  std::string translationFile_;
  int selectedList_ = -1;
  int shownList_ = -1;
  std::string shownFolder_;
  // Folder and file names as found on disk ("07", "012.INI"), by number.
  std::map<int, std::string> listFolders_;
  // What each list's descriptor held when listed, by number.
  std::map<int, TListDescriptor> descriptors_;
  std::map<int, std::string> itemFiles_;
  // The shown list's items as read when listed or saved since, by number:
  // a save checks what another program did to the file meanwhile.
  std::map<int, TDownloadItem> shownItems_;
  bool fillingLists_ = false;
  TTimer selectTimer_;
  TToolGlyphs glyphs_;
  TControlBar* toolBar_;
  std::map<std::string, TPanel*> toolGroups_;
  TListView* listView_;
  TListView* itemView_;
  std::unique_ptr<TImageList> images_;
  TPanel* itemsPanel_;
  TdownloadBrowserPane* browserPane_;
  TLabel* noListLabel_;
  TListView* lastFocusedView_ = nullptr;
  std::map<std::string, TToolButton*> buttons_;
  TPopupMenu listPopupMenu_;
  TPopupMenu itemPopupMenu_;
  TPopupMenu copyToPopupMenu_;
  bool draggingItems_ = false;
};
