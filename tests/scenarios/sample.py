"""Reads the working folder's files independently of the program: settings
files, price files and the dates the program stores."""
import datetime
import os

EPOCH = datetime.date(1899, 12, 30)


def read_ini(path):
    """Sections of key/value pairs; keys upper-cased as the program reads them."""
    sections = {}
    current = None
    with open(path, encoding="latin-1") as file:
        for line in file.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif current is not None and "=" in line:
                key, value = line.split("=", 1)
                current[key.strip().upper()] = value.strip()
    return sections


def day_number(date):
    return (date - EPOCH).days


def date_of(day):
    return EPOCH + datetime.timedelta(days=int(day))


def read_closes(path, close_column):
    """Closes by day number from a comma-separated price file whose first
    column is the date, as YYYY-MM-DD or MM/DD/YYYY."""
    closes = {}
    with open(path) as file:
        for line in file.read().splitlines():
            parts = line.split(",")
            if len(parts) <= close_column:
                continue
            text = parts[0]
            if len(text) == 10 and text[4] == "-":
                date = datetime.date.fromisoformat(text)
            elif len(text) == 10 and text[2] == "/":
                date = datetime.date(int(text[6:]), int(text[:2]), int(text[3:5]))
            else:
                continue
            closes[day_number(date)] = float(parts[close_column])
    return closes


def close_on_or_before(closes, day):
    earlier = [d for d in closes if d <= day]
    return closes[max(earlier)] if earlier else None


def transactions(folder):
    """Every transaction file of an asset's transaction folder by its number."""
    found = {}
    for name in os.listdir(folder):
        if name.upper().endswith(".INI"):
            record = read_ini(os.path.join(folder, name))["Transaction"]
            found[int(record["NUMBER"])] = record
    return found


def same_number(a, b, tolerance=1e-9):
    return abs(float(a) - float(b)) <= tolerance * max(1.0, abs(float(a)), abs(float(b)))
