"""The Portfolios window's days box: a slip that reaches before the first
day the date pickers show is refused with the number boxes' message, and
the box, the pickers and the stored from date tell one range, after a
restart too."""
import contextlib
import os
import re
import signal
import threading
import time

from driver import check
from keyboard import TARGET_RETURN_STEPS
from sample import read_ini

DAYS_BOX = (232, 57)  # the days box between the two date pickers
FIRST_PICKER_DAY = -53688  # 1 January 1753


def read_days(program):
    program.click(*DAYS_BOX)
    return program.copied("End", "shift+Home", "ctrl+c", window=program.main)


def stored_from(controls):
    return int(read_ini(controls)["DateControls"]["FROMDATE"])


def days_typo(scenario, german=False):
    folder = scenario.working_folder()
    controls = os.path.join(folder, "DATA", "FOLIOS", "FolioControls.INI")
    program = scenario.program(folder, german=german)
    program.start()
    program.click(*DAYS_BOX)
    program.key("End", "shift+Home")
    program.type("92")
    program.key("Return")
    shown = read_days(program)
    check(shown == "92", "the days box shows %r, not the 92 typed" % shown)

    # Past the largest integer the box reads: told as well, the count kept.
    program.click(*DAYS_BOX)
    program.key("End", "shift+Home")
    program.type("99999999999")
    program.key("Return")
    message = program.await_window("^Error$", 10)
    program.key("Return", window=message)
    program.await_no_window("^Error$", 10)
    program.key("End", "shift+Home", window=program.main)
    program.type("92")
    program.key("Return")
    shown = read_days(program)
    check(shown == "92", "after the huge count refused the days box shows %r, not 92" % shown)

    program.click(*DAYS_BOX)
    program.key("End")
    program.type("183001")
    program.key("Return")
    message = program.await_window("^Error$", 10)
    scenario.grab("refused")
    program.key("Return", window=message)
    program.await_no_window("^Error$", 10)
    scenario.grab("answered")
    # The keys stay in the box, which shows the count it had.
    program.key("End", window=program.main)
    program.type("0")
    program.key("Return")
    scenario.grab("typed")
    shown = read_days(program)
    check(shown == "920", "after the refusal and a 0 typed the days box shows %r, not 920" % shown)
    scenario.grab("kept")
    started = time.time()
    program.exit()
    scenario.note("closing took %.1f s" % (time.time() - started))
    kept = stored_from(controls)
    check(kept >= FIRST_PICKER_DAY, "the stored from date %d lies before the first day the pickers show" % kept)

    program = scenario.program(folder, german=german)
    program.start()
    scenario.grab("restarted")
    shown = read_days(program)
    check(shown == "920", "after a restart the days box shows %r, not 920" % shown)
    started = time.time()
    program.exit()
    scenario.note("closing after the restart took %.1f s" % (time.time() - started))
    check(stored_from(controls) == kept, "the from date stored %d became %d over a restart"
          % (kept, stored_from(controls)))

    # A from date stored by the slip before the refusal was there loads as
    # the first day the pickers show, the to date kept.
    with open(controls, encoding="latin-1", newline="") as file:
        text = file.read()
    with open(controls, "w", encoding="latin-1", newline="") as file:
        file.write(re.sub(r"(?m)^FromDate=-?\d+", "FromDate=-92136636", text))
    program = scenario.program(folder, german=german)
    program.start()
    scenario.grab("stored-slip")
    shown = read_days(program)
    wanted = kept + 919 - FIRST_PICKER_DAY + 1
    check(shown == str(wanted), "with the slip stored the days box shows %r, not %d" % (shown, wanted))
    started = time.time()
    program.exit()
    scenario.note("closing with the slip stored took %.1f s" % (time.time() - started))
    # The file agrees with the pickers again.
    check(stored_from(controls) == FIRST_PICKER_DAY, "the from date stored after that visit is %d, not %d"
          % (stored_from(controls), FIRST_PICKER_DAY))


def days_typo_german(scenario):
    days_typo(scenario, german=True)


@contextlib.contextmanager
def held(program, seconds):
    """The program stopped for the seconds, as a busy machine holds it: the
    keys sent meanwhile reach it late."""
    os.kill(program.process.pid, signal.SIGSTOP)
    resume = threading.Timer(seconds, os.kill, (program.process.pid, signal.SIGCONT))
    resume.start()
    try:
        yield
    finally:
        resume.cancel()
        os.kill(program.process.pid, signal.SIGCONT)


def reads_while_held(scenario):
    """The days box and a cell read right when the program answers the
    keys seconds late."""
    program = scenario.program(scenario.working_folder())
    program.start()
    program.key("ctrl+Home", *(["Down"] * TARGET_RETURN_STEPS))
    for seconds in (2, 8):
        with held(program, seconds):
            shown = program.read_cell()
        check(shown == "0.075", "held for %d s, the Target return reads %r, not 0.075" % (seconds, shown))
    for seconds in (2, 8):
        with held(program, seconds):
            shown = read_days(program)
        check(shown == "92", "held for %d s, the days box reads %r, not 92" % (seconds, shown))
    program.exit()


def reads_while_the_clipboard_manager_is_held(scenario):
    """A cell and the days box read ten times each while Wine's clipboard
    manager is held still now and then: a copy it missed must not keep
    later reads from bringing the text shown."""
    scenario.hold_clipboard_manager = True
    program = scenario.program(scenario.working_folder())
    program.start()
    program.key("ctrl+Home", *(["Down"] * TARGET_RETURN_STEPS))
    for read in range(10):
        shown = program.read_cell()
        check(shown == "0.075", "read %d: the Target return reads %r, not 0.075" % (read + 1, shown))
    for read in range(10):
        shown = read_days(program)
        check(shown == "92", "read %d: the days box reads %r, not 92" % (read + 1, shown))
    program.exit()


FROM_PICKER_BUTTON = (208, 57)  # the from-date picker's drop-down button


def calendar_then_close(scenario, german=False):
    """The from-date picker's calendar opened with the mouse and closed with
    Escape, or with a second click on its button, or left open: the first
    Alt+F4 ends the program."""
    for closing in ("escape", "button", "left open"):
        folder = scenario.working_folder("work-" + closing.replace(" ", "-"))
        program = scenario.program(folder, german=german)
        program.start()
        before = set(program.windows(""))
        program.click(*FROM_PICKER_BUTTON)
        program.settle(1)
        calendar = set(program.windows("")) - before
        check(calendar, "no calendar opened on the from-date picker's button")
        if closing == "escape":
            program.key("Escape")
        elif closing == "button":
            program.click(*FROM_PICKER_BUTTON)
        program.settle(1)
        scenario.grab("calendar-" + closing.replace(" ", "-"))
        if closing != "left open":
            check(not (calendar & set(program.windows(""))), "the calendar stayed open after the %s" % closing)
        started = time.time()
        program.exit(20)
        scenario.note("calendar %s: Alt+F4 ended the program in %.1f s" % (closing, time.time() - started))


def calendar_then_close_german(scenario):
    calendar_then_close(scenario, german=True)
