"""A formula field added through the field editor: its values against a
hand computation, its formula stored with "." and ";" whatever the user
types, and the same values after a restart and under a German locale.
Fields added under the German locale, a lone number and a definition that
does not compile yet, are stored in the same form, every digit as typed; the
sample of the number field follows the decimal separator, the text field's
stays as typed."""
import datetime
import os
import time

from driver import check
from readout import pixel_value
from sample import read_ini, read_closes, close_on_or_before, transactions, day_number

SETUP_BUTTON = (394, 87)
# Places inside the field editor.
LAST_FIELD_SYMBOL = (102, 315)
ROW_HEIGHT = 16
KIND_BOX = (582, 37)
COLOUR_KIND = 8
NUMBER_KIND = 1
EDITOR_OK = (656, 419)
# The first asset's column and the rows of the two new fields in Assets.
ASSET_COLUMN_X = 185
NEW_FIELD_Y, READOUT_Y = 108 + 16 * 16, 108 + 16 * 17


def add_field(program, symbol, header, formula):
    """A new field after the current one (Insert), its three texts typed
    into the editor's grid as a user of the English locale types them."""
    program.key("Insert")
    for text in (symbol, header, formula):
        if text:
            program.type(text)
            program.key("Return")
        program.key("Right")
    program.key("Home")


def add_fields_through_editor(program):
    program.tab("Assets")
    program.click(*SETUP_BUTTON)
    editor = program.await_window("^Field definitions$")
    program.click(*LAST_FIELD_SYMBOL, window=editor)
    add_field(program, "Q", "Half value", "ROUND(V*0.5,2)")
    # A read-out field of the colour kind shows the new field's cents.
    add_field(program, "", "Read-out", "ROUND(Q*100,0)")
    pick_kind(program, editor, COLOUR_KIND)
    program.scenario.grab("field-editor")
    program.click(*EDITOR_OK, window=editor)
    program.await_no_window("^Field definitions$")
    program.settle(1)


def pick_kind(program, editor, kind):
    program.click(*KIND_BOX, window=editor)
    program.key("Home", *(["Down"] * kind), "Return")


def add_unfinished_fields(program):
    """Under the German locale: a lone number of the number kind and a text
    field whose definition is left with a trailing operator, each with the
    sample a new field gets."""
    program.tab("Assets")
    program.click(*SETUP_BUTTON)
    editor = program.await_window("^Field definitions$")
    program.click(*LAST_FIELD_SYMBOL, window=editor)
    add_field(program, "", "Lone", "1,50")
    pick_kind(program, editor, NUMBER_KIND)
    # Back into the grid, on the new field's row below the last one.
    program.click(LAST_FIELD_SYMBOL[0], LAST_FIELD_SYMBOL[1] + ROW_HEIGHT, window=editor)
    program.key("Insert", "Right")
    program.type("Unfinished")
    program.key("Return", "Right")
    program.type("SUM(1;2,5)+")
    program.key("Return")
    # The editor asks whether to keep a definition that does not compile.
    deadline = time.time() + 20
    while len(program.windows("^Field definitions$")) < 2 and time.time() < deadline:
        time.sleep(0.1)
    check(len(program.windows("^Field definitions$")) == 2, "no question whether to keep the unfinished definition")
    program.key("j")  # "Ja"; "Nein" is the default
    program.click(*EDITOR_OK, window=editor)
    program.await_no_window("^Field definitions$")
    program.settle(1)


def check_unfinished_fields(fields_file, when):
    fields = read_ini(fields_file)
    added = [(fields[str(i)].get("CONTENT"), fields[str(i)].get("TESTCONTENT")) for i in (16, 17)]
    check(added == [("1.50", "100000.1234567890123456789"), ("SUM(1;2.5)+", "100000,1234567890123456789")],
          "after %s the added fields are stored as %r" % (when, added))


def shown_cents(program):
    program.tab("Assets")
    return pixel_value(program, ASSET_COLUMN_X, READOUT_Y)


def field_in_the_stored_form(scenario):
    folder = scenario.working_folder()
    fields_file = os.path.join(folder, "DATA", "FOLIOS", "1", "AssetFields.INI")
    held = sum(float(r["UNITS"]) for r in transactions(os.path.join(folder, "DATA", "FOLIOS", "1", "1.TRN")).values())
    close = close_on_or_before(read_closes(os.path.join(folder, "DATA", "QUOTES", "NWE.CSV"), 4),
                               day_number(datetime.date.today()))
    expected = round(round(held * close * 0.5, 2) * 100)

    program = scenario.program(folder)
    program.start()
    add_fields_through_editor(program)
    cents = shown_cents(program)
    check(cents == expected, "the new field shows %r cents, the hand computation %d" % (cents, expected))
    program.exit()

    fields = read_ini(fields_file)
    count = int(fields["Fields"]["COUNT"])
    check(count == 18, "the field file holds %d fields, not 18" % count)
    check(fields["16"].get("CONTENT") == "ROUND(V*0.5;2)" and fields["17"].get("CONTENT") == "ROUND(Q*100;0)",
          "the formulas are stored as %r and %r" % (fields["16"].get("CONTENT"), fields["17"].get("CONTENT")))
    check(fields["17"].get("KIND") == str(COLOUR_KIND), "the read-out field is stored with kind %r" % fields["17"].get("KIND"))
    with open(fields_file, "rb") as file:
        stored = file.read()

    for german in (False, True):
        program = scenario.program(folder, german=german)
        program.start()
        cents = shown_cents(program)
        locale = "a German locale" if german else "a restart"
        scenario.grab("german" if german else "restart")
        check(cents == expected, "after %s the new field shows %r cents, before %d" % (locale, cents, expected))
        program.exit()
        with open(fields_file, "rb") as file:
            check(file.read() == stored, "after %s the field file is no longer as it was stored" % locale)

    program = scenario.program(folder, german=True)
    program.start()
    add_unfinished_fields(program)
    program.exit()
    check_unfinished_fields(fields_file, "adding them under the German locale")
    program = scenario.program(folder)
    program.start()
    program.exit()
    check_unfinished_fields(fields_file, "a restart under English")
