"""A session driven by the keyboard alone: the pick dialog accepted with
Enter, the tabs changed with Ctrl+Tab and text typed into the grids. The
keys must reach the grid of the tab shown and no other, so the files show
exactly the edits made where the user saw them. Then what is typed and not
confirmed: a refused text stays in its cell, told once, and a number left in
its editor at Alt+F4 is saved."""
import glob
import os
import time

from driver import check
from sample import read_ini

# Below the first object's fixed name: the Portfolios window's custom
# "Strategy" field and the Assets window's custom "Broker" field.
STRATEGY_STEPS = 7
BROKER_STEPS = 14
# The Quotes window's "Close", which no one can type into.
CLOSE_STEPS = 2
# The Portfolios window's custom "Target return", below "Strategy".
TARGET_RETURN_STEPS = 8


def model_sections(path):
    """A settings file without its view properties (line sizes and order),
    which a tab change may write."""
    return {name: keys for name, keys in read_ini(path).items() if name != "ExternalProperties"}


def model_files(folder):
    """Every portfolio, asset and hard transaction file of the portfolios:
    the soft transactions are the trading systems' own, run again at start."""
    folios = os.path.join(folder, "DATA", "FOLIOS")
    files = {}
    for path in glob.glob(os.path.join(folios, "[0-9]*", "[0-9]*.INI")):
        files[os.path.relpath(path, folios)] = model_sections(path)
    for path in glob.glob(os.path.join(folios, "[0-9]*", "*.TRN", "*.INI")):
        sections = model_sections(path)
        if sections.get("Transaction", {}).get("SOFT") != "1":
            files[os.path.relpath(path, folios)] = sections
    return files


def type_into_current_cell(program, text):
    program.key("Return", "End", "shift+Home")
    program.type(text)
    program.key("Return")


def tabs_and_grids(scenario):
    folder = scenario.working_folder()
    before = model_files(folder)
    program = scenario.program(folder)
    program.start(pick="Return")

    # No click: the Portfolios grid has the keys once the dialog is gone.
    program.key("ctrl+Home", *(["Down"] * STRATEGY_STEPS))
    type_into_current_cell(program, "keyed strategy")
    scenario.grab("portfolios-typed")

    program.key("ctrl+Tab")
    program.settle(1)
    program.key("ctrl+Home", *(["Down"] * BROKER_STEPS))
    type_into_current_cell(program, "keyed broker")
    scenario.grab("assets-typed")

    # Typed where nothing can be typed: the Assets grid left behind must
    # not take these keys.
    program.key("ctrl+Tab")
    program.settle(1)
    program.key("ctrl+Home", *(["Down"] * CLOSE_STEPS))
    program.type("GBP")
    program.key("Return", "Escape")
    scenario.grab("quotes-typed")

    # On to Transactions and back round to Portfolios: arrows on the way
    # move only the grid shown.
    program.key("ctrl+Tab")
    program.settle(1)
    program.key("Down", "Down", "Escape")
    program.key("ctrl+shift+Tab", "ctrl+shift+Tab", "ctrl+shift+Tab")
    program.settle(1)
    program.key("Escape")
    program.exit()

    after = model_files(folder)
    changed = sorted(path for path in set(before) | set(after) if before.get(path) != after.get(path))
    check(len(changed) == 2, "the session changed %d portfolio files, not the two typed into: %s"
          % (len(changed), changed))
    strategies = [p for p in changed if after[p].get("CustomProperties", {}).get("STRATEGY") == "keyed strategy"]
    brokers = [p for p in changed if after[p].get("CustomProperties", {}).get("BROKER") == "keyed broker"]
    check(len(strategies) == 1 and os.path.basename(strategies[0]) == "0.INI",
          "no portfolio took the strategy typed into the Portfolios grid: %s" % changed)
    check(len(brokers) == 1 and os.path.basename(brokers[0]) != "0.INI",
          "no asset took the broker typed into the Assets grid: %s" % changed)
    for path in changed:
        for section, keys in after[path].items():
            old = before[path].get(section, {})
            differing = sorted(k for k in set(keys) | set(old) if keys.get(k) != old.get(k))
            check(differing in ([], ["STRATEGY"], ["BROKER"]),
                  "%s [%s] changed beyond the typed field: %s" % (path, section, differing))


def error_boxes(program, seconds):
    """The most "Error" message boxes seen at once within the time."""
    most = 0
    deadline = time.time() + seconds
    while time.time() < deadline:
        most = max(most, len(program.windows("^Error$")))
        time.sleep(0.1)
    return most


def editor_text(program):
    """The text of the editor that has the keys, copied."""
    return program.copied("End", "shift+Home", "ctrl+c")


def typed_and_left(scenario):
    folder = scenario.working_folder()
    before = model_files(folder)
    program = scenario.program(folder)
    program.start(pick="Return")
    program.key("ctrl+Home", *(["Down"] * TARGET_RETURN_STEPS))
    target = program.read_cell()
    check(target == "0.075", "the first portfolio's Target return shows %r, not 0.075" % target)
    header = os.path.join(folder, "DATA", "FOLIOS", "1", "0.INI")

    # A text that is no number, then Ctrl+Tab: one message, and the user
    # stays in the cell with the text.
    program.type("abc")
    program.key("ctrl+Tab")
    message = program.await_window("^Error$", 10)
    scenario.grab("refused-at-ctrl-tab")
    check(error_boxes(program, 1.5) == 1, "more than one message for one refused text")
    program.key("Return", window=message)
    program.await_no_window("^Error$", 10)
    check(error_boxes(program, 1.5) == 0, "a second message followed the first")
    kept = editor_text(program)
    check(kept == "abc", "after the message the editor holds %r, not the text typed" % kept)
    # Esc gives it up: the cell of the tab still shown is as it was.
    program.key("Escape")
    shown = program.read_cell()
    check(shown == "0.075", "after Esc the cell shows %r, not 0.075" % shown)

    # A number typed and not confirmed, then Alt+F4: saved with the rest,
    # under German settings too, in the files' one form.
    for german, typed, stored in ((False, "0.5", "0.5"), (True, "0,25", "0.25")):
        if german:
            program = scenario.program(folder, german=True)
            program.start(pick="Return")
            program.key("ctrl+Home", *(["Down"] * TARGET_RETURN_STEPS))
        program.type(typed)
        scenario.grab("left-in-editor")
        program.exit()
        kept = read_ini(header).get("CustomProperties", {}).get("TARGETRETURN")
        check(kept == stored, "after Alt+F4 the file holds Target return %r, not %s" % (kept, stored))

    # Nothing else reached a portfolio's files: not the refused text, not
    # another portfolio.
    after = model_files(folder)
    changed = sorted(path for path in set(before) | set(after) if before.get(path) != after.get(path))
    check(changed == [os.path.join("1", "0.INI")], "the session changed %s, not the one portfolio typed into"
          % changed)
    differing = sorted(key for key in set(after[changed[0]].get("CustomProperties", {})) |
                       set(before[changed[0]].get("CustomProperties", {}))
                       if after[changed[0]]["CustomProperties"].get(key) !=
                       before[changed[0]]["CustomProperties"].get(key))
    check(differing == ["TARGETRETURN"], "the portfolio's custom properties changed beyond Target return: %s"
          % differing)
