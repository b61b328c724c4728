#include "systems/SystemFileFault.h"

#include <algorithm>
#include <array>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "platform/LocaleSettings.h"
#include "systems/SystemEntryTable.h"

namespace {

struct TTableKeys {
  const char* baseName;
  const char* entries;  // in the notice: "rules", "symbols", "parameters"
  // The keys every save writes into an entry's section, whatever it holds.
  std::vector<const char*> writtenAlways;
  // Those of them the run reads: missing from any section, they would run
  // the system without what they held (a rule without its fees is no rule).
  std::vector<const char*> readByRun;
  // Those of them that are texts the user may leave empty: written even so,
  // as "", where the file carries its entry count; the file's own form
  // leaves them out when empty (see TWrittenKey::evenEmpty).
  std::vector<const char*> texts;
  // The keys holding a number, where they are present.
  std::vector<const char*> integers;
  std::vector<const char*> floats;
};

// In the order the writer writes them: a file cut off loses the last first.
const std::array<TTableKeys, 3>& tables() {
  static const std::array<TTableKeys, 3> keys{{
      {"Rule",
       "rules",
       {"RowHeight", "ColWidth", "Number", "Enabled", "Condition", "AssetSymbol", "Units", "Principal", "Fees", "Flag",
        "TransactionComment"},
       {"Number", "Enabled", "Condition", "AssetSymbol", "Units", "Principal", "Fees", "Flag", "TransactionComment"},
       {"Condition", "AssetSymbol", "Units", "Principal", "Fees", "Flag", "TransactionComment"},
       {"RowHeight", "ColWidth", "Number"},
       {}},
      {"Symbol",
       "symbols",
       {"RowHeight", "ColWidth", "Symbol", "Definition"},
       {"Symbol", "Definition"},
       {"Symbol", "Definition"},
       {"RowHeight", "ColWidth"},
       {}},
      {"Param",
       "parameters",
       {"RowHeight", "ColWidth", "Symbol", "Value", "Low", "High", "Steps", "Locked"},
       {"Symbol", "Value", "Low", "High", "Steps", "Locked"},
       {"Symbol"},
       {"RowHeight", "ColWidth", "Steps"},
       {"Value", "Low", "High"}},
  }};
  return keys;
}

bool holdsKey(const std::vector<std::string>& keys, const std::string& key) {
  return std::any_of(keys.begin(), keys.end(), [&key](const std::string& held) { return sameText(held, key); });
}

// A key the section lacks is lost, unless it is a text that a file without
// the entry count leaves out when empty.
bool lacksKey(const std::vector<std::string>& keys, const TTableKeys& table, const char* key, bool counted) {
  if (holdsKey(keys, key)) return false;
  return counted || std::none_of(table.texts.begin(), table.texts.end(),
                                 [key](const char* text) { return sameText(text, key); });
}

// A file cut off ends inside its last section: only there do the sizes
// every save writes tell a section cut off from one written by hand
// without them.
std::string entryFault(const TPortableIniFile& ini, const TTableKeys& table, const std::string& section,
                       bool lastInFile, bool counted) {
  std::vector<std::string> keys;
  ini.readSection(section, keys);
  if (lastInFile) {
    for (const char* key : table.writtenAlways)
      if (lacksKey(keys, table, key, counted)) return "has its section " + section + " cut off";
  }
  for (const char* key : table.readByRun)
    if (lacksKey(keys, table, key, counted)) return std::string("lacks ") + key + " in section " + section;
  int integer = 0;
  for (const char* key : table.integers) {
    const std::string text = ini.readString(section, key, "");
    if (!text.empty() && !iniTextToInteger(text, integer))
      return std::string("holds no number for ") + key + " in section " + section;
  }
  double number = 0;
  for (const char* key : table.floats) {
    const std::string text = ini.readString(section, key, "");
    if (!text.empty() && !iniTextToFloat(text, number))
      return std::string("holds no number for ") + key + " in section " + section;
  }
  return "";
}

std::string tableFault(const TPortableIniFile& ini, const TTableKeys& table, const std::vector<std::string>& sections,
                       bool counted) {
  int count = 0;
  if (!iniTextToInteger(ini.readString(table.baseName, "Count", "0"), count))
    return std::string("holds no number for Count in section ") + table.baseName;
  // Counted over the sections the file holds: a count no file could hold
  // costs no more than a plausible one.
  int held = 0;
  for (const std::string& section : sections) {
    const long long number = sectionNumber(section, table.baseName);
    if (number >= 1 && number <= count) ++held;
  }
  if (held < count)
    return "holds " + std::to_string(held) + " of the " + std::to_string(count) + " " + table.entries +
           " its count names";
  for (int i = 1; i <= count; ++i) {
    const std::string section = table.baseName + std::to_string(i);
    if (std::string fault = entryFault(ini, table, section, section == sections.back(), counted); !fault.empty())
      return fault;
  }
  return "";
}

}  // namespace

std::string systemFileFault(const TPortableIniFile& ini) {
  // Not a system any save writes: read in part (lines above its first
  // section among them), emptied, cut off inside a line, or at its top,
  // where the defaults would stand in for the save mark and the range.
  if (std::string fault = recordFault(ini, {{"SoftTransactions", "Save"}, {"Range", "FromDate"}, {"Range", "ToDate"}});
      !fault.empty())
    return fault;
  double date = 0;
  for (const char* key : {"FromDate", "ToDate"}) {
    const std::string text = ini.readString("Range", key, "");
    if (!text.empty() && !iniTextToFloat(text, date))
      return std::string("holds no number for ") + key + " in section Range";
  }
  // Every save writes all three tables: one missing after another one is
  // the file's end cut off.
  std::vector<std::string> sections;
  ini.readSections(sections);
  const bool counted = carriesEntryCount(ini);
  bool tableSeen = false;
  for (const TTableKeys& table : tables()) {
    if (!ini.sectionExists(table.baseName)) {
      if (tableSeen) return std::string("lacks its section ") + table.baseName;
      continue;
    }
    tableSeen = true;
    if (std::string fault = tableFault(ini, table, sections, counted); !fault.empty()) return fault;
  }
  // Nor a file holding no table at all: cut off before the first.
  if (!tableSeen && !sections.empty()) return std::string("lacks its section ") + tables().front().baseName;
  // Cut off at a line end, or a line lost that no key above tells (a
  // comment), a file with the count holds fewer entries.
  const auto count = [&ini](const char* table) { return std::max(0, ini.readInteger(table, "Count", 0)); };
  return entriesCutOff(ini, systemCountedSections(count("Rule"), count("Symbol"), count("Param")));
}

std::vector<std::string> systemCountedSections(int rules, int symbols, int params) {
  std::vector<std::string> counted = {"SoftTransactions", "Range"};
  const int counts[] = {rules, symbols, params};
  for (std::size_t table = 0; table < tables().size(); ++table) {
    const std::string baseName = tables()[table].baseName;
    counted.push_back(baseName);
    for (int i = 1; i <= counts[table]; ++i) counted.push_back(baseName + std::to_string(i));
  }
  return counted;
}

std::vector<std::string> systemSectionsPastCounts(const TPortableIniFile& ini) {
  std::vector<std::string> sections;
  ini.readSections(sections);
  std::vector<std::string> pastCounts;
  for (const TTableKeys& table : tables()) {
    const int count = ini.readInteger(table.baseName, "Count", 0);
    for (const std::string& section : sections)
      if (sectionNumber(section, table.baseName) > count) pastCounts.push_back(section);
  }
  return pastCounts;
}

std::string systemNotRunNotice(const std::string& portfolio, const std::string& fileName, const std::string& fault,
                               bool heldWhole) {
  // A change made in the window to a system read cut would be written
  // whole, and run: what the file lost would be lost for good.
  return "Trading system of \"" + portfolio + "\" not run: its file " + fileName + " " + fault + ". " +
         (heldWhole ? "The System window shows the system as it was read whole, and leaving the window writes it back."
                    : "Mend the file, or put back what it lost, and it runs again; the System window shows only what "
                      "the file still holds.");
}
