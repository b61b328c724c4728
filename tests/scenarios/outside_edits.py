"""Files another program (an editor, a sync tool) changes while the program
runs keep those changes when the program saves its own: portfolio headers
and asset files edited by hand, the user typing into one portfolio and one
asset, looking at the other tabs and closing. Where both changed the same
value, the user's stands."""
import os

from driver import check
from keyboard import STRATEGY_STEPS, BROKER_STEPS, type_into_current_cell
from sample import read_ini
from unchanged_close import edit_by_hand
from view_owners import folios, settled_folder


def outside_edits_kept(scenario):
    folder = settled_folder(scenario)
    growth = os.path.join(folios(folder), "1")
    header, nordwind = os.path.join(growth, "0.INI"), os.path.join(growth, "1.INI")
    helvetia = os.path.join(growth, "2.INI")
    retirement = os.path.join(folios(folder), "2", "0.INI")
    program = scenario.program(folder)
    program.start(pick="Return")

    # By hand while the program runs: a value of each file, the Strategy the
    # user types over too, and a key of the editor's own; files the user only
    # looks at too.
    edit_by_hand(header, b"TargetReturn=0.075", b"TargetReturn=0.09")
    edit_by_hand(header, b"Strategy=growth", b"Strategy=by hand")
    edit_by_hand(nordwind, b"StopLoss=35.5", b"StopLoss=37\r\nAdvisor=Meyer")
    edit_by_hand(helvetia, b"Broker=Hanse Direkt", b"Broker=Zuercher Bank")
    edit_by_hand(retirement, b"Custodian=Fidelis Trust", b"Custodian=Fidelis Bank")

    program.key("ctrl+Home", *(["Down"] * STRATEGY_STEPS))
    type_into_current_cell(program, "typed strategy")
    scenario.grab("strategy-typed")
    program.key("ctrl+Tab")
    program.settle(1)
    program.key("ctrl+Home", *(["Down"] * BROKER_STEPS))
    type_into_current_cell(program, "typed broker")
    scenario.grab("broker-typed")
    # Left for the Quotes tab: the asset is saved.
    program.key("ctrl+Tab")
    program.settle(1)
    asset = read_ini(nordwind).get("CustomProperties", {})
    check(asset.get("STOPLOSS") == "37", "on leaving the Assets tab Nordwind's StopLoss is %r, not the 37 "
          "written by hand" % asset.get("STOPLOSS"))
    program.key("ctrl+Tab")
    program.settle(1)
    program.exit()

    portfolio = read_ini(header).get("CustomProperties", {})
    asset = read_ini(nordwind).get("CustomProperties", {})
    expected = (
        (portfolio, "TARGETRETURN", "0.09", "the header's Target return, changed by hand"),
        (portfolio, "STRATEGY", "typed strategy", "the header's Strategy, typed over a hand edit"),
        (asset, "STOPLOSS", "37", "Nordwind's StopLoss, changed by hand"),
        (asset, "ADVISOR", "Meyer", "Nordwind's Advisor, added by hand"),
        (asset, "BROKER", "typed broker", "Nordwind's Broker, typed"),
        (read_ini(helvetia).get("CustomProperties", {}), "BROKER", "Zuercher Bank",
         "Helvetia's Broker, changed by hand and only looked at"),
        (read_ini(retirement).get("CustomProperties", {}), "CUSTODIAN", "Fidelis Bank",
         "the Retirement Account's Custodian, changed by hand"))
    for sections, key, value, what in expected:
        check(sections.get(key) == value, "after Alt+F4 %s is %r, not %r" % (what, sections.get(key), value))
