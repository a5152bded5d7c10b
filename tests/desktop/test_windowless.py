"""Labels and pictures have no window of their own: the main window paints them and routes the pointer to them.
A click on the banner, on a link label and on the error label each reaches its handler, judged by what the
handler does: an address opened through the desktop, the error lamp turned green again."""

import os
import socket

from desktop import wait_until
from harness import DesktopCase, Program, pixels, ticker_line
from servers import Reply

UPDATE_NOW = (9000, 1890, 3180, 450)  # cmdUpdateRT, "Update Realtime Data"
BANNER = (9000, 5040, 3180, 1590)  # Image2
HOME_LINK = (3150, 6750, 2700, 255)  # lblVykHome, "VYK home page"
ERROR_LABEL = (9330, 3000, 2850, 240)  # lblError, "Click Error log"
LAMP = (9000, 3000, 240, 240)  # ErrorIndicator
LAMP_RED = (0xFF, 0x80, 0x80)
LAMP_GREEN = (0x00, 0xFF, 0x00)


def refused_port():
    """A port on 127.0.0.1 where nothing listens."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Windowless(DesktopCase):
    def lamp(self, p, colour):
        """True when the error lamp shows this colour (inside its one-pixel border)."""
        g = self.desk.geometry(p.main)
        x = p.container[0] - g[0] + pixels(LAMP[0])
        y = p.container[1] - g[1] + pixels(LAMP[1])
        box = self.desk.find_colour(colour, window=p.main, area=(x, y, x + pixels(LAMP[2]), y + pixels(LAMP[3])))
        return box is not None and box[2] - box[0] >= 10 and box[3] - box[1] >= 10

    def near_left(self, control):
        """A point on a label's text: a little way in from its left edge, halfway down."""
        left, top, width, height = control
        return left + 600, top + height // 2

    def test_banner_link_label_and_error_label_reach_their_handlers(self):
        with Program(tickers=[ticker_line("MSFT", "30", "20")],
                     servers={"Provider1Quotes": f"127.0.0.1:{refused_port()}"}) as p:
            banner_page = p.server.url("/banner-page")
            p.server.routes["/vyk/bin/Banner100.vyk"] = Reply(f"vyk\r\n1\r\nbanner1.bmp\r\n{banner_page}\r\n")
            p.server.routes["/vyk/bin/News100.vyk"] = Reply("vyk 20260102\r\n1\r\nQuiet day.\r\n###\r\n")
            with open(os.path.join(p.root, "Common", "bitmap", "splash.bmp"), "rb") as f:
                p.server.routes["/vyk/images/Banner/banner1.bmp"] = Reply(f.read(), content_type="image/bmp")

            # an update: the banner arrives, the quote server refuses, and the lamp turns red
            p.click_control(*UPDATE_NOW)
            wait_until(lambda: p.server.seen("/vyk/images/Banner/banner1.bmp"), 30, "the banner picture fetched")
            wait_until(lambda: (p.assert_alive(), self.lamp(p, LAMP_RED))[1], 30, "the error lamp red")

            p.click_control(*BANNER)
            wait_until(lambda: banner_page in p.launches(), 30,
                       lambda: f"the banner's page opened (launches: {p.launches()})")

            p.session.click(*p.at(*self.near_left(HOME_LINK)))
            home = p.server.url("/vyk")
            wait_until(lambda: home in p.launches(), 30, lambda: f"the home page opened (launches: {p.launches()})")

            p.session.click(*p.at(*self.near_left(ERROR_LABEL)))
            wait_until(lambda: (p.assert_alive(), self.lamp(p, LAMP_GREEN))[1], 30, "the error lamp green again")
            wait_until(lambda: any(line.endswith("error.log") for line in p.launches()), 30,
                       lambda: f"the error log opened (launches: {p.launches()})")
            self.assertEqual(len(p.launches()), 3, f"one launch for each click: {p.launches()}")
            self.assertAlive(p, "at the end")

