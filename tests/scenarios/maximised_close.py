"""A close while the main window is maximised keeps every key of the window
options file: the main window's own size and place, and the sizes of the
windows inside it, which a maximised window does not write. Restore then
gives back the size the file held, not the whole screen."""
import os
import re

from driver import check
from sample import read_ini
from view_owners import settled_folder

PLACE_KEYS = ("LEFT", "TOP", "WIDTH", "HEIGHT")


def options_file(folder):
    return os.path.join(folder, "DATA", "GUIoptions.INI")


def geometry(program):
    text = program.xdotool("getwindowgeometry", program.main)
    return tuple(int(n) for n in re.search(r"Geometry: (\d+)x(\d+)", text).groups())


def system_command(program, letter):
    """An item of the main window's system menu (Alt+Space), by its letter."""
    program.key("alt+space", window=program.main)
    program.key(letter)
    program.settle(1.5)


def keys_lost(before, after):
    return ["[%s] %s" % (section, key) for section, keys in before.items() for key in keys
            if key not in after.get(section, {})]


def maximised_close(scenario):
    folder = settled_folder(scenario)
    before = read_ini(options_file(folder))
    window = before.get("MainWindow", {})
    check(all(key in window for key in PLACE_KEYS), "the first close wrote no place of the main window: %r" % window)
    program = scenario.program(folder)
    program.start()
    normal = geometry(program)
    system_command(program, "x")
    maximised = geometry(program)
    check(maximised[0] > normal[0] or maximised[1] > normal[1],
          "Maximize left the main window at %dx%d" % maximised)
    program.exit()
    after = read_ini(options_file(folder))
    lost = keys_lost(before, after)
    check(not lost, "the maximised close deleted %d keys of GUIoptions.INI: %s" % (len(lost), ", ".join(lost)))
    check(after["MainWindow"].get("MAXIMIZED") == "1", "the close did not mark the window maximised")
    scenario.note("kept all %d keys; maximised %dx%d, normal %dx%d" %
                  (sum(len(keys) for keys in before.values()), maximised[0], maximised[1], normal[0], normal[1]))

    # The next start shows it maximised; Restore gives the size it had.
    program = scenario.program(folder)
    program.start()
    check(geometry(program) == maximised, "the next start did not show the window maximised: %dx%d" %
          geometry(program))
    system_command(program, "r")
    restored = geometry(program)
    check(restored == normal, "Restore gave %dx%d, not the size the file held (%dx%d)" % (restored + normal))
    program.exit()
    lost = keys_lost(before, read_ini(options_file(folder)))
    check(not lost, "the close after Restore deleted keys of GUIoptions.INI: %s" % ", ".join(lost))
