#pragma once
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "model/SettingsBaseline.h"

// One quote-download definition: where the quotes of an instrument come from
// and how they become a quote file. Each item is an INI file in a numbered
// download-list folder under <DLISTS>; the companion downloader reads the same
// files, so keys and their forms must stay as they are.
class TDownloadItem {
 public:
  // Every text empty (the file name too), no remarks, LastUpdate 0, the
  // switches off, both engines the null GUID.
  void clear();
  // Clears, then reads the file; the file name is kept in any case. 0 also
  // for a missing file (an empty item); -3 when the file exists but cannot be
  // read; -6 at a malformed engine GUID, with the keys read before it kept;
  // -7 for a file with lines reading passed over (see
  // TPortableIniFile::readWhole), emptied or cut off inside a line, every
  // key read. A file that could not be
  // read, or only in part, is named (see UnreadableFiles.h); a number that
  // does not read is taken as 0 (off) and told in the notice.
  int loadFromFile(const std::string& fileName);
  // Writes into fileName, through a temporary file that replaces it only
  // once complete, what changed since the load or the last save, and, in a
  // file read whole, every field the file spelled in another form than the
  // downloader's; what another program changed meanwhile keeps its value
  // unless the item changed it too, and what it cut out is put back and
  // told, naming the item (see TSettingsBaseline::save). An item never
  // loaded writes every field. Into a file whose engine or numbers did not
  // read, only the fields changed, so that what stood in for them is never
  // written over it; into one with lines reading passed over, or one that
  // could not be read, nothing. 0, or -4 when the file could not be
  // written (the old file then stays as it was).
  int saveToFile();
  // For an item the program holds as read (or saved) and did not change
  // since, as the close checks it: what another program cut out of the
  // file is put back and told, and nothing else is written. A file as this
  // program left it (listed: its stamp as its folder's listing gave it) is
  // not read. 0, or -4 when the file could not be written.
  int saveUnchanged(const std::optional<TFileStamp>& listed = std::nullopt);
  // What the last loadFromFile gave.
  int loadResult() const { return loadResult_; }
  // The remark values in the order of their keys 1, 2, ..., each followed by
  // a line feed.
  void remarksText(std::string& text) const;

  std::string fileName;
  std::string Name;
  std::string Symbol;
  std::string Currency;
  std::string DataPath;  // absolute here, in placeholder form on disk
  std::string InFormat;
  std::string OutFormat;
  std::string Protocol;  // "file:///" marks a local file as the source
  std::string URL;
  std::string UserID;
  std::string Password;
  std::string ParseScript;
  std::string ParseMethod;
  std::string URLscript;
  std::string URLmethod;
  std::string URLarg1;
  std::string URLarg2;
  std::string URLarg3;
  std::string URLarg4;
  // name=value lines; the names count from 1 on disk, and saving numbers the
  // lines afresh in list order.
  std::vector<std::string> Remarks;
  GUID UrlEngine{};
  GUID ParseEngine{};
  double LastUpdate = 0;  // day number of the last successful download; 0 for never
  bool ActiveURL = false;
  bool ActiveParsing = false;
  bool UseInFormat = false;

 private:
  int readFields(const TPortableIniFile& ini);
  void writeFields(TPortableIniFile& ini) const;
  TSettingsBaseline::TWriter writer() const;
  // A notice of what a save put back names the item.
  void describeFile();

  bool readWhole_ = true;
  int loadResult_ = 0;
  TSettingsBaseline asLoaded_;
};

// The value part of a name=value line; the whole line when it has no "=".
std::string remarkValue(const std::string& line);
