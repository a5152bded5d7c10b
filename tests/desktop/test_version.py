"""The version check clicked twice while the first check waits for the maker's server: no false failure, and
each check ends with the real answer."""

from desktop import Timeout, wait_until
from harness import DesktopCase, Program, pixels, scaled
from servers import Reply

VERSIONS = "/versions.txt"
SLOW = 5  # seconds the version server takes to answer
REGISTER_TAB = (pixels(120) + scaled(25), pixels(240) + scaled(10))  # into the dialog: on SSTab1's first tab
# cmdChkNewVersion (240, 2760, 3000, 390 twips) on the tab's page, whose area starts below the tabs: 2 pixels
# right of the tab control and 25 down, with the dialog's design font
CHECK_BUTTON = (pixels(120) + scaled(2) + pixels(240) + pixels(3000) // 2,
                pixels(240) + scaled(25) + pixels(2760) + pixels(390) // 2)
FAILURE_TITLE = "Version check failed"
ANSWER_TITLE = "Information"


class VersionCheck(DesktopCase):
    def test_two_clicks_while_the_first_check_waits_give_no_false_failure(self):
        with Program() as p:
            # this program's number and a version older than any: "you are using the newest version"
            p.server.routes[VERSIONS] = Reply('"100","0.0.1"\r\n', delay=SLOW)
            self.desk.activate(p.main)
            self.desk.key("alt+o")  # the menu bar's "&Options"
            options = p.window("Options")
            x, y, _, _ = self.desk.geometry(options)
            self.desk.click(x + REGISTER_TAB[0], y + REGISTER_TAB[1])
            self.desk.click(x + CHECK_BUTTON[0], y + CHECK_BUTTON[1])
            wait_until(lambda: (p.assert_alive(), p.server.seen(VERSIONS))[1], 30, "the first check asking")
            self.desk.click(x + CHECK_BUTTON[0], y + CHECK_BUTTON[1])

            # Each box is answered with Return as it comes, until both checks have had their answer.
            answers = 0
            while answers < 2:
                def box():
                    p.assert_alive()
                    failed = p.session.windows(p.pid, f"^{FAILURE_TITLE}$")
                    if failed:
                        self.fail(f"a failure box '{FAILURE_TITLE}' while the version server was answering "
                                  f"(requests so far: {len(p.server.seen(VERSIONS))}, answers {answers})")
                    return p.session.windows(p.pid, f"^{ANSWER_TITLE}$")

                try:
                    shown = wait_until(box, 3 * SLOW + 30, f"the answer of check {answers + 1}")[0]
                except Timeout:
                    self.fail(f"{answers} answers, {len(p.server.seen(VERSIONS))} requests: {answers + 1}. answer "
                              f"missing")
                self.desk.activate(shown)
                self.desk.key("Return")
                wait_until(lambda: not self.desk.viewable(shown), 30, "the answer's box closed")
                answers += 1

            self.assertEqual(len(p.server.seen(VERSIONS)), 2, "one request for each click")
            self.assertTrue(self.desk.viewable(options), "the options dialog is still open")
            self.assertAlive(p, "at the end")
