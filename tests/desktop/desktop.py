"""The desktop the program runs on in these tests: a virtual X server, a window manager and a notification
area, all started here, plus what a user does on it (pointer and keys, sent through the XTest extension by
xdotool) and what anyone can see of it from outside (windows, their titles, places, stacking and pixels)."""

import contextlib
import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

# Every wait is on a condition; the deadline only keeps a broken run from hanging. A slow machine may
# stretch them all: TOLLERWICK_DESKTOP_PATIENCE=3 triples every deadline.
PATIENCE = float(os.environ.get("TOLLERWICK_DESKTOP_PATIENCE", "1"))

SCREEN = (1280, 1024)
TRAY_HEIGHT = 32

# The desktop the suite runs on: its window manager and its font DPI (the X resource Xft.dpi, as a desktop's
# font settings give it), by default openbox at 96 DPI. TOLLERWICK_DESKTOP_WM=fluxbox and
# TOLLERWICK_DESKTOP_DPI=144 run it on another; a desktop of 144 DPI scales every window by 1.5.
WINDOW_MANAGERS = ("openbox", "fluxbox")
WINDOW_MANAGER = os.environ.get("TOLLERWICK_DESKTOP_WM", "openbox")
DPI = int(os.environ.get("TOLLERWICK_DESKTOP_DPI", "96"))
if WINDOW_MANAGER not in WINDOW_MANAGERS:
    raise SystemExit(f"TOLLERWICK_DESKTOP_WM={WINDOW_MANAGER}: the suite knows {', '.join(WINDOW_MANAGERS)}")
if DPI < 96:
    raise SystemExit(f"TOLLERWICK_DESKTOP_DPI={DPI}: at least 96")
# Pixels of the screen to one pixel of a window: the toolkit scales the windows by the font DPI over 96.
SCALE = DPI / 96


class Timeout(AssertionError):
    pass


def wait_until(condition, seconds, what, interval=0.05):
    """Polls `condition` until it returns something true, which is returned; fails after the deadline, saying
    `what` (a text, or a function giving it then)."""
    deadline = time.monotonic() + seconds * PATIENCE
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"waited {seconds * PATIENCE:.0f} s: {what() if callable(what) else what}")
        time.sleep(interval)


def run(*command, check=True, env=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    if check and result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


class Display:
    """A connection of our own to the X server, for the one thing no command-line tool reports: who owns a
    selection (a notification area owns _NET_SYSTEM_TRAY_S0 while it runs)."""

    def __init__(self, name):
        self.xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XInternAtom.restype = ctypes.c_ulong
        self.xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        self.xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xlib.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                               ctypes.POINTER(ctypes.c_int)]
        self.xlib.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        self.xlib.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                                  ctypes.POINTER(ctypes.c_int)]
        self.xlib.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                     ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
        self.xlib.XFree.argtypes = [ctypes.c_void_p]
        self.xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.handle = self.xlib.XOpenDisplay(name.encode())
        if not self.handle:
            raise RuntimeError(f"cannot open display {name}")

    def selection_owner(self, selection):
        atom = self.xlib.XInternAtom(self.handle, selection.encode(), 0)
        return self.xlib.XGetSelectionOwner(self.handle, atom)

    def keyboard_map(self):
        """The core keyboard map: {keycode: [keysym of each level]}."""
        low, high = ctypes.c_int(), ctypes.c_int()
        self.xlib.XDisplayKeycodes(self.handle, ctypes.byref(low), ctypes.byref(high))
        per = ctypes.c_int()
        count = high.value - low.value + 1
        syms = self.xlib.XGetKeyboardMapping(self.handle, low.value, count, ctypes.byref(per))
        try:
            return {low.value + i: [syms[i * per.value + j] for j in range(per.value)] for i in range(count)}
        finally:
            self.xlib.XFree(syms)

    def map_key(self, keycode, keysym):
        self.xlib.XChangeKeyboardMapping(self.handle, keycode, 1, (ctypes.c_ulong * 1)(keysym), 1)
        self.xlib.XSync(self.handle, 0)

    def close(self):
        if self.handle:
            self.xlib.XCloseDisplay(self.handle)
            self.handle = None


class _WindowEvent(ctypes.Structure):
    # the head both events share, then a configure event's place and size (a map event ends before them)
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int)]


class _XEvent(ctypes.Union):
    _fields_ = [("window", _WindowEvent), ("pad", ctypes.c_long * 24)]


class ScreenWatch:
    """Every window put on the screen meanwhile straight under the root, as window managers and short-lived
    windows (a menu, a frame drawn on the way somewhere) are, with each place and size it had: a connection
    of its own that hears of the root's children, read when asked, so that nothing shown for a moment is
    missed however slowly the case looks."""

    MAP_NOTIFY, CONFIGURE_NOTIFY = 19, 22
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, name):
        self.x = Display(name)
        xlib = self.x.xlib
        xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        xlib.XPending.argtypes = [ctypes.c_void_p]
        xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_XEvent)]
        xlib.XSelectInput(self.x.handle, xlib.XDefaultRootWindow(self.x.handle), self.SUBSTRUCTURE_NOTIFY_MASK)
        xlib.XSync(self.x.handle, 0)
        self.shown = {}  # window: [(x, y, width, height), ...] from its first show on

    def read(self):
        """The windows shown since the watch began, each with its places and sizes in order."""
        xlib, event = self.x.xlib, _XEvent()
        while xlib.XPending(self.x.handle):
            xlib.XNextEvent(self.x.handle, ctypes.byref(event))
            e = event.window
            if e.type == self.MAP_NOTIFY:
                self.shown.setdefault(e.window, [])
            elif e.type == self.CONFIGURE_NOTIFY and e.window in self.shown:
                self.shown[e.window].append((e.x, e.y, e.width, e.height))
        return self.shown

    def close(self):
        self.x.close()


class Session:
    """Xvfb, a window manager (openbox or fluxbox) and trayer (an XEmbed notification area along the bottom
    right), with the font DPI given as the X resource Xft.dpi."""

    def __init__(self, screen=SCREEN, window_manager=WINDOW_MANAGER, dpi=DPI):
        self.folder = tempfile.mkdtemp(prefix="tollerwick-desktop-")
        self.processes = []
        self.display = None
        self.x = None
        self.screen = screen
        self.window_manager_name = window_manager
        self.dpi = dpi

    def __str__(self):
        return (f"{self.display}: Xvfb {self.screen[0]}x{self.screen[1]}, {self.window_manager_name}, trayer, "
                f"font DPI {self.dpi}")

    def start(self):
        for tool in ("Xvfb", self.window_manager_name, "trayer", "xdotool", "xprop", "xwininfo", "import"):
            if not shutil.which(tool):
                raise RuntimeError(f"{tool} is missing: run scripts/setup")
        # Xvfb picks a free display number itself and writes it to the descriptor we give it.
        read, write = os.pipe()
        with self._log("xvfb") as log:
            xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{self.screen[0]}x{self.screen[1]}x24", "-dpi",
                 str(self.dpi), "-nolisten", "tcp", "-noreset"],
                pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write)
        self.processes.append(xvfb)
        number = b""
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb ended at start:\n" + self.log_text("xvfb"))
                number += chunk
        self.display = f":{int(number)}"
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.x = wait_until(self._connect, 30, "the X server accepting connections")
        # the desktop's font DPI, as its settings give it to every program: the X resources on the root window
        self.tool("xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                  f"Xft.dpi:\t{self.dpi}\n")

        # The window manager keeps its settings under a home of its own, here: fluxbox writes its defaults
        # there at its first start.
        home = os.path.join(self.folder, "home")
        os.makedirs(home)
        if self.window_manager_name == "fluxbox":
            self._set_up_fluxbox(home)
        self.window_manager = self._spawn(self.window_manager_name, [self.window_manager_name],
                                          env=dict(self.env, HOME=home))
        wait_until(self.window_manager_running, 30, "the window manager (_NET_SUPPORTING_WM_CHECK)")
        # the panel keeps its edge of the screen (a strut): the screen's available area ends above it
        self._spawn("trayer", ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                               "--width", "100", "--height", str(TRAY_HEIGHT), "--transparent", "false",
                               "--SetPartialStrut", "true"])
        wait_until(lambda: self.x.selection_owner("_NET_SYSTEM_TRAY_S0"), 30,
                   "the notification area (owner of _NET_SYSTEM_TRAY_S0)")
        wait_until(lambda: (self.work_area() or (0, 0) + self.screen) != (0, 0) + self.screen, 30,
                   "the window manager keeping the panel's edge out of the available area (_NET_WORKAREA)")
        return self

    @staticmethod
    def _set_up_fluxbox(home):
        """fluxbox as it comes, less two things that are no part of the desktop under test: the notification
        area of its own toolbar (trayer is the notification area, as under openbox) and the wallpaper of its
        style, which it sets with a helper that reports its failure in a window of its own. Its toolbar runs
        along the top of the screen, where the screen's available area begins below it."""
        folder = os.path.join(home, ".fluxbox")
        os.makedirs(folder)
        with open(os.path.join(folder, "init"), "w") as f:
            f.write("session.screen0.toolbar.tools: prevworkspace, workspacename, nextworkspace, clock, prevwindow, "
                    "nextwindow, iconbar\n"
                    "session.screen0.toolbar.placement: TopCenter\n"
                    "session.screen0.toolbar.visible: true\n"
                    f"session.styleOverlay: {os.path.join(folder, 'overlay')}\n")
        with open(os.path.join(folder, "overlay"), "w") as f:
            f.write("background: none\n")

    def stop(self):
        if self.x:
            self.x.close()
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def _connect(self):
        try:
            return Display(self.display)
        except RuntimeError:
            if self.processes[0].poll() is not None:
                raise RuntimeError("Xvfb ended at start:\n" + self.log_text("xvfb"))
            return None

    def _log(self, name):
        return open(os.path.join(self.folder, name + ".log"), "wb")

    def log_text(self, name):
        with open(os.path.join(self.folder, name + ".log"), errors="replace") as f:
            return f.read()

    def _spawn(self, name, command, env=None):
        with self._log(name) as log:
            p = subprocess.Popen(command, env=env or self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.processes.append(p)
        return p

    @contextlib.contextmanager
    def window_manager_held(self):
        """The window manager stopped for the block, as on a busy desktop: windows shown meanwhile are framed
        and placed only after it."""
        self.window_manager.send_signal(signal.SIGSTOP)
        try:
            yield
        finally:
            self.window_manager.send_signal(signal.SIGCONT)

    def window_manager_running(self):
        out = run("xprop", "-display", self.display, "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
        m = re.search(r"window id # (0x[0-9a-f]+)", out)
        if not m:
            return False
        # the check window names the manager; a stale property of a manager gone has no window behind it
        return "_NET_WM_NAME" in run("xprop", "-display", self.display, "-id", m.group(1), check=False)

    # ---- what anyone can see

    @contextlib.contextmanager
    def watching(self):
        """A ScreenWatch for the block."""
        watch = ScreenWatch(self.display)
        try:
            yield watch
        finally:
            watch.close()

    def tool(self, *command, check=True):
        return run(*command, check=check, env=self.env)

    def windows(self, pid, name=None, visible=True):
        """Windows of process `pid` (by _NET_WM_PID), optionally with a title matching the regular expression
        `name`, and only the viewable ones unless told otherwise."""
        command = ["xdotool", "search", "--all"]
        if visible:
            command.append("--onlyvisible")
        command += ["--pid", str(pid)]
        command += ["--name", "" if name is None else name]
        out = self.tool(*command, check=False)
        return [int(w) for w in out.split()]

    def title(self, window):
        return self.tool("xdotool", "getwindowname", str(window), check=False).rstrip("\n")

    def viewable(self, window):
        return "IsViewable" in self.tool("xwininfo", "-id", str(window), check=False)

    def geometry(self, window):
        """The window's own area on the screen: (x, y, width, height)."""
        info = self.tool("xwininfo", "-id", str(window), check=False)
        values = {}
        for key, label in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"), ("w", "Width"),
                           ("h", "Height")):
            m = re.search(label + r":\s+(-?\d+)", info)
            if not m:
                return None
            values[key] = int(m.group(1))
        return values["x"], values["y"], values["w"], values["h"]

    def frame_geometry(self, window):
        """The window with the frame the window manager put around it."""
        g = self.geometry(window)
        if g is None:
            return None
        out = self.tool("xprop", "-id", str(window), "-notype", "_NET_FRAME_EXTENTS", check=False)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
        left, right, top, bottom = map(int, m.groups()) if m else (0, 0, 0, 0)
        return g[0] - left, g[1] - top, g[2] + left + right, g[3] + top + bottom

    def work_area(self):
        """The screen's available area as the window manager tells it (_NET_WORKAREA): (x, y, width, height)."""
        out = self.tool("xprop", "-root", "-notype", "_NET_WORKAREA", check=False)
        values = [int(v) for v in re.findall(r"\d+", out.partition("=")[2])]
        return tuple(values[:4]) if len(values) >= 4 else None

    def stacking(self):
        """The managed windows, bottom first."""
        out = self.tool("xprop", "-root", "-notype", "_NET_CLIENT_LIST_STACKING", check=False)
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]

    def active(self):
        """The window the window manager has made active."""
        out = self.tool("xprop", "-root", "-notype", "_NET_ACTIVE_WINDOW", check=False)
        m = re.search(r"0x[0-9a-f]+", out)
        return int(m.group(0), 16) if m else None

    def tree(self):
        """Every window as (id, depth, title, classes, x, y, width, height), in the order of
        `xwininfo -root -tree`, positions absolute."""
        out = self.tool("xwininfo", "-root", "-tree", check=False)
        rows = []
        pattern = re.compile(r'^(\s*)(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): \((.*)\)\s+(\d+)x(\d+)'
                             r'[+-]-?\d+[+-]-?\d+\s+\+?(-?\d+)\+?(-?\d+)')
        for line in out.splitlines():
            m = pattern.match(line)
            if m:
                indent, wid, title, classes, w, h, x, y = m.groups()
                rows.append((int(wid, 16), len(indent), title or "", classes, int(x), int(y), int(w), int(h)))
        return rows

    def notification_area(self):
        """The notification area's panel on the screen: (x, y, width, height), or None."""
        for wid, depth, title, classes, x, y, w, h in self.tree():
            if '"trayer"' in classes and title == "panel" and w > 1 and h > 1:
                return x, y, w, h
        return None

    def tray_icons(self, pid):
        """The viewable icons of process `pid` embedded in the notification area."""
        rows = self.tree()
        ours = set(self.windows(pid, visible=True))
        icons = []
        for i, (wid, depth, title, classes, *_rest) in enumerate(rows):
            if '"trayer"' not in classes or title != "panel":
                continue
            for row in rows[i + 1:]:
                if row[1] <= depth:
                    break
                if row[0] in ours and row[6] > 1 and row[7] > 1:
                    icons.append(row)
        return icons

    def pixels(self, window="root"):
        """A screenshot as (width, height, rows of RGB bytes)."""
        data = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"], capture_output=True,
                              env=self.env, check=True).stdout
        magic, size, maxval, body = data.split(b"\n", 3)
        w, h = map(int, size.split())
        return w, h, body

    def find_colour(self, rgb, window="root", area=None):
        """The box (left, top, right, bottom) of the pixels of exactly colour `rgb`, or None."""
        w, h, body = self.pixels(window)
        needle = bytes(rgb)
        x0, y0, x1, y1 = area or (0, 0, w, h)
        box = None
        for y in range(max(0, y0), min(h, y1)):
            row = body[y * w * 3 + max(0, x0) * 3:y * w * 3 + min(w, x1) * 3]
            i = row.find(needle)
            while i != -1:
                if i % 3 == 0:
                    x = max(0, x0) + i // 3
                    box = (x, y, x, y) if box is None else (min(box[0], x), min(box[1], y), max(box[2], x),
                                                           max(box[3], y))
                i = row.find(needle, i + 1)
        return box

    def screenshot(self, path):
        self.tool("import", "-window", "root", path, check=False)

    # ---- what a user does

    def move(self, x, y):
        # xdotool's --sync waits for the pointer to move, which it never does when it is there already
        if self.pointer() != (int(x), int(y)):
            self.tool("xdotool", "mousemove", "--sync", str(int(x)), str(int(y)))

    def click(self, x, y, button=1, repeat=1):
        self.move(x, y)
        self.tool("xdotool", "click", "--repeat", str(repeat), "--delay", "60", str(button))

    def press(self, button=1):
        self.tool("xdotool", "mousedown", str(button))

    def release(self, button=1):
        self.tool("xdotool", "mouseup", str(button))

    def key(self, *keys):
        self.tool("xdotool", "key", "--delay", "40", *keys)

    def type(self, text):
        self._keys_for(text)
        self.tool("xdotool", "type", "--delay", "40", text)

    def _keys_for(self, text):
        """Gives every character of `text` that no key of the keyboard map types a spare keycode of its own,
        which it keeps for the rest of the session. Left to itself, xdotool types such a character on a spare
        keycode that it maps to the character just before the key and back just after; but a program reads
        a changed map from the server only when it handles the notice of the change, and one that is busy
        then reads the map as it is by that time, and takes the key for the next character or for none."""
        keys = self.x.keyboard_map()
        typed = {sym for syms in keys.values() for sym in syms[:2]}
        spare = [code for code, syms in sorted(keys.items()) if not any(syms)]
        for character in dict.fromkeys(text):
            point = ord(character)
            if point < 0x80:
                continue  # xdotool finds these itself, with the shift key where needed
            keysym = point if point < 0x100 else 0x01000000 + point  # Latin-1, else the Unicode keysym
            if keysym in typed:
                continue
            if not spare:
                raise RuntimeError(f"no spare keycode left for {character!r}")
            self.x.map_key(spare.pop(), keysym)
            typed.add(keysym)

    def activate(self, window):
        self.tool("xdotool", "windowactivate", "--sync", str(window), check=False)

    def pointer(self):
        out = self.tool("xdotool", "getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])
