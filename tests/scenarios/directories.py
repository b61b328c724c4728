"""The directory set-up switched at run time to a second working folder and
back: each time every window shows that folder's portfolios, and neither
folder's files change while the program works in the other. At the start,
the set-up asks for what a list that cannot be read did not give."""
import os
import time

from driver import check, file_states, changed_files
from readout import add_readout_fields, pixel_value
from sample import read_ini

SETUP_BUTTON = (977, 32)
# Places inside the directory set-up dialog and the directory picker.
BROWSE_X, FIRST_ROW_Y, ROW_HEIGHT = 435, 37, 28
DIRECTORIES_OK = (501, 42)
FIRST_PORTFOLIO = (190, 123)
PICKER_EDIT, PICKER_OK = (221, 333), (398, 365)
# The rows of the set-up dialog, top to bottom, with their places in a working folder.
ROWS = [("<DATA>", "DATA"), ("<FOLIOS>", "DATA/FOLIOS"), ("<DLISTS>", "DATA/DLISTS"),
        ("<FOREX>", "DATA/FOREX"), ("<QUOTES>", "DATA/QUOTES"), ("<MACROS>", "DATA/MACROS"),
        ("<SCRIPTS>", "SCRIPTS"), ("<GALLERY>", "DATA/GALLERY"), ("<WEBS>", "DATA/WEBS"),
        ("<BMPS>", "DATA/BMPS"), ("<TEMP>", "TEMP")]


def windows_path(folder):
    return "Z:" + os.path.abspath(folder).replace("/", "\\") + "\\"


def name_directory(program, dialog, row, folder):
    """A row of the set-up dialog pointed into the folder through its
    browse button."""
    placeholder, place = ROWS[row]
    program.click(BROWSE_X, FIRST_ROW_Y + ROW_HEIGHT * row, window=dialog)
    picker = program.await_window("^%s$" % placeholder)
    program.click(*PICKER_EDIT, window=picker)
    program.key("End", "shift+Home")
    program.type(windows_path(os.path.join(folder, place)))
    program.click(*PICKER_OK, window=picker)
    program.await_no_window("^%s$" % placeholder)


def set_directories(program, folder):
    """Every row of the set-up dialog pointed into the folder through its
    browse button, then OK; the portfolios of the folder are loaded."""
    program.click(*SETUP_BUTTON)
    dialog = program.await_window("^Directories$")
    for row in range(len(ROWS)):
        name_directory(program, dialog, row, folder)
    program.scenario.grab("directories-" + os.path.basename(folder))
    program.click(*DIRECTORIES_OK, window=dialog)
    picker = program.await_window("^Loaded portfolios$", 60)
    program.settle(0.5)
    program.key("Return", window=picker)
    program.settle(2)
    # The first portfolio picked, so that the title names it.
    program.tab("Portfolios")
    program.click(*FIRST_PORTFOLIO)


def mark_folder(folder, mark):
    """A read-out field holding the folder's mark in Portfolios and Assets,
    so that each window tells which folder its view came from."""
    folios = os.path.join(folder, "DATA", "FOLIOS")
    (portfolio_row,) = add_readout_fields(os.path.join(folios, "FolioFields.INI"), [("Folder", str(mark))])
    (asset_row,) = add_readout_fields(os.path.join(folios, "1", "AssetFields.INI"), [("Folder", str(mark))])
    return portfolio_row, asset_row


def shown_marks(program, rows):
    portfolio_row, asset_row = rows
    program.tab("Portfolios")
    portfolios = pixel_value(program, 200, 108 + 16 * portfolio_row)
    program.tab("Assets")
    assets = pixel_value(program, 185, 108 + 16 * asset_row)
    program.tab("Portfolios")
    return portfolios, assets


def portfolio_name(folder):
    return read_ini(os.path.join(folder, "DATA", "FOLIOS", "1", "0.INI"))["Portfolio"]["NAME"]


def rename_first_portfolio(folder, name):
    path = os.path.join(folder, "DATA", "FOLIOS", "1", "0.INI")
    with open(path, "rb") as file:
        text = file.read().replace(b"Name=Growth Portfolio", b"Name=" + name.encode())
    with open(path, "wb") as file:
        file.write(text)


def switch_and_back(scenario):
    first = scenario.working_folder("first")
    second = scenario.working_folder("second")
    rename_first_portfolio(second, "Second Folder Growth")
    rows = mark_folder(first, 1)
    check(mark_folder(second, 2) == rows, "the two folders' read-outs lie on different rows")
    not_listed = ("program", "Kestrova.INI")

    program = scenario.program(first)
    program.start()
    check(program.title() == "Kestrova: Growth Portfolio", "the first folder shows %r" % program.title())
    check(shown_marks(program, rows) == (1, 1), "Portfolios and Assets show the marks %r of the first folder"
          % (shown_marks(program, rows),))

    set_directories(program, second)
    check(program.title() == "Kestrova: Second Folder Growth",
          "after the set-up to the second folder the program shows %r" % program.title())
    marks = shown_marks(program, rows)
    check(marks == (2, 2), "after the set-up to the second folder Portfolios and Assets show the folder marks %r" % (marks,))
    first_left = file_states(first, skip=not_listed)
    for tab in ("Assets", "Transactions", "Portfolios"):
        program.tab(tab)
    check(not changed_files(first_left, file_states(first, skip=not_listed)),
          "working in the second folder changed the first folder's %s"
          % changed_files(first_left, file_states(first, skip=not_listed)))

    set_directories(program, first)
    check(program.title() == "Kestrova: Growth Portfolio",
          "back in the first folder the program shows %r" % program.title())
    marks = shown_marks(program, rows)
    check(marks == (1, 1), "back in the first folder Portfolios and Assets show the folder marks %r" % (marks,))
    second_left = file_states(second)
    for tab in ("Assets", "Transactions", "Portfolios"):
        program.tab(tab)
    program.exit()

    check(not changed_files(second_left, file_states(second)),
          "working in the first folder changed the second folder's %s"
          % changed_files(second_left, file_states(second)))
    check(portfolio_name(first) == "Growth Portfolio" and portfolio_name(second) == "Second Folder Growth",
          "the folders' first portfolios are now named %r and %r" % (portfolio_name(first), portfolio_name(second)))
    listed = read_ini(os.path.join(first, "Kestrova.INI"))["Directories"]
    check(listed.get("<FOLIOS>", "").upper() == windows_path(os.path.join(first, "DATA/FOLIOS")).upper(),
          "the directory list names %r for the portfolios" % listed.get("<FOLIOS>"))


def utf16_list_at_the_start(scenario):
    """The directory list saved again as UTF-16 (an editor's "Unicode")
    gives no directory: the start says why, the directory set-up then asks
    for the two that have no default, and the program goes on to its
    portfolios and ends cleanly at Alt+F4. It once crashed as soon as the
    message was answered."""
    folder = scenario.working_folder()
    listed = os.path.join(folder, "Kestrova.INI")
    with open(listed, "rb") as file:
        damaged = file.read().decode("latin-1").encode("utf-16")
    with open(listed, "wb") as file:
        file.write(damaged)
    program = scenario.program(folder)

    def name_the_missing_directories():
        told = program.await_window("^Error$", 90)
        scenario.grab("told")
        program.key("Return", window=told)
        dialog = program.await_window("^Directories$", 60)
        scenario.grab("set-up")
        for row, (placeholder, _) in enumerate(ROWS):
            if placeholder in ("<GALLERY>", "<WEBS>"):
                name_directory(program, dialog, row, folder)
        program.click(*DIRECTORIES_OK, window=dialog)
        # A list that cannot take the directories says so; the start goes
        # on with them.
        deadline = time.time() + 60
        while not program.windows("^Loaded portfolios$") and time.time() < deadline:
            check(program.running(), "the program ended after the directory set-up")
            failed = program.windows("^Error$")
            if failed:
                scenario.grab("not-saved")
                program.key("Return", window=failed[0])
            time.sleep(0.2)

    program.start(before_pick=name_the_missing_directories)
    check(program.title().startswith("Kestrova"), "the main window shows %r" % program.title())
    # The close asks about the list that did not take the directories; the
    # user saves it again as ANSI text meanwhile, and Try Again writes them,
    # so that the next start asks for nothing.
    program.key("alt+F4", window=program.main)
    question = program.await_window("^Error$", 60)
    scenario.grab("close-question")
    with open(listed, "wb") as file:
        file.write(damaged.decode("utf-16").encode("latin-1"))
    program.key("t", window=question)
    deadline = time.time() + 60
    while program.running() and time.time() < deadline:
        time.sleep(0.2)
    check(not program.running(), "the program did not end within 60 s of Try Again: the close asked again")
    program.end_prefix()
    with open(listed, "rb") as file:
        written = file.read().decode("latin-1")
    for placeholder in ("<GALLERY>", "<WEBS>"):
        check(placeholder in written, "the list does not name %s after Try Again" % placeholder)

    again = scenario.program(folder)

    def nothing_asked():
        deadline = time.time() + 90
        while not again.windows("^Loaded portfolios$") and time.time() < deadline:
            check(not again.windows("^Directories$") and not again.windows("^Error$"),
                  "the next start asked again for the directories")
            time.sleep(0.2)

    again.start(before_pick=nothing_asked)
    again.exit()
