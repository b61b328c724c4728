#!/usr/bin/env python3
"""Writes a large working folder with the sample generator's own writers:
PORTFOLIOS portfolios (all loaded at start) of ASSETS assets each, every
asset with a price file of its own over the last YEARS years of daily bars
and a dozen transaction files, a cash account, the two currency tables and
a Portfolios field set with each portfolio's value at both ends of the
window's dates.

    bench/make_large_folder.py TARGET PORTFOLIOS ASSETS YEARS
"""
import datetime
import importlib.machinery
import importlib.util
import os
import shutil
import sys

here = os.path.dirname(os.path.abspath(__file__))
loader = importlib.machinery.SourceFileLoader("sample", os.path.join(here, "..", "tools", "make-sample-data"))
spec = importlib.util.spec_from_loader("sample", loader)
sample = importlib.util.module_from_spec(spec)
loader.exec_module(sample)

CURRENCIES = ["EUR", "USD", "CHF"]


def write_folio_fields(folios):
    fields = [
        ("Name", 10, "FOLIO", "", False, 0, "130"),
        ("Symbol", 11, "", "", False, 0, ""),
        ("Currency", 12, "", "", False, 0, ""),
        ("Value at start", 1, "", "PORTFOLIO_NAV(FOLIO,FROM_DATE,1)", True, 2, ""),
        ("Value at end", 1, "", "PORTFOLIO_NAV(FOLIO,TO_DATE,1)", True, 2, ""),
    ]
    sections = [("Fields", [("Count", str(len(fields))), ("Fixed", "1")])]
    for index, (header, kind, symbol, content, locked, decimals, width) in enumerate(fields):
        sections.append((str(index), [
            ("Locked", "1" if locked else "0"), ("Content", content), ("Kind", str(kind)),
            ("MaxDecimals", str(decimals)), ("Symbol", symbol), ("Header", header), ("RowWiseWidth", width)]))
    sample.write_ini(os.path.join(folios, "FolioFields.INI"), sections)


def main():
    root = os.path.abspath(sys.argv[1])
    portfolios, assets, years = (int(argument) for argument in sys.argv[2:5])
    sample.FIRST_DAY = datetime.date(sample.LAST_DAY.year - years + 1, 1, 3)
    if os.path.isdir(root):
        shutil.rmtree(root)
    windows = "Z:" + root.replace("/", "\\")
    sample.write_ini(os.path.join(root, "Kestrova.INI"), [
        ("Directories", [("<GALLERY>", windows + "\\DATA\\GALLERY\\"), ("<WEBS>", windows + "\\DATA\\WEBS\\")])])
    for folder in ("TEMP", "SCRIPTS", "DATA/DLISTS", "DATA/MACROS", "DATA/BMPS", "DATA/GALLERY", "DATA/WEBS"):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    data = os.path.join(root, "DATA")
    days = sample.trading_days()
    sample.write_quotes(data, days)  # the currency tables, and a few price files besides
    fmt, line = sample.QUOTE_FILES["NWE.CSV"]
    folios = os.path.join(data, "FOLIOS")
    write_folio_fields(folios)
    for p in range(1, portfolios + 1):
        folio = sample.Folio(os.path.join(folios, str(p)), "Portfolio %d" % p, "P%d" % p, CURRENCIES[p % 2], [], [])
        sequence = sample.Sequence(1000 + p)
        for a in range(1, assets + 1):
            quotes = "A%dX%d.CSV" % (p, a)
            bars = sample.price_path(sample.Sequence(p * 100000 + a), sequence.between(20, 300), 0.0002, 0.015, days)
            sample.write_text(os.path.join(data, "QUOTES", quotes), [line(bar) for bar in bars])
            sample.QUOTE_FILES[quotes] = (fmt, line)
            holding = folio.asset(a, "Asset %d of %d" % (a, p), "S%dX%d" % (p, a), CURRENCIES[a % 3], quotes,
                                  (100, 0, 0, 0))
            sample.trade_plan(holding, {bar[0]: bar[4] for bar in bars}, sequence, days, 7, 0.0025, 4.9)
            del sample.QUOTE_FILES[quotes]
        sample.cash_plan(folio.asset(assets + 1, "Cash", "CASH%d" % p, CURRENCIES[p % 2], None, (0, 0, 100, 0)),
                         days, [(0, 1000000), (len(days) // 2, 5000), (len(days) - 5, -3000)])
        sample.write_window_fields(os.path.join(folios, str(p)))


if __name__ == "__main__":
    main()
