"""A quote changed and one added in the quote editor and committed: the
price file holds them, and the asset's value and the docked chart in
Assets follow."""
import datetime
import os

from driver import check
from readout import add_readout_fields, pixel_value, region_pixels
from sample import transactions

FIRST_ASSET = (210, 122)
QUOTES_VIEW_BUTTON = (693, 57)
NEW_BUTTON, SORT_DESCENDING, COMMIT = (35, 86), (144, 86), (278, 86)
# Columns of the editor's grid for the first asset's format (date, open,
# high, low, close, volume) and its first quote row.
COLUMNS = {"Date": 40, "Open": 136, "High": 220, "Low": 306, "Close": 392, "Volume": 475}
FIRST_ROW_Y = 121
ASSET_COLUMN_X = 185
# The plot of the docked chart below the Assets grid.
CHART = (70, 440, 900, 270)
NEW_DAY = "2024-12-29"


def read_quotes(path):
    """Every line of the price file as (date text, numbers)."""
    with open(path) as file:
        lines = [line.split(",") for line in file.read().splitlines() if line.strip()]
    return {parts[0]: [float(p) for p in parts[1:]] for parts in lines}


def type_into(program, column, text):
    program.click(COLUMNS[column], FIRST_ROW_Y)
    program.key("Return", "End", "shift+Home")
    program.type(text)
    program.key("Return")


def raise_latest_close(program, latest_close):
    """Nordwind's quotes in the editor, the latest first, its close raised
    by ten; the close typed."""
    program.tab("Quotes")
    program.click(*FIRST_ASSET)
    program.click(*QUOTES_VIEW_BUTTON)
    program.settle(1)
    program.click(COLUMNS["Date"], FIRST_ROW_Y)
    program.click(*SORT_DESCENDING)
    new_close = round(latest_close + 10, 2)
    type_into(program, "Close", "%.2f" % new_close)
    return new_close


def asset_value_cents(program, row):
    """The read-out with the first asset picked, whose prices the docked chart shows."""
    program.tab("Assets")
    program.click(ASSET_COLUMN_X, 123)
    program.settle(1)
    return pixel_value(program, ASSET_COLUMN_X, 108 + 16 * row)


def change_and_add(scenario):
    folder = scenario.working_folder()
    prices = os.path.join(folder, "DATA", "QUOTES", "NWE.CSV")
    before = read_quotes(prices)
    last_day = max(before)
    held = sum(float(r["UNITS"]) for r in transactions(os.path.join(folder, "DATA", "FOLIOS", "1", "1.TRN")).values())
    (value_row,) = add_readout_fields(os.path.join(folder, "DATA", "FOLIOS", "1", "AssetFields.INI"),
                                      [("Value read-out", "ROUND(V*100;0)")])

    program = scenario.program(folder)
    program.start()
    value_before = asset_value_cents(program, value_row)
    chart_before = region_pixels(program, *CHART)
    new_close = raise_latest_close(program, before[last_day][3])

    # A new row above it, for a Sunday the file has no quote for: the date
    # typed as it is written, its first digit opening the picker.
    program.click(COLUMNS["Date"], FIRST_ROW_Y)
    program.click(*NEW_BUTTON)
    program.click(COLUMNS["Date"], FIRST_ROW_Y)
    program.type("12/29/2024")
    program.key("Return")
    added = {"Open": "12.5", "High": "13.75", "Low": "12.25", "Close": "13.5", "Volume": "4321"}
    for column, text in added.items():
        type_into(program, column, text)
    scenario.grab("edited")
    program.click(*COMMIT)
    program.settle(1)
    scenario.grab("committed")
    value_after = asset_value_cents(program, value_row)
    chart_after = region_pixels(program, *CHART)
    scenario.grab("assets-after")
    program.exit()

    after = read_quotes(prices)
    check(after.get(last_day, [None] * 4)[3] == new_close,
          "the price file holds the close %r for %s, typed %r" % (after.get(last_day), last_day, new_close))
    new_lines = {day: values for day, values in after.items() if day not in before}
    check(sorted(new_lines) == [NEW_DAY], "the price file gained the lines %s, not one for %s" % (sorted(new_lines), NEW_DAY))
    check(list(new_lines.values())[0] == [float(v) for v in added.values()],
          "the added quote is stored as %r" % list(new_lines.values())[0])
    for day, values in before.items():
        if day != last_day:
            check(after.get(day) == values, "the quote of %s changed to %r" % (day, after.get(day)))

    check(len(set(chart_before[i:i + 3] for i in range(0, len(chart_before), 3))) > 2,
          "the docked chart in Assets shows no lines")
    check(chart_after != chart_before, "the docked chart in Assets did not follow the committed quotes")
    check(value_before == round(held * before[last_day][3] * 100),
          "Assets showed the value %r cents before the edit, the hand computation %r"
          % (value_before, round(held * before[last_day][3] * 100)))
    check(value_after == round(held * new_close * 100),
          "Assets shows the value %r cents after the commit, the hand computation %r"
          % (value_after, round(held * new_close * 100)))


def appended_line_kept(scenario):
    """The companion downloader appends a day to the price file while the
    program runs; a close changed in the quote editor and committed: the file
    keeps the appended line and takes the change, every other line as it was."""
    folder = scenario.working_folder()
    prices = os.path.join(folder, "DATA", "QUOTES", "NWE.CSV")
    with open(prices, "rb") as file:
        original = file.read()
    before = read_quotes(prices)
    last_day = max(before)

    program = scenario.program(folder)
    program.start()
    # The day after the file's last, whatever day the sample was carried to.
    next_day = datetime.date.fromisoformat(last_day) + datetime.timedelta(days=1)
    appended = next_day.isoformat().encode() + b",60.1,61.2,59.8,60.5,123456\r\n"
    with open(prices, "ab") as file:
        file.write(appended)
    new_close = raise_latest_close(program, before[last_day][3])
    scenario.grab("edited")
    program.click(*COMMIT)
    program.settle(1)
    scenario.grab("committed")
    program.exit()

    with open(prices, "rb") as file:
        text = file.read()
    check(text.endswith(appended), "the line appended while the program ran is gone: the file ends %r" % text[-80:])
    check(text.count(b"\n") == original.count(b"\n") + 1,
          "the price file holds %d lines, not the %d read and the one appended"
          % (text.count(b"\n"), original.count(b"\n")))
    after = read_quotes(prices)
    check(after.get(last_day, [None] * 4)[3] == new_close,
          "the price file holds the close %r for %s, typed %r" % (after.get(last_day), last_day, new_close))
    changed = [line for line in text.splitlines() if line not in original.splitlines() and line + b"\r\n" != appended]
    check(len(changed) == 1 and changed[0].startswith(last_day.encode()),
          "lines other than the edited day's changed: %r" % changed[:5])
