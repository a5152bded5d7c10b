"""Text beyond ASCII typed with the keyboard: a ticker comes back from the ticker file as it was typed, and a
letter typed into a time box of the options dialog leaves the program running and a time in the settings."""

from desktop import wait_until
from harness import DesktopCase, Program, pixels, scaled, ticker_line

ADD = (6330, 3900, 1170, 390)  # cmdAddTicker, "Add Ticker"
TICKER_BOX = (120, 3930, 1560, 345)  # txtTicker

# The options dialog, in twips of its window (it has no menu bar).
TABS = (120, 240, 6975, 4095)  # SSTab1
FRAME1 = (120, 60)  # Frame1 "Auto Update", on the page "Preferences"
START_TIME_BOX = (1440, 285, 780, 315)  # txtStartTime, in Frame1
OK = (3600, 4455, 1095, 375)  # cmdOK


class Typing(DesktopCase):
    def test_a_ticker_typed_in_any_script_is_saved_as_typed(self):
        with Program(tickers=[ticker_line("MSFT", "30", "20")]) as p:
            p.click_control(*ADD)
            p.click_control(*TICKER_BOX)
            # three letters of two bytes each in UTF-8, a sign of three and a character of four (two units in
            # UTF-16), one after the other: the caret must stay behind the last one while the box writes them
            # in capitals
            self.desk.type("äöü€𝄞")
            self.exit(p)
            with open(p.ticker_file, "rb") as f:
                rows = f.read().decode("utf-8")
            self.assertEqual(rows, ticker_line("MSFT", "30", "20") + ticker_line("ÄÖÜ€𝄞"),
                             "the ticker file after the exit")

    def test_a_letter_typed_into_the_start_time_leaves_a_time(self):
        with Program() as p:
            self.desk.activate(p.main)
            self.desk.key("alt+o")  # the menu bar's "&Options"
            options = p.window("Options")
            # the dialog opens on "Mail Server"; the next page is "Preferences"
            self.desk.key("ctrl+Tab")
            box = self.start_time_box(options)
            x, y, _, _ = self.desk.geometry(options)
            self.desk.click(x + box[0] + box[2] // 2, y + box[1] + box[3] // 2)
            wait_until(lambda: (p.assert_alive(), self.shows_focus(options, box))[1], 30,
                       "the start time box (09:30) showing the focus after a click on it")
            self.desk.key("Home", "Right")
            self.desk.type("ä")  # between the two digits of the hour, where the check reads a number

            self.desk.click(x + pixels(OK[0]) + pixels(OK[2]) // 2, y + pixels(OK[1]) + pixels(OK[3]) // 2)
            wait_until(lambda: (p.assert_alive(), not self.desk.viewable(options))[1], 30,
                       "the options dialog closed by OK")
            self.assertAlive(p, "after OK")
            self.exit(p)
            self.assertNotIn("frmOptions", p.read_text(p.error_log), "failures of the dialog in the error log")
            start = p.setting("txtStartTime")
            self.assertIsNotNone(start, "the start time among the settings")
            self.assertRegex(start, r"^\d\d:\d\d$", "the stored start time")
            hours, minutes = map(int, start.split(":"))
            self.assertTrue(hours <= 24 and minutes <= 59, f"the stored start time {start} is a time of day")

    def exit(self, p):
        """The menu's "Exit", the first entry of the menu bar, which runs along the top of the main window above
        the controls; the program must end well."""
        x, y, _, _ = self.desk.geometry(p.main)
        self.desk.click(x + scaled(15), (y + p.container[1]) // 2)
        self.assertEqual(p.wait_for_end(), 0, "the exit status")

    def start_time_box(self, options):
        """The start time box in the dialog's window, as (left, top, width, height) in pixels. A page's controls
        stand on it where their twips say, and the page lies two pixels inside the edge of the pane (the
        style's frame, on every side); the pane begins under the row of tab headers, whose height follows the
        font. So the pane's top edge, the first line below the top of the tab control right of the last tab
        header, tells where the page begins."""
        left, top, width, height = (pixels(v) for v in TABS)
        column = left + width - scaled(4)

        def pane_top():
            w, h, body = self.desk.pixels(options)

            def colour(y):
                return body[(y * w + column) * 3:(y * w + column) * 3 + 3]

            # a window not painted yet shows no edge on the dialog's own background
            if colour(top) != colour(1):
                return None
            return next((y for y in range(top + 1, top + height // 2) if colour(y) != colour(top)), None)

        edge = wait_until(pane_top, 30, "the options dialog painted, with the pane of its tab control")
        page = (left + scaled(2), edge + scaled(2))
        return (page[0] + pixels(FRAME1[0]) + pixels(START_TIME_BOX[0]),
                page[1] + pixels(FRAME1[1]) + pixels(START_TIME_BOX[1]),
                pixels(START_TIME_BOX[2]), pixels(START_TIME_BOX[3]))

    def shows_focus(self, window, box):
        """The box has the focus: the style draws its edge in a darker shade of the selection's blue, where the
        box has none otherwise (a grey edge, a white face, black text)."""
        w, h, body = self.desk.pixels(window)
        left, top, width, height = box
        for y in range(top, top + height):
            row = body[(y * w + left) * 3:(y * w + left + width) * 3]
            if any(row[i + 2] - row[i] > 60 for i in range(0, len(row), 3)):
                return True
        return False
