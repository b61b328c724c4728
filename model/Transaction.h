#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/CustomProperties.h"
#include "model/SettingsBaseline.h"
#include "platform/FileStamps.h"
#include "platform/FileSystem.h"

class TTransactionTable;

// What a transaction held when it left its file to another: its values
// and properties, and whether its file held just those.
struct TTransactionValues {
  int32_t number = -1;
  int32_t soft = 0;
  std::string flag;
  double dateTime = 0;
  long double units = 0;
  long double value = 0;
  long double fees = 0;
  TCustomProperties custom;
  // Nothing changed since it was read or saved.
  bool saved = false;
};

// What a transaction that goes leaves in its file when the file stays for a
// new one (see TTransactionTable::deleteBetweenDates): what the file holds
// as far as it knew, the windows' settings of its line, and what it held
// (apart, so that each of the thousands a run leaves stays a block small
// enough for the heap to serve quickly).
struct TTransactionFileLeft {
  std::string fileName;
  TSettingsBaseline saved;
  TCustomProperties external;
  std::unique_ptr<TTransactionValues> held;
};

// One dated movement of an asset, kept in its own small settings file so
// that it can be added, edited or deleted without rewriting the others.
// Units are positive when bought and negative when sold; Value and Fees are
// in the asset's currency. The comment is the custom property "_COMMENT".
class TTransaction : public TCustomPropertyObject {
 public:
  TTransaction();
  TTransaction(const TTransaction&) = delete;
  TTransaction& operator=(const TTransaction&) = delete;

  void clear();
  // 0; -2 when the file is missing, -3 when it exists but cannot be read
  // (a folder under its name too), -7 when it holds no transaction (no
  // readable Number and DateTime in its section: empty, damaged or in
  // another encoding), is cut short (see recordCutShort) or holds a number
  // that does not read; the transaction then stays cleared.
  // text: the file's whole text when it was read ahead; stamp: the file's
  // as listed before that read.
  int load(const std::string& fileName, const std::optional<std::string>& text = std::nullopt,
           const TFileStamp& stamp = {});
  // Why the last load failed, in words for the user to follow the file's
  // name ("holds no transaction"); empty after a load that succeeded.
  const std::string& loadFailure() const { return loadFailure_; }
  // Writes the file when something changed since the last save; 0, or -4
  // when the file cannot be written. A transaction held only in memory (no
  // file name) has nothing to write.
  // owner: the asset it belongs to, as a notice of the save names it;
  // stamps: the file's, when it was looked up before.
  int save(const std::string& owner = {}, const TFileStamps& stamps = TFileStamps());
  // Writes the transaction into a new file of that name and then holds what
  // the file holds, as a load of it would. The name must not be taken, or
  // with overwrite must be a file whose text is of no value any more (see
  // overwriteFile).
  TNewFileResult createFile(const std::string& fileName, bool durable, bool overwrite = false);
  // Writes the transaction over the file another one left, taking over the
  // windows' settings of that one's line, and, when it posts what that one
  // did, the properties that one held (a mark the user or another program
  // gave it): only what differs from what the file held for it is written,
  // in place (see saveInPlace), and nothing when the file holds the
  // transaction already. On failure nothing is taken over.
  TNewFileResult writeOver(TTransactionFileLeft& left, bool durable);
  // Leaves the file for another transaction (see writeOver).
  TTransactionFileLeft leaveFile();
  // -4, changing nothing, for an amount the file cannot hold (see
  // storableFloat).
  int setAll(int32_t number, int32_t soft, double dateTime, long double units, long double value, long double fees,
             const std::string& fileName, const std::string& flag);
  // True when the transaction has no file or its file is gone.
  bool deleteFile();
  double lastChange() const override;

  // Each stores and marks the transaction changed only when the value differs.
  // An amount the file cannot hold (see storableFloat) is refused: false.
  void setNumber(int32_t number);
  void setSoft(int32_t soft);
  void setDateTime(double dateTime);
  bool setUnits(long double units);
  bool setValue(long double value);
  bool setFees(long double fees);
  void setFlag(const std::string& flag);

  const std::string& FileName() const { return fileName_; }
  const std::string& Flag() const { return flag_; }
  int32_t Number() const { return number_; }
  int32_t Soft() const { return soft_; }
  double DateTime() const { return dateTime_; }
  long double Units() const { return units_; }
  long double Value() const { return value_; }
  long double Fees() const { return fees_; }
  bool NeedsSave() const { return needsSave_; }
  double LastChange() const { return lastChange_; }
  double LastSaved() const { return lastSaved_; }

 private:
  // The values that were no number (see TNumberReader) are left at their
  // defaults; the notice's words for the first, empty when all read.
  std::string loadFrom(const TPortableIniFile& ini, const std::string& fileName);
  // False when a value would not read back as it is: the file is then not
  // written, keeping what it held.
  bool writeTo(TPortableIniFile& ini) const;
  bool storable() const;
  // True when a run posting it posts what it posted of those values: the
  // same values as its file holds them, and the same comment.
  bool postsAs(const TTransactionValues& held) const;
  // True when its writer gives just what it gave for those values and the
  // windows' settings of its line.
  bool writesAs(const TTransactionValues& held, const TCustomProperties& external) const;
  TSettingsBaseline::TWriter writer() const;
  friend class TTransactionTable;

  void touch();
  // Units, value and fees alike: refused unless the file can hold it.
  bool setAmount(long double& amount, long double value);

  TTransactionTable* owner_ = nullptr;  // the table holding it, told of date and amount changes
  std::string fileName_;
  std::string loadFailure_;
  std::string flag_;
  int32_t number_ = -1;
  int32_t soft_ = 0;
  double dateTime_ = 0;
  double lastChange_ = 0;
  double lastSaved_ = 0;
  long double units_ = 0;
  long double value_ = 0;
  long double fees_ = 0;
  bool needsSave_ = false;
  // What the file holds as far as the transaction knows: a save writes only
  // what changed since, and keeps what another program wrote.
  TSettingsBaseline saved_;
};

// The amounts a transaction can hold: those its file reads back.
bool transactionCanHoldAmount(long double amount);

// The custom property that holds a transaction's comment.
constexpr const char* transactionCommentProperty = "_COMMENT";

// The date-times a transaction can hold: from 30 December 1899 to the end of
// 31 December 9999. Before day 0 a date-time counts its time backwards from
// its day, so that the transactions' date order and a day set apart from its
// time would no longer hold.
bool transactionCanHold(double dateTime);
