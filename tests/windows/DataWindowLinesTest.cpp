#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CalendarDates.h"
#include "platform/DateTimePicker.h"
#include "platform/LocaleSettings.h"
#include "sheet/FieldTable.h"
#include "windows/DataWindowLines.h"
#include "windows/DateWindow.h"

namespace {

// The days box's text as the windows take it: counted while typed, then
// the typing ended. True when the text was taken.
bool takeDaysText(TDateWindow& window, const std::string& text) {
  TDaysTyping typing;
  int days = 0;
  const bool number = typing.count(text, window.days(), window.toDate(), days);
  if (number) window.setDays(days);
  return typing.end(text, window.toDate()).empty() && number;
}

}  // namespace

TEST(DataWindowLines, SelectedReferenceLiesJustBeyondTheObjectLines) {
  EXPECT_EQ(selectedReference(3, true), "A5");
  EXPECT_EQ(selectedReference(3, false), "E1");
  EXPECT_EQ(selectedReference(30, false), "AF1");
  EXPECT_EQ(selectedReference(0, false), "B1");
}

TEST(DataWindowLines, UnknownOrdersAreDealtOutAfterTheKnownOnes) {
  // Objects 1 and 3 have no order (one has -1, the other no entry at all).
  EXPECT_EQ(objectsInDisplayOrder({4, -1, 2}, 4), (std::vector<int>{2, 0, 1, 3}));
  EXPECT_EQ(objectsInDisplayOrder({}, 3), (std::vector<int>{0, 1, 2}));
  // A stale array longer than the list does not invent objects.
  EXPECT_EQ(objectsInDisplayOrder({3, 2, 9}, 2), (std::vector<int>{1, 0}));

  // Lines shown as the stored orders place them, however those count; an
  // object without a line (-1) is passed over.
  EXPECT_TRUE(shownInStoredOrder({2, 3, 4}, {}, 3));
  EXPECT_TRUE(shownInStoredOrder({4, 2, 3}, {9, 1, 5}, 3));
  EXPECT_TRUE(shownInStoredOrder({3, 4, 2}, {9, -1, 5}, 3));
  EXPECT_TRUE(shownInStoredOrder({2, -1, 3}, {7, 1, 8}, 3));
  EXPECT_FALSE(shownInStoredOrder({3, 2, 4}, {}, 3));
  EXPECT_FALSE(shownInStoredOrder({2, 3, 4}, {9, -1, 5}, 3));
}

TEST(DataWindowLines, HiddenFieldsFollowTheShownOnesAndDisabledOnesGetNoPosition) {
  TFieldTable fields;
  for (int i = 0; i < 4; ++i) fields.insertField(i);
  fields.items(0)->Hidden = true;
  fields.items(2)->Disabled = true;
  EXPECT_EQ(assignFieldPositions(fields), 2);
  EXPECT_EQ(fields.items(0)->Position, 3);
  EXPECT_EQ(fields.items(1)->Position, 1);
  EXPECT_EQ(fields.items(2)->Position, 0);
  EXPECT_EQ(fields.items(3)->Position, 2);
}

TEST(DataWindowLines, ArraysFollowDeletesAndAdditions) {
  std::vector<int> heights{10, 20, 30};
  removeObjectEntry(heights, 1, 3);
  EXPECT_EQ(heights, (std::vector<int>{10, 30}));
  std::vector<int> partial{10};
  removeObjectEntry(partial, 0, 3);
  EXPECT_EQ(partial, std::vector<int>{10});

  // Three objects on lines 2, 3, 4; a fourth added while line 3 is current.
  std::vector<int> order{2, 3, 4, -1};
  EXPECT_EQ(placeNewObject(order, 3, 4), 4);
  EXPECT_EQ(order, (std::vector<int>{2, 3, 5, 4}));
  std::vector<int> noCurrent{2, 3, -1};
  EXPECT_EQ(placeNewObject(noCurrent, 0, 3), 4);
  EXPECT_EQ(noCurrent.back(), 4);
}

TEST(DataWindowLines, NeuterStringStoresTypedFormulasAsText) {
  EXPECT_EQ(neuterString("  ==Gold  "), "Gold");
  EXPECT_EQ(neuterString(" = "), "");
  EXPECT_EQ(neuterString("a=b"), "a=b");
}

TEST(DateWindow, TodayCountsFromNoonAndRangesKeepTwoDays) {
  EXPECT_EQ(roundDay(45000.4999), 45000);
  EXPECT_EQ(roundDay(45000.5), 45001);
  TDateWindow atNoon(45000.5);
  EXPECT_EQ(atNoon.fromId(), 44999);
  EXPECT_EQ(atNoon.toId(), 45001);

  TDateWindow window(45000.2);
  window.setTo(45100);
  window.setFrom(45070);
  EXPECT_EQ(window.days(), 31);
  window.setFrom(45200);  // after the to date
  EXPECT_EQ(window.toId(), 45201);
  EXPECT_EQ(window.days(), 2);
  window.setTo(45150);  // before the from date
  EXPECT_EQ(window.fromId(), 45149);
  EXPECT_EQ(window.days(), 2);
}

// The pickers show no day before 1 January 1753: a range reaching further
// left them on another day than the days box and the stored dates.
TEST(DateWindow, RangesStayWithinTheDaysThePickersShow) {
  double first = 0, last = 0;
  ASSERT_TRUE(encodeDate(1753, 1, 1, first));
  ASSERT_TRUE(encodeDate(9999, 12, 31, last));
  EXPECT_EQ(firstPickerDay, first);
  EXPECT_EQ(lastPickerDay, last);

  TDateWindow window(46000.2);
  window.setTo(46000);
  EXPECT_TRUE(takeDaysText(window, "92"));
  EXPECT_FALSE(takeDaysText(window, "92183001"));
  EXPECT_EQ(window.days(), 92);
  const int most = mostDaysEndingOn(46000);
  EXPECT_EQ(most, 46000 - first + 1);
  EXPECT_FALSE(takeDaysText(window, std::to_string(most + 1)));
  EXPECT_TRUE(takeDaysText(window, std::to_string(most)));
  EXPECT_EQ(window.fromId(), first);

  // A from date stored far before the first day (a slip once wrote one)
  // comes back as the first day, the to date kept.
  window.setFrom(-92136636);
  EXPECT_EQ(window.fromId(), first);
  EXPECT_EQ(window.toId(), 46000);
  window.setTo(-92136636);
  EXPECT_EQ(window.fromId(), first);
  EXPECT_EQ(window.toId(), first + 1);
  window.setTo(1e12);
  EXPECT_EQ(window.toId(), last);
  window.setFrom(1e12);
  EXPECT_EQ(window.fromId(), last - 1);
  EXPECT_EQ(window.toId(), last);

  // Days and frames stop at either end and keep the count; the largest
  // count there is, negated, does not overflow.
  window.setFrom(first + 10);
  window.setTo(first + 39);
  ASSERT_EQ(window.days(), 30);
  EXPECT_TRUE(window.scrollFrame("30", -1));
  EXPECT_EQ(window.fromId(), first);
  EXPECT_EQ(window.days(), 30);
  window.scroll(-1);
  EXPECT_EQ(window.fromId(), first);
  EXPECT_TRUE(window.scrollFrame("-2147483648", -1));
  EXPECT_EQ(window.toId(), last);
  EXPECT_EQ(window.days(), 30);
  window.setDays(-5);
  EXPECT_EQ(window.days(), 2);
}

// Typing 183001 after 92 passes through counts in range (921 ... 92183)
// before one that is not: the range falls back to what it was before the
// typing, not to the last count taken on the way.
TEST(DateWindow, ACountTypedBeyondTheFirstDayGivesWayToTheCountBeforeTheTypingAndIsToldOnce) {
  TDaysTyping typing;
  const double to = 46000;
  int days = 0;
  EXPECT_TRUE(typing.count("921", 92, to, days));
  EXPECT_EQ(days, 921);
  EXPECT_TRUE(typing.count("92183", 921, to, days));
  EXPECT_EQ(days, 92183);
  EXPECT_TRUE(typing.count("921830", 92183, to, days));
  EXPECT_EQ(days, 92);
  EXPECT_FALSE(typing.count("9218300x", 92, to, days));
  EXPECT_TRUE(typing.typing());
  EXPECT_EQ(typing.end("92183001", to),
            "\"92183001\" is no number this box can keep: the dates reach back to 1 January 1753 at the most, "
            "99689 days up to the to date. The days stay as they were.");
  EXPECT_FALSE(typing.typing());
  EXPECT_EQ(typing.end("92183001", to), "");
  EXPECT_TRUE(typing.count("30", 92, to, days));
  EXPECT_EQ(typing.end("30", to), "");

  // Counts past the largest integer reach as far before the first day and
  // are told alike; too small ones and numbers out of any range are no
  // counts the box refuses.
  for (const char* huge : {"2147483648", "99999999999", "1e20"}) {
    EXPECT_TRUE(typing.count(huge, 92, to, days)) << huge;
    EXPECT_EQ(days, 92) << huge;
    EXPECT_EQ(typing.end(huge, to), "\"" + std::string(huge) +
                                        "\" is no number this box can keep: the dates reach back to 1 January 1753 "
                                        "at the most, 99689 days up to the to date. The days stay as they were.");
  }
  for (const char* none : {"-99999999999", "1e999", "2147483648.5"}) {
    typing.count(none, 92, to, days);
    EXPECT_EQ(typing.end(none, to), "") << none;
  }
}

TEST(DateWindow, FramesMoveBothDatesAndTextInTheDaysBoxChangesNothing) {
  TDateWindow window(45000.2);
  window.setTo(45100);
  EXPECT_TRUE(takeDaysText(window, "30"));
  EXPECT_EQ(window.fromId(), 45071);
  EXPECT_TRUE(window.scrollFrame("30", -1));
  EXPECT_EQ(window.fromId(), 45041);
  EXPECT_EQ(window.toId(), 45070);
  EXPECT_FALSE(window.scrollFrame("month", -1));
  EXPECT_FALSE(takeDaysText(window, "month"));
  EXPECT_EQ(window.fromId(), 45041);
  EXPECT_EQ(window.toId(), 45070);
  EXPECT_TRUE(takeDaysText(window, "1"));
  EXPECT_EQ(window.days(), 2);

  // The days read as any number the user types: grouped thousands count,
  // a fraction or a misplaced separator is no count of days.
  const TLocaleSettings saved = localeSettings();
  localeSettings().decimalSeparator = ',';
  localeSettings().thousandSeparator = '.';
  const bool grouped = takeDaysText(window, "1.000");
  const int days = window.days();
  const bool fraction = takeDaysText(window, "1,5");
  const bool misplaced = takeDaysText(window, "10.00");
  localeSettings() = saved;
  EXPECT_TRUE(grouped);
  EXPECT_EQ(days, 1000);
  EXPECT_FALSE(fraction);
  EXPECT_FALSE(misplaced);
  EXPECT_EQ(window.days(), 1000);
}
