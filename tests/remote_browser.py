"""The remote page in a real browser against the real program under Xvfb.

Run with Debian's own Python, which has Selenium:
    /usr/bin/python3 tests/remote_browser.py PROGRAM [--pictures DIR]
It types a script into the editor as a presenter would, opens the address the program
prints, pairs, and presses Start, Faster and Hold, checking that the figures and the
prompt on the screen follow; a second browser with a wrong code can do nothing. With
--pictures it also saves the page at a phone's size and the Remote Control window.
Exits 77 (skipped) with the reason where Xvfb or Chromium cannot start.
"""
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def wait_for(what, test, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


class Screen:
    """A private X server and the program on it."""

    def __init__(self, program, home):
        self.display = ":%d" % random.randint(200, 400)
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=self.display,
                        XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_DATA_HOME=os.path.join(home, "data"))
        self.env.pop("QT_QPA_PLATFORM", None)
        try:
            wait_for("Xvfb", lambda: subprocess.run(
                ["xdpyinfo"], env=self.env, capture_output=True).returncode == 0, 10)
        except AssertionError:
            self.xvfb.kill()
            skip("Xvfb does not start")
        self.app = subprocess.Popen([program, "--remote"], env=self.env, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
        line = self.app.stdout.readline()
        match = re.match(r"Remote control: (http://[0-9.]+:\d+/)#code=(\d{6})$", line.strip())
        assert match, "the program printed " + repr(line)
        self.address, self.code = match.group(1), match.group(2)
        self.window = self.xdotool("search", "--sync", "--name", "^Tellvane Professional Demo$")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, check=True, capture_output=True,
                              text=True).stdout.split("\n")[0]

    def type_script(self, text):
        self.xdotool("windowfocus", "--sync", self.window)
        self.xdotool("key", "alt+e")
        editor = self.xdotool("search", "--sync", "--name", "^Editor$")
        self.xdotool("windowfocus", "--sync", editor)
        self.xdotool("type", "--delay", "2", text)
        self.xdotool("key", "alt+d")
        time.sleep(0.5)

    def picture(self, window, path=None):
        """The window as the screen shows it, as PNG bytes or saved to path."""
        shot = subprocess.run(["import", "-window", window, path or "png:-"], env=self.env,
                              check=True, capture_output=True)
        return shot.stdout

    def close(self):
        self.app.terminate()
        try:
            self.app.wait(10)
        except subprocess.TimeoutExpired:
            self.app.kill()
        self.xvfb.kill()


def browser(width, height):
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--window-size=%d,%d" % (width, height)):
        options.add_argument(argument)
    try:
        return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    except WebDriverException as error:
        skip("Chromium cannot start: " + str(error).splitlines()[0])


def main():
    # Ended from outside (a time limit), it still takes its X server, program and browsers
    # down with it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    program = sys.argv[1]
    pictures = sys.argv[sys.argv.index("--pictures") + 1] if "--pictures" in sys.argv else None
    for tool in ("Xvfb", "xdotool", "import", "/usr/bin/chromium", "/usr/bin/chromedriver"):
        if subprocess.run(["which", tool], capture_output=True).returncode != 0:
            skip(tool + " is not installed")
    try:
        import selenium  # noqa: F401
    except ImportError:
        skip("python3-selenium is not installed")
    from selenium.webdriver.common.by import By

    with tempfile.TemporaryDirectory() as home:
        screen = Screen(program, home)
        phone = stranger = None
        try:
            screen.type_script("\n".join("Line %d of the script for the remote." % i
                                         for i in range(60)))
            phone = browser(390, 844)
            phone.get(screen.address + "#code=" + screen.code)
            text = lambda id: phone.find_element(By.ID, id).text
            wait_for("pairing", lambda: text("connection") == "Connected")
            # The code is gone from the address bar once read.
            assert "code=" not in phone.current_url, phone.current_url
            button = lambda name: phone.find_element(By.XPATH, "//button[text()='%s']" % name)

            button("Start").click()
            wait_for("Scrolling", lambda: text("state") == "Scrolling")
            start_speed = int(text("speed"))
            button("Faster").click()
            wait_for("faster", lambda: text("speed") == str(start_speed + 5))
            # The prompt on the screen moves, and the page shows its line and progress.
            before = screen.picture(screen.window)
            time.sleep(1.0)
            assert screen.picture(screen.window) != before, "the prompt does not move"
            wait_for("the line", lambda: text("line").startswith("Line "))
            wait_for("the progress", lambda: text("percent") != "0 %")

            button("Hold").click()
            wait_for("held", lambda: text("speed") == "0")
            time.sleep(0.3)
            still = screen.picture(screen.window)
            time.sleep(1.0)
            assert screen.picture(screen.window) == still, "the held prompt moves"

            # A second browser with a wrong code can do nothing.
            wrong = "%06d" % ((int(screen.code) + 1) % 1000000)
            stranger = browser(390, 844)
            stranger.get(screen.address + "#code=" + wrong)
            wait_for("the refusal", lambda: "not the one shown" in
                     stranger.find_element(By.ID, "pairing-error").text)
            stranger.execute_script(
                "document.querySelector('[data-command=\"faster\"]').click();"
                "document.querySelector('[data-command=\"reset\"]').click();")
            time.sleep(1.0)
            assert text("speed") == "0" and text("state") == "Scrolling", (text("speed"),
                                                                          text("state"))
            assert screen.picture(screen.window) == still, "the stranger moved the prompt"

            if pictures:
                button("Hold").click()
                time.sleep(2.5)
                phone.save_screenshot(os.path.join(pictures, "remote-page.png"))
                dialog = screen.xdotool("search", "--name", "^Remote Control$")
                screen.picture(dialog, os.path.join(pictures, "remote-window.png"))
            print("remote page: paired, started, faster, held; the stranger was refused")
        finally:
            for driver in (phone, stranger):
                if driver:
                    driver.quit()
            screen.close()


if __name__ == "__main__":
    main()
