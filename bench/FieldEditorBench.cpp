// The field editor over 500 fields: one command (a toggle on a middle
// field) followed by the refill of the grid's sheet, as after every command.
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "controls/FieldEditModel.h"
#include "sheet/Sheet.h"

int main() {
  constexpr int fieldCount = 500;
  TFieldTable table;
  for (int i = 0; i < fieldCount; ++i) {
    table.insertField(i);
    TField& field = *table.items(i);
    const std::string number = std::to_string(i);
    field.setSymbol(std::string("F").append(number));
    field.setHeader(std::string("Field ").append(number));
    field.Content = std::string("F").append(std::to_string(i > 0 ? i - 1 : 0)).append("*2");
    field.Kind = static_cast<std::uint8_t>(1 + i % 27);
    field.setTestContent(i % 2 ? "100000.1234567890123456789" : std::string("Text ").append(number));
    field.EditableDefinition = true;
    field.Format->Enabled = i % 5 == 0;
    field.ConditionalFormat->Enabled = i % 7 == 0;
  }
  TFieldEditModel model(table);
  TSheet sheet;
  model.fillSheet(sheet);
  const TBenchTimes refill = timeRounds(21, [&] {
    model.toggleLocked(fieldCount / 2);
    model.fillSheet(sheet);
  });
  std::printf("field editor over %d fields: command and refill %s (goal 100,000 us)\n", fieldCount,
              microseconds(refill).c_str());
  return 0;
}
