// Full recalculations of sheets of statistics built-ins: 5,000 RANK,
// PERCENTRANK and MEDIAN cells over one 5,000-cell range, 1,000 cells of
// mixed inverse distributions, MINVERSE of a 300 x 300 range, and LINEST
// over 10,000 rows.
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/ColumnLetters.h"
#include "sheet/Sheet.h"

namespace {


// Deterministic values in 0 ... 1.
struct TUniform {
  std::uint64_t state = 88172645463325252ULL;
  double next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  }
};

std::string text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  return buffer;
}

std::string place(int col, int row) { return columnLetters(col) + std::to_string(row); }

// Full passes with every formula dirty.
TBenchTimes recalculation(TSheet& sheet) {
  return timeRounds(5, [&] { sheet.markAllDirty(); }, [&] { sheet.recalculateAll(false); });
}

void report(const char* what, int formulas, const TBenchTimes& times, const std::string& check) {
  std::printf("%-44s %s, a formula %s  (%s)\n", what, microseconds(times).c_str(),
              microseconds(times.per(formulas)).c_str(), check.c_str());
}

void orderStatistics() {
  constexpr int rows = 5000;
  const std::string range = "$A$1:$A$" + std::to_string(rows);
  const char* names[] = {"RANK", "PERCENTRANK", "MEDIAN"};
  for (int kind = 0; kind < 3; ++kind) {
    TSheet sheet;
    TUniform uniform;
    for (int r = 1; r <= rows; ++r) sheet.setCellContent(1, r, 0, text(uniform.next() * 1000), 1);
    for (int r = 1; r <= rows; ++r) {
      const std::string own = place(1, r);
      std::string formula = kind == 0   ? "=RANK(" + own + "," + range + ")"
                            : kind == 1 ? "=PERCENTRANK(" + range + "," + own + ")"
                                        : "=MEDIAN(" + range + ")";
      sheet.setCellContent(2, r, 0, formula, 1);
    }
    std::string what = std::to_string(rows) + " " + names[kind] + " over " + std::to_string(rows) + " cells";
    report(what.c_str(), rows, recalculation(sheet), "B1 = " + sheet.getCellText(2, 1, true));
  }
}

void inverseDistributions() {
  constexpr int cells = 1000;
  const char* forms[] = {"NORMSINV(p)", "NORMINV(p,3,2)",    "LOGINV(p,0.3,0.8)", "TINV(p,10)",        "CHIINV(p,4)",
                         "FINV(p,4,9)", "GAMMAINV(p,3,1.5)", "BETAINV(p,2,3)",    "WEIBULLINV(p,2,3)", "EXPONINV(p,2)"};
  TSheet sheet;
  TUniform uniform;
  for (int r = 1; r <= cells; ++r) {
    std::string p = text(0.01 + 0.98 * uniform.next());
    std::string formula = forms[r % 10];
    formula.replace(formula.find('p'), 1, p);
    sheet.setCellContent(1, r, 0, "=" + formula, 1);
  }
  report("1000 mixed inverse distributions", cells, recalculation(sheet), "A1 = " + sheet.getCellText(1, 1, true));
}

void matrixInverse() {
  constexpr int order = 300;
  TSheet sheet;
  TUniform uniform;
  for (int r = 1; r <= order; ++r) {
    for (int c = 1; c <= order; ++c) sheet.setCellContent(c, r, 0, text(uniform.next() + (r == c ? order : 0)), 1);
  }
  sheet.setCellContent(order + 2, 1, 0, "=MINVERSE(A1:" + place(order, order) + ")", 1);
  report("MINVERSE of 300 x 300", 1, recalculation(sheet), "first = " + sheet.getCellText(order + 2, 1, true));
}

void leastSquares() {
  constexpr int rows = 10000;
  TSheet sheet;
  TUniform uniform;
  for (int r = 1; r <= rows; ++r) {
    double x1 = uniform.next() * 10, x2 = uniform.next() * 5, x3 = uniform.next();
    sheet.setCellContent(2, r, 0, text(x1), 1);
    sheet.setCellContent(3, r, 0, text(x2), 1);
    sheet.setCellContent(4, r, 0, text(x3), 1);
    sheet.setCellContent(1, r, 0, text(1.5 + 2 * x1 - 0.5 * x2 + 3 * x3 + uniform.next() * 0.1), 1);
  }
  const std::string y = "A1:A" + std::to_string(rows);
  sheet.setCellContent(6, 1, 0, "=LINEST(" + y + ",B1:B" + std::to_string(rows) + ")", 1);
  report("LINEST over 10000 rows, 1 variable", 1, recalculation(sheet), "slope = " + sheet.getCellText(6, 1, true));
  sheet.setCellContent(6, 1, 0, "=LINEST(" + y + ",B1:D" + std::to_string(rows) + ",1,1)", 1);
  report("LINEST over 10000 rows, 3 variables, stats", 1, recalculation(sheet),
         "m3 = " + sheet.getCellText(6, 1, true));
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  orderStatistics();
  inverseDistributions();
  matrixInverse();
  leastSquares();
  return 0;
}
