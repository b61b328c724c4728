"""Drives the real program as a user does: a virtual X display and a Wine
prefix of its own, keys and clicks through the X server, values read back
through the clipboard and the files the program writes."""
import hashlib
import os
import random
import shutil
import signal
import subprocess
import threading
import time

import wine_prefix
from wine_prefix import wine_binary

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


KEY_NAMES = {" ": "space", "-": "minus", "+": "plus", ".": "period", ",": "comma", ";": "semicolon",
             ":": "colon", "(": "parenleft", ")": "parenright", "=": "equal", "*": "asterisk",
             "/": "slash", "<": "less", ">": "greater", '"': "quotedbl", "'": "apostrophe",
             "_": "underscore", "{": "braceleft", "}": "braceright", "!": "exclam", "\n": "Return",
             "\t": "Tab", "[": "bracketleft", "]": "bracketright", "&": "ampersand", "|": "bar",
             "%": "percent", "\\": "backslash", "#": "numbersign", "?": "question", "^": "asciicircum"}

NOTHING_COPIED = "(nothing copied)"


class ScenarioFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise ScenarioFailure(message)


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
        if not number:
            self.close()
            raise ScenarioFailure("the virtual display did not start")
        self.name = ":" + number

    def close(self):
        self.server.terminate()
        self.server.wait()


class ClipboardManagerHold:
    """Holds Wine's clipboard manager of one prefix still for 6 s, a hold
    beginning every 6 to 14 s, as a starved process on a busy machine is
    held: the manager is a thread of the prefix's desktop process,
    explorer.exe, which is stopped whole."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.hold, daemon=True)
        self.holds = 0

    def desktop_processes(self):
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as file:
                    command = file.read()
                if b"explorer.exe" not in command.lower():
                    continue
                with open("/proc/%s/environ" % entry, "rb") as file:
                    variables = file.read().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=" + self.prefix).encode() in variables:
                found.append(int(entry))
        return found

    def hold(self):
        while not self.stopping.wait(random.uniform(0, 8)):
            held = self.desktop_processes()
            for pid in held:
                os.kill(pid, signal.SIGSTOP)
            if held:
                self.holds += 1
            self.stopping.wait(6)
            for pid in held:
                try:
                    os.kill(pid, signal.SIGCONT)
                except ProcessLookupError:
                    pass

    def start(self):
        self.thread.start()

    def end(self):
        """Lets the manager go on, for good."""
        self.stopping.set()
        self.thread.join()


class Program:
    """The program started on one working folder, on one display, with one
    Wine prefix; the prefix's locale is that of a German user when asked."""

    def __init__(self, scenario, folder, german=False):
        self.scenario = scenario
        self.folder = folder
        self.german = german
        self.process = None
        self.feeder = None
        self.main = None
        self.clipboard_hold = None
        self.output = None
        self.prefix = os.path.join(scenario.work, "wineprefix")
        self.environment = wine_prefix.environment(self.prefix, scenario.display.name)
        if german:
            self.environment.update(LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8")

    def start(self, pick="Return", after_pick=None, before_pick=None):
        """Starts the program from the folder's own copy and accepts the
        portfolio pick dialog with the given key; before_pick first answers
        what the start shows before that dialog, after_pick what comes
        before the main window; returns the main window."""
        wine_prefix.make(self.prefix, self.german)
        try:
            wine_prefix.bring_up(self.environment)
        except wine_prefix.PrefixFailure as failure:
            raise ScenarioFailure(str(failure))
        executable = os.path.join(self.folder, "program", "Kestrova.exe")
        # What Wine says, a crash among it, is kept beside the screen grabs.
        self.output = os.path.join(self.scenario.work, "program-%d.txt" % len(self.scenario.programs))
        with open(self.output, "wb") as output:
            self.process = subprocess.Popen([wine_binary("wine"), executable], cwd=self.folder,
                                            env=self.environment, stdout=output, stderr=subprocess.STDOUT,
                                            start_new_session=True)
        if self.scenario.hold_clipboard_manager:
            self.clipboard_hold = ClipboardManagerHold(self.prefix)
            self.clipboard_hold.start()
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

    def said(self):
        """What Wine and the program wrote to their output, for a report."""
        try:
            with open(self.output, encoding="utf-8", errors="replace") as output:
                text = output.read().strip()
        except (OSError, TypeError):
            return ""
        return "; it wrote:\n" + text[-2000:] if text else ""

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
            check(self.running(), "the program ended with exit code %s while a window \"%s\" was awaited%s"
                  % (self.process.poll() if self.process else None, title, self.said()))
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
        """The clipboard's text; empty when its owner gives none in time."""
        try:
            result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.environment,
                                    capture_output=True, text=True, timeout=5)
        except subprocess.TimeoutExpired:
            return ""
        return result.stdout

    def set_clipboard(self, text, seconds=20):
        """Puts the text on the clipboard, there once this returns. xclip
        keeps it, in the foreground, until the program takes the clipboard
        over."""
        self.end_feeder()
        self.feeder = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", "clipboard"],
                                       env=self.environment, stdin=subprocess.PIPE,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.feeder.stdin.write(text.encode())
        self.feeder.stdin.close()
        deadline = time.time() + seconds
        while self.clipboard() != text:
            check(time.time() < deadline, "the clipboard did not take a text within %d s" % seconds)
            time.sleep(0.1)

    def end_feeder(self):
        if self.feeder:
            self.feeder.terminate()
            self.feeder.wait()
            self.feeder = None

    def copied(self, *keys, window=None, seconds=90):
        """The text the keys copy (the last of them Ctrl+C), NOTHING_COPIED
        when none came. On a busy machine Wine hands a copy on to the X
        clipboard seconds later or not at all, and may answer a read
        meanwhile with nothing: so the read waits, and the keys copy again
        every few seconds. Each round first puts the marker back: Wine's
        clipboard manager takes over what xclip offers, and a copy the
        manager did not answer in time (starved on a busy machine) leaves
        it deaf to every later copy until another X client takes the
        clipboard. A manager held still more than half the time on a
        machine already starved took over 40 s to let one copy through."""
        deadline = time.time() + seconds
        while True:
            self.set_clipboard(NOTHING_COPIED)
            self.key(*keys, window=window)
            again = min(time.time() + 5, deadline)
            while time.time() < again:
                text = self.clipboard().strip()
                if text not in ("", NOTHING_COPIED):
                    return text
                time.sleep(0.2)
            if time.time() >= deadline:
                return NOTHING_COPIED

    def window_texts(self, caption, seconds=60):
        """The lines of text of the shown window of that caption and of its
        controls (a message box's question and its buttons), read through
        the Windows API by a helper program started under the program's own
        Wine server. A message box copies nothing at Ctrl+C under Wine."""
        helper = os.path.join(self.scenario.build, "tests", "windowtexts.exe")
        check(os.path.exists(helper), "%s is not built: the window's text cannot be read" % helper)
        try:
            result = subprocess.run([wine_binary("wine"), helper, caption], env=self.environment,
                                    stdin=subprocess.DEVNULL, capture_output=True, timeout=seconds)
        except subprocess.TimeoutExpired:
            raise ScenarioFailure("the text of the window \"%s\" was not read within %d s" % (caption, seconds))
        check(result.returncode == 0, "the text of the window \"%s\" could not be read (exit code %d)"
              % (caption, result.returncode))
        return [line.rstrip("\r") for line in result.stdout.decode("cp1252", errors="replace").split("\n") if line]

    def read_cell(self):
        """The current cell's text as its editor shows it: the editor is
        opened with Enter, its text copied and the editor left with Esc."""
        self.key("Return")
        text = self.copied("End", "shift+Home", "ctrl+c")
        self.key("Escape")
        return text

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
        self.end_clipboard_hold()
        self.end_prefix()
        check(self.process.returncode == 0,
              "the program ended with exit code %d%s" % (self.process.returncode, self.said()))

    def kill(self):
        self.end_clipboard_hold()
        if self.running():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.end_feeder()
        self.end_prefix()

    def end_clipboard_hold(self):
        if self.clipboard_hold:
            self.clipboard_hold.end()
            self.scenario.note("the clipboard manager was held still %d times" % self.clipboard_hold.holds)
            self.clipboard_hold = None

    def end_prefix(self):
        wine_prefix.end(self.environment)


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
        # Every program started holds its prefix's clipboard manager still
        # now and then (see ClipboardManagerHold).
        self.hold_clipboard_manager = False

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


def with_clipboard_manager_held(steps):
    """The scenario's steps with every program's clipboard manager held
    still now and then: reads through the clipboard must still come."""
    def held(scenario):
        scenario.hold_clipboard_manager = True
        steps(scenario)
    return held


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
