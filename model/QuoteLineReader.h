#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/PageAllocator.h"
#include "platform/SequentialFile.h"

// Reads the lines of a quote text file: blank lines are skipped, CR LF, LF
// and CR all end a line, a byte 0x1A ends the file, and a UTF-8 mark at its
// start is passed over. The file is read in
// pieces; a line is a view into the reader's buffer, valid until the next
// read. A line longer than 16 MB is skipped, so that a file without line
// breaks cannot grow the buffer without end.
class TQuoteLineReader {
 public:
  // 0; -2 when the file does not exist; -3 when it cannot be opened.
  int open(const std::string& fileName);
  // Reads lines from the given bytes instead of a file.
  void assign(std::string bytes);

  // The next non-empty line; false at the end of the file or on a read error.
  bool readQuoteLine(std::string_view& line);
  // A read error ended the reading early.
  bool failed() const { return failed_; }
  // The last line read has text but no line end: the file may have been
  // cut off inside it, and its last value be only the start of one.
  bool endsInsideLine() const { return endsInsideLine_; }
  // An end-of-file byte before the end of the text: the line it stands on
  // (counted from 1, blank lines too) and the lines with text after it,
  // which are not read; 0 for a byte that ends the text or none met. Known
  // once readQuoteLine has given false.
  size_t endMarkLine() const { return endMarkLine_; }
  size_t linesAfterEndMark() const { return linesAfterEndMark_; }
  // Tells the user, once reading gave false, why the file may hold more
  // than was read: lines after an end-of-file byte in its middle, or a
  // last line without its end.
  void reportUnreadEnd(const std::string& fileName) const;

  // About the number of lines with text of the whole file, from the part
  // read so far, to size what is read into; bounded, so that a misleading
  // start cannot ask for more than the file could fill.
  size_t lineCountEstimate() const;

 private:
  // Reading state back to the start of the bytes.
  void restart();
  // Moves the unread rest to the front and reads more; false when nothing
  // more can be read.
  bool fill();
  // Drops the rest of a line too long to be a quote line.
  void skipLongLine();
  void skipByteOrderMark();
  // Counts the lines with text after the end-of-file byte at position_.
  void readPastEndMark();

  TSequentialFile file_;
  // In pages of its own: a price file is read between the small objects of
  // its asset, and a buffer on the heap would leave a hole among them.
  std::vector<char, TPageAllocator<char>> buffer_;
  size_t position_ = 0;
  size_t filled_ = 0;
  bool inputEnded_ = true;  // nothing more to read into the buffer
  bool fileEnded_ = true;   // the end, or an end-of-file byte, was met
  bool failed_ = false;
  bool endsInsideLine_ = false;
  // Line ends passed so far, a CR LF pair as one.
  size_t lineEnds_ = 0;
  bool afterCarriageReturn_ = false;
  bool endMarkPending_ = false;  // met, what follows it not yet looked at
  size_t endMarkLine_ = 0;
  size_t linesAfterEndMark_ = 0;
};
