#!/usr/bin/python3
"""page_browser_test.py WORKDIR SHOTS|- ZIBCONV...

The set's page in a real browser: zibconv (the native program, or the
Windows one through tools/wine-run.sh) writes the page of a set made
here (every kind, branches, blanks, hostile texts, the two fallbacks), and
headless Chromium over WebDriver reads it as a person would: the review
list, the search, print, scripting off, anchors, a play-through of every
line, and the browser's log. SHOTS, unless "-", is where the screenshots
of the list and of play go (the README's pictures).

It can never block the test run: every driver call has a timeout, and an
alarm ends the test, its driver and its browser after four minutes."""
import os
import pathlib
import random
import signal
import subprocess
import sys
import tempfile
import traceback

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

WALL_CLOCK_SECONDS = 240
BLANK = " "

# The set: (kind, level, fields by name, how it plays, the note's rule or
# None, and what the play-through does). Lists are in file order, blanks
# last, as the editor keeps them.
LINES = [
    ("ox", "main", {"question": ["○か×か？\n二行目"], "answer": ["○"]}, "choice", None, "right"),
    ("ox", "sub", {"question": ["答えは×"], "answer": ["ｘ"]}, "choice", None, "key"),
    ("ox", "main", {"question": ["はいかいいえ"], "answer": ["はい"]}, "reveal", None, "right"),
    ("yontaku", "main", {"question": ["日本で一番長い川は？"], "answer": ["信濃川"], "dummy": ["利根川", "石狩川", BLANK]},
     "choice", "blank", "wrong"),
    ("yontaku", "sub", {"question": ["<script>alert(1)</script>"], "answer": ["</script><!--"],
                        "dummy": ["\"quoted\" & 'single' &amp;", "<b>tag</b>", "<img src=x onerror=alert(2)>"]},
     "choice", None, "right"),
    ("rensou", "main", {"hint": ["ヒント一", "ヒント二", "ヒント四", BLANK], "answer": ["連想の答え"],
                        "dummy": ["甲", "乙", "丙"]}, "choice", "blank", "right"),
    ("narabekae", "main", {"question": ["並べ替えて"], "answer": ["ｶﾞｽ台"]}, "tiles", None, "undo"),
    ("narabekae", "sub", {"question": ["ひらがな"], "answer": ["あいう"]}, "tiles", None, "wrong"),
    ("panel", "main", {"question": ["パネルで"], "answer": ["パネル"],
                       "panel": ["ル", "パネ", "x", "y", "z", "w", "v", "u", "t", BLANK]}, "tiles", None, "right"),
    ("panel", "main", {"question": ["作れない"], "answer": ["ABC"], "panel": ["A", "B"] + [BLANK] * 8},
     "reveal", "panels-cannot-spell", "wrong"),
    ("slot", "main", {"question": ["スロットで"], "answer": ["ABC"], "reel": ["xA", "By", "zC", BLANK, BLANK, BLANK]},
     "reels", None, "right"),
    ("slot", "sub", {"question": ["ないリール"], "answer": ["ABC"], "reel": ["A", "B", "D", BLANK, BLANK, BLANK]},
     "reveal", "reel-lacks-character", "right"),
    ("yontaku", "main", {"question": ["ＡＢＣとカナ"], "answer": ["ａｂｃ"], "dummy": [BLANK, BLANK, BLANK]},
     "reveal", "blank", "wrong"),
]
# The tiles of the tile lines in the order that spells their answers.
TILE_ORDER = {7: ["ｶﾞ", "ｽ", "台"], 8: ["あ", "い", "う"], 9: ["パネ", "ル"]}
KIND_FIELDS = {
    "ox": [("question", 1), ("answer", 1)],
    "yontaku": [("question", 1), ("answer", 1), ("dummy", 3)],
    "rensou": [("hint", 4), ("answer", 1), ("dummy", 3)],
    "narabekae": [("question", 1), ("answer", 1)],
    "panel": [("question", 1), ("answer", 1), ("panel", 10)],
    "slot": [("question", 1), ("answer", 1), ("reel", 6)],
}
LABELS = {"ox": "【ox】", "yontaku": "【四択】", "rensou": "【連想】", "narabekae": "【並替】", "panel": "【パネ】",
          "slot": "【スロ】"}
CIRCLES = "○〇◯oOｏＯ"


def generated_lines(count):
    """Panel and slot problems of random answers, panels and reels, with
    half-width kana and voiced marks, for the check that the page plays by
    revealing exactly where check finds a fallback."""
    chance = random.Random(19)
    pieces = ["ア", "イ", "ｶﾞ", "ガ", "カ", "Ａ", "A", "b", "イア", "ｱｲ"]
    lines = []
    for n in range(count):
        answer = "".join(chance.choice(pieces[:7]) for _ in range(chance.randint(1, 4)))
        if n % 2:
            panels = [chance.choice(pieces) for _ in range(chance.randint(1, 6))]
            lines.append(("panel", "main", {"question": ["p%d" % n], "answer": [answer],
                                            "panel": panels + [BLANK] * (10 - len(panels))}))
        else:
            reels = ["".join(chance.choice(pieces) for _ in range(3)) for _ in range(chance.randint(1, 5))]
            lines.append(("slot", "main", {"question": ["s%d" % n], "answer": [answer],
                                           "reel": reels + [BLANK] * (6 - len(reels))}))
    return lines


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def write_set(path, lines=LINES):
    """The quiz file of the lines, in Shift-JIS as the editor writes it."""
    body = []
    for kind, level, fields, *_ in lines:
        group = "".join("<%s>%s</%s>" % (name, xml_text(text), name)
                        for name, _count in KIND_FIELDS[kind] for text in fields[name])
        element = "main" if level == "main" else "sub"
        if level == "main":
            body.append("<%s><%s>%s</%s>" % (kind, element, group, element))
        else:
            body[-1] += "<%s>%s</%s>" % (element, group, element)
    body = ["%s</%s>" % (b, b[1:b.index(">")]) for b in body]
    text = "<?xml version='1.0' encoding='SHIFT_JIS'?><root>" + "".join(body) + "</root>"
    pathlib.Path(path).write_bytes(text.encode("cp932"))


class Failures:
    def __init__(self):
        self.count = 0
        self.checks = 0

    def check(self, condition, what):
        self.checks += 1
        if not condition:
            self.count += 1
            print("FAIL: " + what, flush=True)


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--user-data-dir=" + profile, "--window-size=1000,1300", "--lang=ja",
                     "--no-first-run", "--disable-extensions", "--disable-background-networking"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(30)
    driver.set_script_timeout(30)
    driver.implicitly_wait(0)
    # Every policy violation is kept where the test can read it.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": (
        "window.__violations = [];"
        "document.addEventListener('securitypolicyviolation',"
        " (e) => window.__violations.push(e.violatedDirective + ' ' + e.blockedURI));")})
    return driver


def text_of(element):
    return element.get_property("textContent")


def articles(driver):
    return driver.find_elements(By.CSS_SELECTOR, "main article")


def check_review_list(driver, failures):
    found = articles(driver)
    failures.check(len(found) == len(LINES), "%d lines, not %d" % (len(found), len(LINES)))
    for number, (article, (kind, level, fields, _plays, note, _do)) in enumerate(zip(found, LINES), 1):
        where = "line %d" % number
        failures.check(article.get_attribute("id") == "line-%d" % number, where + ": id")
        failures.check(article.get_attribute("data-kind") == kind, where + ": data-kind")
        failures.check(article.get_attribute("data-level") == level, where + ": data-level")
        label = text_of(article.find_element(By.CSS_SELECTOR, "h2"))
        failures.check(label.startswith("%d %s" % (number, LABELS[kind])), where + ": label %r" % label)
        shown = [(e.get_attribute("data-field"), text_of(e), e.get_attribute("data-blank") is not None)
                 for e in article.find_elements(By.CSS_SELECTOR, "[data-field]")]
        wanted = [(name, text, text.strip(" \u3000\r\n\t") == "")
                  for name, _count in KIND_FIELDS[kind] for text in fields[name]]
        failures.check(shown == wanted, where + ": fields %r, not %r" % (shown, wanted))
        notes = [e.get_attribute("data-rule") for e in article.find_elements(By.CSS_SELECTOR, ".note")]
        failures.check((note in notes) if note else notes == [], where + ": notes %r" % notes)
    # A branch stands beneath its parent, indented.
    main_left = found[0].rect["x"]
    failures.check(found[1].rect["x"] > main_left + 10, "a branch is not indented beneath its parent")
    failures.check(found[1].rect["y"] > found[0].rect["y"], "a branch is not beneath its parent")
    blank = driver.execute_script(
        "return getComputedStyle(document.querySelector('[data-blank]'), '::after').content")
    failures.check("空欄" in blank, "a blank shows no mark: %r" % blank)
    answer = driver.execute_script(
        "return getComputedStyle(document.querySelector('[data-field=answer]')).fontWeight")
    failures.check(int(answer) >= 600, "the answer does not stand out")
    counts = text_of(driver.find_element(By.CSS_SELECTOR, "[data-counts]"))
    failures.check(counts == "問題 9 問 (ox 2、四択 2、連想 1、並べ替え 1、文字パネル 2、スロット 1)、分岐 4 問",
                   "the header counts %r" % counts)
    failures.check(driver.title == "set.xml", "the title %r" % driver.title)


def check_hostile(driver, failures):
    failures.check(len(driver.find_elements(By.TAG_NAME, "script")) == 1, "a text made a script element")
    failures.check(driver.find_elements(By.TAG_NAME, "img") == [], "a text made an image")
    failures.check(driver.find_elements(By.TAG_NAME, "b") == [], "a text made markup")
    failures.check(driver.execute_script("return document.querySelectorAll('main article').length") == len(LINES),
                   "a text closed its article")


def visible_lines(driver):
    return driver.execute_script(
        "return Array.from(document.querySelectorAll('main article'))"
        ".filter((a) => a.checkVisibility()).map((a) => Number(a.id.slice('line-'.length)))")


def check_search(driver, failures):
    box = driver.find_element(By.CSS_SELECTOR, "input[type=search]")
    cases = [("ｶﾅ", [13]), ("abc", [10, 11, 12, 13]), ("ＡＢＣ", [10, 11, 12, 13]), ("あいう", [7, 8]),
             ("存在しない", []), ("", list(range(1, len(LINES) + 1)))]
    for query, wanted in cases:
        box.clear()
        if query:
            box.send_keys(query)
        else:
            box.send_keys("x", Keys.BACKSPACE)
        driver.execute_script("return new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)))")
        shown = visible_lines(driver)
        failures.check(shown == wanted, "search %r shows %r, not %r" % (query, shown, wanted))


def check_print(driver, failures):
    box = driver.find_element(By.CSS_SELECTOR, "input[type=search]")
    box.send_keys("ｶﾅ")
    driver.execute_script("return new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)))")
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    controls = driver.execute_script("return getComputedStyle(document.querySelector('.controls')).display")
    failures.check(controls == "none", "print shows the controls")
    displays = driver.execute_script(
        "return Array.from(document.querySelectorAll('main article'), (a) => getComputedStyle(a).display)")
    failures.check(all(d != "none" for d in displays) and len(displays) == len(LINES),
                   "print leaves out lines: %r" % displays)
    breaks = driver.execute_script(
        "return Array.from(document.querySelectorAll('main article'), (a) => getComputedStyle(a).breakInside)")
    failures.check(set(breaks) == {"avoid"}, "print may split a problem: %r" % set(breaks))
    pdf = driver.execute_cdp_cmd("Page.printToPDF", {"printBackground": False})
    failures.check(len(pdf.get("data", "")) > 1000, "nothing printed")
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})


def check_anchor(driver, failures, url):
    driver.get(url + "#line-11")
    top = driver.execute_script("return document.getElementById('line-11').getBoundingClientRect().top")
    failures.check(abs(top) < 4, "#line-11 opens %r pixels from line 11" % top)
    target = driver.execute_script("return document.querySelector(':target')?.id")
    failures.check(target == "line-11", "#line-11 targets %r" % target)


def check_without_script(driver, failures, url):
    driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
    try:
        driver.get(url)
        controls = driver.find_element(By.CSS_SELECTOR, ".controls")
        failures.check(not controls.is_displayed(), "without scripting the controls show")
        found = articles(driver)
        failures.check(len(found) == len(LINES) and all(a.is_displayed() for a in found),
                       "without scripting not every line shows")
        texts = [text_of(e) for e in driver.find_elements(By.CSS_SELECTOR, "[data-field=answer]")]
        failures.check(texts == [fields["answer"][0] for _k, _l, fields, *_ in LINES],
                       "without scripting the answers are %r" % texts)
    finally:
        driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})


def button_text(driver, button):
    """A play button's text without the key it shows."""
    return driver.execute_script("return arguments[0].lastChild.textContent", button)


def click(driver, element):
    driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", element)
    element.click()


def wait_for_next(driver):
    return driver.find_element(By.CSS_SELECTOR, "[data-next]")


def solve(driver, box, number, do, failures):
    """Plays the line in the box as `do` says: right, wrong, key, undo."""
    kind, _level, fields, plays, _note, _do = LINES[number - 1]
    answer = fields["answer"][0]
    mode = box.get_attribute("data-play-mode")
    failures.check(mode == plays, "line %d plays as %r, not %r" % (number, mode, plays))
    right = do != "wrong"
    if mode == "choice":
        if kind == "rensou":
            hints = lambda: [text_of(e) for e in box.find_elements(By.CSS_SELECTOR, "[data-play-hint]")]
            failures.check(hints() == ["ヒント一"], "the first hint alone at first: %r" % hints())
            while box.find_element(By.CSS_SELECTOR, "[data-more-hint]").is_displayed():
                click(driver, box.find_element(By.CSS_SELECTOR, "[data-more-hint]"))
            failures.check(hints() == ["ヒント一", "ヒント二", "ヒント四"], "the hints %r" % hints())
        shown = ("○" if answer in CIRCLES else "×") if kind == "ox" else answer
        buttons = box.find_elements(By.CSS_SELECTOR, "[data-choice]")
        texts = [button_text(driver, b) for b in buttons]
        wrong_choices = [d for d in fields.get("dummy", []) if d.strip()]
        failures.check(sorted(texts) == sorted(["○", "×"] if kind == "ox" else [answer] + wrong_choices),
                       "line %d offers %r" % (number, texts))
        index = texts.index(shown) if right else next(i for i, t in enumerate(texts) if t != shown)
        if do == "key":
            driver.find_element(By.TAG_NAME, "body").send_keys(str(index + 1))
        else:
            click(driver, buttons[index])
        marked = [button_text(driver, b) for b in box.find_elements(By.CSS_SELECTOR, "[data-choice][data-correct]")]
        pressed = [button_text(driver, b)
                   for b in box.find_elements(By.CSS_SELECTOR, '[data-choice][aria-pressed="true"]')]
        failures.check(marked == [shown] and pressed == [texts[index]],
                       "line %d marks %r as the answer and %r as chosen" % (number, marked, pressed))
    elif mode == "tiles":
        order = TILE_ORDER[number]
        tiles = [button_text(driver, t) for t in box.find_elements(By.CSS_SELECTOR, "[data-tile]")]
        if kind == "narabekae":
            failures.check(sorted(tiles) == sorted(order) and tiles != order, "line %d tiles %r" % (number, tiles))
        if not right:
            order = list(reversed(order))
        if do == "undo":
            place_tile(driver, box, order[1])
            click(driver, box.find_element(By.CSS_SELECTOR, "[data-undo]"))
            placed = text_of(box.find_element(By.CSS_SELECTOR, "[data-placed]"))
            failures.check(placed == "", "taking the last tile back leaves %r" % placed)
        for tile in order:
            place_tile(driver, box, tile)
        click(driver, box.find_element(By.CSS_SELECTOR, "[data-check]"))
    elif mode == "reels":
        reels = box.find_elements(By.CSS_SELECTOR, "[data-reel]")
        failures.check(len(reels) == len(answer), "line %d has %d reels" % (number, len(reels)))
        for reel, character in zip(reels, answer):
            options = reel.find_elements(By.CSS_SELECTOR, "[data-tile]")
            pick = next(o for o in options if (button_text(driver, o) == character) == right)
            click(driver, pick)
        click(driver, box.find_element(By.CSS_SELECTOR, "[data-check]"))
    else:
        click(driver, box.find_element(By.CSS_SELECTOR, "[data-reveal]"))
        revealed = text_of(box.find_element(By.CSS_SELECTOR, ".revealed"))
        failures.check(answer in revealed, "line %d reveals %r" % (number, revealed))
        click(driver, box.find_element(By.CSS_SELECTOR, '[data-judge="%s"]' % ("correct" if right else "wrong")))
    result = box.get_attribute("data-result")
    failures.check(result == ("correct" if right else "wrong"), "line %d judged %r" % (number, result))
    if result:
        shown_answer = text_of(box.find_element(By.CSS_SELECTOR, "[data-play-result]"))
        failures.check(answer in shown_answer, "line %d does not show its answer: %r" % (number, shown_answer))


def place_tile(driver, box, text):
    for tile in box.find_elements(By.CSS_SELECTOR, "[data-tile]"):
        if tile.is_displayed() and tile.is_enabled() and button_text(driver, tile) == text:
            click(driver, tile)
            return
    raise AssertionError("no tile %r to place" % text)


def play_through(driver, failures, shuffle, shot=None):
    if shuffle:
        click(driver, driver.find_element(By.CSS_SELECTOR, "[data-shuffle]"))
    click(driver, driver.find_element(By.CSS_SELECTOR, "[data-play]"))
    order = []
    for step in range(1, len(LINES) + 1):
        box = driver.find_element(By.CSS_SELECTOR, "[data-play-line]")
        number = int(box.get_attribute("data-play-line"))
        order.append(number)
        progress = text_of(box.find_element(By.CSS_SELECTOR, "[data-progress]"))
        failures.check(progress.startswith("%d / %d" % (step, len(LINES))), "progress %r" % progress)
        do = "right" if shuffle else LINES[number - 1][5]
        if shot and number == 4:
            shot(box)
        solve(driver, box, number, do, failures)
        if step % 2:
            driver.switch_to.active_element.send_keys(Keys.ENTER)
        else:
            click(driver, box.find_element(By.CSS_SELECTOR, "[data-next]"))
    return order


def check_play(driver, failures, shots):
    def shot(box):
        if shots:
            click(driver, box.find_elements(By.CSS_SELECTOR, "[data-choice]")[0])
            driver.save_screenshot(str(shots / "page-play.png"))
            raise Restart()

    # First a picture of a problem being played, then the whole play-through.
    if shots:
        try:
            play_through(driver, Failures(), False, shot)
        except Restart:
            pass
        driver.refresh()
    order = play_through(driver, failures, False)
    failures.check(order == list(range(1, len(LINES) + 1)), "the play order %r" % order)
    score = driver.find_element(By.CSS_SELECTOR, "[data-score]")
    wrong = [n for n, line in enumerate(LINES, 1) if line[5] == "wrong"]
    wanted = "%d問中%d問正解" % (len(LINES), len(LINES) - len(wrong))
    failures.check(wanted in text_of(score), "the score %r, not %r" % (text_of(score), wanted))
    links = [a.get_attribute("href").rsplit("#", 1)[1] for a in score.find_elements(By.CSS_SELECTOR, "a")]
    failures.check(links == ["line-%d" % n for n in wrong], "the missed lines %r" % links)
    click(driver, score.find_elements(By.CSS_SELECTOR, "a")[0])
    top = driver.execute_script("return document.getElementById('line-%d').getBoundingClientRect().top" % wrong[0])
    failures.check(abs(top) < 4, "a missed line's link does not lead to it (%r)" % top)

    # Shuffled: each branch still follows its problem. (The page opened
    # again without the missed line's address, where it would land.)
    driver.get(driver.current_url.split("#")[0])
    order = play_through(driver, failures, True)
    failures.check(sorted(order) == list(range(1, len(LINES) + 1)), "the shuffled order %r" % order)
    for number, (_k, level, *_rest) in enumerate(LINES, 1):
        if level == "sub":
            parent = max(n for n in range(1, number) if LINES[n - 1][1] == "main")
            failures.check(order.index(number) > order.index(parent), "branch %d before its problem" % number)
    score = text_of(driver.find_element(By.CSS_SELECTOR, "[data-score]"))
    failures.check("%d問中%d問正解" % (len(LINES), len(LINES)) in score, "the shuffled score %r" % score)


def check_stop(driver, failures, url):
    """やめる after two lines, one right and one wrong, scores those two."""
    driver.get(url)
    click(driver, driver.find_element(By.CSS_SELECTOR, "[data-play]"))
    for number, do in ((1, "right"), (2, "wrong")):
        box = driver.find_element(By.CSS_SELECTOR, "[data-play-line]")
        solve(driver, box, number, do, failures)
        click(driver, box.find_element(By.CSS_SELECTOR, "[data-next]"))
    click(driver, driver.find_element(By.CSS_SELECTOR, "[data-stop]"))
    score = text_of(driver.find_element(By.CSS_SELECTOR, "[data-score]"))
    failures.check("2問中1問正解" in score, "stopped after two lines, the score %r" % score)
    failures.check(driver.find_element(By.TAG_NAME, "main").is_displayed(), "the list does not come back")


class Restart(Exception):
    pass


def check_log(driver, failures):
    violations = driver.execute_script("return window.__violations")
    failures.check(violations == [], "policy violations: %r" % violations)
    loads = driver.execute_script("return performance.getEntriesByType('resource').map((e) => e.name)")
    failures.check(loads == [], "the page tried to load %r" % loads)
    log = driver.get_log("browser")
    bad = [entry for entry in log if entry["level"] in ("SEVERE", "WARNING")]
    failures.check(bad == [], "the browser log: %r" % bad)
    print("browser log: %d entries, %d warnings or errors; %d policy violations; %d loads"
          % (len(log), len(bad), len(violations or []), len(loads)), flush=True)


# Whether the page plays each problem by revealing, and whether it carries
# a note of check's fallback rules.
FALLBACKS = """
const rules = ['panels-cannot-spell', 'reel-count', 'reel-lacks-character'];
return Array.from(document.querySelectorAll('main article'), (article) => {
    const notes = Array.from(article.querySelectorAll('.note'), (note) => note.dataset.rule);
    return [article.dataset.play === undefined,
            notes.some((rule) => rules.includes(rule))];
});
"""


def export(zibconv, work, name):
    """zibconv export NAME.xml NAME.html in the work folder, by names that
    both systems read alike."""
    written = subprocess.run(zibconv + ["export", name + ".xml", name + ".html", "--force"], cwd=work,
                             capture_output=True, timeout=120)
    if written.returncode != 0:
        raise AssertionError("zibconv export %s.xml: %r" % (name, written.stderr))
    return (work / (name + ".html")).resolve().as_uri()


def check_fallbacks_agree(driver, failures, zibconv, work):
    lines = generated_lines(200)
    write_set(work / "generated.xml", lines)
    driver.get(export(zibconv, work, "generated"))
    found = driver.execute_script(FALLBACKS)
    failures.check(len(found) == len(lines), "the generated set has %d lines" % len(found))
    reveals = sum(1 for reveal, _note in found if reveal)
    failures.check(0 < reveals < len(lines), "every generated problem plays alike (%d reveal)" % reveals)
    for (kind, _level, fields), (reveal, note) in zip(lines, found):
        failures.check(reveal == note, "%s %r %r: the page %s, check %s" % (
            kind, fields["answer"][0], [t for t in fields.get("panel", fields.get("reel")) if t != BLANK],
            "reveals" if reveal else "plays", "finds a fallback" if note else "finds none"))


def run(zibconv, work, shots):
    work.mkdir(parents=True, exist_ok=True)
    write_set(work / "set.xml")
    try:
        url = export(zibconv, work, "set")
    except AssertionError as error:
        print("FAIL: %s" % error)
        return 1
    failures = Failures()
    with tempfile.TemporaryDirectory(prefix="zib-chromium-") as profile:
        driver = start_browser(profile)
        try:
            steps = [
                ("review list", lambda: (driver.get(url), check_review_list(driver, failures))),
                ("hostile texts", lambda: check_hostile(driver, failures)),
                ("shot", lambda: shots and driver.save_screenshot(str(shots / "page-review.png"))),
                ("search", lambda: check_search(driver, failures)),
                ("print", lambda: check_print(driver, failures)),
                ("log after the list", lambda: check_log(driver, failures)),
                ("anchor", lambda: check_anchor(driver, failures, url)),
                ("play", lambda: (driver.get(url), check_play(driver, failures, shots))),
                ("stop", lambda: check_stop(driver, failures, url)),
                ("log after play", lambda: check_log(driver, failures)),
                ("scripting off", lambda: check_without_script(driver, failures, url)),
                ("fallbacks", lambda: check_fallbacks_agree(driver, failures, zibconv, work)),
            ]
            for name, step in steps:
                try:
                    step()
                except Exception:  # one broken step does not hide the others
                    failures.check(False, name + ":\n" + traceback.format_exc())
        finally:
            driver.quit()
    print("page in the browser: %d checks, %d failed" % (failures.checks, failures.count))
    return 1 if failures.count else 0


def main():
    # The test, its driver and its browser are one process group, which the
    # alarm ends whole.
    os.setpgrp()

    def out_of_time(_signal, _frame):
        print("FAIL: the browser test ran out of its %d seconds" % WALL_CLOCK_SECONDS, flush=True)
        os.killpg(os.getpgrp(), signal.SIGKILL)

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(WALL_CLOCK_SECONDS)
    shots = pathlib.Path(sys.argv[2]) if sys.argv[2] != "-" else None
    if shots:
        shots.mkdir(parents=True, exist_ok=True)
    return run(sys.argv[3:], pathlib.Path(sys.argv[1]).resolve(), shots)


if __name__ == "__main__":
    sys.exit(main())
