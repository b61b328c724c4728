"""A buy and a sell typed into the Transactions grid, checked against the
price file and, after a restart, against the transaction files; units too
large to price, refused where they are typed."""
import datetime
import os
import re

from driver import check, file_states, changed_files
from readout import add_readout_fields, pixel_value
from sample import read_closes, close_on_or_before, transactions, same_number, day_number, date_of, read_ini

# Places in the Transactions window of the sample's first portfolio.
NEW_BUTTON = (35, 57)
ASSET_LIST = (705, 56)
FIRST_LINE_Y = 92
LINE_HEIGHT = 16
COLUMNS = {"Date": 272, "Units": 449, "Value": 543, "Fees": 627}
ORIGINAL_LINES = 12
# Read-out rows below the sample's fields; the first asset's and the first
# portfolio's columns.
ASSET_COLUMN_X, PORTFOLIO_COLUMN_X = 185, 200
FIELD_ROW_Y, FIELD_ROW_HEIGHT = 108, 16


def field_y(index):
    return FIELD_ROW_Y + FIELD_ROW_HEIGHT * index


def add_readouts(folder):
    """Units, value and the window's end day in Assets, the net asset value
    and the end day in Portfolios, each in a read-out field."""
    folios = os.path.join(folder, "DATA", "FOLIOS")
    assets = add_readout_fields(os.path.join(folios, "1", "AssetFields.INI"),
                                [("Units read-out", "ROUND(U*10000;0)"), ("Value read-out", "ROUND(V*100;0)"),
                                 ("End read-out", "TO_DATE")])
    portfolios = add_readout_fields(os.path.join(folios, "FolioFields.INI"),
                                    [("Value read-out", "ROUND(V*100;0)"), ("End read-out", "TO_DATE")])
    return assets, portfolios


def read_portfolio(program, rows):
    program.tab("Portfolios")
    return [pixel_value(program, PORTFOLIO_COLUMN_X, field_y(row)) for row in rows]


def read_asset(program, rows):
    program.tab("Assets")
    return [pixel_value(program, ASSET_COLUMN_X, field_y(row)) for row in rows]


def line_y(line):
    return FIRST_LINE_Y + LINE_HEIGHT * (line - 1)


def show_first_asset(program):
    program.tab("Transactions")
    program.click(*ASSET_LIST)
    program.key("Down", "Return")
    program.settle(1)


def read(program, line, column):
    program.click(COLUMNS[column], line_y(line))
    return program.read_cell()


def shows_number(shown, number):
    """Whether a text read from the program is the number: one that is no
    number, such as what a read that brought nothing gives, is not."""
    try:
        return same_number(shown, number)
    except ValueError:
        return False


def type_here(program, text):
    """The editor is opened with Enter and its text replaced: a typed minus
    sign would not open it."""
    program.key("Return", "End", "shift+Home")
    program.type(text)
    program.key("Return")


def type_into(program, line, column, text):
    program.click(COLUMNS[column], line_y(line))
    type_here(program, text)


def buy_and_sell(scenario):
    folder = scenario.working_folder()
    trades = os.path.join(folder, "DATA", "FOLIOS", "1", "1.TRN")
    closes = read_closes(os.path.join(folder, "DATA", "QUOTES", "NWE.CSV"), 4)
    before = transactions(trades)
    asset_rows, portfolio_rows = add_readouts(folder)

    program = scenario.program(folder)
    program.start()
    value_before, _ = read_portfolio(program, portfolio_rows)
    show_first_asset(program)

    # The buy, a month back: the date picker's month (its first field,
    # selected as it opens) one step down.
    today = datetime.date.today()
    months_back = 1 if today.day <= 28 else 0
    # From here typed without the mouse where it can be: with no cell
    # current, New makes the new line's first field past the number current,
    # the asset; the date is next to it.
    program.click(*NEW_BUTTON)
    buy_line = ORIGINAL_LINES + 1
    program.key("Right", "Return")
    program.key(*(["Down"] * months_back), "Return")
    type_into(program, buy_line, "Units", "25")
    type_into(program, buy_line, "Fees", "4.9")
    buy_month = (today.month - months_back - 1) % 12 + 1
    buy_day = day_number(today.replace(year=today.year - (1 if buy_month > today.month else 0), month=buy_month))
    buy_close = close_on_or_before(closes, buy_day)

    # The sell, today: the auto-completed value is the units at the last close.
    # New keeps the field of the cell current before: the fees.
    program.click(*NEW_BUTTON)
    sell_line = buy_line + 1
    type_here(program, "3.5")
    program.key("Left", "Left")
    type_here(program, "-10")
    sell_close = close_on_or_before(closes, day_number(today))
    scenario.grab("typed")

    expected = [
        {"Units": 25, "Value": 25 * buy_close, "Fees": 4.9, "Day": buy_day},
        {"Units": -10, "Value": -10 * sell_close, "Fees": 3.5, "Day": day_number(today)},
    ]
    for line, trade in zip((buy_line, sell_line), expected):
        for column in ("Units", "Value", "Fees"):
            shown = read(program, line, column)
            check(shows_number(shown, trade[column]),
                  "line %d: %s shows %r, the price file gives %r" % (line, column, shown, trade[column]))

    # Assets and Portfolios against a hand computation at their windows' end days.
    units, value, asset_end = read_asset(program, asset_rows)
    value_after, portfolio_end = read_portfolio(program, portfolio_rows)
    scenario.grab("read-outs")
    check(None not in (units, value, asset_end), "the Assets window shows no value: units %r, value %r, end %r"
          % (units, value, asset_end))
    held = sum(float(r["UNITS"]) for r in before.values() if float(r["DATETIME"]) < asset_end + 1)
    held += sum(t["Units"] for t in expected if t["Day"] <= asset_end)
    check(units == round(held * 10000), "Assets shows %s units, the hand computation %s" % (units / 10000, held))
    check(value == round(held * close_on_or_before(closes, asset_end) * 100),
          "Assets shows the value %s, the hand computation %s"
          % (value / 100, held * close_on_or_before(closes, asset_end)))
    check(None not in (value_before, value_after, portfolio_end),
          "the Portfolios window shows no net asset value: before %r, after %r, end %r"
          % (value_before, value_after, portfolio_end))
    added_value = sum(t["Units"] for t in expected if t["Day"] <= portfolio_end) * close_on_or_before(closes, portfolio_end)
    check(abs(value_after - value_before - round(added_value * 100)) <= 1,
          "the net asset value grew by %s, the hand computation %s" % ((value_after - value_before) / 100, added_value))
    program.exit()

    # Exactly the two typed records were added; no earlier record changed.
    after = transactions(trades)
    added = sorted(set(after) - set(before))
    check(len(added) == 2, "the transaction folder gained %d files, not 2: %s" % (len(added), added))
    for number in before:
        check(after.get(number) == before[number], "transaction %d changed" % number)
    for number, trade in zip(added, expected):
        record = after[number]
        check(record.get("SOFT") == "0", "transaction %d is not a hard one" % number)
        for key in ("Units", "Value", "Fees"):
            check(same_number(record[key.upper()], trade[key]),
                  "transaction %d stores %s %s, typed %r" % (number, key, record[key.upper()], trade[key]))
        stored_day = int(float(record["DATETIME"]))
        check(stored_day == trade["Day"], "transaction %d is dated %s, typed %s"
              % (number, date_of(stored_day), date_of(trade["Day"])))
    states_saved = file_states(trades)

    # After a restart the lines show the same; leaving them rewrites nothing.
    program = scenario.program(folder)
    program.start()
    show_first_asset(program)
    for line, trade in zip((buy_line, sell_line), expected):
        for column in ("Units", "Value", "Fees"):
            shown = read(program, line, column)
            check(shows_number(shown, trade[column]),
                  "after the restart line %d: %s shows %r, stored %r" % (line, column, shown, trade[column]))
    program.exit()
    check(not changed_files(states_saved, file_states(trades)),
          "a restart without edits changed %s" % changed_files(states_saved, file_states(trades)))
    # The other records keep all but the view's order and line sizes.
    for number in before:
        path = os.path.join(trades, "%d.INI" % number)
        kept = {name: keys for name, keys in read_ini(path).items() if name != "ExternalProperties"}
        original = os.path.join(scenario.sample_folder(), "DATA", "FOLIOS", "1", "1.TRN", "%d.INI" % number)
        check(kept == {name: keys for name, keys in read_ini(original).items() if name != "ExternalProperties"},
              "transaction file %d.INI changed beyond its view properties" % number)


def stored_non_numbers(folder):
    """The settings and transaction files under the folder that hold a value
    written as an infinity or a not-a-number."""
    found = []
    for root, _, names in os.walk(folder):
        for name in names:
            if not name.upper().endswith(".INI"):
                continue
            with open(os.path.join(root, name), "rb") as file:
                text = file.read().decode("latin-1")
            if re.search(r"=\s*[-+]?(INF|NAN)", text, re.I | re.M):
                found.append(os.path.relpath(os.path.join(root, name), folder))
    return found


def huge_units_refused(scenario):
    """Units whose value at the last close no number holds are refused with
    a message where they are typed; nothing written after that reads back
    as another number, and the money invested stays as it was."""
    folder = scenario.working_folder()
    folios = os.path.join(folder, "DATA", "FOLIOS")
    invested_row, = add_readout_fields(os.path.join(folios, "FolioFields.INI"),
                                       [("Invested read-out", "ROUND(I*100;0)")])

    program = scenario.program(folder)
    program.start()
    invested_before, = read_portfolio(program, [invested_row])
    check(invested_before is not None, "the Portfolios window shows no money invested")
    show_first_asset(program)
    units_before = read(program, 1, "Units")
    for huge in ("1e308", "5e307"):
        # The first line's units stay the current cell: a click on it would
        # open its editor.
        type_here(program, huge)
        message = program.await_window("^Error$", 10)
        scenario.grab("refused-" + huge)
        program.key("Return", window=message)
        program.await_no_window("^Error$", 10)
        # The refused text waits in its editor for a correction; Esc gives
        # it up.
        kept = program.copied("End", "shift+Home", "ctrl+c")
        check(kept == huge, "after %s was refused its editor holds %r" % (huge, kept))
        program.key("Escape")
        shown = program.read_cell()
        check(shown == units_before, "after %s the first line's units show %r, not %r" % (huge, shown, units_before))
    program.exit()
    non_numbers = stored_non_numbers(folios)
    check(not non_numbers, "files hold an infinity or a not-a-number: %s" % non_numbers)

    program = scenario.program(folder)
    program.start()
    invested_after, = read_portfolio(program, [invested_row])
    program.exit()
    check(invested_after == invested_before, "the money invested went from %s to %s over the restart"
          % (invested_before, invested_after))
