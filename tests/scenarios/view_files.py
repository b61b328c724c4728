"""View files rewritten at the close: one deleted while the program runs
comes back whole, and one rewritten for a changed caption keeps every
other line as it was spelled."""
import os
import re

from driver import check
from sample import read_ini

ADDED = " over 20 years"
CHART_CAPTION = "Prices"


def view_point(program, fraction):
    """A place at a fraction of the Portfolios window's height, in the
    middle of its width: the docked chart lies in the middle tenths, the
    savings-plan graph in the lowest."""
    geometry = program.xdotool("getwindowgeometry", program.main)
    width, height = (int(n) for n in re.search(r"Geometry: (\d+)x(\d+)", geometry).groups())
    return width // 2, int(height * fraction)


def edit_top_caption(program, point, text):
    """The chart menu's Captions > Top > Edit, the text typed at the end."""
    program.click(*point, button=3)
    program.key("c", "t", "d")
    program.key("ctrl+End")
    program.type(text)
    program.key("Return")


def lines_of(path):
    with open(path, "rb") as file:
        return [line for line in file.read().decode("latin-1").split("\r\n") if line]


def deleted_graph_file_comes_back_whole(scenario):
    """The savings-plan graph's file deleted, its top caption edited through
    the chart menu, the docked chart's caption too, Alt+F4: the graph's file
    holds the new caption and, as before, its place, source, parameters and
    X range; the chart's file holds its caption and every line it held,
    spelled as it was (the blank before a positive number)."""
    folder = scenario.working_folder()
    graph = os.path.join(folder, "DATA", "FOLIOS", "Graphs", "Folio_0.INI")
    chart = os.path.join(folder, "DATA", "FOLIOS", "Charts", "Folio_0.INI")
    before = read_ini(graph)
    chart_before = lines_of(chart)
    program = scenario.program(folder)
    program.start()
    program.tab("Portfolios")
    os.remove(graph)
    edit_top_caption(program, view_point(program, 0.9), ADDED)
    edit_top_caption(program, view_point(program, 0.57), CHART_CAPTION)
    scenario.grab("captions-edited")
    program.exit()

    check(os.path.exists(graph), "the deleted graph file was not written again at the close")
    after = read_ini(graph)
    caption = before["TopText"]["FORMULA"] + ADDED
    check(after.get("TopText", {}).get("FORMULA") == caption,
          "the graph's top caption is stored as %r, not %r" % (after.get("TopText"), caption))
    # Written whole, the file holds every key the view writes; those the
    # sample held keep their values.
    lost = ["%s/%s=%s" % (name, key, value) for name, keys in before.items() if name != "TopText"
            for key, value in keys.items() if after.get(name, {}).get(key) != value]
    check(not lost, "the graph file came back without %s" % lost)

    check(read_ini(chart).get("TopText", {}).get("FORMULA") == CHART_CAPTION,
          "the chart's top caption is stored as %r" % read_ini(chart).get("TopText"))
    chart_after = lines_of(chart)
    respelled = [line for line in chart_before if line not in chart_after]
    check(not respelled, "the chart file, rewritten for its caption, lost the lines %s" % respelled)
