#include "controls/DownloadListing.h"

#include "controls/DownloadItem.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "platform/DateTime.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

int positiveNumberName(const std::string& name) {
  if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) return -1;
  const size_t first = name.find_first_not_of('0');
  // Nine digits always fit; more could overflow, leading zeros aside.
  if (first == std::string::npos || name.size() - first > 9) return -1;
  return std::stoi(name.substr(first));
}

std::vector<TPickRow> listDownloadLists(const std::string& listsFolder) {
  std::vector<TPickRow> rows;
  if (listsFolder.empty()) return rows;
  for (const TFoundFile& entry : findFiles(listsFolder + "*")) {
    const int number = positiveNumberName(entry.name);
    if (!entry.isFolder || number < 0) continue;
    const std::string descriptor = listsFolder + entry.name + "\\0.INI";
    if (!fileExists(descriptor)) {
      // A folder under the descriptor's name hides the list: the user is told.
      if (pathExists(descriptor)) reportUnreadableFile(descriptor);
      continue;
    }
    const TPortableIniFile ini(descriptor);
    // Cut off inside its name, a list shows the start of it: told of.
    checkWholeRecord(ini, {{"List", ""}});
    TPickRow row;
    row.texts = {ini.readString("List", "Name", "?")};
    row.number = number;
    row.foundName = entry.name;
    row.stateImage = 0;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string lastUpdateText(double lastUpdate) {
  if (lastUpdate == 0) return "";
  try {
    return formatDateTime("c", lastUpdate);
  } catch (...) {
    return "";  // a damaged file must not keep the list from showing
  }
}

std::vector<TPickRow> listDownloadItems(const std::string& listFolder, int& loadFailures,
                                        std::map<int, TDownloadItem>* items) {
  loadFailures = 0;
  std::vector<TPickRow> rows;
  TDownloadItem scratch;
  for (const TFoundFile& entry : findFiles(listFolder + "*.INI")) {
    // The pattern also matches through short names ("12.INIX"), so the
    // extension is checked again.
    if (entry.name.size() <= 4 || !sameText(entry.name.substr(entry.name.size() - 4), ".INI")) continue;
    const int number = positiveNumberName(entry.name.substr(0, entry.name.size() - 4));
    if (number < 0) continue;
    // A folder under an item's name hides the item: the user is told.
    if (entry.isFolder) {
      reportUnreadableFile(listFolder + entry.name);
      continue;
    }
    TDownloadItem& item = items != nullptr ? (*items)[number] : scratch;
    if (item.loadFromFile(listFolder + entry.name) != 0) ++loadFailures;
    TPickRow row;
    row.texts = {item.Name, item.Symbol, item.Currency, lastUpdateText(item.LastUpdate)};
    row.number = number;
    row.foundName = entry.name;
    row.stateImage = item.Remarks.empty() ? 5 : 6;
    rows.push_back(std::move(row));
  }
  return rows;
}
