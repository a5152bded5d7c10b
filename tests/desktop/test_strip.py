"""The scrolling ticker strip, a window without a caption: moved by its grey drag bar with the button held, and
docked again under the main window by a double-click on the bar."""

import time

from desktop import wait_until
from harness import PRODUCT, DesktopCase, Program, pixels, ticker_line

BAR_GREY = (0xC0, 0xC0, 0xC0)  # lblMove's back colour
TOLERANCE = 3  # pixels
# Where the main window stands (twips): high enough for the strip to fit under it at 144 DPI as well, where
# the main window is 1.5 times as tall. A strip that would reach into the panel at the bottom is kept inside the
# screen's available area, over the main window's lower edge.
MAIN_AT = (1500, 300)


class Strip(DesktopCase):
    def strip(self, p):
        """The strip's window: the program's other viewable window, one line of entries high."""

        def find():
            p.assert_alive()
            for w in self.desk.windows(p.pid):
                g = self.desk.geometry(w)
                if w != p.main and g and g[3] < 100 and g[2] > 100 and w in self.desk.stacking():
                    return w
            return None

        return wait_until(find, 30, "the scrolling ticker's window")

    def bar(self, strip):
        """A point in the middle of the drag bar, found by its colour."""
        x, y, w, h = self.desk.geometry(strip)
        box = wait_until(lambda: self.desk.find_colour(BAR_GREY, window=strip, area=(0, h // 2, w, h)), 30,
                         "the drag bar drawn")
        return x + (box[0] + box[2]) // 2, y + (box[1] + box[3]) // 2

    def docked_place(self, p):
        """Where the docked strip stands: under the main window's frame, at its left edge."""
        main = self.desk.frame_geometry(p.main)
        return main[0], main[1] + main[3]

    def wait_at(self, strip, place, what):
        def where():
            return self.desk.frame_geometry(strip)[:2]

        wait_until(lambda: all(abs(a - e) <= TOLERANCE for a, e in zip(where(), place)), 30,
                   lambda: f"{what}: the strip is at {where()}, expected at {place}")

    def drag_bar(self, strip, button, steps):
        """Presses `button` on the bar, moves the pointer by `steps` with it held, lets go, and waits until the
        strip has followed by most of the way (it may start to follow only once the pointer is some way off).
        Returns where the press was."""
        start = self.desk.frame_geometry(strip)
        x, y = self.bar(strip)
        self.desk.move(x, y)
        self.desk.press(button)
        try:
            for dx, dy in steps:
                self.desk.move(x + dx, y + dy)
        finally:
            self.desk.release(button)

        def dragged():
            at = self.desk.frame_geometry(strip)
            return 100 <= at[0] - start[0] <= 200 + TOLERANCE and 75 <= at[1] - start[1] <= 150 + TOLERANCE

        wait_until(dragged, 30, lambda: f"the strip moved by the drag of (200, 150) from {start[:2]}: it is at "
                                        f"{self.desk.frame_geometry(strip)[:2]}")
        return x, y

    def test_drag_by_the_bar_then_double_click_docks_it_under_the_main_window(self):
        tickers = [ticker_line(t, "30", "20") for t in ("AAA", "BBB", "CCC")]
        with Program(settings={"chkScrollingTicker": "1"}, tickers=tickers, main_at=MAIN_AT) as p:
            strip = self.strip(p)
            self.wait_at(strip, self.docked_place(p), "docked under the main window at start")

            # drag: press on the bar, move in steps with the button held, let go
            self.drag_bar(strip, 1, [(4 * i, 3 * i) for i in range(1, 6)] + [(20 * i, 15 * i) for i in range(2, 11)])
            self.assertAlive(p, "after the drag")

            # a double-click on the bar docks it again
            self.desk.click(*self.bar(strip), repeat=2)
            self.wait_at(strip, self.docked_place(p), "docked again by a double-click on the bar")
            self.assertAlive(p, "after the double-click")

    def test_takes_no_focus_and_has_no_place_in_the_taskbar(self):
        tickers = [ticker_line(t, "30", "20") for t in ("AAA", "BBB")]
        with Program(settings={"chkScrollingTicker": "1"}, tickers=tickers, main_at=MAIN_AT) as p:
            strip = self.strip(p)
            states = self.desk.tool("xprop", "-id", hex(strip), "_NET_WM_STATE")
            self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states, "the strip's states")
            self.assertIn("_NET_WM_STATE_SKIP_PAGER", states, "the strip's states")
            self.assertNotEqual(self.desk.active(), strip, "the active window after the start")

            # a click on the strip's bar leaves the keyboard with the main window: Alt+O opens the options
            self.desk.click(*self.bar(strip))
            self.desk.key("alt+o")
            options = p.window("Options")
            self.assertTrue(self.desk.viewable(options), "the options dialog opened by Alt+O")
            self.assertNotEqual(self.desk.active(), strip, "the active window after a click on the strip")

    def test_a_drag_with_the_right_button_ends_at_its_release(self):
        tickers = [ticker_line(t, "30", "20") for t in ("AAA", "BBB", "CCC")]
        with Program(settings={"chkScrollingTicker": "1"}, tickers=tickers, main_at=MAIN_AT) as p:
            strip = self.strip(p)
            self.wait_at(strip, self.docked_place(p), "docked under the main window at start")
            x, y = self.drag_bar(strip, 3, [(20 * i, 15 * i) for i in range(1, 11)])
            # with no button held the pointer goes on alone; a double-click on the bar then reaches the program
            # and docks the strip (a move that went on would take the first click, and drop the strip there)
            self.desk.move(x + 300, y + 220)
            self.desk.move(x + 250, y + 180)
            self.desk.click(*self.bar(strip), repeat=2)
            self.wait_at(strip, self.docked_place(p), "docked by a double-click after the right-button drag")

    def test_docks_under_the_main_window_with_more_entries_than_the_screen_is_wide(self):
        # the strip is sized for every entry it has, then cut to its largest width: a window manager told
        # of a strip wider than the screen keeps it on the screen by moving it, and a strip that went there
        # on its way stayed there
        tickers = [ticker_line(f"T{i}", "30", "20") for i in range(1, 61)]
        with Program(settings={"chkScrollingTicker": "1"}, tickers=tickers, main_at=MAIN_AT) as p:
            strip = self.strip(p)
            self.wait_at(strip, self.docked_place(p), "docked under the main window with 60 entries")
            # (within a pixel: scaled, the width is no whole number of the screen's pixels)
            self.assertAlmostEqual(self.desk.geometry(strip)[2], pixels(10245), delta=1,
                                   msg="the strip's width, cut to its largest")

    def test_docks_under_the_main_window_framed_late_by_a_busy_window_manager(self):
        self.docks_under_the_main_window_framed_late(stall=0)

    def test_docks_under_the_main_window_framed_after_a_long_stall_of_the_window_manager(self):
        # longer than the program waits for a window to come on the screen: it docks the strip first under
        # the unframed main window, and again once the frame is there
        self.docks_under_the_main_window_framed_late(stall=6)

    def docks_under_the_main_window_framed_late(self, stall):
        tickers = [ticker_line(t, "30", "20") for t in ("AAA", "BBB", "CCC")]
        with Program(settings={"chkScrollingTicker": "1"}, tickers=tickers, main_at=MAIN_AT, start=False) as p:
            p.launch()
            splash = wait_until(lambda: (p.assert_alive(), p.session.windows(p.pid, f"^{PRODUCT}$"))[1], 60,
                                "the splash")[0]
            with self.desk.window_manager_held():
                # Meanwhile the splash goes and the strip and the main window are shown, unframed. The program
                # either waits for the window manager, or docks the strip at once: at the latest when it has
                # sized the strip for its three entries, which is looked for here, for a second at most.
                wait_until(lambda: (p.assert_alive(), not self.desk.viewable(splash))[1], 30, "the splash gone")
                docked_size = (3 * pixels(1500), pixels(720))

                def sized():
                    return any((self.desk.geometry(w) or (0, 0, 0, 0))[2:] == docked_size
                               for w in self.desk.windows(p.pid, visible=False))

                deadline = time.monotonic() + 1
                while not sized() and time.monotonic() < deadline:
                    time.sleep(0.05)
                # the stall itself: the window manager does nothing for these seconds
                time.sleep(stall)
            p.started()
            strip = self.strip(p)
            self.wait_at(strip, self.docked_place(p), "docked under the main window's frame")
