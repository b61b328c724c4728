"""Drives the real program as a user does: a virtual X display and a Wine
prefix of its own, keys and clicks through the X server, values read back
through the clipboard and the files the program writes."""
import hashlib
import os
import re
import shutil
import signal
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


KEY_NAMES = {" ": "space", "-": "minus", "+": "plus", ".": "period", ",": "comma", ";": "semicolon",
             ":": "colon", "(": "parenleft", ")": "parenright", "=": "equal", "*": "asterisk",
             "/": "slash", "<": "less", ">": "greater", '"': "quotedbl", "'": "apostrophe",
             "_": "underscore", "{": "braceleft", "}": "braceright", "!": "exclam", "\n": "Return",
             "\t": "Tab", "[": "bracketleft", "]": "bracketright", "&": "ampersand", "|": "bar",
             "%": "percent", "\\": "backslash", "#": "numbersign", "?": "question", "^": "asciicircum"}


class ScenarioFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise ScenarioFailure(message)


def wine_binary(name):
    for path in ("/usr/lib/wine/" + name, "/usr/lib/wine/%s64" % name):
        if os.access(path, os.X_OK):
            return path
    return name + "64" if name == "wine" else name


class Display:
    """One Xvfb server, so that scenarios running side by side neither cover
    each other's windows nor take each other's focus."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number, "the virtual display did not start")
        self.name = ":" + number

    def close(self):
        self.server.terminate()
        self.server.wait()


class Program:
    """The program started on one working folder, on one display, with one
    Wine prefix; the prefix's locale is that of a German user when asked."""

    def __init__(self, scenario, folder, german=False):
        self.scenario = scenario
        self.folder = folder
        self.german = german
        self.process = None
        self.main = None
        self.prefix = os.path.join(scenario.work, "wineprefix")
        self.environment = dict(os.environ, DISPLAY=scenario.display.name, WINEPREFIX=self.prefix,
                                WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")

    def make_prefix(self):
        base = os.environ.get("KESTROVA_BASE_WINEPREFIX", os.path.expanduser("~/.wine"))
        shutil.rmtree(self.prefix, ignore_errors=True)
        os.makedirs(os.path.join(self.prefix, "dosdevices"))
        for name in os.listdir(base):
            if name.endswith(".reg") or name == ".update-timestamp":
                shutil.copy(os.path.join(base, name), self.prefix)
        os.symlink(os.path.join(base, "drive_c"), os.path.join(self.prefix, "drive_c"))
        os.symlink("../drive_c", os.path.join(self.prefix, "dosdevices", "c:"))
        os.symlink("/", os.path.join(self.prefix, "dosdevices", "z:"))
        with open(os.path.join(self.prefix, "user.reg"), "a") as registry:
            # Unmanaged windows: no window manager runs on the virtual display.
            registry.write('\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n')
            # A crash ends the program instead of waiting in a dialog no one sees.
            registry.write('\n[Software\\\\Wine\\\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n')
        if self.german:
            self.set_german_locale()

    def bring_up_prefix(self):
        """Wine's first process in a new prefix starts the prefix's services.
        With the scenarios side by side, a start in a new prefix has been
        seen to show nothing for minutes. That start runs here on its own,
        once more on a fresh server when it hangs, so that a program start
        that shows nothing is the program's."""
        for _ in range(2):
            try:
                subprocess.run([wine_binary("wine"), "cmd", "/c", "exit"], env=self.environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                               start_new_session=True)
                return
            except subprocess.TimeoutExpired:
                self.end_prefix()
        raise ScenarioFailure("Wine did not start in a new prefix within a minute, twice")

    def set_german_locale(self):
        path = os.path.join(self.prefix, "user.reg")
        with open(path, encoding="utf-8", errors="surrogateescape") as registry:
            text = registry.read()
        german = {"Locale": "00000407", "LocaleName": "de-DE", "sDecimal": ",", "sThousand": ".",
                  "sList": ";", "sShortDate": "dd.MM.yyyy", "sDate": ".", "iDate": "1",
                  "sCountry": "Germany", "sLanguage": "DEU", "sCurrency": "\u20ac"}
        for key, value in german.items():
            text = re.sub(r'^"%s"=".*"$' % key, '"%s"="%s"' % (key, value), text, flags=re.M)
        with open(path, "w", encoding="utf-8", errors="surrogateescape") as registry:
            registry.write(text)
        self.environment.update(LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8")

    def start(self, pick="Return", after_pick=None, before_pick=None):
        """Starts the program from the folder's own copy and accepts the
        portfolio pick dialog with the given key; before_pick first answers
        what the start shows before that dialog, after_pick what comes
        before the main window; returns the main window."""
        self.make_prefix()
        self.bring_up_prefix()
        executable = os.path.join(self.folder, "program", "Kestrova.exe")
        self.process = subprocess.Popen([wine_binary("wine"), executable], cwd=self.folder,
                                        env=self.environment, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        if before_pick:
            before_pick()
        picker = self.await_window("^Loaded portfolios$", 90)
        time.sleep(0.5)
        self.key(pick, window=picker)
        if after_pick:
            after_pick()
        self.main = self.await_window("^Kestrova: ", 60)
        self.settle(1.5)
        return self.main

    def running(self):
        return self.process is not None and self.process.poll() is None

    def xdotool(self, *arguments):
        result = subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.environment,
                                capture_output=True, text=True)
        return result.stdout.strip()

    def windows(self, title):
        return [w for w in self.xdotool("search", "--onlyvisible", "--name", title).split() if w]

    def await_window(self, title, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            found = self.windows(title)
            if found:
                return found[0]
            check(self.running(), "the program ended while a window \"%s\" was awaited" % title)
            time.sleep(0.1)
        self.scenario.grab("no-window")
        raise ScenarioFailure("no window \"%s\" within %d s" % (title, seconds))

    def await_no_window(self, title, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if not self.windows(title):
                return
            time.sleep(0.1)
        self.scenario.grab("window-stays")
        raise ScenarioFailure("the window \"%s\" is still there after %d s" % (title, seconds))

    def title(self, window=None):
        return self.xdotool("getwindowname", window or self.main)

    def settle(self, seconds=0.5):
        time.sleep(seconds)

    def key(self, *keys, window=None):
        if window:
            self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", "--delay", "60", *keys)
        self.settle(0.3)

    def type(self, text):
        """Types the text key by key: xdotool's own typing is lost on the
        program's in-place editors."""
        self.xdotool("key", "--delay", "15", *[KEY_NAMES.get(c, c) for c in text])
        self.settle(0.3)

    def click(self, x, y, button=1, window=None):
        self.xdotool("mousemove", "--window", window or self.main, x, y, "click", button)
        self.settle(0.5)

    def tab(self, name):
        """The main window's tabs by their places in the tab row."""
        places = {"Portfolios": 30, "Assets": 90, "Quotes": 142, "Transactions": 207,
                  "System": 272, "Macros": 325, "Downloads": 387, "Web": 447}
        self.click(places[name], 32)
        self.settle(1)

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.environment,
                                capture_output=True, text=True, timeout=10)
        return result.stdout

    def set_clipboard(self, text):
        # xclip keeps the text until the program takes the clipboard over.
        feeder = subprocess.Popen(["xclip", "-i", "-selection", "clipboard"],
                                  env=self.environment, stdin=subprocess.PIPE,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        feeder.stdin.write(text.encode())
        feeder.stdin.close()
        feeder.wait(timeout=5)

    def read_cell(self):
        """The current cell's text as its editor shows it: the editor is
        opened with Enter, its text copied and the editor left with Esc."""
        self.set_clipboard("(nothing copied)")
        self.key("Return")
        self.key("End", "shift+Home", "ctrl+c")
        text = self.clipboard()
        self.key("Escape")
        return text.strip()

    def exit(self, seconds=60):
        """A normal exit: Alt+F4 on the main window, then the program must
        end, and end as a closed program does: a crash ends it too, with an
        exit code of its own."""
        self.key("alt+F4", window=self.main)
        deadline = time.time() + seconds
        while self.running() and time.time() < deadline:
            time.sleep(0.2)
        if self.running():
            self.scenario.grab("no-exit")
            self.kill()
            raise ScenarioFailure("the program did not end within %d s of Alt+F4" % seconds)
        self.end_prefix()
        check(self.process.returncode == 0, "the program ended with exit code %d" % self.process.returncode)

    def kill(self):
        if self.running():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.end_prefix()

    def end_prefix(self):
        subprocess.run([wine_binary("wineserver"), "-k"], env=self.environment,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Scenario:
    """One scenario's display, working folders and screen grabs, all under
    the build folder; kept for the reader when the scenario fails."""

    def __init__(self, name, build):
        self.name = name
        self.build = build
        self.work = os.path.join(build, "scenarios", name)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.display = Display()
        self.grabs = 0
        self.notes = []
        self.programs = []

    def working_folder(self, name="work"):
        """A fresh copy of the sample made as tools/run makes one."""
        folder = os.path.join(self.work, name)
        subprocess.run([os.path.join(ROOT, "tools", "prepare-working-folder"), os.path.join(ROOT, "data"),
                        folder, os.environ.get("KESTROVA_PROGRAM",
                                               os.path.join(self.build, "app", "program", "Kestrova.exe"))],
                       check=True, stdout=subprocess.DEVNULL)
        return folder

    def note(self, text):
        """A line for the report, passed or failed."""
        self.notes.append(text)

    def sample_folder(self):
        return os.path.join(ROOT, "data")

    def program(self, folder, german=False):
        program = Program(self, folder, german)
        self.programs.append(program)
        return program

    def grab(self, label):
        self.grabs += 1
        path = os.path.join(self.work, "%02d-%s.png" % (self.grabs, label))
        subprocess.run(["import", "-display", self.display.name, "-window", "root", path],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def close(self, passed):
        for program in self.programs:
            program.kill()
        self.display.close()
        if passed:
            shutil.rmtree(self.work, ignore_errors=True)


def files_in(folder, skip=("program",)):
    """(path inside the folder, full path) of every file, leaving out the
    places named in skip."""
    for directory, subdirectories, files in os.walk(folder):
        subdirectories[:] = [d for d in subdirectories if os.path.relpath(os.path.join(directory, d), folder) not in skip]
        for name in files:
            path = os.path.join(directory, name)
            if os.path.relpath(path, folder) not in skip:
                yield os.path.relpath(path, folder), path


def file_states(folder, skip=("program",)):
    """Each file's content digest by its path inside the folder."""
    states = {}
    for place, path in files_in(folder, skip):
        with open(path, "rb") as file:
            states[place] = hashlib.sha1(file.read()).hexdigest()
    return states


def changed_files(before, after):
    return sorted(path for path in set(before) | set(after) if before.get(path) != after.get(path))


def modification_times(folder, skip=("program",)):
    return {place: os.stat(path).st_mtime_ns for place, path in files_in(folder, skip)}
