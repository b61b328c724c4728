"""Line order and widths kept where they were made: a window's view saved at
the close goes only into the portfolio it was loaded from, whichever
portfolio is current then. The portfolios the user did not touch keep every
file byte for byte."""
import os

from driver import check, file_states, changed_files
from keyboard import model_sections
from sample import read_ini
from transactions import ASSET_LIST, line_y, COLUMNS

# Transactions window: the move-down button.
MOVE_DOWN_LINE = (455, 57)
# Portfolios window, column-wise: a cell of each portfolio's column (the
# gain) and the New button.
GROWTH_CELL = (200, 188)
RETIREMENT_CELL = (340, 188)
NEW_PORTFOLIO = (73, 87)
# Assets window, column-wise: the first asset's column, New (its menu's
# "&Constant price" taken with its key) and the button that moves a column
# right.
FIRST_ASSET_CELL = (190, 188)
NEW_ASSET = (35, 87)
MOVE_RIGHT = (325, 87)


def folios(folder):
    return os.path.join(folder, "DATA", "FOLIOS")


def settled_folder(scenario):
    """A working folder that has seen one start and close, so that what any
    start writes (the trading systems' runs, the Portfolios window's own
    order) is in its files before the session whose writes are checked."""
    folder = scenario.working_folder()
    program = scenario.program(folder)
    program.start()
    program.exit()
    return folder


def portfolio_files(folder, number):
    return file_states(os.path.join(folios(folder), str(number)))


def check_untouched(before, after, name):
    changed = changed_files(before, after)
    check(not changed, "the %s, which the user did not touch, had files written: %s" % (name, changed))


def close_with_current(program, cell, name):
    """Another portfolio made current on the Portfolios tab, then Alt+F4."""
    program.tab("Portfolios")
    program.click(*cell)
    check(name in program.title(), "the click did not make the %s current: %r" % (name, program.title()))
    program.exit()


def effective_orders(trades):
    """Each transaction's place in its portfolio's list by its number: the
    stored one, else its number + 1, as the Transactions window reads it."""
    orders = {}
    for name in os.listdir(trades):
        if not name.upper().endswith(".INI"):
            continue
        sections = read_ini(os.path.join(trades, name))
        number = int(sections["Transaction"]["NUMBER"])
        stored = sections.get("ExternalProperties", {}).get("DISPLAYORDER")
        orders[number] = int(stored) if stored else number + 1
    return orders


def asset_property(folder, portfolio, asset, key):
    path = os.path.join(folios(folder), str(portfolio), "%d.INI" % asset)
    return read_ini(path).get("ExternalProperties", {}).get(key)


def transaction_order_stays(scenario):
    """A line of Nordwind Energie AG moved on the Transactions tab, the
    Retirement Account clicked on the Portfolios tab, Alt+F4: the move goes
    into Nordwind's transactions; the Retirement Account, whose transaction
    numbers are the same, keeps every file."""
    folder = settled_folder(scenario)
    growth_before = portfolio_files(folder, 1)
    retirement_before = portfolio_files(folder, 2)
    nordwind = os.path.join(folios(folder), "1", "1.TRN")
    orders_before = effective_orders(nordwind)
    by_place = sorted(orders_before, key=lambda number: orders_before[number])

    program = scenario.program(folder)
    program.start()
    program.tab("Transactions")
    program.click(*ASSET_LIST)
    program.key("Down", "Return")
    program.settle(1)
    program.click(COLUMNS["Units"], line_y(2))
    program.click(*MOVE_DOWN_LINE)
    scenario.grab("line-moved")
    close_with_current(program, RETIREMENT_CELL, "Retirement Account")

    check_untouched(retirement_before, portfolio_files(folder, 2), "Retirement Account")
    orders_after = effective_orders(nordwind)
    moved, passed = by_place[1], by_place[2]
    expected = dict(orders_before)
    expected[moved], expected[passed] = orders_before[passed], orders_before[moved]
    check(orders_after == expected, "Nordwind's lines are stored in the order %s, not with %d after %d"
          % (sorted(orders_after, key=lambda number: orders_after[number]), moved, passed))
    # The Growth Portfolio, shown, takes the view's order for its number
    # list and the window's own files; nothing else.
    growth = os.path.join(folios(folder), "1")
    original = os.path.join(scenario.sample_folder(), "DATA", "FOLIOS", "1")

    def view_only(path):
        return path.startswith("Transaction") or (
            ".TRN" in path and not beyond_view(os.path.join(original, path), os.path.join(growth, path)))
    beyond = [path for path in changed_files(growth_before, portfolio_files(folder, 1)) if not view_only(path)]
    check(not beyond, "the Growth Portfolio changed beyond its transactions' order and the window's files: %s"
          % beyond)


def beyond_view(original, path):
    """Whether the settings file differs from the original in more than its
    view properties (line sizes and order). A record saved without an entry
    count gains one at its first save, whatever changed."""
    before, after = model_sections(original), model_sections(path)
    for name, keys in after.items():
        if "ENTRIES" in keys and "ENTRIES" not in before.get(name, {}):
            after[name] = {key: value for key, value in keys.items() if key != "ENTRIES"}
    return before != after


def asset_widths_and_order_stay(scenario):
    """The Retirement Account's first two assets exchanged on the Assets
    tab, a new portfolio with a new asset shown there last, the Growth
    Portfolio clicked on the Portfolios tab, Alt+F4: the Growth Portfolio
    keeps every file (Nordwind's width of 150 with it); the exchange and the
    new asset's width go where they were made."""
    folder = settled_folder(scenario)
    growth_before = portfolio_files(folder, 1)
    nordwind_width = asset_property(folder, 1, 1, "COLWIDTH")

    program = scenario.program(folder)
    program.start()
    program.click(*RETIREMENT_CELL)
    program.tab("Assets")
    program.click(*FIRST_ASSET_CELL)
    program.click(*MOVE_RIGHT)
    scenario.grab("assets-exchanged")
    program.tab("Portfolios")
    program.click(*NEW_PORTFOLIO)
    program.settle(1)
    program.tab("Assets")
    program.click(*NEW_ASSET)
    program.key("c")
    program.settle(1)
    scenario.grab("new-asset")
    close_with_current(program, GROWTH_CELL, "Growth Portfolio")

    check_untouched(growth_before, portfolio_files(folder, 1), "Growth Portfolio")
    check(asset_property(folder, 1, 1, "COLWIDTH") == nordwind_width, "Nordwind's width went from %s to %s"
          % (nordwind_width, asset_property(folder, 1, 1, "COLWIDTH")))
    # The Retirement Account's assets without a stored place follow in
    # number order: the first two changed places.
    places = [asset_property(folder, 2, asset, "DISPLAYORDER") for asset in (1, 2)]
    check(places == ["3", "2"], "the Retirement Account's first two assets are stored at places %s, not 3 and 2"
          % places)
    made = os.path.join(folios(folder), "3")
    check(os.path.isdir(made), "no new portfolio folder was made")
    width = asset_property(folder, 3, 1, "COLWIDTH")
    # Its default width needs no entry: it is shown so without one.
    check(width in (None, "85"), "the new portfolio's asset has the width %r, not its default 85" % width)
