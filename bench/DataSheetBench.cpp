// The data-window sheet over 300 objects with 15 fields, five of whose
// formulas read "SELECTED": building the sheet, a click on another object
// (the selected-index cell and the formulas reading it; the grid's repaint
// is not part of it), and a date change with its full recalculation.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/CustomProperties.h"
#include "platform/FloatingPoint.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "windows/DataObjects.h"
#include "windows/DataSheet.h"

namespace {

std::string numbered(int k) {
  std::string name = "P";
  name += std::to_string(k);
  return name;
}

class TBenchObjects : public TDataObjects {
 public:
  explicit TBenchObjects(int n) {
    for (int i = 0; i < n; ++i) {
      objects.push_back(std::make_unique<TCustomPropertyObject>());
      for (int k = 1; k <= 9; ++k)
        objects.back()->setCustomProperty(numbered(k), std::to_string((i * 7 + k * 13) % 101));
    }
  }
  int count() const override { return static_cast<int>(objects.size()); }
  TCustomPropertyObject* item(int index) const override {
    return index >= 0 && index < count() ? objects[index].get() : nullptr;
  }
  bool isKeyKind(std::uint8_t kind) const override { return kind == 5; }
  int currentIndex() const override { return current; }
  void setCurrentIndex(int index) override { current = index; }

  std::vector<std::unique_ptr<TCustomPropertyObject>> objects;
  int current = -1;
};

void addField(TFieldTable& fields, const std::string& symbol, std::uint8_t kind, const std::string& content) {
  fields.insertField(fields.count());
  TField& field = *fields.items(fields.count() - 1);
  field.setHeader(symbol);
  field.setSymbol(symbol);
  field.Kind = kind;
  field.Content = content;
}

}  // namespace

int main() {
  setExtendedPrecision();
  TBenchObjects objects(300);
  TFieldTable fields;
  addField(fields, "ID", 5, "");
  for (int k = 1; k <= 9; ++k) addField(fields, numbered(k), 1, "");
  addField(fields, "D1", 1, "(ID-SELECTED)*(ID-SELECTED)");
  addField(fields, "D2", 1, "P1*(ID=SELECTED)");
  addField(fields, "D3", 1, "P2+SELECTED*(TO_DATE-FROM_DATE)");
  addField(fields, "D4", 1, "D1+D2+D3+P3*SELECTED");
  addField(fields, "D5", 1, "(P4+P5+P6)/(1+ABS(ID-SELECTED))+TO_DATE-FROM_DATE");

  TSheet sheet;
  TDataSheet frame(sheet, fields, 46000.3);
  frame.setObjects(&objects);
  for (bool rowWise : {false, true}) {
    frame.rowWise = rowWise;
    const TBenchTimes build = timeRounds(9, [&] { frame.build(2, 2); });
    // From the first line, so that every click moves to another.
    sheet.setCurrentCell(2, 2);
    frame.followSelection();
    int line = 2;
    const TBenchTimes click = timeRounds(21, [&] {
      line = line == 2 ? frame.lastLine() : 2;
      if (rowWise)
        sheet.setCurrentCell(2, line);
      else
        sheet.setCurrentCell(line, 2);
      frame.followSelection();
    });
    int shift = 0;
    const TBenchTimes dateChange = timeRounds(9, [&] {
      frame.dates.setFrom(frame.dates.fromDate() - 30 - (++shift));
      frame.defineDates();
      sheet.markAllDirty();
      sheet.recalculateAll(false);
    });
    std::printf("%s, 300 objects x 15 fields:\n", rowWise ? "row-wise" : "column-wise");
    std::printf("  build       %s\n", microseconds(build).c_str());
    std::printf("  click       %s\n", microseconds(click).c_str());
    std::printf("  date change %s\n", microseconds(dateChange).c_str());
  }
  return 0;
}
