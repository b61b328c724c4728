"""Files rewritten by another program while this one runs, in a form of
their own: an editor of another system that ends its lines in LF alone,
one that saves as Unicode (UTF-16), a line that is no entry. A save of the
user's change keeps every other line as it stood, in the file's own line
ends; a file no change can go into without losing what it holds is left as
it stands, and the close says which and lets the program end. Such a save
once cut the file down to the user's change alone."""
import difflib
import os
import time

from damaged_files import check_notice_shown
from driver import check
from keyboard import BROKER_STEPS, TARGET_RETURN_STEPS, type_into_current_cell
from unchanged_close import close_with_continue, close_without_question, edit_by_hand, state
from sample import read_ini
from view_owners import folios, settled_folder

# The Portfolios window's fixed column, on the line between the Symbol row
# and the Currency row below it.
SYMBOL_ROW_FOOT = (63, 132)


def rewritten(path, form):
    """The file's text in the form another program saves it."""
    with open(path, "rb") as file:
        text = file.read()
    if form == "LF":
        text = text.replace(b"\r\n", b"\n")
    else:
        text = b"\xff\xfe" + text.decode("latin-1").encode("utf-16-le")
    with open(path, "wb") as file:
        file.write(text)
    return text


def type_target_return_and_broker(program, scenario):
    program.key("ctrl+Home", *(["Down"] * TARGET_RETURN_STEPS))
    type_into_current_cell(program, "0.5")
    program.key("ctrl+Tab")
    program.settle(1)
    program.key("ctrl+Home", *(["Down"] * BROKER_STEPS))
    type_into_current_cell(program, "typed broker")
    scenario.grab("typed")


def lines_apart(before, after):
    """The lines after holds beyond what it keeps of before, and the lines
    of before it does not keep, each in order: a line kept is one at its
    place, so that a blank line dropped between two kept ones is gone even
    while other blank lines stand."""
    old, new = before.split(b"\n"), after.split(b"\n")
    added, gone = [], []
    for step, old_from, old_to, new_from, new_to in difflib.SequenceMatcher(
            None, old, new, autojunk=False).get_opcodes():
        if step != "equal":
            gone += old[old_from:old_to]
            added += new[new_from:new_to]
    return added, gone


def lf_rewritten_files(scenario):
    """The Growth Portfolio's header and Nordwind's asset file saved again
    with LF line ends while the program runs; the user types a Target
    return and a Broker and closes. Both files keep every other line byte
    for byte, in LF, and the next start opens the portfolio with them."""
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    header, nordwind = os.path.join(growth, "0.INI"), os.path.join(growth, "1.INI")
    program = scenario.program(folder)
    program.start()
    texts = {path: rewritten(path, "LF") for path in (header, nordwind)}
    type_target_return_and_broker(program, scenario)
    close_without_question(program)
    for path, key, value in ((header, b"TargetReturn", b"0.5"), (nordwind, b"Broker", b"typed broker")):
        with open(path, "rb") as file:
            after = file.read()
        check(b"\r" not in after, "the save put CR line ends into %s, which holds LF alone" % path)
        added, gone = lines_apart(texts[path], after)
        check(added == [key + b"=" + value], "the save into %s wrote %r, not the one line %s=%s"
              % (path, added, key.decode(), value.decode()))
        check(all(line.startswith(key + b"=") for line in gone), "the save into %s dropped %r" % (path, gone))
    program = scenario.program(folder)
    program.start()
    check("Growth Portfolio" in program.title(), "after a restart the Growth Portfolio read from its LF header is "
          "not current: %r" % program.title())
    scenario.grab("restarted")
    program.exit()


def unicode_rewritten_files(scenario):
    """The same files saved as Unicode while the program runs: the user's
    changes cannot go into them without mixing two encodings, so the close
    names them and Continue ends the program with both files as they
    stand."""
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    paths = (os.path.join(growth, "0.INI"), os.path.join(growth, "1.INI"))
    program = scenario.program(folder)
    program.start()
    for path in paths:
        rewritten(path, "UTF-16")
    before = {path: state(path)[0] for path in paths}
    type_target_return_and_broker(program, scenario)
    close_with_continue(program, scenario)
    for path in paths:
        check(state(path)[0] == before[path], "the close wrote into %s, saved as Unicode" % path)


def cut_files(scenario):
    """The Growth Portfolio's header and Nordwind's asset file cut short by
    another program while this one runs, inside their last lines
    ("ColWidth=140" now "ColWidth=14"). The user types a Target return and a
    Broker; the close writes both whole from what the program holds, the
    width the cut broke put back beside the user's change, and says so.
    The close once refused them, and named them as damaged files that only
    a repair by hand could save."""
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    paths = (os.path.join(growth, "0.INI"), os.path.join(growth, "1.INI"))
    program = scenario.program(folder)
    program.start()
    cut = {}
    for path in paths:
        with open(path, "rb") as file:
            text = file.read()
        check(text.endswith(b"ColWidth=140\r\n\r\n"), "%s no longer ends in a width of 140" % path)
        cut[path] = text.rstrip().split(b"\r\n")[-1].split(b"=")[0].decode().upper()
        with open(path, "wb") as file:
            file.write(text[:-5])
    type_target_return_and_broker(program, scenario)
    program.key("alt+F4", window=program.main)
    notice = program.await_window("^Notices$", 60)
    scenario.grab("notice")
    program.key("Return", window=notice)
    deadline = time.time() + 60
    while program.running() and time.time() < deadline:
        check(not program.windows("^Error$"), "the close refused a file cut inside its last line")
        time.sleep(0.2)
    check(not program.running(), "the program did not end within 60 s of the notice")
    program.end_prefix()
    for path, key, value in ((paths[0], "TARGETRETURN", "0.5"), (paths[1], "BROKER", "typed broker")):
        sections = read_ini(path)
        check(any(section.get(key) == value for section in sections.values()),
              "%s does not hold the typed %s" % (path, key))
        check(sections.get("ExternalProperties", {}).get(cut[path]) == "140",
              "%s did not get its width of 140 back" % path)


def resize_symbol_row(program, taller_by=0):
    """Drags the foot of the Symbol row 20 pixels down; taller_by what an
    earlier drag made it."""
    x, y = SYMBOL_ROW_FOOT[0], SYMBOL_ROW_FOOT[1] + taller_by
    program.xdotool("mousemove", "--window", program.main, x, y, "mousedown", "1")
    program.settle(0.3)
    program.xdotool("mousemove", "--window", program.main, x, y + 20)
    program.settle(0.3)
    program.xdotool("mouseup", "1")
    program.settle(0.5)


def field_file_read_in_part(scenario):
    """The Portfolios window's field file holds a line that is no entry,
    and then a field header that lost its bracket. With the line alone, the
    Symbol row made taller goes into the file and the line stays; with the
    header too, no change can go in without merging two fields, so the close
    names the file and Continue leaves it as it stands. The close once
    rewrote it from what could be read, and the Target return field was
    lost for good."""
    folder = settled_folder(scenario)
    fields = os.path.join(folios(folder), "FolioFields.INI")
    edit_by_hand(fields, b"\r\n[1]\r\n", b"\r\n[1]\r\nreviewed by hand\r\n")
    with open(fields, "rb") as file:
        before = file.read()
    program = scenario.program(folder)
    program.start()
    check_notice_shown(program, scenario)
    resize_symbol_row(program)
    scenario.grab("row-taller")
    close_without_question(program)
    with open(fields, "rb") as file:
        after = file.read()
    added, gone = lines_apart(before, after)
    check(b"reviewed by hand\r" in after.split(b"\n"), "the save dropped the line that is no entry")
    check(len(added) == 1 and added[0].startswith(b"ColWiseHeight="),
          "the taller row wrote %r into the field file, not its height alone" % added)
    check(all(line.startswith(b"ColWiseHeight=") for line in gone), "the save dropped %r" % gone)

    edit_by_hand(fields, b"\r\n[10]\r\n", b"\r\n[10\r\n")
    before = state(fields)
    program = scenario.program(folder)
    program.start()
    check_notice_shown(program, scenario)
    resize_symbol_row(program, 20)
    close_with_continue(program, scenario)
    check(state(fields) == before, "the close wrote into %s, whose field header lost its bracket" % fields)


def month_name_into_unicode_options(scenario):
    """The options file saved as Unicode while the program runs, then a
    month name typed in the Downloads window's Month names: the file cannot
    take it, so the close asks about it, naming the file and why, and
    Continue ends the program with the file as it stands. The name was once
    lost without a question, told only by the line at the foot."""
    folder = settled_folder(scenario)
    options = os.path.join(folder, "DATA", "GUIoptions.INI")
    program = scenario.program(folder)
    program.start()
    rewritten(options, "UTF-16")
    before = state(options)[0]
    program.tab("Downloads")
    program.key("alt+m", window=program.main)
    months = program.await_window("^Month names$", 20)
    program.settle(0.5)
    # The first month of the first set, below the set's description.
    program.click(90, 76, window=months)
    program.type("Jaenner")
    scenario.grab("month-typed")
    program.key("Return", window=months)
    program.await_no_window("^Month names$")
    program.key("alt+F4", window=program.main)
    question = program.await_window("^Error$", 60)
    scenario.grab("question")
    told = "\n".join(program.window_texts("Error"))
    check("guioptions.ini" in told.lower() and "UTF-16" in told,
          "the close question does not name the options file and why: %r" % told)
    program.key("c", window=question)
    program.await_no_window("^Error$")
    deadline = time.time() + 60
    while program.running() and time.time() < deadline:
        time.sleep(0.2)
    check(not program.running(), "the program did not end within 60 s of Continue")
    program.end_prefix()
    check(state(options)[0] == before, "the close wrote into the options file saved as Unicode")
