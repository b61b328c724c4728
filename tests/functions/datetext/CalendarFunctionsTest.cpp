#include <gtest/gtest.h>

#include "tests/functions/FormulaValues.h"

// Day numbers count from 30 December 1899: 45296 is Friday 5 January 2024,
// 45298 Sunday 7 January, 45299 Monday 8 January.

namespace {

struct CalendarFunctions : testing::Test {
  TSheet sheet;
  double value(const std::string& formula) { return requiredNumberOf(sheet, formula); }
  std::string text(const std::string& formula) { return evaluated(sheet, formula); }
};

}  // namespace

TEST_F(CalendarFunctions, DateAndTimeParts) {
  EXPECT_EQ(text("=DAY(45351.75)"), "29");
  EXPECT_EQ(text("=MONTH(45351.75)"), "2");
  EXPECT_EQ(text("=YEAR(45351.75)"), "2024");
  EXPECT_EQ(text("=HOUR(45351+13/24+7/1440+9/86400)"), "13");
  EXPECT_EQ(text("=MINUTE(45351+13/24+7/1440+9/86400)"), "7");
  EXPECT_EQ(text("=SECOND(45351+13/24+7/1440+9/86400)"), "9");
  EXPECT_EQ(text("=HOUR(-1.25)"), "6") << "before day 0 the time still counts forward from midnight";
  EXPECT_EQ(text("=YEAR(-693593)"), "1");
  EXPECT_EQ(text("=YEAR(2958465.5)"), "9999");
  for (const char* formula : {"=YEAR(2958466)", "=DAY(-693594)", "=HOUR(1E300)", "=MONTH(\"x\")", "=DAY()",
                              "=DAY(1,2)", "=SECOND(1,2)"}) {
    EXPECT_EQ(text(formula), "#VALUE!") << formula;
  }
}

TEST_F(CalendarFunctions, WeekdayNumberings) {
  EXPECT_EQ(text("=WEEKDAY(45298)"), "1");
  EXPECT_EQ(text("=WEEKDAY(45298,1)"), "1");
  EXPECT_EQ(text("=WEEKDAY(45298,2)"), "7");
  EXPECT_EQ(text("=WEEKDAY(45298,3)"), "6");
  EXPECT_EQ(text("=WEEKDAY(45299,2)"), "1");
  EXPECT_EQ(text("=WEEKDAY(45299,3)"), "0");
  EXPECT_EQ(text("=WEEKDAY(45296)"), "6");
  EXPECT_EQ(text("=WEEKDAY(45298,4)"), "#NUM!");
  EXPECT_EQ(text("=WEEKDAY(45298,\"x\")"), "#NUM!");
  EXPECT_EQ(text("=WEEKDAY(\"x\",1)"), "#VALUE!");
  EXPECT_EQ(text("=WEEKDAY(3000000)"), "#VALUE!");
}

TEST_F(CalendarFunctions, WorkingDaysWithHolidayLists) {
  EXPECT_EQ(text("=WORKDAY(45296,1)"), "45299") << "Friday to Monday";
  EXPECT_EQ(text("=WORKDAY(45299,-1)"), "45296");
  EXPECT_EQ(text("=WORKDAY(45298,0)"), "45298") << "no days: the start, weekend or not";
  EXPECT_EQ(text("=WORKDAY(45296,1,{45299})"), "45300");
  EXPECT_EQ(text("=WORKDAY(45296.9,1.9)"), "45299") << "whole days";
  EXPECT_EQ(text("=NETWORKDAYS(45299,45303)"), "5");
  EXPECT_EQ(text("=NETWORKDAYS(45303,45299)"), "0");
  enter(sheet, 1, 1, "45300");
  enter(sheet, 1, 2, "45302.5");
  enter(sheet, 1, 3, "1/9/2024", 2);  // a text that reads as a date, a holiday twice
  EXPECT_EQ(text("=NETWORKDAYS(45299,45303,A1:A3)"), "3");
  EXPECT_EQ(text("=WORKDAY(45299,2,A1:A3)"), "45303");
  // A single holiday in one cell is a list of one.
  EXPECT_EQ(text("=WORKDAY(45296,1,A1)"), "45299");
  EXPECT_EQ(text("=NETWORKDAYS(45299,45303,A1:A1)"), "4");
  // Every holiday must be a day: text or an empty place gives no result.
  enter(sheet, 1, 3, "x", 2);
  EXPECT_EQ(text("=WORKDAY(45299,2,A1:A3)"), "#VALUE!");
  EXPECT_EQ(text("=NETWORKDAYS(45299,45303,A1:A4)"), "#VALUE!");
  EXPECT_EQ(text("=WORKDAY(2958465,1)"), "#VALUE!") << "beyond 31 December 9999";
  EXPECT_EQ(text("=NETWORKDAYS(1,3000000)"), "#VALUE!");
  EXPECT_EQ(text("=WORKDAY(45296)"), "#VALUE!");
}

TEST_F(CalendarFunctions, EndOfMonth) {
  EXPECT_EQ(value("=EOMONTH(44957,1)"), 44985) << "31 Jan 2023 to 28 Feb";
  EXPECT_EQ(value("=EOMONTH(45322,1)"), 45351) << "to 29 Feb 2024";
  EXPECT_EQ(value("=EOMONTH(45397.5,0)"), 45412) << "15 Apr at noon to 30 Apr at midnight";
  EXPECT_EQ(value("=EOMONTH(45322.5,2)"), 45382.5) << "a move onto the 31st keeps its time";
  EXPECT_EQ(value("=EOMONTH(45322,-1)"), 45291);
  EXPECT_EQ(text("=EOMONTH(2958465,1)"), "#VALUE!");
  EXPECT_EQ(text("=EOMONTH(45322)"), "#VALUE!");
}
