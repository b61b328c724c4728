#include "model/Transaction.h"

#include <algorithm>
#include <cmath>

#include "model/ChangeStamps.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/TransactionTable.h"
#include "model/RecordCheck.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"

namespace {

const char* const section = "Transaction";
// The transaction's own sections, which its entry count counts.
const std::vector<std::string> countedSections = {section, customPropertiesSection};

// A file holds a transaction when it gives its number and its date: the
// defaults that would stand in for them (-1 and the moment of the load)
// would be shown and written back as if the file had held them. Either
// given as no number is told as such by the load.
bool holdsTransaction(const TPortableIniFile& ini) {
  return !ini.readString(section, "Number", "").empty() && !ini.readString(section, "DateTime", "").empty();
}

// The same amount as the file spells it, to the digit.
bool spelledAlike(long double one, long double other) {
  return (one == other && std::signbit(one) == std::signbit(other)) ||
         floatToIniText(static_cast<double>(one)) == floatToIniText(static_cast<double>(other));
}

// The same properties as a save writes them: a property without a value is
// not written. Names do not repeat: setting one replaces it.
bool writtenAlike(const TCustomProperties& one, const TCustomProperties& other) {
  const auto valued = [](const TCustomProperty& line) { return !line.Value.empty(); };
  auto a = one.Lines().begin();
  auto b = other.Lines().begin();
  for (;;) {
    a = std::find_if(a, one.Lines().end(), valued);
    b = std::find_if(b, other.Lines().end(), valued);
    if (a == one.Lines().end() || b == other.Lines().end()) return a == one.Lines().end() && b == other.Lines().end();
    if (a->Name != b->Name || a->Value != b->Value) return false;
    ++a;
    ++b;
  }
}

}  // namespace

TTransaction::TTransaction() { clear(); }

void TTransaction::clear() {
  TCustomPropertyObject::clear();
  fileName_.clear();
  flag_.clear();
  number_ = -1;
  soft_ = 0;
  dateTime_ = currentDateTime();
  units_ = 0;
  value_ = 0;
  fees_ = 0;
  needsSave_ = false;
  lastChange_ = changeStamp();
  lastSaved_ = lastChange_;
  saved_.forget();
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::wholeChange);
}

int TTransaction::load(const std::string& fileName, const std::optional<std::string>& text, const TFileStamp& stamp) {
  clear();
  loadFailure_ = "cannot be read";
  // Taken as missing, the transaction would be left out of every sum
  // without a word.
  if (!text && folderExists(fileName)) {
    loadFailure_ = "is a folder, not a file";
    return -3;
  }
  if (!text && !fileExists(fileName)) return -2;
  const TPortableIniFile ini =
      text ? TPortableIniFile(fileName, TPortableIniFile::TReadText{*text}, stamp) : TPortableIniFile(fileName);
  if (ini.readFailed()) return -3;
  loadFailure_ = "holds no transaction";
  if (!holdsTransaction(ini)) return -7;
  // Taken as it reads, a transaction cut short would count its last amounts
  // as 0, or as the digits left of them.
  loadFailure_ = recordCutShort(ini, {{section, "Number"},
                                      {section, "Soft"},
                                      {section, "DateTime"},
                                      {section, "Units"},
                                      {section, "Value"},
                                      {section, "Fees"}});
  if (loadFailure_.empty()) loadFailure_ = entriesCutOff(ini, countedSections);
  if (!loadFailure_.empty()) return -7;
  // A number that does not read would be taken as 0, in the sums and at
  // the next save in the file.
  loadFailure_ = loadFrom(ini, fileName);
  if (!loadFailure_.empty()) {
    clear();
    return -7;
  }
  return 0;
}

std::string TTransaction::loadFrom(const TPortableIniFile& ini, const std::string& fileName) {
  clear();
  TNumberReader numbers(ini);
  number_ = numbers.readInteger(section, "Number", number_);
  soft_ = numbers.readInteger(section, "Soft", soft_);
  dateTime_ = numbers.readFloat(section, "DateTime", dateTime_);
  units_ = numbers.readFloat(section, "Units", static_cast<double>(units_));
  value_ = numbers.readFloat(section, "Value", static_cast<double>(value_));
  fees_ = numbers.readFloat(section, "Fees", static_cast<double>(fees_));
  flag_ = ini.readString(section, "Flag", flag_);
  fileName_ = fileName;
  loadProperties(ini);
  // Just read, the transaction equals its file: the stamps the property
  // lists took while loading must not count as changes.
  lastSaved_ = changeStamp();
  saved_.takeOfExistingFile(fileName, writer(), ini);
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::wholeChange);
  return numbers.firstUnread();
}

bool TTransaction::writeTo(TPortableIniFile& ini) const {
  beginEntryCount(ini, countedSections);
  ini.writeInteger(section, "Number", number_);
  ini.writeInteger(section, "Soft", soft_);
  bool stored = ini.writeFloat(section, "DateTime", dateTime_);
  stored = ini.writeFloat(section, "Units", units_) && stored;
  stored = ini.writeFloat(section, "Value", value_) && stored;
  stored = ini.writeFloat(section, "Fees", fees_) && stored;
  ini.writeString(section, "Flag", flag_);
  saveProperties(ini);
  endEntryCount(ini, countedSections);
  return stored;
}

bool TTransaction::storable() const {
  return propertiesStorable() && storableFloat(dateTime_) && storableFloat(units_) && storableFloat(value_) &&
         storableFloat(fees_);
}

TSettingsBaseline::TWriter TTransaction::writer() const {
  return [this](TPortableIniFile& ini) { writeTo(ini); };
}

TNewFileResult TTransaction::createFile(const std::string& fileName, bool durable, bool overwrite) {
  if (!propertiesStorable()) return TNewFileResult::failed;
  TPortableIniFile ini(fileName, TPortableIniFile::TNewFile{});
  if (!writeTo(ini)) return TNewFileResult::failed;
  const TNewFileResult result = ini.createFile(durable, overwrite);
  if (result == TNewFileResult::created) loadFrom(ini, fileName);
  return result;
}

TNewFileResult TTransaction::writeOver(TTransactionFileLeft& left, bool durable) {
  if (!storable()) return TNewFileResult::failed;
  const TCustomProperties ownExternal = ExternalProperties;
  const TCustomProperties ownCustom = CustomProperties;
  for (const TCustomProperty& line : left.external.Lines())
    if (getExternalProperty(line.Name).empty()) setExternalProperty(line.Name, line.Value, "", "", false);
  // A run makes every soft transaction again: one it makes as it was is
  // still the one the user or another program marked, and its file stays
  // as it is.
  if (left.held && postsAs(*left.held))
    for (const TCustomProperty& line : left.held->custom.Lines())
      if (getCustomProperty(line.Name).empty()) setCustomProperty(line.Name, line.Value, "", "", false);
  saved_.takeOver(std::move(left.saved), writer());
  // Made just as the one that left the file, while the file held that one,
  // this one is what the file holds already: a run made again as it was
  // writes nothing and, by the thousand, need not set each transaction down
  // as a settings file to tell so. A file gone meanwhile is not written over.
  const bool fileHoldsIt =
      left.held && left.held->saved && writesAs(*left.held, left.external) && pathExists(left.fileName);
  if (!fileHoldsIt && !saved_.saveInPlace(left.fileName, writer(), durable)) {
    ExternalProperties = ownExternal;
    CustomProperties = ownCustom;
    saved_.forget();
    return TNewFileResult::failed;
  }
  fileName_ = std::move(left.fileName);
  needsSave_ = false;
  lastSaved_ = changeStamp();
  viewPropertiesSaved();
  return TNewFileResult::created;
}

TTransactionFileLeft TTransaction::leaveFile() {
  const bool saved = !needsSave_ && !(lastChange() > lastSaved_) && !viewPropertiesUnsaved();
  return TTransactionFileLeft{
      fileName_, std::move(saved_), ExternalProperties,
      std::make_unique<TTransactionValues>(
          TTransactionValues{number_, soft_, flag_, dateTime_, units_, value_, fees_, CustomProperties, saved})};
}

bool TTransaction::postsAs(const TTransactionValues& held) const {
  return number_ == held.number && soft_ == held.soft && flag_ == held.flag &&
         getCustomProperty(transactionCommentProperty) == held.custom.getValue(transactionCommentProperty, "", "") &&
         spelledAlike(dateTime_, held.dateTime) && spelledAlike(units_, held.units) &&
         spelledAlike(value_, held.value) && spelledAlike(fees_, held.fees);
}

bool TTransaction::writesAs(const TTransactionValues& held, const TCustomProperties& external) const {
  return postsAs(held) && writtenAlike(CustomProperties, held.custom) && writtenAlike(ExternalProperties, external);
}

int TTransaction::save(const std::string& owner, const TFileStamps& stamps) {
  if (fileName_.empty()) return 0;
  const bool changed = needsSave_ || lastChange() > lastSaved_ || viewPropertiesUnsaved();
  if (changed && !storable()) return -4;
  // Unchanged, the file is still checked for what another program cut; one
  // as this program left it is neither read nor described. A look-up of
  // each file costs less than a listing of its folder (under Wine, a third).
  TFileStamp found;
  if (!changed && (!stamps.find(fileName_, found) || saved_.leftAsItWas(fileName_, found))) return 0;
  if (!owner.empty()) saved_.describe("transaction " + std::to_string(number_) + " of " + owner);
  if (!changed) return saved_.saveUnchanged(fileName_, writer(), found) ? 0 : -4;
  // Rewriting a file that could not be read would lose what it holds.
  if (!saved_.save(fileName_, writer())) return -4;
  needsSave_ = false;
  lastSaved_ = changeStamp();
  viewPropertiesSaved();
  return 0;
}

int TTransaction::setAll(int32_t number, int32_t soft, double dateTime, long double units, long double value,
                         long double fees, const std::string& fileName, const std::string& flag) {
  if (!transactionCanHoldAmount(units) || !transactionCanHoldAmount(value) || !transactionCanHoldAmount(fees))
    return -4;
  number_ = number;
  soft_ = soft;
  dateTime_ = dateTime;
  units_ = units;
  value_ = value;
  fees_ = fees;
  fileName_ = trimmedText(fileName);
  flag_ = flag;
  needsSave_ = true;
  lastChange_ = changeStamp();
  lastSaved_ = 0;
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::wholeChange);
  if (fileName_.empty()) return 0;
  const int result = save();
  if (result != 0) clear();
  return result;
}

bool TTransaction::deleteFile() {
  // A file that is already gone counts as deleted.
  const bool gone = fileName_.empty() || ::deleteFile(fileName_) || !pathExists(fileName_);
  needsSave_ = gone;
  return gone;
}

double TTransaction::lastChange() const { return std::max(TCustomPropertyObject::lastChange(), lastChange_); }

void TTransaction::touch() {
  lastChange_ = changeStamp();
  needsSave_ = true;
}

void TTransaction::setNumber(int32_t number) {
  if (number == number_) return;
  number_ = number;
  touch();
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::numberChange);
}

void TTransaction::setSoft(int32_t soft) {
  if (soft == soft_) return;
  soft_ = soft;
  touch();
}

void TTransaction::setDateTime(double dateTime) {
  if (dateTime == dateTime_) return;
  dateTime_ = dateTime;
  touch();
  // The table keeps its transactions in date order for its sums and flows.
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::dateChange);
}

bool TTransaction::setAmount(long double& amount, long double value) {
  if (!transactionCanHoldAmount(value)) return false;
  if (value == amount) return true;
  amount = value;
  touch();
  if (owner_ != nullptr) owner_->transactionChanged(TTransactionTable::amountChange);
  return true;
}

bool TTransaction::setUnits(long double units) { return setAmount(units_, units); }

bool TTransaction::setValue(long double value) { return setAmount(value_, value); }

bool TTransaction::setFees(long double fees) { return setAmount(fees_, fees); }

void TTransaction::setFlag(const std::string& flag) {
  if (flag == flag_) return;
  flag_ = flag;
  touch();
}

bool transactionCanHoldAmount(long double amount) { return storableFloat(amount); }

bool transactionCanHold(double dateTime) {
  constexpr double afterLastDay = 2958466.0;  // 1 January 10000
  return std::isfinite(dateTime) && dateTime >= 0 && dateTime < afterLastDay;
}
