"""A close with nothing changed writes no portfolio header: one made
read-only (an archived portfolio, a read-only share) raises no question at
Alt+F4, and a custom property another program wrote into a header while the
program ran is still there afterwards, both files byte for byte and with
their modification times. A read-only file that a change goes into is
asked about once at the close."""
import os
import stat
import subprocess
import time

from damaged_files import check_notice_shown
from date_window import DAYS_BOX
from driver import check, changed_files, file_states, files_in, modification_times, wine_binary
from sample import read_ini
from tab_visits import EVERY_TAB
from transactions import ASSET_LIST
from view_owners import folios, settled_folder


def header(folder, number):
    return os.path.join(folios(folder), str(number), "0.INI")


def make_read_only(program, path):
    """The Windows read-only attribute as Wine shows it: no write bits. Root,
    whom the scenarios run as, could still write the file, but the program
    never replaces a file that has the attribute, as Windows would not."""
    os.chmod(path, os.stat(path).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))
    shown = subprocess.run([wine_binary("wine"), "cmd", "/c", "attrib", "Z:" + path.replace("/", "\\")],
                           env=program.environment, capture_output=True, text=True, timeout=60).stdout
    check(" R " in shown, "Wine does not show %s as read-only: %r" % (path, shown))


def make_writable(path):
    os.chmod(path, os.stat(path).st_mode | stat.S_IWUSR)


def edit_by_hand(path, old, new):
    with open(path, "rb") as file:
        text = file.read()
    check(old in text, "the header %s holds no %r" % (path, old))
    with open(path, "wb") as file:
        file.write(text.replace(old, new))


def state(path):
    with open(path, "rb") as file:
        return file.read(), os.stat(path).st_mtime_ns


def close_without_question(program, seconds=60):
    """Alt+F4; the program must end and show no message meanwhile. A
    program still running is ended by the scenario's close."""
    program.key("alt+F4", window=program.main)
    deadline = time.time() + seconds
    while program.running() and time.time() < deadline:
        check(not program.windows("^Error$"), "the unchanged close asked about a failed save")
        time.sleep(0.2)
    check(not program.running(), "the program did not end within %d s of Alt+F4" % seconds)
    program.end_prefix()


def close_with_continue(program, scenario, seconds=60):
    """Alt+F4 where a save must fail: the question names the files once, and
    one Continue ends the program."""
    program.key("alt+F4", window=program.main)
    question = program.await_window("^Error$", seconds)
    scenario.grab("question")
    program.key("c", window=question)
    deadline = time.time() + seconds
    while program.running() and time.time() < deadline:
        check(not program.windows("^Error$"), "the close asked again about the file left unsaved")
        time.sleep(0.2)
    check(not program.running(), "the program did not end within %d s of Continue" % seconds)
    program.end_prefix()


def read_only_growth(program, folder):
    """Every file of the Growth Portfolio made read-only, as an archive or a
    read-only share holds them; their paths."""
    growth = os.path.join(folios(folder), "1")
    files = [path for _, path in files_in(growth)]
    for path in files:
        os.chmod(path, os.stat(path).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))
    make_read_only(program, header(folder, 1))
    return files


def read_only_header(scenario):
    folder = settled_folder(scenario)
    archived, edited = header(folder, 2), header(folder, 1)
    program = scenario.program(folder)
    program.start()
    make_read_only(program, archived)
    edit_by_hand(edited, b"TargetReturn=0.075", b"TargetReturn=0.09")
    before = {path: state(path) for path in (archived, edited)}
    # Looked at, nothing changed.
    for tab in ("Assets", "Transactions", "Portfolios"):
        program.tab(tab)
    close_without_question(program)
    after = {path: state(path) for path in (archived, edited)}
    for path in (archived, edited):
        check(after[path][0] == before[path][0], "the close wrote into %s" % path)
        check(after[path][1] == before[path][1], "the close rewrote %s (its time changed)" % path)
    check(read_ini(edited)["CustomProperties"]["TARGETRETURN"] == "0.09", "the hand edit went back")
    make_writable(archived)


def read_only_controls(scenario):
    """The Portfolios window's dates go into a settings file made read-only:
    Alt+F4 names it once, and one Continue ends the program with the file
    as it was."""
    folder = settled_folder(scenario)
    controls = os.path.join(folios(folder), "FolioControls.INI")
    program = scenario.program(folder)
    program.start()
    make_read_only(program, controls)
    before = state(controls)
    program.click(*DAYS_BOX)
    program.key("End", "shift+Home")
    program.type("30")
    program.key("Return")
    close_with_continue(program, scenario)
    check(state(controls) == before, "the read-only %s was written" % controls)
    make_writable(controls)


def damaged_field_file(scenario):
    """The Portfolios window's field file damaged by hand (a field's header
    lost its bracket, a size is gone): the start names it at the foot of
    the main window, and a close with nothing changed leaves it as it is,
    asking nothing. It was once rewritten from what could be read of it,
    the field after the damage lost for good."""
    folder = settled_folder(scenario)
    fields = os.path.join(folios(folder), "FolioFields.INI")
    edit_by_hand(fields, b"\r\n[9]\r\n", b"\r\n9]\r\n")
    edit_by_hand(fields, b"ColWiseFixedWidth=120\r\n", b"")
    before = state(fields)
    program = scenario.program(folder)
    program.start()
    check_notice_shown(program, scenario)
    close_without_question(program)
    check(state(fields) == before, "the close wrote the damaged %s" % fields)


def read_only_portfolio(scenario):
    """Every file of the Growth Portfolio read-only (an archive, a read-only
    share), each tab that shows it looked at, an asset picked on the
    Transactions tab: Alt+F4 asks nothing and ends the program, and every
    file keeps its bytes and its time. The line order and the grid's
    default sizes a look once stored asked about every asset, transaction
    and field file at each close."""
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    program = scenario.program(folder)
    program.start()
    files = read_only_growth(program, folder)
    before = {path: state(path) for path in files}
    for tab in ("Assets", "Quotes", "Transactions"):
        program.tab(tab)
    program.click(*ASSET_LIST)
    program.key("Down", "Return")
    program.settle(1)
    scenario.grab("asset-picked")
    program.tab("Portfolios")
    close_without_question(program)
    changed = sorted(os.path.relpath(path, growth) for path in files if state(path) != before[path])
    for path in files:
        make_writable(path)
    check(not changed, "the close wrote into the read-only portfolio: %s" % changed)


def read_only_portfolio_first_look(scenario):
    """The Growth Portfolio, whose Quotes, Transactions and System tabs were
    never looked at, with every file read-only (an archive, a read-only
    share): every tab looked at for the first time, Alt+F4 asks nothing and
    ends the program, and its folder holds the files it held, each with its
    bytes and its time. The first look once made the layout files of the
    Quotes and Transactions windows there."""
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    program = scenario.program(folder)
    program.start()
    files = read_only_growth(program, folder)
    states, times = file_states(growth), modification_times(growth)
    for tab in EVERY_TAB:
        program.tab(tab)
    scenario.grab("every-tab-looked-at")
    close_without_question(program)
    changed = changed_files(states, file_states(growth))
    touched = sorted(path for path, time in modification_times(growth).items() if times.get(path) != time)
    for path in files:
        make_writable(path)
    check(not changed, "the first look at the read-only portfolio made or changed %s" % changed)
    check(not touched, "the first look at the read-only portfolio wrote %s again as they stood" % touched)
