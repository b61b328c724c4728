"""Numbers typed under German settings: a "." where it cannot group
thousands makes the text no number, and a number cell that must hold one
refuses it with its message instead of keeping it a thousand times off,
or as the date it also spells; a grouped number is read as the user meant
it."""
import os

from driver import check
from sample import read_ini
from transactions import type_here

TARGET_RETURN = (204, 252)  # the first portfolio's cell on the Portfolios tab


def misplaced_separator_refused(scenario):
    folder = scenario.working_folder()
    properties = os.path.join(folder, "DATA", "FOLIOS", "1", "0.INI")
    stored = lambda: read_ini(properties)["CustomProperties"].get("TARGETRETURN")
    before = stored()

    program = scenario.program(folder, german=True)
    program.start()
    program.click(*TARGET_RETURN)
    shown = program.read_cell()
    check(shown == before.replace(".", ","), "the target return shows %r, stored %r" % (shown, before))
    # "1.5" is also the first of May under German settings: refused all the
    # same, not kept as a day number nor as a formula in error.
    for typed in ("0.125", "1.5"):
        type_here(program, typed)
        message = program.await_window("^Error$", 10)
        scenario.grab("refused")
        program.key("Return", window=message)
        program.await_no_window("^Error$", 10)
        program.key("Escape")
        check(program.read_cell() == shown, "after %r was refused the target return shows %r"
              % (typed, program.read_cell()))
    type_here(program, "1.234,5")
    check(program.read_cell() == "1234,5", "a grouped 1.234,5 shows as %r in the editor" % program.read_cell())
    program.exit()
    check(stored() == "1234.5", "the target return is stored as %r, not 1234.5" % stored())
