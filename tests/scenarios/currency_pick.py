"""A currency picked for an asset from the currency cell's pick button, and
a code that is no currency typed into another: the program asks before
keeping it, and No keeps nothing. The files show the picked currency and
nothing else changed, also after a restart."""
import os

from driver import check
from keyboard import model_files

# The Assets tab's grid in columns: the currency cells of the first two
# assets, and the pick button at the right end of the first one's editor.
FIRST_CURRENCY = (157, 139)
SECOND_CURRENCY = (335, 139)
PICK_BUTTON = (256, 138)


def asset_files(folder, portfolio):
    """The asset files of a portfolio by asset name."""
    return {sections["Asset"]["NAME"]: path for path, sections in model_files(folder).items()
            if path.startswith(portfolio + os.sep) and "Asset" in sections}


def open_editor(program, cell):
    # The first click makes the cell current, the second opens its editor.
    program.click(*cell)
    program.click(*cell)


def pick_and_refuse(scenario):
    folder = scenario.working_folder()
    before = model_files(folder)
    assets = asset_files(folder, "1")
    first, second = "Nordwind Energie AG", "Helvetia Pharma"
    check(before[assets[first]]["Asset"]["CURRENCY"] == "EUR" and
          before[assets[second]]["Asset"]["CURRENCY"] == "CHF", "the sample's first assets changed")

    program = scenario.program(folder)
    program.start()
    program.tab("Assets")
    open_editor(program, FIRST_CURRENCY)
    scenario.grab("currency-editor")
    program.click(*PICK_BUTTON)
    picker = program.await_window("^Currency$", 20)
    # The list finds a row by the letters typed on it.
    program.key("u", "s", "d", window=picker)
    scenario.grab("currency-picked")
    program.key("Return", window=picker)
    program.await_no_window("^Currency$")
    # Back in the cell's editor, which Enter writes.
    program.key("Return")

    # "P" is no currency of the list: No leaves the text in the editor, Esc
    # then leaves the cell as it was.
    open_editor(program, SECOND_CURRENCY)
    program.key("End", "shift+Home")
    program.type("P")
    program.key("Return")
    question = program.await_window("^Confirm$", 20)
    scenario.grab("unknown-currency-question")
    program.key("n", window=question)
    program.await_no_window("^Confirm$")
    program.key("Escape")
    program.exit()

    after = model_files(folder)
    check(after[assets[first]]["Asset"]["CURRENCY"] == "USD",
          "the picked currency was not written: %s" % after[assets[first]]["Asset"].get("CURRENCY"))
    check(after[assets[second]]["Asset"]["CURRENCY"] == "CHF",
          "the refused code was written: %s" % after[assets[second]]["Asset"].get("CURRENCY"))
    changed = sorted(path for path in set(before) | set(after) if before.get(path) != after.get(path))
    check(changed == [assets[first]], "files changed besides the picked asset's: %s" % changed)
    before[assets[first]]["Asset"]["CURRENCY"] = "USD"
    check(before[assets[first]] == after[assets[first]], "the picked asset's file changed beyond its currency")

    # A restart shows the pick kept and writes nothing more.
    program = scenario.program(folder)
    program.start()
    program.exit()
    check(model_files(folder) == after, "a restart changed the files")
