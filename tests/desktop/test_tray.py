"""The main window in the notification area: there and back by the icon's menu and by a double-click, and the
icon's menu opening the options and ending the program."""

import os
import sys

from desktop import Timeout, wait_until
from harness import DesktopCase, Program

SET_TRAY = (9000, 2430, 3180, 390)  # cmdSetTray, "Send to SystemTray"
ALARM_SOUND = (9000, 780, 3180, 300)  # chkAlarmSnd, "Alarm - Sound/Window", ticked at start


class Tray(DesktopCase):
    def send_to_tray(self, p):
        p.click_control(*SET_TRAY)
        icons = wait_until(lambda: (p.assert_alive(), not p.main_visible() and self.desk.tray_icons(p.pid))[1], 30,
                           "the main window hidden and its icon in the notification area")
        self.assertEqual(len(icons), 1, "one icon of the program in the notification area")
        # The way to the notification area is drawn as a frame that moves from the window to the area, a window
        # of the program's own that lies over the icon as it ends: a click on the icon meanwhile lands on the
        # frame. The icon is used once the frame is gone, when the icon is the program's only window shown.
        wait_until(lambda: set(self.desk.windows(p.pid)) <= {row[0] for row in self.desk.tray_icons(p.pid)}, 30,
                   lambda: f"the frame drawn on the way to the notification area gone: windows shown "
                           f"{[hex(w) for w in self.desk.windows(p.pid)]}")
        _, _, _, _, x, y, w, h = icons[0]
        return x + w // 2, y + h // 2

    def open_icon_menu(self, p, icon):
        """Right-clicks the icon and waits for the program's popup menu; gives the menu's window. A right-click
        that opens nothing is made again, as a user would, each time after a longer wait: a right-click within
        the double-click time of the last one on the icon is the second half of a double-click, which the
        icon's menu does not answer (this case gets there that fast: menu, dialog, Escape, right-click)."""

        def menu():
            p.assert_alive()
            managed = set(self.desk.stacking())
            tray = {row[0] for row in self.desk.tray_icons(p.pid)}
            for w in self.desk.windows(p.pid):
                if w not in managed and w not in tray and w != p.main:
                    g = self.desk.geometry(w)
                    if g and g[2] > 20 and g[3] > 20:
                        return w
            return None

        for patience in (2, 4, 8, 16):
            self.desk.click(*icon, button=3)
            try:
                return wait_until(menu, patience, "the icon's popup menu")
            except Timeout:
                if patience == 16:
                    raise
                sys.stderr.write("(no menu after a right-click on the icon, taken for a double-click: clicking again) ")

    def choose(self, p, icon, letter):
        """Chooses an item of the icon's menu by its underlined letter, as a user may."""
        menu = self.open_icon_menu(p, icon)
        self.desk.key(letter)
        wait_until(lambda: not self.desk.viewable(menu), 30, "the popup menu closed")

    def assertBack(self, p, how, trip):
        wait_until(lambda: (p.assert_alive(), p.main_visible())[1], 30, f"the main window back after {how}, trip {trip}")
        wait_until(lambda: not self.desk.tray_icons(p.pid), 30, f"the icon gone after {how}, trip {trip}")
        self.assertAlive(p, f"after {how}, trip {trip}")

    def test_round_trips_by_the_menu_and_by_double_click(self):
        with Program() as p:
            for trip in range(1, 6):
                icon = self.send_to_tray(p)
                self.choose(p, icon, "s")  # &Show
                self.assertBack(p, "the menu's Show", trip)
            for trip in range(1, 6):
                icon = self.send_to_tray(p)
                self.desk.click(*icon, repeat=2)
                self.assertBack(p, "a double-click on the icon", trip)
            self.assertAlive(p, "at the end")

    def test_the_way_to_the_area_is_drawn_on_the_first_trip(self):
        # The frame ends where the icon stood as it was drawn: in the notification area, the icon's size (the
        # toolkit reckons that in its own pixels, a few off the screen's when scaled). The area may lay its
        # icons out again a moment after it has taken a new one in, so the icon's place at the end is no
        # measure.
        def inside(place, area):
            x, y, w, h = place
            return x >= area[0] - 4 and y >= area[1] - 4 and x + w <= area[0] + area[2] + 4 and \
                y + h <= area[1] + area[3] + 4

        with Program() as p:
            window = self.desk.frame_geometry(p.main)
            with self.desk.watching() as watch:
                icon_centre = self.send_to_tray(p)
                shown = watch.read()
            icon, area = self.desk.tray_icons(p.pid)[0], self.desk.notification_area()
            # the icon's size: as the toolkit drew it (square), or as the area gave its window room
            width, height = icon[6:8]

            def icon_sized(place):
                return abs(place[2] - width) <= 4 and min(width, height) - 4 <= place[3] <= max(width, height) + 4

            ways = [places for places in shown.values()
                    if len(places) >= 2 and inside(places[-1], area) and icon_sized(places[-1])]
            self.assertTrue(ways, f"a frame drawn on the first trip that ends in the notification area at {area} "
                                  f"at the icon's size {width}x{height}: windows shown meanwhile {shown}")
            self.assertGreater(ways[0][0][2], 2 * icon[6], "the frame starts larger than the icon, from the window "
                                                           f"at {window}: {ways[0]}")
            self.choose(p, icon_centre, "s")  # &Show
            self.assertBack(p, "the menu's Show", 1)

    def test_menu_opens_the_options_and_exits_saving_the_settings(self):
        with Program(settings={"chkAlarmSnd": "1"}) as p:
            before = os.stat(p.registry_file).st_mtime_ns
            # a setting the user changes in the window, saved at exit
            p.click_control(*ALARM_SOUND)
            icon = self.send_to_tray(p)

            self.choose(p, icon, "o")  # &Options
            options = p.window("Options")
            self.assertAlive(p, "with the options open")
            self.desk.activate(options)
            self.desk.key("Escape")  # the dialog's Cancel
            wait_until(lambda: not self.desk.viewable(options), 30, "the options closed by Escape")
            self.assertFalse(p.main_visible(), "the main window stays in the notification area")

            self.choose(p, icon, "e")  # &Exit
            status = p.wait_for_end()
            self.assertEqual(status, 0, "the exit status")
            self.assertNotEqual(os.stat(p.registry_file).st_mtime_ns, before, "the settings saved at exit")
            self.assertEqual(p.setting("chkAlarmSnd"), "0", "the box unticked before leaving, as saved")
