"""A Wine prefix of its own for one start of the program: made from the
user's prefix, brought up before the program starts in it, and ended with
every process it holds. The scenarios use it; tools/pictures too, through
    python3 tests/scenarios/wine_prefix.py PREFIX
which makes and brings up the prefix for the display in DISPLAY, and
    python3 tests/scenarios/wine_prefix.py --end PREFIX
which ends it."""
import os
import re
import shutil
import signal
import subprocess
import sys

GERMAN = {"Locale": "00000407", "LocaleName": "de-DE", "sDecimal": ",", "sThousand": ".",
          "sList": ";", "sShortDate": "dd.MM.yyyy", "sDate": ".", "iDate": "1",
          "sCountry": "Germany", "sLanguage": "DEU", "sCurrency": "\u20ac"}


class PrefixFailure(Exception):
    pass


def wine_binary(name):
    for path in ("/usr/lib/wine/" + name, "/usr/lib/wine/%s64" % name):
        if os.access(path, os.X_OK):
            return path
    return name + "64" if name == "wine" else name


def environment(prefix, display):
    return dict(os.environ, DISPLAY=display, WINEPREFIX=prefix, WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=")


def make(prefix, german=False):
    base = os.environ.get("KESTROVA_BASE_WINEPREFIX", os.path.expanduser("~/.wine"))
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(os.path.join(prefix, "dosdevices"))
    for name in os.listdir(base):
        if name.endswith(".reg") or name == ".update-timestamp":
            shutil.copy(os.path.join(base, name), prefix)
    os.symlink(os.path.join(base, "drive_c"), os.path.join(prefix, "drive_c"))
    os.symlink("../drive_c", os.path.join(prefix, "dosdevices", "c:"))
    os.symlink("/", os.path.join(prefix, "dosdevices", "z:"))
    with open(os.path.join(prefix, "user.reg"), "a") as registry:
        # Unmanaged windows: no window manager runs on the virtual display.
        registry.write('\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n')
        # A crash ends the program instead of waiting in a dialog no one sees.
        registry.write('\n[Software\\\\Wine\\\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n')
    if german:
        set_german_locale(prefix)


def set_german_locale(prefix):
    path = os.path.join(prefix, "user.reg")
    with open(path, encoding="utf-8", errors="surrogateescape") as registry:
        text = registry.read()
    for key, value in GERMAN.items():
        text = re.sub(r'^"%s"=".*"$' % key, '"%s"="%s"' % (key, value), text, flags=re.M)
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as registry:
        registry.write(text)


def bring_up(environment, seconds=60):
    """Wine's first process in a new prefix starts the prefix's services.
    On a loaded machine such a start has been seen to stay in Wine's own
    start-up for good, showing nothing. That start runs here on its own,
    once more on a fresh server when it hangs, so that a program start that
    shows nothing is the program's."""
    for _ in range(2):
        starter = subprocess.Popen([wine_binary("wine"), "cmd", "/c", "exit"], env=environment,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        try:
            starter.wait(timeout=seconds)
            return
        except subprocess.TimeoutExpired:
            os.killpg(starter.pid, signal.SIGKILL)
            starter.wait()
            end(environment)
    raise PrefixFailure("Wine did not start in a new prefix within %d s, twice" % seconds)


def end(environment):
    """Ends the prefix's server with every process it serves, waits for it
    to be gone and removes the folder of its socket."""
    server = wine_binary("wineserver")
    subprocess.run([server, "-k"], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        subprocess.run([server, "-w"], env=environment, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
    except subprocess.TimeoutExpired:
        return
    remove_server_folder(environment["WINEPREFIX"])


def remove_server_folder(prefix):
    """Debian's Wine puts a server's socket into a folder of its own in the
    temporary folder, names it in the prefix's file "wineserver" and leaves
    it there when the server ends: one more folder for every prefix made."""
    try:
        with open(os.path.join(prefix, "wineserver")) as file:
            name = file.read().strip()
    except OSError:
        return
    if re.fullmatch(r"wine-[A-Za-z0-9]{6}", name):
        shutil.rmtree(os.path.join(os.environ.get("TMPDIR", "/tmp"), name), ignore_errors=True)


def main():
    if sys.argv[1] == "--end":
        prefix = os.path.abspath(sys.argv[2])
        end(environment(prefix, os.environ.get("DISPLAY", "")))
        return 0
    prefix = os.path.abspath(sys.argv[1])
    make(prefix)
    try:
        bring_up(environment(prefix, os.environ["DISPLAY"]))
    except PrefixFailure as failure:
        print(failure)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
