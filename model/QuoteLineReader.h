#pragma once
#include <string>
#include <string_view>

// Reads the lines of a quote text file: blank lines are skipped, CR LF, LF
// and CR all end a line, and a byte 0x1A ends the file. The whole file is
// read at open, so a line is a view into the reader's buffer, valid until
// the next open or assign.
class TQuoteLineReader {
 public:
  // 0; -2 when the file does not exist; -3 when it cannot be read.
  int open(const std::string& fileName);
  // Reads lines from the given bytes instead of a file.
  void assign(std::string bytes);

  // The next non-empty line; false at the end of the file.
  bool readQuoteLine(std::string_view& line);

 private:
  void startReading();

  std::string bytes_;
  size_t position_ = 0;
  size_t end_ = 0;
};
