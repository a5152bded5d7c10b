"""The program as a user starts it, in a program folder of its own, with its settings, its ticker file and its
outside servers prepared beforehand; and the base of every case."""

import json
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import desktop
from desktop import wait_until
from servers import LocalServer

SESSION = None  # the desktop every case shares, started by run.py
PROGRAM = None  # the program's executable

PRODUCT = "Brennavale"  # the main window's caption
SERVER_NAMES = ("SpeechComponents", "MakerHome", "MakerDownload", "ChartSite", "Provider1Quotes", "Provider1News",
                "Provider1Finance", "Provider2Quotes", "FundamentalsSite", "SignalSite", "MarketNewsSite",
                "SmsListSite")
SERVERS_KEY = "HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers"

# Programs a desktop may use to open an address or a document. In a test run each of them is a recorder:
# the program's launch point opens addresses through the desktop, and nothing outside may start.
OPENERS = ("xdg-open", "gio", "gvfs-open", "gnome-open", "kde-open", "kde-open5", "kfmclient", "exo-open",
           "x-www-browser", "www-browser", "sensible-browser", "firefox", "google-chrome", "chromium", "mozilla",
           "opera", "notepad", "notepad.exe")


def pixels(twips):
    """Twips of a form's design as pixels of the screen: 15 twips a pixel of the window, rounded as the program
    does, and a pixel of the window as many of the screen as the desktop's font DPI scales it to."""
    return scaled(int(twips / 15 + 0.5))


def scaled(window_pixels):
    """Pixels of a window (as at 96 DPI) as pixels of the screen."""
    return int(window_pixels * desktop.SCALE + 0.5)


def user_key():
    # the program keeps its per-user settings under the user's login name in capitals
    return pwd.getpwuid(os.geteuid()).pw_name.strip().upper()[:24] or "ADMIN"


def settings_key(section):
    return f"HKEY_CURRENT_USER\\Software\\Program Settings\\VYK\\Brennavale\\{user_key()}\\{section}"


def ticker_line(ticker, high="", low="", provider="1", stamp="00:00:00"):
    return f'"{ticker}","{high}","{low}","{provider}","{stamp}"\r\n'


class Program:
    """One run of the real program. Use it as a context manager: the folder goes at the end, and when the
    block fails, what the program left behind is printed first."""

    def __init__(self, settings=None, tickers=None, servers=None, main_at=(1500, 1500), start=True, session=None,
                 address_space=None):
        """start=False: the block starts the program itself (launch, then started). session: another desktop
        than the suite's. address_space: the most address space the program may have, in bytes (prlimit)."""
        self.session = session or SESSION
        self.address_space = address_space
        self.root = tempfile.mkdtemp(prefix="tollerwick-case-")
        self.home = os.path.join(self.root, "Tollerwick")
        self.server = LocalServer().start()
        self.process = None
        self.container = None
        self.main = None
        self.start_on_enter = start
        hosts = {name: self.server.host for name in SERVER_NAMES}
        hosts.update(servers or {})
        self.settings = {"chkAutoUpdate": "0", "chkScrollingTicker": "0", "chkTooltip": "0"}
        self.settings.update(settings or {})
        self._lay_out(hosts, tickers if tickers is not None else [ticker_line("MSFT", "30", "20")], main_at)

    # ---- the folder

    def _lay_out(self, hosts, tickers, main_at):
        os.makedirs(os.path.join(self.home, "download"))
        for folder in ("config", "run", "cache", "data", "bin"):
            os.makedirs(os.path.join(self.root, folder), mode=0o700)
        program_folder = os.path.dirname(os.path.abspath(PROGRAM))
        common = os.path.join(program_folder, "..", "Common")
        if not os.path.isdir(common):
            common = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "Common")
        shutil.copytree(common, os.path.join(self.root, "Common"))
        with open(self.ticker_file, "w", newline="") as f:
            f.write("".join(tickers))
        keys = [
            # what a freshly installed system holds
            {"path": "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion",
             "values": [{"name": "RegisteredOrganization", "type": "REG_SZ", "data": ""}]},
            {"path": SERVERS_KEY, "values": [{"name": n, "type": "REG_SZ", "data": h} for n, h in hosts.items()]},
            {"path": settings_key("Settings"),
             "values": [{"name": n, "type": "REG_SZ", "data": str(v)} for n, v in self.settings.items()]},
            {"path": settings_key("Data"),
             "values": [{"name": "MainLeft", "type": "REG_SZ", "data": str(main_at[0])},
                        {"name": "MainTop", "type": "REG_SZ", "data": str(main_at[1])}]},
        ]
        os.makedirs(os.path.dirname(self.registry_file), mode=0o700)
        with open(self.registry_file, "w") as f:
            json.dump({"format": "registry 1", "keys": keys}, f, indent=4)
        os.chmod(self.registry_file, 0o600)
        for name in OPENERS:
            path = os.path.join(self.root, "bin", name)
            with open(path, "w") as f:
                f.write(f"#!/bin/sh\nprintf '%s\\n' \"$*\" >> '{self.launch_record}'\n")
            os.chmod(path, 0o755)

    @property
    def ticker_file(self):
        return os.path.join(self.home, "download", "TickerSettings.vyk")

    @property
    def registry_file(self):
        return os.path.join(self.root, "config", "VYK", "registry.json")

    @property
    def error_log(self):
        return os.path.join(self.root, "Common", "error.log")

    @property
    def launch_record(self):
        return os.path.join(self.root, "launches.txt")

    def launches(self):
        try:
            with open(self.launch_record) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def read_text(self, path):
        try:
            with open(path, errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def setting(self, name, section="Settings"):
        """A value of the settings as the program left them in its registry file."""
        with open(self.registry_file) as f:
            store = json.load(f)
        for key in store["keys"]:
            if key["path"].lower() == settings_key(section).lower():
                for value in key["values"]:
                    if value["name"].lower() == name.lower():
                        return value["data"]
        return None

    # ---- the run

    def environment(self):
        env = {k: v for k, v in self.session.env.items()
               if not k.lower().endswith("_proxy") and not k.startswith(("LC_", "QT_", "XDG_", "KDE_", "GNOME_"))}
        env.update(
            DISPLAY=self.session.display,
            TOLLERWICK_HOME=self.home,
            XDG_CONFIG_HOME=os.path.join(self.root, "config"),
            XDG_RUNTIME_DIR=os.path.join(self.root, "run"),
            XDG_CACHE_HOME=os.path.join(self.root, "cache"),
            XDG_DATA_HOME=os.path.join(self.root, "data"),
            PATH=os.path.join(self.root, "bin") + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
            BROWSER=os.path.join(self.root, "bin", "xdg-open"),
            DEFAULT_BROWSER=os.path.join(self.root, "bin", "xdg-open"),
            # no session bus: the icon goes to the notification area of this desktop (XEmbed), not to the
            # developer's own desktop, and nothing is started to provide a bus
            DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(self.root, "no-bus"),
            no_proxy="*", NO_PROXY="*", LANG="C.UTF-8",
            # started as on a Wayland session with its X server beside it: the program must choose X itself
            WAYLAND_DISPLAY="wayland-tollerwick-none", XDG_SESSION_TYPE="wayland")
        env.pop("DESKTOP_SESSION", None)
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"  # the web engine refuses to start as root otherwise
        return env

    def start(self):
        return self.launch().started()

    def launch(self):
        self.log = open(os.path.join(self.root, "program.log"), "wb")
        command = [PROGRAM]
        if self.address_space:
            # prlimit sets the limit on itself and becomes the program: the process is the program's
            command = ["prlimit", f"--as={self.address_space}", "--"] + command
        self.process = subprocess.Popen(command, env=self.environment(), stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT, cwd=self.root)
        return self

    def started(self, watch=None):
        """Start-up has ended once the main window is shown and the program has made its folders (just before
        it fills the ticker table), and its error lamp has been drawn. watch: called at every look meanwhile
        (it fails the case by raising)."""
        self.main_window_shown(watch)
        return self.with_controls(watch)

    def main_window_shown(self, watch=None):
        """Waits for the main window (the splash before it has the same title) and gives it."""
        self.main = wait_until(watched(self._main_window, watch), 60, "the main window")
        return self.main

    def with_controls(self, watch=None):
        """The rest of start-up, once the main window is shown."""
        wait_until(watched(lambda: os.path.isdir(os.path.join(self.home, "documentation")), watch), 60,
                   "the program's folders")
        self.container = wait_until(watched(self._find_container, watch), 30, "the main window's controls drawn")
        return self

    def memory(self, field="VmRSS"):
        """A figure of the program's memory from /proc (VmRSS resident now, VmHWM the most it was), in bytes."""
        with open(f"/proc/{self.pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1]) * 1024
        raise AssertionError(f"no {field} for process {self.pid}")

    def _main_window(self):
        self.assert_alive()
        for w in self.session.windows(self.pid, f"^{PRODUCT}$"):
            g = self.session.geometry(w)
            if g and g[2] >= pixels(12300) - 40:  # the splash has the same title, but is smaller
                return w
        return None

    def _find_container(self):
        """Where the main window's controls start on the screen. The window has a menu bar, whose height
        depends on the desktop's font: the green error lamp (ErrorIndicator, at 9000, 3000 twips, 16 pixels
        with a one-pixel border) tells where the area of the controls lies."""
        self.assert_alive()
        g = self.session.geometry(self.main)
        if not g:
            return None
        box = self.session.find_colour((0x00, 0xFF, 0x00), window=self.main)
        # 14 pixels of the window, scaled as the desktop scales it (a pixel either way where that is no whole
        # number of the screen's)
        inside = 14 * desktop.SCALE
        if not box or abs(box[2] - box[0] + 1 - inside) > 1 or abs(box[3] - box[1] + 1 - inside) > 1:
            return None
        return g[0] + box[0] - scaled(1) - pixels(9000), g[1] + box[1] - scaled(1) - pixels(3000)

    @property
    def pid(self):
        return self.process.pid

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def assert_alive(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the program ended (status {self.process.returncode}, "
                                 f"{describe_status(self.process.returncode)})")

    def wait_for_end(self, seconds=30):
        try:
            return self.process.wait(seconds * desktop.PATIENCE)
        except subprocess.TimeoutExpired:
            raise desktop.Timeout(f"the program did not end within {seconds * desktop.PATIENCE:.0f} s")

    def at(self, left, top, width=0, height=0):
        """The screen point in the middle of a control of the main window placed at these twips."""
        return (self.container[0] + pixels(left) + pixels(width) // 2,
                self.container[1] + pixels(top) + pixels(height) // 2)

    def click_control(self, left, top, width, height, **kw):
        self.session.click(*self.at(left, top, width, height), **kw)

    def main_visible(self):
        return self.session.viewable(self.main)

    def window(self, title, seconds=30):
        """The viewable window of the program with exactly this title, waited for."""
        pattern = "^" + title.replace(".", "\\.").replace("(", "\\(").replace(")", "\\)") + "$"
        return wait_until(lambda: (self.assert_alive(), self.session.windows(self.pid, pattern))[1], seconds,
                          f"the window '{title}'")[0]

    def stop(self):
        if self.alive():
            self.process.kill()  # the program is ours, and its end is judged by each case itself
            self.process.wait()
        self.log.close()

    def describe(self):
        lines = [f"program: {PROGRAM}"]
        if self.process is not None:
            lines.append(f"status: {self.process.poll()}")
            try:
                for w in self.session.windows(self.pid, visible=False):
                    lines.append(f"  window {w:#x} '{self.session.title(w)}' viewable={self.session.viewable(w)} "
                                 f"at {self.session.geometry(w)}")
            except Exception as e:  # the description must not hide the failure
                lines.append(f"  (windows unreadable: {e})")
        lines.append("requests: " + ", ".join(p for _, p in self.server.requests))
        lines.append("launches: " + ", ".join(self.launches()))
        lines.append("program output (end):\n" + self.read_text(os.path.join(self.root, "program.log"))[-3000:])
        lines.append("error log (end):\n" + self.read_text(self.error_log)[-3000:])
        return "\n".join(lines)

    def __enter__(self):
        try:
            return self.start() if self.start_on_enter else self
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise

    def __exit__(self, kind, value, trace):
        try:
            if kind is not None:
                folder = os.environ.get("TOLLERWICK_DESKTOP_ARTIFACTS")
                if folder:
                    os.makedirs(folder, exist_ok=True)
                    self.session.screenshot(os.path.join(folder, f"failure-{int(time.time() * 1000)}.png"))
                sys.stderr.write("\n---- what the program left behind\n" + self.describe() + "\n----\n")
        finally:
            self.stop()
            self.server.stop()
            shutil.rmtree(self.root, ignore_errors=True)
        return False


def watched(condition, watch):
    """`condition`, with `watch` called before every look (when there is one)."""

    def look():
        if watch:
            watch()
        return condition()

    return look


def describe_status(status):
    if status is None:
        return "running"
    if status < 0:
        try:
            return "killed by " + signal.Signals(-status).name
        except ValueError:
            return f"killed by signal {-status}"
    return f"exit status {status}"


class DesktopCase(unittest.TestCase):
    maxDiff = None

    @property
    def desk(self):
        return SESSION

    def assertAlive(self, program, what=""):
        status = program.process.poll()
        self.assertIsNone(status, f"{what}: the program ended, {describe_status(status)}")
