"""Values read back from the program's windows without reading glyphs: a
field of the colour kind fills its cell with its value as the colour, so a
read-out field holding a formula's value in whole units (for example cents)
shows that value exactly in the colour of its cell's pixels."""
import re
import subprocess

WHITE = 0xFFFFFF


def add_readout_fields(path, fields):
    """Appends colour fields (header, formula in the stored form) to a field
    file as the program writes one; answers their indexes."""
    with open(path, "rb") as file:
        text = file.read().decode("latin-1")
    count = int(re.search(r"^Count=(\d+)", text, re.M).group(1))
    text = re.sub(r"^Count=\d+", "Count=%d" % (count + len(fields)), text, count=1, flags=re.M)
    text = text.rstrip("\r\n") + "\r\n"
    for offset, (header, formula) in enumerate(fields):
        text += "\r\n[%d]\r\nLocked=1\r\nContent=%s\r\nKind=8\r\nMaxDecimals=0\r\nHeader=%s\r\n" % (
            count + offset, formula, header)
    with open(path, "wb") as file:
        file.write(text.encode("latin-1"))
    return list(range(count, count + len(fields)))


def pixel_value(program, x, y):
    """The colour at a place of the main window as the integer whose colour
    it is (red in the low byte, as Windows keeps colours); None for the
    white of a cell without a valid value."""
    geometry = program.xdotool("getwindowgeometry", program.main)
    left, top = (int(n) for n in re.search(r"Position: (\d+),(\d+)", geometry).groups())
    result = subprocess.run(["import", "-display", program.scenario.display.name, "-window", "root",
                             "-crop", "1x1+%d+%d" % (left + x, top + y), "-depth", "8", "txt:-"],
                            capture_output=True, text=True)
    red, green, blue = (int(n) for n in re.search(r"\((\d+),(\d+),(\d+)", result.stdout).groups()[:3])
    value = red + (green << 8) + (blue << 16)
    return None if value == WHITE else value


def region_pixels(program, x, y, width, height):
    """The raw colours of a rectangle of the main window, to tell whether
    a chart drawn there changed; not read as text."""
    geometry = program.xdotool("getwindowgeometry", program.main)
    left, top = (int(n) for n in re.search(r"Position: (\d+),(\d+)", geometry).groups())
    result = subprocess.run(["import", "-display", program.scenario.display.name, "-window", "root",
                             "-crop", "%dx%d+%d+%d" % (width, height, left + x, top + y), "-depth", "8", "rgb:-"],
                            capture_output=True)
    return result.stdout
