#!/usr/bin/python3
"""page_play_test.py WORKDIR ZIBCONV...

Playing and reading the page zibconv writes, in headless Chromium over
WebDriver, as a keyboard or screen reader user and on small screens and
paper would: anchors that land on a page of thousands of lines (from the
address, the search and the score), choices equal to the answer, wrapping
at 320 pixels, live regions, names, focus and axe-core in every state of
play, the keys each button shows, play limited to what the search shows,
the search's count, contrast from the computed styles, and print on A4.

axe-core is the one tools/setup.sh installs outside the tree; this test
injects it into the page it reads. An alarm ends it all after four minutes."""
import base64
import json
import os
import pathlib
import random
import re
import signal
import subprocess
import sys
import tempfile
import time
import traceback

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from page_browser_test import BLANK, Failures, export, start_browser, text_of, visible_lines, write_set  # noqa: E402

WALL_CLOCK_SECONDS = 240
ROOT = pathlib.Path(__file__).resolve().parents[2]

# Every way of play, a branch, a choice equal to the answer once folded
# (ＡＢＣ and ABC), more tiles than digits, and a problem played by revealing.
PLAY_LINES = [
    ("yontaku", "main", {"question": ["日本で一番長い川は？"], "answer": ["信濃川"], "dummy": ["利根川", "石狩川", "天竜川"]}),
    ("yontaku", "sub", {"question": ["ABCと同じものは？"], "answer": ["ABC"], "dummy": ["ＡＢＣ", "abc", "xyz"]}),
    ("narabekae", "main", {"question": ["並べ替えて"], "answer": ["あいうえおかきくけこさ"]}),
    ("panel", "main", {"question": ["パネルで"], "answer": ["パネル"],
                       "panel": ["ル", "パ", "ネ", "x", "y", "z", "w", "v", "u", "t"]}),
    ("slot", "main", {"question": ["スロットで"], "answer": ["AB"], "reel": ["xA", "By", BLANK, BLANK, BLANK, BLANK]}),
    ("panel", "main", {"question": ["作れない"], "answer": ["ABC"], "panel": ["A", "B"] + [BLANK] * 8}),
]
WORD = "Pneumonoultramicroscopicsilicovolcanoconiosis"  # 45 letters
WIDE_LINES = [
    ("yontaku", "main", {"question": [WORD + " " + "x" * 100000], "answer": [WORD], "dummy": [WORD + "s", "b" * 300, "c"]}),
    ("narabekae", "main", {"question": [WORD], "answer": ["ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"]}),
]


def ordinary(n):
    return ("yontaku", "main", {"question": ["%d 番目に長い川はどれでしょう？" % n], "answer": ["信濃川"],
                                "dummy": ["利根川", "石狩川", "天竜川"]})

WAIT_FRAME = "return new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)))"

# The lowest contrast of any text shown (and of the blank mark) against
# the background it stands on, as computed, with the element's text.
CONTRAST = """
const parse = (c) => { const p = c.match(/[\\d.]+/g).map(Number); return [p[0], p[1], p[2], p.length > 3 ? p[3] : 1]; };
const over = (top, bottom) => [0, 1, 2].map((i) => top[i] * top[3] + bottom[i] * (1 - top[3])).concat([1]);
const background = (element) => {
    const layers = [];
    for (let e = element; e; e = e.parentElement) {
        const c = parse(getComputedStyle(e).backgroundColor);
        if (c[3] > 0) layers.push(c);
        if (c[3] >= 1) break;
    }
    return layers.reverse().reduce((bottom, top) => over(top, bottom), [255, 255, 255, 1]);
};
const luminance = (c) => c.slice(0, 3).map((x) => (x /= 255) <= 0.03928 ? x / 12.92 : ((x + 0.055) / 1.055) ** 2.4)
    .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
const ratio = (color, bg) => { const [a, b] = [luminance(over(parse(color), bg)) + .05, luminance(bg) + .05]; return Math.max(a, b) / Math.min(a, b); };
const found = [];
for (const element of document.querySelectorAll('body *')) {
    if (!element.checkVisibility({ visibilityProperty: true })) continue;
    const bg = background(element);
    if (Array.from(element.childNodes).some((n) => n.nodeType === 3 && n.textContent.trim()))
        found.push([ratio(getComputedStyle(element).color, bg), element.tagName + ' ' + element.textContent.slice(0, 20)]);
    if (element.matches('[data-blank]'))
        found.push([ratio(getComputedStyle(element, '::after').color, bg), 'the blank mark']);
}
found.sort((a, b) => a[0] - b[0]);
return found[0] || [99, 'no text'];
"""

AXE = """
const done = arguments[arguments.length - 1];
axe.run(document, { resultTypes: ['violations'] })
    .then((r) => done(r.violations.map((v) => v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', '))))
    .catch((e) => done(['axe failed: ' + e]));
"""


def axe_source():
    """axe.min.js where tools/setup.sh puts it (the pin stands there alone)."""
    folder = subprocess.run(["bash", "-c", '. tools/setup.sh && printf %s "$zib_axe_dir"'], cwd=ROOT,
                            capture_output=True, text=True, check=True).stdout
    return (pathlib.Path(folder) / "node_modules/axe-core/axe.min.js").read_text()


class Page:
    """The browser on one page, with the checks every state of play gets."""

    def __init__(self, driver, failures, axe):
        self.driver, self.failures, self.axe = driver, failures, axe

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def viewport(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def one(self, selector):
        return self.driver.find_element(By.CSS_SELECTOR, selector)

    def all(self, selector):
        return self.driver.find_elements(By.CSS_SELECTOR, selector)

    def press(self, key):
        self.driver.switch_to.active_element.send_keys(key)
        self.js(WAIT_FRAME)

    def state(self, name):
        """Every state of play: axe finds nothing, every text reads at
        4.5:1, focus is on a control, nothing is wider than the view."""
        self.driver.execute_script(self.axe)
        violations = self.driver.execute_async_script(AXE)
        self.failures.check(violations == [], "%s: axe finds %r" % (name, violations))
        ratio, where = self.js(CONTRAST)
        self.failures.check(ratio >= 4.5, "%s: contrast %.2f:1 at %r" % (name, ratio, where))
        focus = self.js("return document.activeElement.tagName")
        self.failures.check(name.startswith("review") or focus in ("BUTTON", "A", "H2"), "%s: focus on %s" % (name, focus))
        widths = self.js("return [document.documentElement.scrollWidth, innerWidth]")
        self.failures.check(widths[0] <= widths[1], "%s: %d pixels wide in a view of %d" % (name, *widths))
        return ratio

    def announced(self):
        return text_of(self.one("main [role=status]"))

    def label(self, button):
        """A button's text without the key it shows."""
        return self.js("return arguments[0].lastChild.textContent", button)

    def keys(self, selector):
        return [(text_of(b.find_element(By.CSS_SELECTOR, "kbd")) if b.find_elements(By.CSS_SELECTOR, "kbd") else None)
                for b in self.all(selector) if b.is_displayed()]


def wait_landed(page, number):
    """The heading's distance from the top of the view once it has stayed
    put for most of a second (when the page has stopped correcting it)."""
    tops = []
    for _ in range(50):
        tops.append(page.js("return Math.round(document.getElementById('line-%d').getBoundingClientRect().top)" % number))
        if len(tops) >= 8 and len(set(tops[-8:])) == 1:
            break
        time.sleep(0.1)
    return tops[-1]


def big_lines(count):
    """Lines of every height: short and long texts, a branch in four."""
    chance = random.Random(7)
    lines = []
    for n in range(count):
        question = "問%d %s" % (n, "長い問題文" * chance.choice([0, 1, 20, 60]))
        if n in (count - 9, count - 5):
            question += " 終わり近く"
        if n % 4 == 2:
            lines.append(("panel", "main", {"question": [question], "answer": ["パネ"], "panel": ["パ", "ネ"] + [BLANK] * 8}))
        else:
            lines.append(("yontaku", "sub" if n % 4 == 1 else "main",
                          {"question": [question + "\n次の行" * chance.choice([0, 3])], "answer": ["答"],
                           "dummy": ["甲", "乙", "丙"]}))
    return lines


def check_anchors(page, work, zibconv):
    count = 3000
    write_set(work / "big.xml", big_lines(count))
    url = export(zibconv, work, "big")
    for width, height, scripting in ((1000, 1300, True), (320, 640, True), (1000, 1300, False), (320, 640, False)):
        page.viewport(width, height)
        page.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": not scripting})
        for number in (1, 120, count // 2, count):
            page.driver.get("about:blank")
            page.driver.get(url + "#line-%d" % number)
            top = wait_landed(page, number)
            where = "%dx%d%s #line-%d" % (width, height, "" if scripting else " without scripting", number)
            print("anchor %s: %r px" % (where, top), flush=True)
            page.failures.check(abs(top) <= 2, "%s lands %r px away" % (where, top))
    page.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})
    page.viewport(1000, 1300)
    # The search's jump (Enter), then play of the lines it shows, and the
    # score's link back to a missed one.
    page.driver.get(url)
    box = page.one("input[type=search]")
    box.send_keys("終わり近く", Keys.ENTER)
    page.js(WAIT_FRAME)
    shown = visible_lines(page.driver)
    page.failures.check(shown == [count - 8, count - 4], "the search shows %r" % shown)
    top = wait_landed(page, count - 8)
    page.failures.check(abs(top) <= 2, "the search's Enter lands %r px away" % top)
    play = page.one("[data-play]")
    page.failures.check("2" in text_of(play), "the play button says %r" % text_of(play))
    play.click()
    page.failures.check(not play.is_displayed(), "通して遊ぶ is offered during play")
    for step in (1, 2):
        progress = text_of(page.one("[data-progress]"))
        page.failures.check(progress.startswith("%d / 2" % step) and "検索" in progress, "progress %r" % progress)
        wrong = [b for b in page.all("[data-choice]") if page.label(b) != "答"][0]
        wrong.click()
        page.press(Keys.ENTER)
    links = page.all("[data-score] a")
    page.failures.check(len(links) == 2, "%d missed lines" % len(links))
    links[1].click()
    top = wait_landed(page, count - 4)
    page.failures.check(abs(top) <= 2, "the score's link lands %r px away" % top)
    page.viewport(1000, 1300)


def check_play(page, url, zibconv, work):
    """A play-through of PLAY_LINES by keys, every state checked."""
    failures = page.failures
    page.driver.get(url)
    report = subprocess.run(zibconv + ["check", "play.xml", "--json"], cwd=work, capture_output=True).stdout
    same = [f for f in json.loads(report)["findings"] if f["rule"] == "same-choice"]
    failures.check([(f["branch"], f["field"]["index"]) for f in same] == [(1, 1)], "check finds %r" % same)
    branch = text_of(page.one("#line-2 h2"))
    failures.check("1 の分岐" in branch, "a branch's heading %r" % branch)
    ratios = [page.state("review")]
    page.one("[data-play]").click()
    failures.check(page.keys("[data-choice]") == ["1", "2", "3", "4"], "choice keys %r" % page.keys("[data-choice]"))
    ratios.append(page.state("choice"))
    texts = [page.label(b) for b in page.all("[data-choice]")]
    page.press(str(next(i for i, t in enumerate(texts) if t != "信濃川") + 1))
    failures.check(page.announced().startswith("不正解"), "announced %r" % page.announced())
    ratios.append(page.state("judged wrong"))
    page.press(Keys.ENTER)
    texts = [page.label(b) for b in page.all("[data-choice]")]
    page.press(str(texts.index("ＡＢＣ") + 1))
    failures.check(page.one("[data-play-line]").get_attribute("data-result") == "correct", "ＡＢＣ for ABC is not right")
    failures.check(page.announced().startswith("正解"), "announced %r" % page.announced())
    page.press(Keys.ENTER)
    # Eleven tiles: keys 1 to 9, 0, a; a used tile leaves the row and the
    # keys follow what is shown; the last tile can be taken back.
    keys = page.keys("[data-tile]")
    failures.check(keys == list("1234567890a"), "tile keys %r" % keys)
    names = [b.get_attribute("aria-label") for b in page.all("[data-tile]")]
    failures.check(all(re.fullmatch(r"%s .（%d 番目のタイル）" % ("1234567890a"[i], i + 1), n or "") for i, n in enumerate(names)),
                   "tile names %r" % names)
    for _ in range(2):
        second = page.label(page.all("[data-tile]:not([hidden])")[1])
        before = text_of(page.one("[data-placed]"))
        page.press("2")
        placed = text_of(page.one("[data-placed]"))
        failures.check(placed == before + second, "2 placed %r after %r, not %r" % (placed, before, second))
    failures.check(page.keys("[data-tile]") == list("123456789"), "keys after two %r" % page.keys("[data-tile]"))
    ratios.append(page.state("tiles"))
    page.one("[data-undo]").click()
    page.one("[data-undo]").click()
    for character in "あいうえおかきくけこさ":
        next(b for b in page.all("[data-tile]") if b.is_displayed() and page.label(b) == character).click()
    box = page.one("[data-play-line]")
    failures.check(box.get_attribute("data-result") is None, "judged before 答え合わせ")
    page.one("[data-undo]").click()
    next(b for b in page.all("[data-tile]") if b.is_displayed()).click()
    page.state("tiles complete")
    page.press(Keys.ENTER)  # on 答え合わせ
    failures.check(box.get_attribute("data-result") == "correct", "the tiles judged %r" % box.get_attribute("data-result"))
    page.press(Keys.ENTER)
    failures.check(page.keys("[data-tile]")[-1] == "0", "ten panels' keys %r" % page.keys("[data-tile]"))
    for character in "パネル":
        # By the key the tile shows: past the ninth a tile's key is 0 or a letter.
        shown = [b for b in page.all("[data-tile]") if b.is_displayed()]
        page.press(next(text_of(b.find_element(By.CSS_SELECTOR, "kbd")) for b in shown if page.label(b) == character))
    page.press(Keys.ENTER)
    failures.check(page.announced().startswith("正解"), "the panels announced %r" % page.announced())
    page.press(Keys.ENTER)
    names = [b.get_attribute("aria-label") for b in page.all("[data-reel] [data-tile]")]
    failures.check(all(re.fullmatch(r"[1-4] .（リール [12] の [12] 番目）", n or "") for n in names), "reel names %r" % names)
    ratios.append(page.state("reels"))
    for reel, character in enumerate("AB"):
        next(b for b in page.all("[data-reel='%d'] [data-tile]" % reel) if page.label(b) == character).click()
    page.press(Keys.ENTER)
    page.press(Keys.ENTER)
    page.one("[data-reveal]").click()
    ratios.append(page.state("revealed"))
    page.press(Keys.ENTER)  # on 正解だった
    page.press(Keys.ENTER)
    failures.check("6問中5問正解" in page.announced(), "the score announced %r" % page.announced())
    ratios.append(page.state("score"))
    print("play: lowest contrast %.2f:1" % min(ratios), flush=True)


def check_filter(page, url):
    """The search says how many lines it shows, or that none match."""
    page.driver.get(url)
    box = page.one("input[type=search]")
    cases = [("信濃川", "1 行を表示しています"), ("abc", "3 行を表示しています"),
             ("存在しない", "見つかりません"), ("", "すべての 6 行を表示しています")]
    for query, wanted in cases:
        box.send_keys(Keys.CONTROL, "a", Keys.BACKSPACE)
        box.send_keys(query or "x", *([] if query else [Keys.BACKSPACE]))
        page.js(WAIT_FRAME)
        said = text_of(page.one("header [role=status]"))
        page.failures.check(wanted in said, "search %r says %r, not %r" % (query, said, wanted))


def check_wrapping(page, work, zibconv):
    write_set(work / "wide.xml", WIDE_LINES)
    page.driver.get(export(zibconv, work, "wide"))
    page.viewport(320, 640)
    page.state("review at 320 px")
    page.one("[data-play]").click()
    page.state("choice at 320 px")
    page.press("1")
    page.state("judged at 320 px")
    page.press(Keys.ENTER)
    page.press("1")
    page.state("tiles at 320 px")
    page.viewport(1000, 1300)


def check_print(page, work, zibconv):
    """Panels and reels each on one line; ordinary lines per A4 sheet."""
    page.driver.get(export(zibconv, work, "play"))
    page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    rows = page.js("return ['#line-4 [data-field=panel]', '#line-5 [data-field=reel]:not([data-blank])'].map((s) =>"
                   " new Set(Array.from(document.querySelectorAll(s), (e) => Math.round(e.getBoundingClientRect().top))).size)")
    page.failures.check(rows == [1, 1], "print sets panels and reels on %r lines" % rows)
    page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
    count = 120
    write_set(work / "ordinary.xml", [ordinary(n) for n in range(count)])
    page.driver.get(export(zibconv, work, "ordinary"))
    pdf = page.driver.execute_cdp_cmd("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69})["data"]
    pages = len(re.findall(rb"/Type\s*/Page\b(?!s)", base64.b64decode(pdf)))
    print("print: %d ordinary lines on %d A4 pages" % (count, pages), flush=True)
    page.failures.check(pages and count / pages >= 12, "%r lines on an A4 page" % (count / max(pages, 1)))


def run(zibconv, work):
    work.mkdir(parents=True, exist_ok=True)
    write_set(work / "play.xml", PLAY_LINES)
    url = export(zibconv, work, "play")
    failures = Failures()
    with tempfile.TemporaryDirectory(prefix="zib-chromium-") as profile:
        page = Page(start_browser(profile), failures, axe_source())
        try:
            steps = [
                ("play", lambda: check_play(page, url, zibconv, work)),
                ("filter", lambda: check_filter(page, url)),
                ("wrapping", lambda: check_wrapping(page, work, zibconv)),
                ("print", lambda: check_print(page, work, zibconv)),
                ("anchors", lambda: check_anchors(page, work, zibconv)),
            ]
            for name, step in steps:
                try:
                    step()
                except Exception:  # one broken step does not hide the others
                    failures.check(False, name + ":\n" + traceback.format_exc())
        finally:
            page.driver.quit()
    print("page play in the browser: %d checks, %d failed" % (failures.checks, failures.count))
    return 1 if failures.count else 0


def main():
    os.setpgrp()

    def out_of_time(_signal, _frame):
        print("FAIL: the play test ran out of its %d seconds" % WALL_CLOCK_SECONDS, flush=True)
        os.killpg(os.getpgrp(), signal.SIGKILL)

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(WALL_CLOCK_SECONDS)
    return run(sys.argv[2:], pathlib.Path(sys.argv[1]).resolve())


if __name__ == "__main__":
    sys.exit(main())
