"""Macros written in the Macros window and used in fields: a function's
value, a function failing at run time, and an endless one that the user
can stop without the program hanging."""
import os
import time

from driver import check
from readout import add_readout_fields, pixel_value

FIRST_PACKAGE = (40, 98)
SECOND_PORTFOLIO = (330, 123)
SELECTED_PACKAGE_TAB = (219, 53)
ACTIVE_MACROS_TAB = (288, 53)
EDITOR_BELOW_TEXT = (600, 250)
ASSET_COLUMN_X = 185


def append_to_first_package(program, source):
    """The source typed at the end of the first package; leaving the editor
    for the Assets tab saves the package and reloads the macros."""
    program.tab("Macros")
    program.click(*FIRST_PACKAGE)
    program.settle(0.5)
    # A package already selected stays behind the tab last shown.
    program.click(*SELECTED_PACKAGE_TAB)
    program.click(*EDITOR_BELOW_TEXT)
    program.key("ctrl+End", "Return")
    program.type(source)
    program.scenario.grab("macro-typed")
    program.tab("Assets")
    program.settle(1)


def marked_active_line(program):
    """The text marked on the "Active macros" tab, copied from its editor."""
    program.tab("Macros")
    program.click(*ACTIVE_MACROS_TAB)
    program.settle(0.5)
    text = program.copied("ctrl+c")
    program.tab("Assets")
    return text


def readout(program, row):
    return pixel_value(program, ASSET_COLUMN_X, 108 + 16 * row)


def write_call_and_stop(scenario):
    folder = scenario.working_folder()
    # Only the read-outs in the rows the Assets tab shows are computed.
    doubled_row, broken_row = add_readout_fields(
        os.path.join(folder, "DATA", "FOLIOS", "1", "AssetFields.INI"),
        [("Macro read-out", "doubled(21)"), ("Failing read-out", "broken(1)")])

    program = scenario.program(folder)
    program.start()
    append_to_first_package(program, "function doubled(x) { return 2 * x; }\n"
                                     "function broken(x) { return x.missing.deeper; }\n")
    check(readout(program, doubled_row) == 42, "the field calling the new macro shows %r, not 42"
          % readout(program, doubled_row))
    check(readout(program, broken_row) is None, "the field calling the failing macro shows the value %r"
          % readout(program, broken_row))
    marked = marked_active_line(program)
    check(marked == "function broken(x) { return x.missing.deeper; }",
          "the Macros window marks %r, not the line of the run-time error" % marked)
    with open(os.path.join(folder, "DATA", "MACROS", "Trend.js")) as file:
        check("function doubled(x)" in file.read(), "the package file does not hold the new macro")

    # The failing read-out's function made endless (the last definition
    # counts) runs as the Assets tab is entered again; the user presses Esc
    # (and Esc on any window offering Stop) and the program must answer
    # again, with the other macro's value kept.
    append_to_first_package(program, "function broken(x) { while (true) {} }\n")
    time.sleep(5)
    scenario.grab("endless")
    check(program.windows("^Macros$"), "no stop window shows while the endless macro runs")
    program.key("Escape")
    for window in program.windows("."):
        if window != program.main and program.title(window):
            program.key("Escape", window=window)
    check(program.running(), "the program ended while the endless macro ran")
    program.settle(2)
    check(not program.windows("^Macros$"), "the stop window stays or shows again after Stop")
    check(readout(program, doubled_row) == 42, "after the stop the field calling another macro shows %r, not 42"
          % readout(program, doubled_row))

    # The stopped function runs again once its package changed. A click on
    # the main window leaves the stop window in front with the keys: Alt+F4
    # there stops the call as Stop does, and the program goes on.
    append_to_first_package(program, "function later(x) { return x; }\n")
    program.await_window("^Macros$", 30)
    program.click(600, 600)  # the user goes to the main window
    program.settle(1)
    scenario.grab("endless-after-click")
    program.key("alt+F4")
    program.await_no_window("^Macros$", 20)
    check(program.running(), "Alt+F4 on the stop window ended the program")
    program.settle(2)
    check(readout(program, doubled_row) == 42, "after Alt+F4 on the stop window the field calling another macro "
          "shows %r, not 42" % readout(program, doubled_row))
    program.exit(seconds=30)
    with open(os.path.join(folder, "DATA", "MACROS", "Trend.js")) as file:
        check("function later(x)" in file.read(), "the package file lost the macro typed before the close")

    stop_inside_a_system_run(scenario)


def stop_inside_a_system_run(scenario):
    """A rule of the Retirement Account's system calls an endless macro: the
    changed system runs as the portfolios are loaded and shows the stop
    window, naming the function and its package; Stop ends that call, the
    run never calls it again, and the other macro functions keep their
    values."""
    folder = scenario.working_folder("system")
    with open(os.path.join(folder, "DATA", "MACROS", "Trend.js"), "ab") as file:
        file.write(b"\r\nfunction endless(x) { while (true) {} }\r\nfunction doubled(x) { return 2 * x; }\r\n")
    system_file = os.path.join(folder, "DATA", "FOLIOS", "2", "System.INI")
    with open(system_file, "rb") as file:
        system = file.read()
    with open(system_file, "wb") as file:
        file.write(system.replace(b'Condition="MOMENTUM<DIP"', b'Condition="AND(MOMENTUM<DIP;endless(1)=1)"', 1))
    doubled_row, growth_row = add_readout_fields(
        os.path.join(folder, "DATA", "FOLIOS", "2", "AssetFields.INI"),
        [("Macro read-out", "doubled(21)"), ("Growth read-out", "ROUND(yearlyGrowth(100;121;730)*10000;0)")])

    program = scenario.program(folder)

    def stop_the_run():
        prompt = program.await_window("^Macros$", 60)
        scenario.grab("system-run-stop-window")
        program.key("Return", window=prompt)
        program.await_no_window("^Macros$", 20)
        # The run cut short is not taken as applied, and the user is told.
        told = program.await_window("^Error$", 30)
        scenario.grab("system-run-incomplete")
        program.key("Return", window=told)

    program.start(after_pick=stop_the_run)
    program.settle(3)
    scenario.grab("system-run-stopped")
    check(not program.windows("^Macros$"), "the stopped function was called again in the same run")
    check(program.running(), "the program ended after the macro in the run was stopped")
    program.click(*SECOND_PORTFOLIO)
    program.tab("Assets")
    program.settle(2)
    check(not program.windows("^Macros$"), "the stopped function was called again on the Assets tab")
    check(readout(program, doubled_row) == 42, "after the stop in the run a field calling another macro shows %r, "
          "not 42" % readout(program, doubled_row))
    check(readout(program, growth_row) == 1000, "after the stop in the run the growth macro gives %r, not 1000"
          % readout(program, growth_row))
    program.exit(seconds=30)
