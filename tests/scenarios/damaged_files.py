"""A record file the program cannot take for what it should hold stays out
of the session and is left as it is: a transaction file emptied before the
start keeps its portfolio closed, the foot of the main window tells of it,
the Transactions window shows no line made up in its place, and the close
writes nothing into it nor into the rest of that portfolio; one cut short,
inside a line or at a line end, or whose section header lost a bracket is
met alike. Numbers typed
with a decimal comma, or with a letter O for a zero, are met alike, under
English and German settings, and a trading system's file cut in half,
emptied or with a rule lacking one of its keys is told of the same way and
not run."""
import datetime
import os
import re
import time

from driver import check, file_states, changed_files
from readout import region_pixels
from transactions import line_y, COLUMNS
from view_owners import settled_folder

# The Transactions window's All button and its button that sorts the
# current column downwards; the strip of the main window's foot where the
# notice line shows.
ALL_BUTTON = (612, 56)
SORT_DOWN = (299, 56)
NOTICE = (10, 748, 600, 12)


def check_notice_shown(program, scenario, failure="no notice showed at the foot of the main window"):
    """The notice line cannot be read back, only seen: a click on it lists
    what it told in a box and hides it, so the box shows, and the strip
    changes, only where one was shown."""
    notice = region_pixels(program, *NOTICE)
    scenario.grab("notice")
    program.click(NOTICE[0] + 300, NOTICE[1] + 5)
    deadline = time.time() + 10
    while not program.windows("^Notices$") and time.time() < deadline:
        time.sleep(0.1)
    boxes = program.windows("^Notices$")
    check(boxes, failure + " (no list of it at a click)")
    scenario.grab("notices")
    program.key("Return", window=boxes[0])
    program.await_no_window("^Notices$")
    check(region_pixels(program, *NOTICE) != notice, failure)


def emptied_transaction(scenario):
    folder = settled_folder(scenario)
    growth = os.path.join("DATA", "FOLIOS", "1")
    emptied = os.path.join(folder, growth, "1.TRN", "1.INI")
    # The Growth Portfolio's first purchase.
    open(emptied, "wb").close()
    before = file_states(folder)

    program = scenario.program(folder)
    program.start()
    check("Growth Portfolio" not in program.title(),
          "the portfolio of the emptied file was opened: %r" % program.title())
    # The notice line goes at a click; what showed there goes with it.
    check_notice_shown(program, scenario)

    # A line made up in the file's place would be dated at the start: the
    # newest of all lines, with nothing bought, paid or charged.
    program.tab("Transactions")
    program.click(*ALL_BUTTON)
    program.click(COLUMNS["Date"], line_y(1))
    program.click(*SORT_DOWN)
    program.key("ctrl+Home")
    scenario.grab("newest-first")
    newest = {}
    for column in ("Units", "Value", "Fees"):
        program.click(COLUMNS[column], line_y(1))
        newest[column] = program.read_cell()
    check(all(re.fullmatch(r"-?[\d.,]+", text) for text in newest.values()),
          "the newest line's amounts do not read as numbers: %r" % newest)
    check(any(float(text.replace(",", "")) != 0 for text in newest.values()),
          "the newest line holds nothing: %r, as a line made up at %s would" % (newest, datetime.date.today()))
    program.exit()

    with open(emptied, "rb") as file:
        check(file.read() == b"", "the close wrote into the emptied transaction file")
    # The Retirement Account, the one portfolio open, runs its system and
    # keeps its window's order as at any start; nothing else is written.
    changed = [path for path in changed_files(before, file_states(folder))
               if not path.startswith(os.path.join("DATA", "FOLIOS", "2") + os.sep)]
    check(not changed, "files outside the open portfolio were written: %s" % changed)


def cut_transaction(scenario):
    """The Growth Portfolio's first purchase cut short inside its Value line
    before the start, as a copy broken off leaves it: it still reads as
    settings, with its value cut to its first digits and its fees gone. The
    portfolio stays closed, the foot of the main window tells of it, and
    the close writes nothing into the file nor into the rest of that
    portfolio."""
    folder = settled_folder(scenario)
    cut = os.path.join(folder, "DATA", "FOLIOS", "1", "1.TRN", "1.INI")
    with open(cut, "rb") as file:
        whole = file.read()
    check(b"Value= 1.9755" in whole, "the first purchase's value changed: %r" % whole)
    kept = whole[:whole.index(b"Value= 1.97") + len(b"Value= 1.97")]
    with open(cut, "wb") as file:
        file.write(kept)
    before = file_states(folder)

    program = scenario.program(folder)
    program.start()
    check("Growth Portfolio" not in program.title(),
          "the portfolio of the cut transaction file was opened: %r" % program.title())
    check_notice_shown(program, scenario, "no notice told of the cut transaction file")
    program.exit()

    with open(cut, "rb") as file:
        check(file.read() == kept, "the close wrote into the cut transaction file")
    changed = [path for path in changed_files(before, file_states(folder))
               if not path.startswith(os.path.join("DATA", "FOLIOS", "2") + os.sep)]
    check(not changed, "files outside the open portfolio were written: %s" % changed)


def damaged_record(scenario, relative, damage, what):
    """A record of the Growth Portfolio damaged before the start so that it
    still reads as settings, with values missing: the portfolio stays
    closed, the foot of the main window tells of it, and the close writes
    nothing into the file nor into the rest of that portfolio."""
    folder = settled_folder(scenario)
    path = os.path.join(folder, "DATA", "FOLIOS", "1", *relative)
    with open(path, "rb") as file:
        damaged = damage(file.read())
    with open(path, "wb") as file:
        file.write(damaged)
    before = file_states(folder)

    program = scenario.program(folder)
    program.start()
    check("Growth Portfolio" not in program.title(),
          "the portfolio of the %s was opened: %r" % (what, program.title()))
    check_notice_shown(program, scenario, "no notice told of the %s" % what)
    program.exit()

    with open(path, "rb") as file:
        check(file.read() == damaged, "the close wrote into the %s" % what)
    changed = [changed for changed in changed_files(before, file_states(folder))
               if not changed.startswith(os.path.join("DATA", "FOLIOS", "2") + os.sep)]
    check(not changed, "files outside the open portfolio were written: %s" % changed)


def cut_after(marker):
    def cut(whole):
        check(marker in whole, "the file holds no %r: %r" % (marker, whole))
        return whole[:whole.index(marker) + len(marker)]
    return cut


def header_cut_at_a_line_end(scenario):
    """The header cut just after its Strategy line, as a copy broken off at
    a line's end leaves it: its target return and sizes are gone."""
    damaged_record(scenario, ["0.INI"], cut_after(b"Strategy=growth\r\n"), "header cut at a line end")


def asset_cut_at_a_line_end(scenario):
    """Nordwind's file cut just after its allocation: its own properties
    and sizes are gone."""
    damaged_record(scenario, ["1.INI"], cut_after(b"Other= 0.00000000000000E+0000\r\n"),
                   "asset file cut at a line end")


def header_lost_a_bracket(scenario):
    """The header's [CustomProperties] lost its closing bracket: strategy
    and target return fell into the section before."""
    def damage(whole):
        check(b"[CustomProperties]" in whole, "the header holds no properties: %r" % whole)
        return whole.replace(b"[CustomProperties]", b"[CustomProperties", 1)
    damaged_record(scenario, ["0.INI"], damage, "header that lost a bracket")


def transaction_lost_a_bracket(scenario):
    """The first purchase's [CustomProperties] lost its opening bracket:
    its comment fell into the transaction's own section."""
    def damage(whole):
        check(b"[CustomProperties]" in whole, "the purchase holds no comment: %r" % whole)
        return whole.replace(b"[CustomProperties]", b"CustomProperties]", 1)
    damaged_record(scenario, ["1.TRN", "1.INI"], damage, "transaction that lost a bracket")


def damaged_currency_table(scenario):
    """A currency table saved again in another encoding gives no rate: the
    values it converts stay blank, and the foot of the main window tells
    why; the close leaves the table as it is."""
    folder = settled_folder(scenario)
    table = os.path.join(folder, "DATA", "FOREX", "EURtoUSD.CSV")
    with open(table, "rb") as file:
        damaged = file.read().decode("latin-1").encode("utf-16")
    with open(table, "wb") as file:
        file.write(damaged)

    program = scenario.program(folder)
    program.start()
    check_notice_shown(program, scenario, "no notice told of the damaged currency table")
    program.exit()

    with open(table, "rb") as file:
        check(file.read() == damaged, "the close wrote into the damaged currency table")


def comma_numbers(scenario, german=False):
    folder = settled_folder(scenario)
    growth = os.path.join(folder, "DATA", "FOLIOS", "1")
    # Nordwind's allocation and first purchase as typed under German
    # settings; Helvetia's stocks with a letter O for the exponent's zero.
    typed = {os.path.join(growth, "1.INI"): {b"Stocks": b"62,5", b"Bonds": b"37,5"},
             os.path.join(growth, "2.INI"): {b"Stocks": b" 1.0000000000000OE+0002"},
             os.path.join(growth, "1.TRN", "1.INI"): {b"Fees": b"4,9"}}
    for path, values in typed.items():
        with open(path, "rb") as file:
            text = file.read()
        for key, value in values.items():
            text, count = re.subn(rb"(?m)^" + key + rb"=[^\r\n]*", key + b"=" + value, text)
            check(count == 1, "%s holds no line for %s" % (path, key.decode()))
        with open(path, "wb") as file:
            file.write(text)
    before = file_states(folder)

    program = scenario.program(folder, german=german)
    program.start()
    check("Growth Portfolio" not in program.title(),
          "the portfolio with numbers that do not read was opened: %r" % program.title())
    check_notice_shown(program, scenario)
    for tab in ("Assets", "Quotes", "Transactions"):
        program.tab(tab)
        scenario.grab(tab.lower())
    program.exit()

    after = file_states(folder)
    for path in typed:
        relative = os.path.relpath(path, folder)
        check(after[relative] == before[relative], "the close wrote into %s" % relative)
    changed = [path for path in changed_files(before, after)
               if not path.startswith(os.path.join("DATA", "FOLIOS", "2") + os.sep)]
    check(not changed, "files outside the open portfolio were written: %s" % changed)


def comma_numbers_german(scenario):
    comma_numbers(scenario, german=True)


def damaged_system(scenario, damage):
    """The Retirement Account's system file cut in half before the start
    names fewer symbols than its count and no parameters; emptied, it names
    nothing at all. Either is told of at the foot of the main window and not
    run, so its soft transactions keep their bytes, and the close leaves the
    system file as it was."""
    folder = settled_folder(scenario)
    system_file = os.path.join(folder, "DATA", "FOLIOS", "2", "System.INI")
    with open(system_file, "rb") as file:
        whole = file.read()
    damaged = damage(whole)
    with open(system_file, "wb") as file:
        file.write(damaged)
    before = file_states(folder)

    program = scenario.program(folder)
    program.start()
    program.settle(3)
    check_notice_shown(program, scenario)
    program.exit()

    with open(system_file, "rb") as file:
        check(file.read() == damaged, "the close wrote into the damaged system file")
    changed = changed_files(before, file_states(folder))
    check(not changed, "the start and close with the damaged system file wrote %s" % changed)


def system_cut_in_half(scenario):
    damaged_system(scenario, lambda whole: whole[:len(whole) // 2])


def system_emptied(scenario):
    damaged_system(scenario, lambda whole: b"")


def without_rule_key(whole, key):
    """The first rule of the system file without one of its keys, taken out
    by hand or by damage: run as it reads, the rule would be inactive and
    every buy it made gone."""
    rule = whole.index(b"[Rule1]")
    start = whole.index(key + b"=", rule)
    check(start < whole.index(b"[Rule2]"), "the first rule holds no %r" % key)
    return whole[:start] + whole[whole.index(b"\r\n", start) + 2:]


def system_rule_lacks_fees(scenario):
    damaged_system(scenario, lambda whole: without_rule_key(whole, b"Fees"))


def system_rule_lacks_units(scenario):
    damaged_system(scenario, lambda whole: without_rule_key(whole, b"Units"))
