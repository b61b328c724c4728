#include "windows/PortfolioTemplate.h"

#include <windows.h>

#include "model/Directories.h"
#include "model/PortfolioTable.h"
#include "platform/FileSystem.h"

namespace {

const char* const templateFiles[] = {"AssetFields.INI",       "AssetControls.INI",       "QuoteFields.INI",
                                     "QuoteControls.INI",     "TransactionFields.INI",   "TransactionControls.INI",
                                     "System.INI",            "SystemControls.INI"};
const char* const viewFolders[] = {"Charts", "Graphs", "Browsers"};

bool movePath(const std::string& source, const std::string& target) {
  return MoveFileA(source.c_str(), target.c_str()) != 0;
}

// A file whose name the target has fails the move; a folder it has (the
// view folders every new portfolio is made with) takes the entries.
bool moveEntriesInto(const std::string& source, const std::string& target) {
  for (const TFoundFile& entry : findFiles(source + "*")) {
    const std::string from = source + entry.name;
    const std::string to = target + entry.name;
    const bool merged = entry.isFolder && !entry.isReparsePoint && folderExists(to);
    if (!(merged ? moveEntriesInto(from + "\\", to + "\\") : movePath(from, to))) return false;
  }
  return true;
}

bool buildNewTemplate(const std::string& source, const std::string& fresh) {
  if (!folderExists(fresh) && !forceFolders(fresh)) return false;
  if (!deleteDirContents(fresh)) return false;
  // A window the portfolio was never shown in has written no file: the
  // template goes without it, as a portfolio made without one does.
  for (const char* name : templateFiles)
    if (fileExists(source + name) && !copyFile(source + name, fresh + name, true)) return false;
  for (const char* name : viewFolders)
    if (folderExists(source + name) && !copyTree(source + name, fresh + name, true)) return false;
  return true;
}

}  // namespace

int copyTemplateInto(const std::string& foliosDir, const std::string& folder) {
  const std::string source = foliosDir + "Template";
  if (!folderExists(source)) return 0;
  const std::string staging = uniqueFileName(foliosDir, "Template.", ".TMP", 0, 999);
  if (staging.empty() || !copyTree(source, staging, false)) return -4;
  const bool moved = moveEntriesInto(includeTrailingBackslash(staging), includeTrailingBackslash(folder));
  deleteTree(staging);
  return moved ? 0 : -4;
}

int makeTemplate(const std::string& portfolioFolder, const std::string& foliosDir) {
  const std::string fresh = foliosDir + "NewTemplate";
  const std::string current = foliosDir + "Template";
  const std::string backup = foliosDir + "Template.BAK";
  if (!buildNewTemplate(includeTrailingBackslash(portfolioFolder), fresh + "\\")) return -4;
  if (folderExists(backup) && !deleteTree(backup)) return -4;
  const bool hadTemplate = folderExists(current);
  if (hadTemplate && !movePath(current, backup)) return -4;
  if (!movePath(fresh, current)) {
    if (hadTemplate) movePath(backup, current);
    return -4;
  }
  return 0;
}

int addPortfolioFromTemplate(TPortfolioTable& table, const std::string& foliosDir) {
  std::string folder;
  const int result = table.newPortfolio("", "", folder, foliosDir, "");
  if (result != 0) return result;
  if (copyTemplateInto(foliosDir, folder) == 0) return 0;
  const int index = table.indexOfFolder(folder);
  if (index >= 0) table.deletePortfolio(index);
  if (table.indexOfFolder(folder) < 0) deleteTree(folder);
  return -4;
}
