"""A minute of random keys and clicks on the main window: the program must
neither crash nor hang, every settings file must still read, and files no
key can change must stay as they were."""
import os
import random
import time

from driver import check, file_states, changed_files
from sample import read_ini

MINUTE = 60
KEYS = (["Return", "Escape", "Tab", "shift+Tab", "Up", "Down", "Left", "Right", "Home", "End", "Prior",
         "Next", "Delete", "Insert", "BackSpace", "space", "ctrl+z", "ctrl+Delete", "F2", "period",
         "comma", "minus", "equal", "semicolon"]
        + list("abcxyz0123456789"))


def unreadable_settings(folder):
    """Settings files that are empty or hold a line that is neither a
    section, a key, a comment nor blank."""
    bad = []
    for directory, _, files in os.walk(folder):
        for name in files:
            if not name.upper().endswith(".INI"):
                continue
            path = os.path.join(directory, name)
            with open(path, "rb") as file:
                lines = file.read().decode("latin-1").splitlines()
            good = lambda line: not line.strip() or line.startswith((";", "[")) or "=" in line
            if not lines or not all(good(line) for line in lines):
                bad.append(os.path.relpath(path, folder))
            else:
                read_ini(path)
    return bad


def close_stray_windows(program):
    """Dialogs the keys opened, closed with Esc; the main window stays."""
    for _ in range(8):
        stray = [w for w in program.windows(".") if w != program.main and program.title(w)]
        stray = [w for w in stray if not program.title(w).startswith("Kestrova")]
        if not stray:
            return
        for window in stray:
            program.key("Escape", window=window)


def settle_what_holds_the_close(program):
    """Alt+F4 tells of a text the keys left in a cell that the cell
    refuses in an "Error" box, and asks about the quote editor's
    uncommitted rows in a "Confirm" box: once told, the close gives the
    text up (Esc does where it does not), and the rows are discarded, as a
    user leaving would. Answers the boxes of one Alt+F4; false when none
    came and the program goes on closing."""
    program.key("alt+F4", window=program.main)
    deadline = time.time() + 20
    while program.running() and time.time() < deadline:
        error, confirm = program.windows("^Error$"), program.windows("^Confirm$")
        if error:
            program.key("Return", window=error[0])
            program.await_no_window("^Error$", 10)
            program.key("Escape")
            return True
        if confirm:
            program.key("n", window=confirm[0])
            return True
        time.sleep(0.2)
    return False


def random_keys_and_clicks(scenario):
    seed = int(os.environ.get("KESTROVA_SCENARIO_SEED", random.SystemRandom().randrange(1 << 31)))
    scenario.note("seed %d (KESTROVA_SCENARIO_SEED=%d repeats this run)" % (seed, seed))
    chooser = random.Random(seed)
    folder = scenario.working_folder()
    currency_tables = file_states(os.path.join(folder, "DATA", "FOREX"))

    program = scenario.program(folder)
    program.start()
    ends = time.time() + MINUTE
    while time.time() < ends:
        check(program.running(), "the program ended during the random input (seed %d)" % seed)
        if chooser.random() < 0.3:
            x, y = chooser.randrange(5, 1015), chooser.randrange(25, 760)
            program.xdotool("mousemove", x, y, "click", chooser.choice((1, 1, 1, 3)))
        else:
            program.xdotool("key", chooser.choice(KEYS))
        time.sleep(0.08)
    scenario.grab("after-the-minute")
    check(program.running(), "the program ended during the random input (seed %d)" % seed)
    close_stray_windows(program)
    for _ in range(5):
        if not settle_what_holds_the_close(program):
            break
    program.exit(seconds=90)

    bad = unreadable_settings(folder)
    check(not bad, "settings files no longer read after the random input (seed %d): %s" % (seed, bad))
    check(not changed_files(currency_tables, file_states(os.path.join(folder, "DATA", "FOREX"))),
          "the currency tables changed (seed %d)" % seed)
    program = scenario.program(folder)
    program.start()
    program.exit()
