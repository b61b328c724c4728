"""A docked view's file deleted while the program runs: the view still
shows, so the close writes its file again, whole."""
import os
import re

from driver import check
from sample import read_ini

ADDED = " over 20 years"


def graph_point(program):
    """A place inside the savings-plan graph, docked in the lowest tenths of
    the Portfolios window."""
    geometry = program.xdotool("getwindowgeometry", program.main)
    width, height = (int(n) for n in re.search(r"Geometry: (\d+)x(\d+)", geometry).groups())
    return width // 2, height - 90


def deleted_graph_file_comes_back_whole(scenario):
    """The savings-plan graph's file deleted, its top caption edited through
    the chart menu, Alt+F4: the file holds the new caption and, as before,
    its place, source, parameters and X range."""
    folder = scenario.working_folder()
    graph = os.path.join(folder, "DATA", "FOLIOS", "Graphs", "Folio_0.INI")
    before = read_ini(graph)
    program = scenario.program(folder)
    program.start()
    program.tab("Portfolios")
    os.remove(graph)
    program.click(*graph_point(program), button=3)
    scenario.grab("chart-menu")
    # Captions > Top > Edit
    program.key("c", "t", "d")
    program.key("ctrl+End")
    program.type(ADDED)
    program.key("Return")
    scenario.grab("caption-edited")
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
