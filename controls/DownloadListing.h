#pragma once
#include <map>
#include <string>
#include <vector>

#include "controls/PickList.h"

class TDownloadItem;

// What the download pick dialog lists: the download lists, each a folder
// under <DLISTS> named by a positive number and holding "0.INI", and the
// item files of one list. Rows keep the names as found, so that "07" and
// "012.INI" are read back from where they are.

// The number of a folder or file base name made of decimal digits only and
// greater than 0 ("07" is 7); -1 for anything else.
int positiveNumberName(const std::string& name);

// One row per list folder: the number, the folder name as found, state
// image 0, and as caption the "Name" of section "List" in its "0.INI" ("?"
// when missing). The folder path ends in a backslash. A "0.INI" that is a
// folder, or not read whole (emptied, cut off, damaged), is named.
std::vector<TPickRow> listDownloadLists(const std::string& listsFolder);

// One row per item file "N.INI" (N > 0) of a list folder: name, symbol,
// currency and the last update as date and time (empty for never), with
// state image 6 for an item with remarks, else 5. A file that loads with an
// error still shows what was read; loadFailures counts such files. Where
// items is given, it holds each item as read, by its number.
std::vector<TPickRow> listDownloadItems(const std::string& listFolder, int& loadFailures,
                                        std::map<int, TDownloadItem>* items = nullptr);

// The "Updated" text: the date and time in the user's short format, empty
// for 0 and for a value that is no date.
std::string lastUpdateText(double lastUpdate);
