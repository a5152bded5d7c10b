"""An alarm raised by the update cycle while the options dialog is open: its message window must be seen, above
the dialog."""

import threading

from desktop import wait_until
from harness import DesktopCase, Program, pixels, scaled, ticker_line
from servers import Reply

QUOTES = "/download/quotes.csv"


class Alarm(DesktopCase):
    def test_the_alarm_window_stands_above_an_open_options_dialog(self):
        # An update every six seconds. The user opens the dialog between two updates (an update under way when
        # the dialog opens would go on only once it has closed, as the dialog's loop runs inside it); from
        # then on the price is over the high limit, and the next update raises the alarm.
        settings = {"chkAutoUpdate": "1", "txtStartTime": "0:00", "txtStopTime": "23:59:59",
                    "txtUpdateInterval": "0.1", "chkAlarmSnd": "1"}
        over_the_limit = threading.Event()

        def quote(path):
            # provider 1's line: symbol, last, date, time, change, open, high, low, volume
            last = "150.25" if over_the_limit.is_set() else "80.00"
            return Reply(f'"ALRM",{last},"1/2/2026","4:00pm",+2.25,79.00,151.00,78.50,12345\r\n')

        with Program(settings=settings, tickers=[ticker_line("ALRM", "100", "50", "1")]) as p:
            p.server.routes[QUOTES] = quote
            wait_until(lambda: (p.assert_alive(), p.server.answered_count(QUOTES))[1], 60, "a first update")
            self.desk.activate(p.main)
            self.desk.key("alt+o")  # the menu bar's "&Options"
            options = p.window("Options")
            over_the_limit.set()
            alarm = p.window("ALRM Alarm", seconds=60)
            self.assertAbove(alarm, options, "when it appears")

            # the user goes on in the dialog: a click on its first tab
            x, y, _, _ = self.desk.geometry(options)
            self.desk.click(x + pixels(120) + scaled(25), y + pixels(240) + scaled(10))
            wait_until(lambda: self.desk.active() == options, 30, "the dialog active after the click")
            self.assertAbove(alarm, options, "after a click in the dialog")

            # and through the next update
            updates = p.server.answered_count(QUOTES)
            wait_until(lambda: (p.assert_alive(), p.server.answered_count(QUOTES) > updates)[1], 60, "one more update")
            self.assertAbove(alarm, options, "after one more update")
            self.assertTrue(self.desk.viewable(options), "the options dialog is still open")
            self.assertAlive(p, "at the end")

    def assertAbove(self, alarm, options, when):
        """The alarm window is mapped, above the dialog, and no window covers any part of it."""
        self.assertTrue(self.desk.viewable(alarm), f"the alarm window is shown {when}")
        stacking = self.desk.stacking()
        self.assertTrue(options in stacking and alarm in stacking and stacking.index(alarm) > stacking.index(options),
                        f"the alarm window above the options dialog {when} (stacking, bottom first: "
                        f"{[hex(w) for w in stacking]}, alarm {alarm:#x}, options {options:#x})")
        ax, ay, aw, ah = self.desk.frame_geometry(alarm)
        for w in stacking[stacking.index(alarm) + 1:]:
            if not self.desk.viewable(w):
                continue
            x, y, wd, ht = self.desk.frame_geometry(w)
            overlap = x < ax + aw and ax < x + wd and y < ay + ah and ay < y + ht
            self.assertFalse(overlap, f"window {w:#x} '{self.desk.title(w)}' covers the alarm window {when}")
