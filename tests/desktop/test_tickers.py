"""The ticker table as a user fills it: a ticker added by typing is in the ticker file after the menu's Exit."""

from harness import DesktopCase, Program, scaled, ticker_line

ADD = (6330, 3900, 1170, 390)  # cmdAddTicker, "Add Ticker"
TICKER_BOX = (120, 3930, 1560, 345)  # txtTicker
HIGH_BOX = (1770, 3930, 1260, 345)  # txtHigh
LOW_BOX = (3120, 3930, 1260, 345)  # txtLow


class Tickers(DesktopCase):
    def test_a_ticker_typed_in_is_saved_at_exit(self):
        with Program(tickers=[ticker_line("MSFT", "30", "20")]) as p:
            p.click_control(*ADD)
            p.click_control(*TICKER_BOX)
            self.desk.type("zztop")  # the box writes it in capitals
            p.click_control(*HIGH_BOX)
            self.desk.type("123.5")
            p.click_control(*LOW_BOX)
            self.desk.type("99")

            # "Exit", the first entry of the menu bar, which runs along the top of the window above the controls
            x, y, _, _ = self.desk.geometry(p.main)
            self.desk.click(x + scaled(15), (y + p.container[1]) // 2)
            status = p.wait_for_end()
            self.assertEqual(status, 0, "the exit status")
            with open(p.ticker_file, newline="") as f:
                rows = f.read()
            self.assertEqual(rows, ticker_line("MSFT", "30", "20") + ticker_line("ZZTOP", "123.5", "99"),
                             "the ticker file after the exit")
