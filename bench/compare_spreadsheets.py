"""Kestrova's recalculation beside Gnumeric's and LibreOffice Calc's on the
same sheets (see compare-spreadsheets.sh, which installs both and builds
SheetScaleBench). Each round runs every size and sheet in turn, five rounds
interleaved; the medians and their ratios are printed at the end.

Both read the same workbook, written here as an OpenDocument file (their
own formula entry would dominate: LibreOffice's takes time quadratic in the
length of a running sum). Gnumeric's recalculation is timed inside its
converter: ltrace times its call of workbook_recalc_all on Gnumeric's own
file. LibreOffice's is calculateAll() through the Python bridge on the
loaded document.
"""
import os
import re
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile
from xml.sax.saxutils import quoteattr

import uno  # noqa: F401  (the bridge, from python3-uno)
from com.sun.star.beans import PropertyValue

ROUNDS = int(os.environ.get("COMPARE_ROUNDS", "5"))
# SheetScaleBench.exe of an earlier build, run beside this build's in every
# round: the goals then show its figures as "before".
BEFORE = os.environ.get("COMPARE_BEFORE")
LOOKUP_ROWS = 100

# The rows of SheetScaleBench in the bridge's grammar ("#" the row, "@" the
# row before, "+9#" nine rows further).
SHEETS = {
    "arithmetic": ["=A#*1.5+3", "=IF(B#>100;SQRT(B#);B#^2)", "=D@+C#", "=ROUND(D#/A#;4)"],
    "mixed": ["=VLOOKUP(MOD(A#*7;100)+1;$F$1:$G$100;2)", "=SUM(A#:A+9#)", "=D@+B#", '=LEN(B#&"x")+C#'],
}
FIRST_RUNNING_SUM = {"arithmetic": "=C1", "mixed": "=B1"}


def formula_text(pattern, row):
    return (pattern.replace("+9#", str(row + 9)).replace("#", str(row)).replace("@", str(row - 1)))


REFERENCE = re.compile(r"(\$?[A-Z]+\$?[0-9]+)(?::(\$?[A-Z]+\$?[0-9]+))?")


def odf_formula(text):
    def reference(match):
        if match.group(2):
            return "[.%s:.%s]" % (match.group(1), match.group(2))
        return "[.%s]" % match.group(1)
    return "of:" + REFERENCE.sub(reference, text)


def write_workbook(path, formulas, sheet):
    """The sheet of SheetScaleBench as an OpenDocument spreadsheet."""
    rows = formulas // 4
    patterns = SHEETS[sheet]
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
             'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
             'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
             'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2">',
             '<office:body><office:spreadsheet><table:table table:name="Sheet1">']
    for row in range(1, rows + 11):
        cells = ['<table:table-cell office:value-type="float" office:value="%d"/>' % (row % 97 + 1)]
        if row <= rows:
            for column, pattern in enumerate(patterns):
                text = FIRST_RUNNING_SUM[sheet] if row == 1 and column == 2 else formula_text(pattern, row)
                # A stored result: neither reader computes the formulas on
                # load, so the recalculation timed is the one asked for.
                cells.append('<table:table-cell table:formula=%s office:value-type="float" office:value="0"/>'
                             % quoteattr(odf_formula(text)))
        if sheet == "mixed" and row <= LOOKUP_ROWS:
            if row > rows:
                cells.append('<table:table-cell table:number-columns-repeated="4"/>')
            cells.append('<table:table-cell office:value-type="float" office:value="%d"/>' % row)
            cells.append('<table:table-cell office:value-type="float" office:value="%d"/>' % (row * 3 % 11))
        lines.append("<table:table-row>%s</table:table-row>" % "".join(cells))
    lines.append("</table:table></office:spreadsheet></office:body></office:document-content>")
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
                'manifest:version="1.2">'
                '<manifest:file-entry manifest:full-path="/" manifest:version="1.2" '
                'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
                '</manifest:manifest>')
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr("mimetype", "application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED)
        archive.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        archive.writestr("content.xml", "\n".join(lines), zipfile.ZIP_DEFLATED)


def kestrova(root, formulas, sheet, exe=None):
    exe = exe or os.path.join(root, "build", "bench", "SheetScaleBench.exe")
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    command = [os.path.join(root, "tools", "wine-run"), exe, str(formulas), sheet]
    run = subprocess.run(command, env=env, capture_output=True, text=True)
    if run.returncode != 0:
        # Shown, then tried once more: a run that fails twice ends the comparison.
        print("kestrova %d %s failed (%d): %s" % (formulas, sheet, run.returncode, run.stderr.strip()[-2000:]),
              flush=True)
        run = subprocess.run(command, env=env, capture_output=True, text=True, check=True)
    line = run.stdout.strip().splitlines()[-1]
    figures = dict(pair.split("=", 1) for pair in line.split()[1:])
    return {key: float(figures[key]) for key in
            ("entering_ns", "one_pass_ns", "all_dirty_ns", "chain_s", "bytes_per_formula")}


def free_port():
    """A port no one listens on now, so that two comparisons side by side
    each talk to their own LibreOffice."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Office:
    def __init__(self, workdir):
        self.profile = os.path.join(workdir, "profile")
        connection = "socket,host=127.0.0.1,port=%d;urp;" % free_port()
        self.process = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo",
             "-env:UserInstallation=file://" + self.profile, "--accept=" + connection],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(120):
            if self.process.poll() is not None:
                raise RuntimeError("LibreOffice ended before it listened on " + connection)
            try:
                context = resolver.resolve("uno:" + connection + "StarOffice.ComponentContext")
                break
            except Exception:
                time.sleep(0.5)
        else:
            raise RuntimeError("LibreOffice did not start")
        self.desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        self.process.wait(timeout=60)

    def measure(self, source, formulas):
        hidden = PropertyValue()
        hidden.Name, hidden.Value = "Hidden", True
        document = self.desktop.loadComponentFromURL("file://" + source, "_blank", 0, (hidden,))
        table = document.Sheets.getByIndex(0)
        rows = formulas // 4
        start = time.perf_counter()
        document.calculateAll()
        calculate_all = time.perf_counter() - start
        head = table.getCellByPosition(0, 0)
        last = table.getCellByPosition(4, rows - 1)
        start = time.perf_counter()
        head.setValue(5.0)
        last.getValue()
        chain = time.perf_counter() - start
        document.close(True)
        return {"calculate_all_s": calculate_all, "chain_s": chain}


def timed_run(command):
    """Wall seconds and the peak resident kilobytes of one command, the
    peak as time(1) reports it (the child of a large Python process would
    count the parent's pages it started with)."""
    start = time.perf_counter()
    finished = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - start
    if finished.returncode != 0:
        raise RuntimeError("failed: " + " ".join(command))
    return seconds, int(finished.stderr.strip().splitlines()[-1])


RECALC_CALL = re.compile(r"workbook_recalc_all\(.*<([0-9.]+)>\s*$", re.MULTILINE)


def gnumeric(workdir, source, formulas):
    """Gnumeric's recalculate-all, timed inside its converter: ltrace times
    ssconvert's one call of workbook_recalc_all on Gnumeric's own file
    (whose stored results it trusts), the quickest of a few runs. The
    converter's peak memory comes from one run without ltrace."""
    native = source.replace(".ods", ".gnumeric")
    if not os.path.exists(native):
        timed_run(["ssconvert", source, native])
    output = os.path.join(workdir, "values.csv")
    times = []
    for _ in range(3):
        traced = subprocess.run(["ltrace", "-T", "-e", "workbook_recalc_all", "ssconvert", "--recalc", native, output],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        found = RECALC_CALL.search(traced.stderr)
        if traced.returncode != 0 or not found:
            raise RuntimeError("no timed recalculation from ssconvert: " + traced.stderr.strip()[-2000:])
        times.append(float(found.group(1)))
    return {"recalc_s": min(times), "peak_kb": timed_run(["ssconvert", native, output])[1]}


def main():
    root = sys.argv[1]
    sizes = [int(size) for size in sys.argv[2:]] or [10000, 100000, 1000000]
    workdir = tempfile.mkdtemp(prefix="kestrova-compare-")
    office = Office(workdir)
    results = {}
    try:
        for round_number in range(ROUNDS):
            for formulas in sizes:
                for sheet in SHEETS:
                    key = (formulas, sheet)
                    entry = results.setdefault(key, {"kestrova": [], "before": [], "office": [], "gnumeric": []})
                    entry["kestrova"].append(kestrova(root, formulas, sheet))
                    if BEFORE:
                        entry["before"].append(kestrova(root, formulas, sheet, BEFORE))
                    source = os.path.join(workdir, "%s-%d.ods" % (sheet, formulas))
                    if round_number == 0:
                        write_workbook(source, formulas, sheet)
                    entry["office"].append(office.measure(source, formulas))
                    entry["gnumeric"].append(gnumeric(workdir, source, formulas))
                    print("round %d: %d %s done" % (round_number + 1, formulas, sheet), flush=True)
        # Gnumeric's memory: its peak with the formulas less its peak with a
        # sheet of ten.
        small = os.path.join(workdir, "small.ods")
        write_workbook(small, 40, "arithmetic")
        small_peak = gnumeric(workdir, small, 40)["peak_kb"]
    finally:
        office.close()

    def median(entries, name):
        return statistics.median(entry[name] for entry in entries)

    def ratio(mine, theirs):
        # Below the converter's own noise Gnumeric's time reads as nothing.
        return mine / theirs if theirs > 0 else float("nan")

    print()
    print("%-10s %9s | %-28s | %-28s | %-22s | %-11s | %s" % (
        "sheet", "formulas", "one pass ns (xGnm, xLO)", "all dirty ns (xGnm, xLO)", "chain change s (xLO)",
        "entering ns", "bytes/formula (xGnm)"))
    for (formulas, sheet), entry in sorted(results.items()):
        one_pass = median(entry["kestrova"], "one_pass_ns")
        all_dirty = median(entry["kestrova"], "all_dirty_ns")
        chain = median(entry["kestrova"], "chain_s")
        entering = median(entry["kestrova"], "entering_ns")
        memory = median(entry["kestrova"], "bytes_per_formula")
        gnumeric_ns = median(entry["gnumeric"], "recalc_s") * 1e9 / formulas
        office_ns = median(entry["office"], "calculate_all_s") * 1e9 / formulas
        office_chain = median(entry["office"], "chain_s")
        gnumeric_bytes = max(median(entry["gnumeric"], "peak_kb") - small_peak, 1) * 1024.0 / formulas
        print("%-10s %9d | %7.0f (%5.2f, %5.2f)        | %7.0f (%5.2f, %5.2f)        | %9.5f (%5.2f)      | %11.0f "
              "| %5.0f (%4.2f)" % (
                  sheet, formulas, one_pass, ratio(one_pass, gnumeric_ns), ratio(one_pass, office_ns),
                  all_dirty, ratio(all_dirty, gnumeric_ns), ratio(all_dirty, office_ns), chain,
                  ratio(chain, office_chain), entering, memory,
                  ratio(memory, gnumeric_bytes)))
    def goals(entries, entry, formulas, sheet):
        entering = median(entries, "entering_ns")
        all_dirty = ratio(median(entries, "all_dirty_ns"), median(entry["gnumeric"], "recalc_s") * 1e9 / formulas)
        line = "%-10s %9d  entering %5.0f ns (goal <= 700 ns)  all dirty %5.2f x Gnumeric (goal <= 0.3)" % (
            sheet, formulas, entering, all_dirty)
        if sheet == "mixed":
            line += "  chain change %5.2f x LibreOffice (goal <= 0.3)" % ratio(
                median(entries, "chain_s"), median(entry["office"], "chain_s"))
        return line

    print("Goals:")
    for (formulas, sheet), entry in sorted(results.items()):
        if BEFORE:
            print("  before " + goals(entry["before"], entry, formulas, sheet))
            print("  after  " + goals(entry["kestrova"], entry, formulas, sheet))
        else:
            print("  " + goals(entry["kestrova"], entry, formulas, sheet))
    print("Gnumeric ns/formula and LibreOffice ns/formula per size:")
    for (formulas, sheet), entry in sorted(results.items()):
        print("  %-10s %9d  Gnumeric %7.0f  LibreOffice %7.0f" % (
            sheet, formulas, median(entry["gnumeric"], "recalc_s") * 1e9 / formulas,
            median(entry["office"], "calculate_all_s") * 1e9 / formulas))


if __name__ == "__main__":
    main()
