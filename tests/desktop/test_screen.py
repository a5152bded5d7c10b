"""The program's windows on the screen, whatever the desktop's font DPI and window manager: no window is ever
larger than the screen, and each stands inside the screen's available area (the screen less its panels), on a
screen as tall as the suite's and on a lower one."""

from desktop import Session, wait_until
from harness import DesktopCase, Program
from servers import Reply

# A window that the desktop makes far too large must not take the machine's memory with it: the program runs
# with at most this much address space, and its start-up must do with this much resident memory.
ADDRESS_SPACE = 2_000_000_000
RESIDENT_AT_MOST = 150 * 1024 * 1024
BIG_CHARTS = (120, 4440, 1200, 420)  # cmdCharts, "Big Charts": the chart in the browser window
CHART_PAGE = "/custom/alliance/interactivechart.asp"
PAGE_CAPTION = "DurivEraz Uzoduz"  # the browser window's caption once its page has come
LOW_SCREEN = (1280, 800)


class Screen(DesktopCase):
    def test_a_start_makes_no_window_larger_than_the_screen_and_stays_small(self):
        with Program(start=False, address_space=ADDRESS_SPACE) as p:
            p.launch()
            width, height = self.desk.screen

            def watch():
                p.assert_alive()
                for w in self.desk.windows(p.pid, visible=False):
                    g = self.desk.geometry(w)
                    if g and (g[2] > width or g[3] > height):
                        self.fail(f"window {w:#x} '{self.desk.title(w)}' is {g[2]} by {g[3]} pixels, on a screen of "
                                  f"{width} by {height}")
                resident = p.memory()
                if resident > RESIDENT_AT_MOST:
                    self.fail(f"{resident / 2**20:.0f} MB resident while the program starts")

            p.started(watch=watch)
            watch()
            self.assertLess(p.memory("VmHWM"), RESIDENT_AT_MOST, "the most memory resident during start-up")

    def test_the_windows_stand_inside_the_available_area(self):
        self.windows_inside(self.desk)

    def test_the_windows_stand_inside_the_available_area_of_a_lower_screen(self):
        low = Session(screen=LOW_SCREEN)
        try:
            self.windows_inside(low.start())
        finally:
            low.stop()

    def windows_inside(self, session):
        """The main window from a place kept from a larger screen (beyond this one's bottom right corner), and
        the browser window once a page has made it grow from its top-left corner."""
        width, height = session.screen
        with Program(session=session, main_at=(15 * (width - 300), 15 * (height - 200)), start=False) as p:
            p.server.routes[CHART_PAGE] = Reply("<html><body>chart</body></html>", content_type="text/html")
            p.launch()
            self.assertInside(session, p.main_window_shown(), "the main window")
            p.with_controls()
            p.click_control(*BIG_CHARTS)
            browser = p.window(PAGE_CAPTION, seconds=60)
            self.assertInside(session, browser, "the browser window after its page")
            self.assertInside(session, p.main, "the main window with the browser open")

    def assertInside(self, session, window, what):
        def inside():
            x, y, w, h = session.frame_geometry(window)
            left, top, area_width, area_height = session.work_area()
            return left <= x and top <= y and x + w <= left + area_width and y + h <= top + area_height

        wait_until(inside, 30, lambda: f"{what} inside the screen's available area {session.work_area()} (x, y, "
                                       f"width, height): it stands at {session.frame_geometry(window)}")
