#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class TPortableIniFile;
class TPortfolioTable;

// The system files as the program last read them whole, each for the
// portfolio that read it: what stands for a system whose file another
// program cut since, so that the System window shows and writes the system
// the program ran, not what is left of it. A copy belongs to its portfolio,
// not to the file's name: a portfolio made later in a deleted one's folder,
// or one opened again, starts with nothing of it.
class TWholeSystemFiles {
 public:
  // After the portfolio's read found a whole system: kept while the file
  // exists; a file gone is a system deleted, which nothing brings back.
  void keep(int32_t portfolio, const TPortableIniFile& ini);
  // What the file held when the portfolio last read it whole; nullptr when
  // it never did.
  std::unique_ptr<TPortableIniFile> wholeRead(int32_t portfolio, const std::string& fileName) const;
  // Lets go the copies of portfolios no longer open: closed, deleted, or
  // released with their folders at a directory change.
  void keepOnlyOpen(const TPortfolioTable& table);

 private:
  struct TWholeFile {
    std::string fileName;
    std::string text;
  };
  std::map<int32_t, TWholeFile> files_;  // by the portfolio's serial number
};
