"""The sample's trading system run from the System tab, checked against a
replay of its rules written here from the price file; a second start with
nothing changed must leave every file alone. Then what a run reads: a
currency table changed on disk, and back, runs the system again at the next
start; a run stopped in its progress window is reported and runs again; a
macro that raises an error on some days leaves the run whole and kept, with
no box at the start nor at the tab changes; a rule naming the other
portfolio by its index runs again when that portfolio changed. Last, the
optimiser under German settings."""
import math
import os
import time

from driver import check, file_states, changed_files, modification_times
from sample import read_ini, read_closes, transactions, same_number, date_of

SECOND_PORTFOLIO = (330, 123)
PARAMETERS_PAGE = (150, 53)
# The first parameter's value; the lot is the next column, whatever the widths.
FIRST_VALUE = (165, 119)
COMMIT_CHANGES = (292, 79)


def parameter(system, name):
    for index in range(1, int(system["Param"]["COUNT"]) + 1):
        entry = system["Param%d" % index]
        if entry["SYMBOL"].strip('"') == name:
            return float(entry["VALUE"])
    raise KeyError(name)


def replay(system, closes, held):
    """The sample's two rules day by day: buy a lot after a weekly fall
    below DIP, sell one after a rise above -DIP while a lot is held. Days
    are calendar days at the window's time of day; a missing close on the
    day or a week before leaves the rules silent that day."""
    dip, lot = parameter(system, "DIP"), parameter(system, "LOT")
    first = max(float(system["Range"]["FROMDATE"]), min(closes))
    last = min(float(system["Range"]["TODATE"]), max(closes) + 0.99998842592)
    posted = []
    day = first
    while True:
        units_held = held(day) + sum(trade["units"] for trade in posted)
        close, week_ago = closes.get(math.floor(day)), closes.get(math.floor(day) - 7)
        if close is not None and week_ago is not None:
            momentum = close / week_ago - 1
            if momentum < dip:
                posted.append({"day": day, "units": lot, "value": lot * close, "flag": "SYS"})
            elif momentum > -dip and units_held >= lot:
                posted.append({"day": day, "units": -lot, "value": -lot * close, "flag": "SYS"})
        if day >= last:
            return posted
        day += 1


def run_from_system_tab(scenario):
    folder = scenario.working_folder()
    portfolio = os.path.join(folder, "DATA", "FOLIOS", "2")
    trades = os.path.join(portfolio, "1.TRN")
    before = transactions(trades)

    # The lot raised from 5 to 10 and committed: leaving the tab runs the system.
    program = scenario.program(folder)
    program.start()
    program.click(*SECOND_PORTFOLIO)
    program.tab("System")
    program.click(*PARAMETERS_PAGE)
    program.click(*FIRST_VALUE)
    program.key("Right", "Return", "End", "shift+Home")
    program.type("10")
    program.key("Return")
    program.click(*COMMIT_CHANGES)
    scenario.grab("committed")
    program.tab("Portfolios")
    program.settle(5)
    program.exit()

    system = read_ini(os.path.join(portfolio, "System.INI"))
    check(parameter(system, "LOT") == 10, "the committed lot is %r" % parameter(system, "LOT"))
    window_start = math.floor(float(system["Range"]["FROMDATE"]))
    window_end = math.floor(float(system["Range"]["TODATE"])) + 1
    in_window = lambda record: window_start <= float(record["DATETIME"]) < window_end

    def held_before_run(day):
        return sum(float(r["UNITS"]) for r in before.values()
                   if float(r["DATETIME"]) < math.floor(day) + 1 and not (r["SOFT"] == "1" and in_window(r)))

    closes = read_closes(os.path.join(folder, "DATA", "QUOTES", "GIX.CSV"), 1)
    expected = replay(system, closes, held_before_run)
    after = transactions(trades)
    posted = sorted((r for r in after.values() if r["SOFT"] == "1" and in_window(r)),
                    key=lambda r: (float(r["DATETIME"]), int(r["NUMBER"])))
    check(len(posted) == len(expected), "the run posted %d soft transactions, the replay %d"
          % (len(posted), len(expected)))
    for record, trade in zip(posted, expected):
        where = "the soft transaction of %s" % date_of(trade["day"])
        check(same_number(record["DATETIME"], trade["day"]), "%s is dated %s" % (where, record["DATETIME"]))
        check(same_number(record["UNITS"], trade["units"]), "%s has %s units, not %s" % (where, record["UNITS"], trade["units"]))
        check(same_number(record["VALUE"], trade["value"]), "%s has value %s, not %s" % (where, record["VALUE"], trade["value"]))
        check(same_number(record["FEES"], 1), "%s has fees %s" % (where, record["FEES"]))
        check(record.get("FLAG") == trade["flag"], "%s has flag %r" % (where, record.get("FLAG")))
    for number, record in before.items():
        if not (record["SOFT"] == "1" and in_window(record)):
            check(after.get(number) == record, "transaction %d outside the run changed" % number)

    # A second start with nothing changed writes nothing.
    states, times = file_states(folder), modification_times(folder)
    program = scenario.program(folder)
    program.start()
    program.settle(3)
    program.exit()
    check(not changed_files(states, file_states(folder)),
          "a start without changes changed %s" % changed_files(states, file_states(folder)))
    rewritten = [path for path, time in modification_times(folder).items()
                 if times.get(path) != time and ".TRN" in path]
    check(not rewritten, "a start without changes rewrote %d transaction files, such as %s"
          % (len(rewritten), rewritten[:3]))


def soft_in_range(portfolio):
    """The soft transactions of the sample system's asset inside its range,
    as (time, units, value, fees) in date order."""
    system = read_ini(os.path.join(portfolio, "System.INI"))
    start = math.floor(float(system["Range"]["FROMDATE"]))
    end = math.floor(float(system["Range"]["TODATE"])) + 1
    records = transactions(os.path.join(portfolio, "1.TRN")).values()
    return sorted((float(r["DATETIME"]), float(r["UNITS"]), float(r["VALUE"]), float(r["FEES"])) for r in records
                  if r["SOFT"] == "1" and start <= float(r["DATETIME"]) < end)


def kept_run_state(portfolio):
    path = os.path.join(portfolio, "SystemRun.INI")
    return read_ini(path).get("LastRun", {}).get("STATE") if os.path.exists(path) else None


def start_and_exit(scenario, folder):
    program = scenario.program(folder)
    program.start()
    program.settle(3)
    program.exit()


def edit_system(system_file, old, new):
    """Writes the system file with its first `old` replaced by `new`."""
    with open(system_file, encoding="latin-1", newline="") as file:
        system_text = file.read()
    check(old in system_text, "the system file holds no %s" % old)
    with open(system_file, "w", encoding="latin-1", newline="") as file:
        file.write(system_text.replace(old, new, 1))


def inputs_and_stop(scenario):
    """A rule converting through a currency table runs again when the table's
    file changed, and again when it is back; a run stopped in its progress
    window says so and runs again at the next occasion."""
    folder = scenario.working_folder()
    portfolio = os.path.join(folder, "DATA", "FOLIOS", "2")
    system_file = os.path.join(portfolio, "System.INI")
    rates_file = os.path.join(folder, "DATA", "FOREX", "EURtoUSD.CSV")
    edit_system(system_file, 'Principal="LOT*CLOSE"', 'Principal="LOT*CLOSE*CURRENCY_CONVERT("EUR";"USD";X)"')

    start_and_exit(scenario, folder)
    converted = soft_in_range(portfolio)
    buys = [trade for trade in converted if trade[1] > 0]
    check(buys, "the converting rule bought nothing")

    with open(rates_file, newline="") as file:
        rates = file.read()
    doubled = "".join("%s,%r\r\n" % (line.split(",")[0], 2 * float(line.split(",")[1]))
                      for line in rates.splitlines() if "," in line)
    with open(rates_file, "w", newline="") as file:
        file.write(doubled)
    start_and_exit(scenario, folder)
    again = [trade for trade in soft_in_range(portfolio) if trade[1] > 0]
    check(len(again) == len(buys), "with doubled rates the rule bought %d times, not %d" % (len(again), len(buys)))
    for before, after in zip(buys, again):
        check(same_number(after[2], 2 * before[2]), "a buy of %s is worth %r with doubled rates, not %r"
              % (date_of(before[0]), after[2], 2 * before[2]))

    with open(rates_file, "w", newline="") as file:
        file.write(rates)
    start_and_exit(scenario, folder)
    back = soft_in_range(portfolio)
    check(len(back) == len(converted) and all(same_number(a[2], b[2]) for a, b in zip(back, converted)),
          "with the rates back the soft transactions are not those of the first run")

    # A macro that takes its time makes the run last; Stop cuts it short.
    with open(os.path.join(folder, "DATA", "MACROS", "Trend.js"), "a") as file:
        file.write("\r\nfunction slow(x) { var t = new Date().getTime(); while (new Date().getTime() - t < 60) {} "
                   "return x; }\r\n")
    edit_system(system_file, 'Definition="ASSET_CLOSE(GIX;X)"', 'Definition="slow(ASSET_CLOSE(GIX;X))"')
    program = scenario.program(folder)

    def stop_the_run():
        progress = program.await_window("^Executing system", 60)
        program.settle(1)
        program.key("alt+s", window=progress)
        # The message box says in words that the transactions are incomplete.
        box = program.await_window("^Error$", 30)
        scenario.grab("stopped")
        told = "\n".join(program.window_texts("Error"))
        check("are incomplete" in told, "the message after the stop does not say the transactions are "
              "incomplete: %r" % told)
        program.key("Return", window=box)

    program.start(after_pick=stop_the_run)
    check(kept_run_state(portfolio) == "0000000000000000",
          "the stopped run is kept as %r" % kept_run_state(portfolio))

    # Leaving the Quotes tab is an occasion to run the changed systems.
    program.tab("Quotes")
    program.tab("Portfolios")
    program.await_window("^Executing system", 60)
    program.await_no_window("^Executing system", 90)
    program.settle(1)
    check(not program.windows("^Error$"), "the run after the stop reported an error")
    program.exit()
    complete = soft_in_range(portfolio)
    check(len(complete) == len(converted) and all(same_number(a[2], b[2]) for a, b in zip(complete, converted)),
          "the run after the stop left %d soft transactions, not the %d of a whole run"
          % (len(complete), len(converted)))
    check(kept_run_state(portfolio) not in (None, "0000000000000000"), "the whole run was not kept")

    # A macro that raises an error on some days gives those days an error
    # value, as any formula error: the run goes to its end and is kept, the
    # notice line names the macro once, and no box comes at the start nor
    # at the tab changes after it.
    with open(os.path.join(folder, "DATA", "MACROS", "Trend.js"), "a") as file:
        file.write("\r\nfunction picky(x, day) { if (Math.floor(day) % 3 == 0) throw new Error(\"no quote today\"); "
                   "return x; }\r\n")
    edit_system(system_file, 'Definition="slow(ASSET_CLOSE(GIX;X))"', 'Definition="picky(ASSET_CLOSE(GIX;X);X)"')
    program = scenario.program(folder)
    program.start()
    program.settle(3)
    check(not program.windows("^Error$"), "a macro raising on some days put up a box at the start")
    scenario.grab("macro-raised")
    for tab in ("Assets", "Quotes", "Transactions", "System", "Macros", "Portfolios", "Quotes", "Assets",
                "Transactions", "Portfolios"):
        program.tab(tab)
        check(not program.windows("^Error$"), "going to the %s tab put up a box" % tab)
    program.exit()
    picky = soft_in_range(portfolio)
    check(picky, "with a macro raising on every third day the run posted nothing")
    raised_days = [date_of(trade[0]) for trade in picky if math.floor(trade[0]) % 3 == 0]
    check(not raised_days, "rules fired on days their macro raised an error: %s" % raised_days[:3])
    check(kept_run_state(portfolio) not in (None, "0000000000000000"),
          "the run with a macro raising on some days was not kept")
    times = modification_times(folder)
    start_and_exit(scenario, folder)
    rewritten = [path for path, time in modification_times(folder).items()
                 if times.get(path) != time and ".TRN" in path]
    check(not rewritten, "the kept run ran again at the next start, rewriting %s" % rewritten[:3])

    # A rule naming the other portfolio by its index reads it: a purchase
    # there made ten times bigger on disk runs the system again at the next
    # start, and its fees, a share of that portfolio's value, grow.
    edit_system(system_file, 'Fees="1"', 'Fees="PORTFOLIO_NAV(0;X;1)/100000"')
    start_and_exit(scenario, folder)
    before = [trade for trade in soft_in_range(portfolio) if trade[1] > 0]
    check(before and all(trade[3] > 0 for trade in before), "the buys read no value of the other portfolio")
    purchase = os.path.join(folder, "DATA", "FOLIOS", "1", "1.TRN", "1.INI")
    with open(purchase, encoding="latin-1", newline="") as file:
        text = file.read()
    check("Units= 5.00000000000000E+0000" in text, "the other portfolio's first purchase changed")
    with open(purchase, "w", encoding="latin-1", newline="") as file:
        file.write(text.replace("Units= 5.00000000000000E+0000", "Units= 5.00000000000000E+0001", 1))
    start_and_exit(scenario, folder)
    after = [trade for trade in soft_in_range(portfolio) if trade[1] > 0]
    check(len(after) == len(before) and all(a[3] > b[3] for a, b in zip(after, before)),
          "with the other portfolio grown the buys' fees are %r, before %r" % (after[:3], before[:3]))

# The optimiser, from the Parameters page; places inside its dialog.
OPTIMIZE = (329, 79)
OBJECTIVE_BOX = (313, 34)
LOG_CHECK_BOX, LOG_PATH = (17, 182), (292, 182)
EXECUTE = (62, 395)
MAX_COLUMN_LOT = (208, 259)
OK_BUTTON = (279, 395)


def optimise_under_german_settings(scenario):
    """The sample system optimised under German settings with the objective
    typed as a German user types it (LOT*2,5): the runs' objectives and
    parameter values, logged with "." whatever the settings, are the
    replay's, and OK writes the Max column, the first of the best runs, into
    the parameters: the grid shows it in the user's spelling and the system
    file keeps it in the stored form."""
    folder = scenario.working_folder()
    portfolio = os.path.join(folder, "DATA", "FOLIOS", "2")
    system_file = os.path.join(portfolio, "System.INI")
    log_file = os.path.join(folder, "optimised.csv")
    system = read_ini(system_file)
    grids = []
    for name in ("DIP", "LOT"):
        entry = next(system["Param%d" % i] for i in range(1, int(system["Param"]["COUNT"]) + 1)
                     if system["Param%d" % i]["SYMBOL"].strip('"') == name)
        low, high, steps = float(entry["LOW"]), float(entry["HIGH"]), int(entry["STEPS"])
        grids.append([low + (high - low) * k / (steps - 1) for k in range(steps)])

    program = scenario.program(folder, german=True)
    program.start()
    program.click(*SECOND_PORTFOLIO)
    program.tab("System")
    program.click(*PARAMETERS_PAGE)
    program.click(*OPTIMIZE)
    dialog = program.await_window("^Optimize$")
    program.click(*OBJECTIVE_BOX, window=dialog)
    program.key("End", "shift+Home")
    program.type("LOT*2,5")
    program.click(*LOG_CHECK_BOX, window=dialog)
    program.click(*LOG_PATH, window=dialog)
    program.key("End", "shift+Home")
    program.type("Z:" + log_file.replace("/", "\\"))
    program.click(*EXECUTE, window=dialog)
    combinations = len(grids[0]) * len(grids[1])
    deadline = time.time() + 120
    lines = []
    while time.time() < deadline and len(lines) < combinations + 1:
        # The program writes the file's name in capitals.
        written = [name for name in os.listdir(folder) if name.lower() == os.path.basename(log_file)]
        if written:
            with open(os.path.join(folder, written[0])) as file:
                lines = file.read().splitlines()
        time.sleep(0.5)
    program.settle(2)
    scenario.grab("optimised")
    check(len(lines) == combinations + 1, "the log holds %d lines, not a header and %d runs" % (len(lines), combinations))
    check(lines[0] == "<OBJECTIVE>,DIP,LOT", "the log's header is %r" % lines[0])
    runs = [[float(x) for x in line.split(",")] for line in lines[1:]]
    # Every combination of the two grids once.
    check(sorted((round(d, 9), round(l, 9)) for _, d, l in runs) ==
          sorted((round(d, 9), round(l, 9)) for d in grids[0] for l in grids[1]),
          "the runs tried %r" % [(d, l) for _, d, l in runs])
    for objective, _, lot in runs:
        check(same_number(objective, lot * 2.5), "a run with LOT %r logged the objective %r" % (lot, objective))
    # Max keeps the first of equal objectives.
    best = next(run for run in runs if run[0] == max(objective for objective, _, _ in runs))

    program.click(*MAX_COLUMN_LOT, window=dialog)
    program.click(*OK_BUTTON, window=dialog)
    program.await_no_window("^Optimize$")
    program.click(*FIRST_VALUE)
    shown_dip = program.read_cell()
    program.key("Right")
    shown_lot = program.read_cell()
    german = lambda x: ("%.10g" % x).replace(".", ",")
    check((shown_dip, shown_lot) == (german(best[1]), german(best[2])),
          "OK put DIP %r and LOT %r into the grid, not the Max run's %s and %s"
          % (shown_dip, shown_lot, german(best[1]), german(best[2])))
    program.click(*COMMIT_CHANGES)
    program.exit()
    system = read_ini(system_file)
    stored = (parameter(system, "DIP"), parameter(system, "LOT"))
    check(same_number(stored[0], best[1]) and same_number(stored[1], best[2]),
          "the system file keeps DIP %r and LOT %r, not the Max run's %r and %r" % (stored + tuple(best[1:])))
