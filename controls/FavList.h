#pragma once
#include <memory>
#include <string>
#include <vector>

class TPortableIniFile;

// One remembered page of a web panel: its address (collapsed, so that local
// files survive a moved folder), a short name typed by the user and the scroll
// position at the time it was taken.
class TFav {
 public:
  void clear();
  // Clears, then reads the four keys; a missing key keeps the cleared value.
  // -2 when the section is missing (nothing read), else 0.
  int load(const TPortableIniFile& ini, const std::string& section);
  int save(TPortableIniFile& ini, const std::string& section) const;

  std::string URL;
  std::string Symbol;
  int X = 0;
  int Y = 0;
};

// The home page (the default favourite, which is not an entry) and the
// favourite entries of a web panel in list order.
class TFavList {
 public:
  void clear();
  int count() const { return static_cast<int>(entries_.size()); }
  // nullptr outside 0..count-1.
  TFav* get(int index) const;
  // Replaces the entry at the index (ignored outside the list or for nullptr).
  void set(int index, std::unique_ptr<TFav> entry);
  // 0, or -7 for an index outside 0..count.
  int insert(int index, const std::string& url, const std::string& symbol, int x, int y);
  // 0, or -7 outside 0..count-1.
  int remove(int index);
  int swap(int first, int second);
  // The first entry whose Symbol equals the trimmed symbol ignoring case; -1 when none.
  int indexOfSymbol(const std::string& symbol) const;
  void setDefault(const std::string& url, const std::string& symbol, int x, int y);
  TFav& getDefault() { return default_; }
  const TFav& getDefault() const { return default_; }

  // Section prefix + "0" holds the default, prefix the count, prefix + 1..n
  // the entries. Saving erases every entry section past the count: those a
  // longer list left behind, and those another program left there.
  int save(TPortableIniFile& ini, const std::string& prefix) const;
  // The stored count is not trusted: loading stops at the first missing
  // entry section, so a damaged count cannot make it loop or allocate.
  int load(const TPortableIniFile& ini, const std::string& prefix);

 private:
  TFav default_;
  std::vector<std::unique_ptr<TFav>> entries_;
};
