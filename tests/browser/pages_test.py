#!/usr/bin/python3
"""The pages of `typedata serve` in a real headless Chromium (Selenium).

    tests/browser/pages_test.py build/linux/bin/typedata [--screenshots docs/images]

Makes a small type tree with the tool, starts the server on it, and goes
through every page as an engineer would: filters the list, compares two
types and counts the highlighted cells, edits a shared value and finds it
in the sharing type's file, finds a planted problem on the check page.
Skips (exit 0, saying so) only when Chromium or its driver is not installed.
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
DRIVER = shutil.which("chromedriver") or "/usr/lib/chromium/chromedriver"


class Tree:
    """A type tree made by the tool, and the server running on it."""

    def __init__(self, tool, root):
        self.tool, self.root = tool, root

    def run(self, *args, check=True):
        result = subprocess.run([self.tool, "--root", self.root, *args], capture_output=True, text=True)
        if check and result.returncode != 0:
            raise RuntimeError(f"typedata {' '.join(args)}: {result.stderr}")
        return result.stdout

    def file(self, relative):
        with open(os.path.join(self.root, "type", relative), "rb") as data:
            return data.read().decode("latin-1")

    def start(self):
        self.server = subprocess.Popen([self.tool, "--root", self.root, "serve"], stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE, text=True)
        self.address = self.server.stdout.readline().strip()
        if not self.address.startswith("http://127.0.0.1:"):
            raise RuntimeError("the server printed no address: " + self.server.stderr.read())
        self.base = self.address.split("/?")[0]

    def stop(self):
        self.server.send_signal(signal.SIGTERM)
        return self.server.wait(timeout=10)


def make_tree(tree):
    tree.run("init")
    names = ["T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL", "T55+ALU+FAST", "T63+STEEL+SLOW", "T63+CU+FAST",
             "T40+CU", "T80+STEEL+SLOW", "T80+ALU", "T55+CU+SLOW", "T63+ALU", "T40+STEEL+SLOW"]
    for name in names:
        tree.run("add", name)
    tree.run("set", "3", "TOOL", "D:2=12.5", "S:1=4")
    tree.run("set", "3", "MAT", "D:1=7.25")
    tree.run("set", "1", "MAIN", "D:3=140")
    # A planted problem: an item beyond the config's count.
    path = os.path.join(tree.root, "type", "0005", "FEED0005.DAT")
    with open(path, "ab") as data:
        data.write(b"[S]\r\n42:1,\r\n")
    return len(names) + 1  # and type 0


def browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--no-first-run", "--window-size=1280,800",
                 "--user-data-dir=" + tempfile.mkdtemp(prefix="typedata-chromium-")):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(executable_path=DRIVER), options=options)


class Pages:
    def __init__(self, driver, tree, type_count):
        from selenium.webdriver.support.ui import WebDriverWait
        self.driver, self.tree, self.type_count = driver, tree, type_count
        self.wait = WebDriverWait(driver, 10)
        self.failures = []

    def expect(self, condition, what):
        print(("  ok   " if condition else "  FAIL ") + what)
        if not condition:
            self.failures.append(what)
            for entry in self.driver.get_log("browser"):  # what the page's scripts said
                print("       console: " + entry["message"])

    def css(self, selector):
        from selenium.webdriver.common.by import By
        return self.driver.find_elements(By.CSS_SELECTOR, selector)

    def until(self, predicate, what):
        from selenium.common.exceptions import StaleElementReferenceException, TimeoutException

        def attempt(driver):
            # A page draws its tables anew when an answer arrives: a row read
            # while that happens is gone, and is read again on the next try.
            try:
                return predicate()
            except StaleElementReferenceException:
                return False
        try:
            return self.wait.until(attempt)
        except TimeoutException:
            self.expect(False, what + " (timed out)")
            return None

    def open(self, page):
        self.driver.get(self.tree.base + "/" + page)

    def types(self):
        self.driver.get(self.tree.address)  # the first visit: the page keeps the token for the tab
        self.until(lambda: len(self.css("#types tbody tr")) == self.type_count, "the types page lists every type")
        # The catalogue holds them newest first; the page lists them by number.
        self.until(lambda: [int(r.get_attribute("data-number")) for r in self.css("#types tbody tr")]
                   == list(range(self.type_count)), "the types page lists them by number, ascending")
        self.expect(self.driver.current_url.endswith("/types.html"), "the address loses its token")
        self.expect(self.driver.get_cookies() == [], "the token is no cookie (cookies reach every port)")
        box = self.css("#filter")[0]
        box.send_keys("t40")
        t40 = [n for n in json.loads(self.tree.run("list", "--json"))["types"] if "T40" in n["name"]]
        self.until(lambda: len(self.css("#types tbody tr")) == len(t40), "filtering 't40' leaves the T40 types")
        self.css("th[data-sort=name]")[0].click()
        names = sorted(t["name"] for t in t40)
        self.until(lambda: [r.find_elements("css selector", "td")[2].text for r in self.css("#types tbody tr")]
                   == names, "the T40 types sorted by name")

    def type_page(self):
        self.open("type.html?n=1")
        self.until(lambda: len(self.css("section[data-config]")) == 4, "type 1 shows its four configs")
        marked = self.css("tr.from-default")
        # MAIN D:3, and MAT D:1 that type 3 saved to it (both have STEEL at part 2).
        self.expect(len(marked) == 2, f"two values differ from their defaults on type 1 (found {len(marked)})")

    def compare(self, screenshots):
        differences = json.loads(self.tree.run("diff", "1", "3", "--json", check=False))["differences"]
        self.open("compare.html?types=1,3")
        self.until(lambda: self.css("#comparison"), "the comparison appears")
        cells = self.css("#comparison td.differs")
        self.expect(len(cells) == len(differences) and len(cells) > 0,
                    f"{len(differences)} highlighted cells for types 1 and 3 (found {len(cells)})")
        if screenshots:
            self.open("compare.html?types=1,2,3,4,6")  # 5 holds the planted problem
            self.until(lambda: self.css("#comparison td.differs"), "the comparison of six types appears")
            self.driver.save_screenshot(os.path.join(screenshots, "serve-compare.png"))

    def sharing(self, screenshots):
        self.open("sharing.html")
        self.until(lambda: self.css("button.part[data-part=T40]"), "the sharing map shows part T40")
        self.css("button.part[data-part=T40]")[0].click()
        listed = self.until(lambda: self.css("#members li"), "clicking T40 lists its types")
        t40 = [t for t in json.loads(self.tree.run("list", "--json"))["types"] if t["parts"][:1] == ["T40"]]
        self.expect(listed is not None and len(listed) == len(t40), f"{len(t40)} types listed for T40")
        if screenshots:
            self.css("#type")[0].send_keys("1")  # where type 1's saves go
            self.until(lambda: len(self.css("button.part.selected")) == 3, "type 1's three parts marked")
            self.driver.save_screenshot(os.path.join(screenshots, "serve-sharing.png"))

    def edit(self):
        self.open("edit.html?n=1&config=TOOL")
        cell = self.until(lambda: self.css("table[data-kind=D] input[data-item='1']"), "the TOOL grid to edit")
        if not cell:
            return
        pushes = self.css("#pushes")[0].text
        self.expect("0002" in pushes, "before saving, the page says type 2 receives TOOL: " + pushes)
        cell[0].clear()
        cell[0].send_keys("41.5")
        self.css("#save")[0].click()
        self.until(lambda: "shared with type 0002" in self.css("#result")[0].text, "the save lists its pushes")
        self.expect("1:41.500000," in self.tree.file("0002/TOOL0002.DAT"), "the value arrived in type 2's file")
        self.expect("1:41.500000," not in self.tree.file("0003/TOOL0003.DAT"), "type 3 (T55) kept its value")
        before = self.tree.file("0001/TOOL0001.DAT")
        # A save loads the type again and draws a new grid: wait for it, or the old input goes stale in hand.
        from selenium.webdriver.support.expected_conditions import staleness_of
        self.until(lambda: staleness_of(cell[0])(self.driver), "the grid drawn again after the save")
        cell = self.until(lambda: self.css("table[data-kind=D] input[data-item='2']"), "the grid again")
        cell[0].clear()
        cell[0].send_keys("99999999999")
        self.css("#save")[0].click()
        self.until(lambda: "cannot hold" in self.css("#result")[0].text, "a value the controller cannot hold is refused")
        self.expect(self.tree.file("0001/TOOL0001.DAT") == before, "the refused value changed no file")

    def lost_update(self):
        """A value set from the command line while the page was open is never overwritten unseen."""
        self.open("edit.html?n=4&config=MAIN")
        cell = self.until(lambda: self.css("table[data-kind=D] input[data-item='1']"), "the MAIN grid of type 4")
        if not cell:
            return
        self.tree.run("set", "4", "MAIN", "D:1=77")  # from a terminal, the page still showing the old value
        cell[0].clear()
        cell[0].send_keys("55")
        self.css("#save")[0].click()
        self.until(lambda: self.css("#result")[0].get_attribute("data-status") == "409",
                   "the page's save is refused (409): the file changed since the page read it")
        self.expect("1:77.000000," in self.tree.file("0004/MAIN0004.DAT"), "the terminal's 77 is kept")
        shown = self.css("#result")[0].text
        self.expect("MAIN D:1: 12.5 → 77" in shown, "the page shows what changed, value by value: " + shown)
        self.css("#save-over")[0].click()  # the engineer decides: save 55 over it
        self.until(lambda: "1 value set" in self.css("#result")[0].text, "saving over it, once decided, is saved")
        self.expect("1:55.000000," in self.tree.file("0004/MAIN0004.DAT"), "the page's 55 is in the file")

    def partial(self):
        """A type whose file is missing shows every other config, the broken one marked."""
        os.rename(os.path.join(self.tree.root, "type", "0002", "MAT0002.DAT"),
                  os.path.join(self.tree.root, "MAT0002.DAT.away"))
        try:
            self.open("type.html?n=2")
            self.until(lambda: len(self.css("section[data-config]")) == 4, "type 2 shows its four configs")
            broken = self.css("section.broken[data-config=MAT]")
            self.expect(len(broken) == 1 and "is missing" in broken[0].text,
                        "MAT marked with check's reason: " + (broken[0].text if broken else "none"))
            self.expect(len(self.css("section[data-config=TOOL] table")) > 0, "TOOL's values are shown")
            self.open("edit.html?n=2&config=TOOL")
            self.until(lambda: self.css("table[data-kind=D] input[data-item='1']"), "type 2's TOOL can be edited")
            self.expect("MAT0002.DAT" in self.css("#broken")[0].text, "the edit page names the broken file")
            self.open("compare.html?types=1,2&config=MAT&all=1")
            self.until(lambda: self.css("#comparison td.broken"), "the comparison shows type 2's MAT as missing")
            self.expect("MAT0002.DAT" in self.css("#broken")[0].text, "and says why")
        finally:
            os.rename(os.path.join(self.tree.root, "MAT0002.DAT.away"),
                      os.path.join(self.tree.root, "type", "0002", "MAT0002.DAT"))

    def check(self):
        self.open("check.html")
        rows = self.until(lambda: self.css("#problems tbody tr"), "the check lists problems")
        planted = [r for r in rows or [] if "FEED0005.DAT" in r.text and "item 42" in r.text]
        self.expect(len(planted) == 1, "the planted problem is on the check page")
        if planted:
            links = [a.get_attribute("href") for a in planted[0].find_elements("css selector", "a")]
            self.expect(any(link.endswith("type.html?n=5") for link in links), "it links to type 5")
            self.expect(any("config=FEED" in link for link in links), "and to its config FEED")


class Neighbour:
    """Another web server on 127.0.0.1 that keeps the headers it receives."""

    def __init__(self):
        import http.server
        import threading
        received = self.received = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                received.append(dict(self.headers))
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.end_headers()
                self.wfile.write(b"<p>another server</p>")

            def log_message(self, *args):
                pass

        self.server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.address = f"http://127.0.0.1:{self.server.server_port}/"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def token_stays_home(pages):
    """The token reaches no other server on 127.0.0.1, by cookie or Referer."""
    token = pages.tree.address.split("token=")[1]
    neighbour = Neighbour()
    try:
        pages.open("types.html")
        pages.driver.execute_script("location.href = arguments[0]", neighbour.address)  # a link out of the page
        pages.until(lambda: neighbour.received, "the page led to the other server")
        pages.driver.get(neighbour.address)  # and the user types its address
        pages.until(lambda: len(neighbour.received) >= 2, "the other server was visited twice")
        leaked = [h for headers in neighbour.received for h, value in headers.items() if token in value]
        pages.expect(not leaked, "no header the other server received holds the token: " + ", ".join(leaked))
        referers = [h.get("Referer") for h in neighbour.received if pages.tree.base in h.get("Referer", "")]
        pages.expect(not referers, "no Referer left the pages: " + ", ".join(referers))
        pages.open("types.html")  # back in the tab that holds the token
        pages.until(lambda: len(pages.css("#types tbody tr")) == pages.type_count, "the pages still work after")
    finally:
        neighbour.close()


# A machine whose feed rate has a label, a unit and limits.
LIMITED_MACHINE = """config 1 prefix FEED
  items D 2
  item  D 1 P 250 scale 1
  about D 1 label "Feed rate" unit mm/min min 0 max 900
"""


def labels_and_limits(pages, tool):
    """Items with a label, a unit and limits: shown beside their numbers, a value beyond them refused."""
    with tempfile.TemporaryDirectory(prefix="typedata-limits-") as root:
        machine = os.path.join(root, "press.machine")
        with open(machine, "w") as description:
            description.write(LIMITED_MACHINE)
        tree = Tree(tool, os.path.join(root, "tree"))
        tree.run("--machine", machine, "init")
        tree.start()
        try:
            limited = Pages(pages.driver, tree, 1)
            limited.failures = pages.failures
            pages.driver.get(tree.address)  # this server's token
            limited.open("type.html?n=0")
            label = limited.until(lambda: limited.css("table[data-kind=D] td.label"), "a label beside the items")
            if not label:
                return
            row = label[0].find_element("xpath", "..").text
            limited.expect("Feed rate (mm/min)" in row and "0 to 900" in row,
                           "item 1 with its label, unit and limits: " + row)
            heading = limited.css("section[data-config=FEED] h3")[0].text
            limited.expect(heading == "D (numbers sent to the controller)", "the kind spelt out: " + heading)
            limited.expect("P and F: real numbers" in limited.css("dl.legend")[0].text, "a legend of the data types")
            before = tree.file("0000/FEED0000.DAT")
            limited.open("edit.html?n=0&config=FEED")
            cell = limited.until(lambda: limited.css("table[data-kind=D] input[data-item='1']"), "the FEED grid")
            if not cell:
                return
            cell[0].clear()
            cell[0].send_keys("950")
            limited.css("#save")[0].click()
            limited.until(lambda: "950 is above its maximum 900 mm/min" in limited.css("#result")[0].text,
                          "a value above the maximum is refused, naming it")
            limited.expect(tree.file("0000/FEED0000.DAT") == before, "the refused value changed no file")
        finally:
            tree.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tool")
    parser.add_argument("--screenshots", help="a folder for serve-compare.png and serve-sharing.png")
    args = parser.parse_args()
    if not CHROMIUM or not os.path.exists(DRIVER):
        print("SKIPPED: the browser tests need chromium and chromium-driver (scripts/install-deps installs them)")
        return 0
    try:
        import selenium  # noqa: F401  Debian's python3-selenium, for Debian's python3
    except ImportError:
        if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != "/usr/bin/python3":
            os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
        raise
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="typedata-browser-") as root:
        tree = Tree(os.path.abspath(args.tool), root)
        type_count = make_tree(tree)
        tree.start()
        driver = None
        try:
            driver = browser()
            pages = Pages(driver, tree, type_count)
            for name, step in [("Types", pages.types), ("Type", pages.type_page),
                               ("Compare", lambda: pages.compare(args.screenshots)),
                               ("Sharing map", lambda: pages.sharing(args.screenshots)),
                               ("Edit", pages.edit), ("Lost update", pages.lost_update),
                               ("Partial type", pages.partial), ("Check", pages.check),
                               ("Token", lambda: token_stays_home(pages)),
                               ("Labels and limits", lambda: labels_and_limits(pages, os.path.abspath(args.tool)))]:
                print(name)
                step()
        finally:
            if driver:
                driver.quit()
            status = tree.stop()
        pages.expect(status == 0, "the server stopped cleanly on SIGTERM")
    print(f"{len(pages.failures)} failure(s) in {time.monotonic() - started:.1f} s")
    return 1 if pages.failures else 0


if __name__ == "__main__":
    sys.exit(main())
