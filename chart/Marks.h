#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Text labels and images pinned to an X value (a date on price charts) and a
// Y value of a series. The plot places them and records where; the chart
// asks which one lies under the mouse for its hint text.

// Stands for the plot's current colour in a mark's colours.
constexpr uint32_t markDefaultColor = 0x03000000;

struct TMarkRect {
  int left = -1;
  int top = -1;
  int right = -1;
  int bottom = -1;
  bool placed() const { return !(left == -1 && top == -1 && right == -1 && bottom == -1); }
  bool contains(int x, int y) const {
    return placed() && x >= left && x <= right && y >= top && y <= bottom;
  }
};

class TMark {
 public:
  TMark() = default;
  virtual ~TMark() = default;
  TMark(const TMark&) = delete;
  TMark& operator=(const TMark&) = delete;

  virtual void clear();

  double x = 0;
  long double y = 0;  // in the series' own units
  int offset = 0;     // pixels added to the centred top; negative lifts the mark
  TMarkRect screenRect;
  std::string text;   // the label of a text mark, the hint of any mark
};

class TTextMark : public TMark {
 public:
  TTextMark() { TTextMark::clear(); }
  void clear() override;

  uint8_t frameStyle = 0;  // 0 none, 1 box, 2 box with a pointer
  uint32_t textColor = markDefaultColor;
  uint32_t backgroundColor = markDefaultColor;
};

class TImageMark : public TMark {
 public:
  TImageMark() { TImageMark::clear(); }
  void clear() override;

  int imageIndex = -1;
};

class TMarks {
 public:
  TMarks() = default;
  virtual ~TMarks() = default;
  TMarks(const TMarks&) = delete;
  TMarks& operator=(const TMarks&) = delete;

  void clear();
  int count() const { return static_cast<int>(marks_.size()); }
  TMark* item(int i) const;
  // The last mark added whose rectangle holds the point (edges included).
  TMark* markAt(int x, int y) const;
  // Adds each X value the sorted array lacks, keeping it sorted; 0, or -5
  // when the array cannot grow.
  int mergeXValues(std::vector<double>& values) const;

 protected:
  std::vector<std::unique_ptr<TMark>> marks_;
};

class TTextMarks : public TMarks {
 public:
  // -7 (nothing added) for an empty text, else 0.
  int add(const std::string& text, int offset, uint32_t backgroundColor, uint32_t textColor, uint8_t frameStyle,
          double x, long double y);
  TTextMark* textMark(int i) const { return static_cast<TTextMark*>(item(i)); }
  // False when there is no mark.
  bool minY(long double& value) const;
  bool maxY(long double& value) const;
};

class TImageMarks : public TMarks {
 public:
  int add(int imageIndex, int offset, const std::string& hintText, double x, long double y);
  TImageMark* imageMark(int i) const { return static_cast<TImageMark*>(item(i)); }
  // Over the marks that have an image; false when there is none.
  bool minY(long double& value) const;
  bool maxY(long double& value) const;
};
