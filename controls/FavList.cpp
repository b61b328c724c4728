#include "controls/FavList.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

void TFav::clear() {
  URL.clear();
  Symbol.clear();
  X = 0;
  Y = 0;
}

int TFav::load(const TPortableIniFile& ini, const std::string& section) {
  clear();
  if (!ini.sectionExists(section)) return -2;
  URL = ini.readString(section, "URL", "");
  Symbol = ini.readString(section, "Symbol", "");
  X = ini.readInteger(section, "X", 0);
  Y = ini.readInteger(section, "Y", 0);
  return 0;
}

int TFav::save(TPortableIniFile& ini, const std::string& section) const {
  // Quoted where blanks at the ends or quotes of their own would not read back.
  ini.writeString(section, "URL", quotedWhereNeeded(URL));
  ini.writeString(section, "Symbol", quotedWhereNeeded(Symbol));
  ini.writeInteger(section, "X", X);
  ini.writeInteger(section, "Y", Y);
  return 0;
}

void TFavList::clear() {
  entries_.clear();
  default_.clear();
}

TFav* TFavList::get(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return entries_[static_cast<size_t>(index)].get();
}

void TFavList::set(int index, std::unique_ptr<TFav> entry) {
  if (index < 0 || index >= count() || !entry) return;
  entries_[static_cast<size_t>(index)] = std::move(entry);
}

int TFavList::insert(int index, const std::string& url, const std::string& symbol, int x, int y) {
  if (index < 0 || index > count()) return -7;
  auto entry = std::make_unique<TFav>();
  entry->URL = url;
  entry->Symbol = symbol;
  entry->X = x;
  entry->Y = y;
  entries_.insert(entries_.begin() + index, std::move(entry));
  return 0;
}

int TFavList::remove(int index) {
  if (index < 0 || index >= count()) return -7;
  entries_.erase(entries_.begin() + index);
  return 0;
}

int TFavList::swap(int first, int second) {
  if (first < 0 || first >= count() || second < 0 || second >= count()) return -7;
  std::swap(entries_[static_cast<size_t>(first)], entries_[static_cast<size_t>(second)]);
  return 0;
}

int TFavList::indexOfSymbol(const std::string& symbol) const {
  const std::string wanted = trimmedOf(symbol, " \t");
  for (int i = 0; i < count(); ++i)
    if (sameIgnoringCase(entries_[static_cast<size_t>(i)]->Symbol, wanted)) return i;
  return -1;
}

void TFavList::setDefault(const std::string& url, const std::string& symbol, int x, int y) {
  default_.URL = url;
  default_.Symbol = symbol;
  default_.X = x;
  default_.Y = y;
}

int TFavList::save(TPortableIniFile& ini, const std::string& prefix) const {
  const int result = default_.save(ini, prefix + "0");
  for (int i = 0; i < count(); ++i) entries_[static_cast<size_t>(i)]->save(ini, prefix + std::to_string(i + 1));
  ini.writeInteger(prefix, "Count", count());
  ini.eraseNumberedSections(prefix, "", count() + 1, std::numeric_limits<long long>::max());
  return result;
}

int TFavList::load(const TPortableIniFile& ini, const std::string& prefix) {
  clear();
  default_.load(ini, prefix + "0");
  TNumberReader numbers(ini);
  const int storedCount = numbers.readInteger(prefix, "Count", 0);
  // A count that does not read shows no favourites: the file holds more
  // than the list, and says so.
  if (!numbers.unread().empty()) reportPartlyReadFile(ini.FileName());
  for (int i = 1; i <= storedCount; ++i) {
    auto entry = std::make_unique<TFav>();
    if (entry->load(ini, prefix + std::to_string(i)) != 0) {
      // The count says more favourites than the file holds: damage, and
      // the list shows less than was meant.
      reportPartlyReadFile(ini.FileName());
      break;
    }
    entries_.push_back(std::move(entry));
  }
  return 0;
}
