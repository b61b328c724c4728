#include "model/QuoteLineReader.h"

#include "platform/FileSystem.h"

namespace {
constexpr char endOfFileByte = 0x1A;
}  // namespace

int TQuoteLineReader::open(const std::string& fileName) {
  bytes_.clear();
  startReading();
  if (!fileExists(fileName)) return -2;
  if (!readFileBytes(fileName, bytes_)) {
    bytes_.clear();
    startReading();
    return -3;
  }
  startReading();
  return 0;
}

void TQuoteLineReader::assign(std::string bytes) {
  bytes_ = std::move(bytes);
  startReading();
}

void TQuoteLineReader::startReading() {
  position_ = 0;
  end_ = bytes_.find(endOfFileByte);
  if (end_ == std::string::npos) end_ = bytes_.size();
}

bool TQuoteLineReader::readQuoteLine(std::string_view& line) {
  while (position_ < end_ && (bytes_[position_] == '\r' || bytes_[position_] == '\n')) ++position_;
  if (position_ >= end_) return false;
  const size_t start = position_;
  while (position_ < end_ && bytes_[position_] != '\r' && bytes_[position_] != '\n') ++position_;
  line = std::string_view(bytes_).substr(start, position_ - start);
  return true;
}
