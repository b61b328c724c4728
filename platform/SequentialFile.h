#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

// A file read from start to end in pieces, for readers that work through
// large files without holding them whole. Shared for reading and writing,
// so a file another program is writing can still be read.
class TSequentialFile {
 public:
  TSequentialFile() = default;
  ~TSequentialFile();
  TSequentialFile(const TSequentialFile&) = delete;
  TSequentialFile& operator=(const TSequentialFile&) = delete;

  // False when the file cannot be opened (missing, a folder, locked) and
  // when the name is no regular disk file: a device such as "COM1" or
  // "AUX.CSV" never ends or blocks the reader, and a pipe may never end.
  bool open(const std::string& fileName);
  void close();
  bool isOpen() const { return handle_ != nullptr; }

  // The size when opened; 0 when unknown.
  int64_t size() const { return size_; }
  // The size and last-write time now; unknown when not open.
  TFileStamp stamp() const;
  // Reads up to `capacity` bytes; the count read, 0 at the end, -1 on an error.
  int64_t read(char* buffer, size_t capacity);

 private:
  void* handle_ = nullptr;
  int64_t size_ = 0;
};
