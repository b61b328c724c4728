"""Tabs looked at and left as they were: the files change only for what the
user changed. The Growth Portfolio has no trading system, and looking at its
System tab makes it none; looking at its Quotes and Transactions tabs makes
no layout file for them; a window the user did not look at in a session
keeps the layout it stored when the user last did."""
import os

from driver import check, changed_files, file_states, modification_times
from view_owners import folios

# Ending on the System tab: Alt+F4 leaves it as a tab change does.
EVERY_TAB = ("System", "Assets", "Quotes", "Transactions", "Macros", "Downloads", "Web", "Portfolios", "System")
# What a look at the Growth Portfolio's tabs must not make in its folder.
UNMADE_FILES = ("System.INI", "SystemControls.INI", "SystemRun.INI", "QuoteControls.INI", "TransactionControls.INI")


def session(scenario, folder, tabs):
    program = scenario.program(folder)
    program.start()
    for tab in tabs:
        program.tab(tab)
    program.exit()


def check_unchanged(scenario, folder, tabs, what):
    states, times = file_states(folder), modification_times(folder)
    session(scenario, folder, tabs)
    changed = changed_files(states, file_states(folder))
    check(not changed, "%s changed %s" % (what, changed))
    touched = sorted(path for path, time in modification_times(folder).items() if times.get(path) != time)
    check(not touched, "%s wrote %s again as they stood" % (what, touched))


def looked_at_and_left(scenario):
    folder = scenario.working_folder()
    growth = os.path.join(folios(folder), "1")
    # The first session stores what the windows shown keep of their layout.
    session(scenario, folder, EVERY_TAB)
    made = [name for name in UNMADE_FILES if os.path.exists(os.path.join(growth, name))]
    check(not made, "looking at the tabs of a portfolio without a trading system made %s" % made)
    check_unchanged(scenario, folder, EVERY_TAB, "a session looking at every tab")
    check_unchanged(scenario, folder, (), "a session looking at no tab but the first")
