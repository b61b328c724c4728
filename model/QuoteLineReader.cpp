#include "model/QuoteLineReader.h"

#include <windows.h>

#include <memory>

namespace {

struct THandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using TFileHandle = std::unique_ptr<void, THandleCloser>;

constexpr char endOfFileByte = 0x1A;
constexpr DWORD readChunkSize = 1 << 24;

}  // namespace

int TQuoteLineReader::open(const std::string& fileName) {
  bytes_.clear();
  startReading();
  // Shared for writing too: the downloader may hold the file open.
  HANDLE raw = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ? -2 : -3;
  }
  TFileHandle file(raw);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(raw, &size)) return -3;
  bytes_.resize(static_cast<size_t>(size.QuadPart));
  size_t filled = 0;
  while (filled < bytes_.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes_.size() - filled, readChunkSize));
    DWORD got = 0;
    if (!ReadFile(raw, bytes_.data() + filled, wanted, &got, nullptr)) {
      bytes_.clear();
      startReading();
      return -3;
    }
    if (got == 0) break;  // the file shrank while being read
    filled += got;
  }
  bytes_.resize(filled);
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
