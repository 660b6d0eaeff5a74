#!/usr/bin/env python3
"""qti_player_test.py WORK SCHEMAS CONVERT COMPONENTS QUIZ_BENCHMARK|- SAMPLE ZIBCONV...

The QTI package as programs that no one here wrote read it. zibconv exports
a generated set of every kind (hostile texts, line breaks, blanks, the JIS
forms of other systems, branches, lines that cannot play as their kind) and,
when QUIZ_BENCHMARK is given, the benchmark's 10,000-problem set. Then:
- xmllint validates every item and the test against the IMS QTI 2.1 schema,
  and the manifest against IMS Content Packaging 1.1 (SCHEMAS: the folder of
  ../shared/qti), SAMPLE items of the large set;
- each item's texts and choices are the set's, its identifiers its line's,
  the test's sections the set's problems with their branches;
- @citolab/qti-convert (CONVERT, pinned by tools/setup.sh) converts the
  package to QTI 3, and @citolab/qti-components (COMPONENTS) plays each
  item in headless Chromium over WebDriver: a right response scores 1 and a
  wrong one 0, every way of spelling a panel's answer included.
ZIBCONV is the program, natively or the Windows one under Wine.
"""
import functools
import http.server
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time
import unicodedata
import zipfile

from lxml import etree
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

QTI = "{http://www.imsglobal.org/xsd/imsqti_v2p1}"
CP = "{http://www.imsglobal.org/xsd/imscp_v1p1}"


class Failures:
    def __init__(self):
        self.count = 0

    def check(self, condition, what):
        if not condition:
            self.count += 1
            if self.count <= 60:
                print("FAIL: " + what, flush=True)
        return condition


failures = Failures()

# What a player reads: kana, kanji, widths, XML's and HTML's characters, the
# GIFT characters, and the JIS forms (〜 − ‖) that load as code page 932's
# ～ － ∥, which the package holds as the table export does.
SAFE = ["ア", "イ", "カ", "漢", "字", "Ａ", "a", "1"]
HOSTILE = ["<b>", "&amp;", "]]>", "{=~#:}\\", "&", "<", '"', "'", "<br>", "～", "－", "∥", "\u301C", "\u2212", "\u2016",
           " ", "\u3000"]
PARTS = SAFE + SAFE + HOSTILE
BLANKS = [" ", "\u3000", "\n", " \n "]
HELD = str.maketrans({"\u301C": "\uFF5E", "\u2212": "\uFF0D", "\u2016": "\u2225"})
CIRCLES = "○〇◯oOｏＯ"
CROSSES = "×✕✖☓xXｘＸ"
KINDS = ["ox", "yontaku", "rensou", "narabekae", "panel", "slot"]
FIELDS = {"ox": ["question", "answer"], "yontaku": ["question", "answer", "dummy"],
          "rensou": ["hint", "answer", "dummy"], "narabekae": ["question", "answer"],
          "panel": ["question", "answer", "panel"], "slot": ["question", "answer", "reel"]}


def held(text):
    """A text as the set holds it once loaded, its breaks as LF."""
    return text.translate(HELD).replace("\r\n", "\n").replace("\r", "\n")


def is_blank(text):
    return re.fullmatch(r"[ \u3000\t\r\n]*", text) is not None


class Generator:
    def __init__(self, seed):
        self.random = random.Random(seed)

    def pieces(self, parts, most):
        return "".join(self.random.choice(parts) for _ in range(1 + self.random.randrange(most)))

    def text(self, most):
        made = self.pieces(PARTS, most)
        return made + "\n" + self.pieces(PARTS, most) if self.random.random() < 0.2 else made

    def blank_or(self, made, odds):
        return self.random.choice(BLANKS) if self.random.random() < odds else made

    def line(self, kind):
        r = self.random
        f = {}
        if kind != "rensou":
            f["question"] = [self.blank_or(self.text(4), 0.05) if r.random() < 0.9 else "x" * 3000]
        if kind == "ox":
            f["answer"] = [self.blank_or(r.choice(["○", "ｏ", "〇", "×", "X", "はい", "&amp;"]), 0.1)]
        elif kind in ("yontaku", "rensou"):
            if kind == "rensou":
                f["hint"] = [self.blank_or(self.text(3), 0.2) for _ in range(4)]
            # Wrong choices that are not the answer: the test tells them apart.
            f["answer"] = [self.blank_or("正" + self.text(3), 0.1)]
            f["dummy"] = [self.blank_or("誤" + self.text(3), 0.4) for _ in range(3)]
        elif kind == "narabekae":
            # One character a tile, repeated characters on purpose.
            f["answer"] = [self.blank_or(self.pieces(["ア", "イ", "ア", "<", "&", "{", "～", "\u301C", "漢"], 6), 0.1)]
        elif kind == "panel":
            answer = self.pieces(SAFE[:5], 4)
            plays = r.random() < 0.8
            if plays:
                panels = list(answer) + [self.pieces(PARTS, 2) for _ in range(2)]
                if len(answer) >= 2:
                    panels.append(answer[:2])  # a second way of spelling it
            else:
                panels = ["Ｑ"]
            r.shuffle(panels)
            f["answer"] = [self.blank_or(answer, 0.15)]
            f["panel"] = [panels[i] if i < len(panels) else r.choice(BLANKS) for i in range(10)]
        else:
            answer = self.pieces(["ア", "イ", "カ", "漢"], 3)
            plays = r.random() < 0.75
            reels = [c + self.pieces(["字", "Ａ", "1"], 2) for c in answer]
            if not plays:
                reels.append("ア")
            f["answer"] = [self.blank_or(answer, 0.05)]
            f["reel"] = [reels[i] if i < len(reels) else r.choice(BLANKS) for i in range(6)]
        return {"kind": kind, "fields": f}

    def problems(self, count):
        return [[self.line(KINDS[n % len(KINDS)])] + [self.line(KINDS[n % len(KINDS)])
                                                       for _ in range(self.random.randrange(3))]
                for n in range(count)]


def quiz_file(problems):
    def escape(t):
        return t.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")

    def fields(line):
        return "".join(f"<{name}>{escape(t)}</{name}>" for name in FIELDS[line["kind"]] for t in line["fields"][name])

    body = "\n".join(f"<{main['kind']}><main>{fields(main)}</main>" +
                     "".join(f"<sub>{fields(s)}</sub>" for s in subs) + f"</{main['kind']}>"
                     for main, *subs in problems)
    return f"<?xml version='1.0' encoding='UTF-8'?>\n<root>{body}</root>\n"


def read_set(path):
    """The lines of a quiz file (of any encoding lxml reads) in order."""
    root = etree.parse(path).getroot()
    problems = []
    for element in root:
        kind = element.tag
        lines = []
        for part in element:
            f = {name: [] for name in FIELDS[kind]}
            for child in part:
                if child.tag in f:
                    f[child.tag].append(child.text or "")
            # The load closes a list's gaps: an entry of XML white space alone
            # (the reader drops such text) is unset, and the next one fills it.
            for name in ("hint", "dummy", "panel", "reel"):
                if name in f:
                    unset = [t for t in f[name] if t.strip(" \t\r\n") == ""]
                    f[name] = [t for t in f[name] if t.strip(" \t\r\n") != ""] + [" "] * len(unset)
            lines.append({"kind": kind, "fields": f})
        problems.append(lines)
    return problems


# How each line must play: the review's rules, over texts as written.
def expected_mode(line):
    f = line["fields"]
    kind = line["kind"]
    answer = held(f["answer"][0]).strip(" \u3000\n")
    if is_blank(f["answer"][0]):
        return "blank"
    if kind == "ox":
        return "choice" if len(answer) == 1 and answer in CIRCLES + CROSSES else "entry"
    if kind in ("yontaku", "rensou"):
        return "choice" if any(not is_blank(d) for d in f["dummy"]) else "entry"
    if kind == "narabekae":
        return "order"
    if kind == "panel":
        return "order" if spellings(answer, [held(p) for p in f["panel"] if not is_blank(p)]) else "entry"
    reels = [held(r) for r in f["reel"] if not is_blank(r)]
    return "reels" if len(reels) == len(answer) and all(c in r for c, r in zip(answer, reels)) else "entry"


def spellings(answer, tiles, most=8):
    """Up to `most` ways (tile indexes) of spelling the answer."""
    ways = []

    def walk(at, used):
        if len(ways) >= most:
            return
        if at == len(answer):
            ways.append(list(used))
            return
        for i, tile in enumerate(tiles):
            if i not in used and tile and answer.startswith(tile, at):
                walk(at + len(tile), used + [i])

    walk(0, [])
    return ways


def shown(element):
    """An element's text with its <br/> as LF."""
    out = element.text or ""
    for child in element:
        out += ("\n" if child.tag == QTI + "br" else shown(child)) + (child.tail or "")
    return out


def plays_of(number, line, item, big):
    """The responses the line's item is played with: [(responses, score)]."""
    f = line["fields"]
    mode = expected_mode(line)
    answer = held(f["answer"][0])
    where = f"line {number} ({line['kind']})"
    interactions = {"choice": "choiceInteraction", "order": "orderInteraction", "reels": "inlineChoiceInteraction",
                    "entry": "textEntryInteraction", "blank": "textEntryInteraction"}
    found = [e.tag[len(QTI):] for e in item.iter() if isinstance(e.tag, str) and e.tag.endswith("Interaction")]
    if not failures.check(found and found[0] == interactions[mode], f"{where}: {found} where {mode} plays"):
        return []
    if "question" in f and not is_blank(f["question"][0]):
        paragraph = item.find(f"{QTI}itemBody/{QTI}p")
        failures.check(paragraph is not None and shown(paragraph) == held(f["question"][0]),
                       f"{where}: the question is not the set's")
    if "hint" in f:
        hints = [shown(li) for li in item.iter(QTI + "li")]
        failures.check(hints == [("" if is_blank(h) else held(h)) for h in f["hint"]], f"{where}: hints {hints}")
    choices = [(c.get("identifier"), shown(c)) for c in item.iter(QTI + "simpleChoice")]
    if mode == "blank":
        failures.check(item.find(f".//{QTI}correctResponse") is None, f"{where}: a blank answer has a correct response")
        return [([["RESPONSE", "x"]], 0), ([["RESPONSE", answer]], 0)]
    if mode == "entry":
        return [([["RESPONSE", answer]], 1), ([["RESPONSE", answer + "違"]], 0)]
    if mode == "choice":
        if line["kind"] == "ox":
            right = "○" if answer.strip(" \u3000\n") in CIRCLES else "×"
            texts = ["○", "×"]
        else:
            right = answer
            texts = [answer] + [held(d) for d in f["dummy"] if not is_blank(d)]
        failures.check(sorted(t for _, t in choices) == sorted(texts), f"{where}: choices {choices}, not {texts}")
        ids = {t: i for i, t in choices}
        wrong = next(t for t in texts if t != right)
        return [([["RESPONSE", ids.get(right)]], 1), ([["RESPONSE", ids.get(wrong)]], 0)]
    if mode == "order":
        tiles = [t for _, t in choices]
        if line["kind"] == "narabekae":
            wanted = list(answer.strip(" \u3000\n"))
            failures.check(sorted(tiles) == sorted(wanted), f"{where}: tiles {tiles}, not {wanted}")
            # Repeated characters taken last first: any of them may stand
            # in each place.
            free = list(range(len(tiles)))[::-1]
            order = []
            for character in wanted:
                at = next((i for i in free if tiles[i] == character), None)
                if at is None:
                    return []
                free.remove(at)
                order.append(at)
            ways = [order]
        else:
            panels = [held(p) for p in f["panel"] if not is_blank(p)]
            failures.check(sorted(tiles) == sorted(panels), f"{where}: tiles {tiles}, not {panels}")
            ways = spellings(answer.strip(" \u3000\n"), tiles)
        plays = [([["RESPONSE", [choices[i][0] for i in way]]], 1) for way in (ways if not big else ways[:1])]
        if len(ways[0]) > 1:
            plays.append(([["RESPONSE", [choices[i][0] for i in ways[0][:-1]]]], 0))
            flipped = ways[0][::-1]
            if "".join(tiles[i] for i in flipped) != answer.strip(" \u3000\n"):
                plays.append(([["RESPONSE", [choices[i][0] for i in flipped]]], 0))
        return plays
    # Reels: the answer's character from each, then another from the first.
    reels = [held(r) for r in f["reel"] if not is_blank(r)]
    right, wrong = [], []
    for j, interaction in enumerate(item.iter(QTI + "inlineChoiceInteraction")):
        options = [(c.get("identifier"), shown(c)) for c in interaction.iter(QTI + "inlineChoice")]
        # A reel shows its characters as the review folds them (widths).
        folded = list(dict.fromkeys(unicodedata.normalize("NFKC", reels[j])))
        failures.check([t for _, t in options] == folded, f"{where}: reel {j + 1} {options}, not {folded}")
        response = interaction.get("responseIdentifier")
        pick = next(i for i, t in options if t == answer.strip()[j])
        right.append([response, pick])
        other = next((i for i, t in options if t != answer.strip()[j]), pick)
        wrong.append([response, other if j == 0 else pick])
    plays = [(right, 1)]
    if wrong != right:
        plays.append((wrong, 0))
    return plays


def run(command, **options):
    return subprocess.run(command, capture_output=True, timeout=600, **options)


def export(zibconv, quiz, package):
    done = run(zibconv + ["export", quiz, package, "--force"], env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000"))
    messages = done.stderr.decode("utf-8", errors="replace")
    if "\ufffd" in messages:
        messages = done.stderr.decode("cp932", errors="replace")
    failures.check(done.returncode == 0, f"export of {quiz}: {done.returncode} {messages}")
    return messages.replace("\r\n", "\n")


def validate(schemas, folder, names):
    """xmllint over the files, a batch at a time."""
    item_schema = os.path.join(schemas, "qtiv2p1", "imsqti_v2p1.xsd")
    for start in range(0, len(names), 200):
        batch = [os.path.join(folder, n) for n in names[start:start + 200]]
        done = run(["xmllint", "--noout", "--nonet", "--schema", item_schema] + batch)
        failures.check(done.returncode == 0, "xmllint: " + done.stderr.decode()[-2000:])
    done = run(["xmllint", "--noout", "--nonet", "--schema", os.path.join(schemas, "imscp_v1p1.xsd"),
                os.path.join(folder, "imsmanifest.xml")])
    failures.check(done.returncode == 0, "xmllint of the manifest: " + done.stderr.decode()[-2000:])


def check_structure(folder, problems):
    """The test's sections and the manifest's resources against the set."""
    test = etree.parse(os.path.join(folder, "test.xml")).getroot()
    sections = [[r.get("href") for r in s.iter(QTI + "assessmentItemRef")] for s in test.iter(QTI + "assessmentSection")]
    expected, number = [], 0
    for lines in problems:
        expected.append([f"items/line-{number + i + 1}.xml" for i in range(len(lines))])
        number += len(lines)
    failures.check(sections == expected, "the test's sections are not the set's problems and branches")
    manifest = etree.parse(os.path.join(folder, "imsmanifest.xml")).getroot()
    hrefs = sorted(r.get("href") for r in manifest.iter(CP + "resource"))
    failures.check(hrefs == sorted(["test.xml"] + [h for s in expected for h in s]), "the manifest's resources")


def sampled_package(folder, numbers, path):
    """The package with the sampled items alone, for the converter: it takes
    minutes over 30,000 items."""
    kept = {f"items/line-{n}.xml" for n in numbers}
    test = etree.parse(os.path.join(folder, "test.xml"))
    for ref in list(test.iter(QTI + "assessmentItemRef")):
        if ref.get("href") not in kept:
            ref.getparent().remove(ref)
    for section in list(test.iter(QTI + "assessmentSection")):
        if len(section) == 0:
            section.getparent().remove(section)
    manifest = etree.parse(os.path.join(folder, "imsmanifest.xml"))
    for resource in list(manifest.iter(CP + "resource")):
        if resource.get("href") not in kept | {"test.xml"}:
            resource.getparent().remove(resource)
    for dependency in list(manifest.iter(CP + "dependency")):
        if f"items/{dependency.get('identifierref')}.xml" not in kept:
            dependency.getparent().remove(dependency)
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr("imsmanifest.xml", etree.tostring(manifest, xml_declaration=True, encoding="UTF-8"))
        archive.writestr("test.xml", etree.tostring(test, xml_declaration=True, encoding="UTF-8"))
        for name in sorted(kept):
            archive.write(os.path.join(folder, name), name)
    return path


def convert(convert_dir, package):
    script = os.path.join(convert_dir, "node_modules", "@citolab", "qti-convert", "dist", "qti-convert-pkg.mjs")
    done = run(["node", script, package])
    converted = package[:-4] + "-qti3.zip"
    failures.check(done.returncode == 0 and os.path.exists(converted),
                   "qti-convert: " + (done.stdout + done.stderr).decode()[-2000:])
    return converted


PLAY = """
const [href, plays, done] = arguments;
(async () => {
  const scores = [];
  for (const responses of plays) {
    const made = await window.Q.qtiTransformItem().load(href);
    const host = document.getElementById('host');
    host.replaceChildren(made.htmlDoc());
    const item = host.querySelector('qti-assessment-item');
    await item.updateComplete;
    for (const [id, value] of responses)
      item.updateResponseVariable(id, value);
    item.processResponse();
    const score = item.getOutcome('SCORE');
    scores.push(score ? Number(score.value) : null);
  }
  done(scores);
})().catch((e) => done(String(e)));
"""


def start_server(root):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *arguments):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=root))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--user-data-dir=" + profile, "--no-first-run", "--disable-extensions",
                     "--disable-background-networking"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(30)
    driver.set_script_timeout(60)
    return driver


def play_all(driver, base, plays):
    """plays: [(where, href, [(responses, score)])]."""
    for where, href, cases in plays:
        got = driver.execute_async_script(PLAY, base + href, [responses for responses, _ in cases])
        wanted = [score for _, score in cases]
        failures.check(got == wanted, f"{where}: scores {got}, not {wanted} for {[r for r, _ in cases]}")


def package_plays(name, work, zibconv, schemas, convert_dir, quiz, sample, big=False):
    folder = os.path.join(work, name)
    package = os.path.join(work, name + ".zip")
    messages = export(zibconv, quiz, package)
    shutil.rmtree(folder, ignore_errors=True)
    with zipfile.ZipFile(package) as archive:
        archive.extractall(folder)
    problems = read_set(quiz)
    lines = [line for lines in problems for line in lines]
    numbers = list(range(1, len(lines) + 1))
    if sample < len(numbers):
        numbers = sorted(random.Random(27).sample(numbers, sample))
    validate(schemas, folder, [f"items/line-{n}.xml" for n in numbers] + ["test.xml"])
    check_structure(folder, problems)
    fallen = {int(m) for m in re.findall(r"^(\d+) 行目 ", messages, re.M)}
    wanted = {n for n, line in enumerate(lines, 1) if expected_mode(line) in ("entry", "blank")}
    failures.check(fallen == wanted, f"{name}: notices for lines {sorted(fallen ^ wanted)[:10]} differ")
    plays = []
    for n in numbers:
        item = etree.parse(os.path.join(folder, f"items/line-{n}.xml")).getroot()
        failures.check(item.get("identifier") == f"line-{n}", f"line {n}: identifier {item.get('identifier')}")
        cases = plays_of(n, lines[n - 1], item, big)
        failures.check(any(score == 1 for _, score in cases) or expected_mode(lines[n - 1]) == "blank",
                       f"line {n}: no right response to play")
        plays.append((f"{name} line {n} ({lines[n - 1]['kind']}, {expected_mode(lines[n - 1])})",
                      f"{name}-qti3/items/line-{n}.xml", cases))
    if sample < len(lines):
        package = sampled_package(folder, numbers, os.path.join(work, name + "-sample.zip"))
    converted = convert(convert_dir, package)
    with zipfile.ZipFile(converted) as archive:
        archive.extractall(os.path.join(work, "www", name + "-qti3"))
    return plays, {expected_mode(lines[n - 1]) + " " + lines[n - 1]["kind"] for n in numbers}


def main():
    work, schemas, convert_dir, components, benchmark, sample = sys.argv[1:7]
    zibconv = sys.argv[7:]
    for needed in (os.path.join(schemas, "qtiv2p1", "imsqti_v2p1.xsd"), os.path.join(schemas, "imscp_v1p1.xsd"),
                   os.path.join(components, "node_modules", "@citolab", "qti-components", "cdn", "index.js"),
                   os.path.join(convert_dir, "node_modules", "@citolab", "qti-convert")):
        if not os.path.exists(needed):
            print(f"FAIL: {needed} is missing (the schemas of ../shared/qti, or tools/setup.sh's npm packages)")
            return 1
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "www"))
    os.symlink(os.path.join(components, "node_modules", "@citolab", "qti-components", "cdn"),
               os.path.join(work, "www", "components"))
    with open(os.path.join(work, "www", "index.html"), "w", encoding="utf-8") as page:
        page.write("<!doctype html><meta charset='utf-8'><div id='host'></div><script type='module'>"
                   "import * as Q from '/components/index.js'; window.Q = Q;</script>\n")

    quiz = os.path.join(work, "generated.xml")
    with open(quiz, "w", encoding="utf-8") as out:
        out.write(quiz_file(Generator(20261210).problems(120)))
    plays, seen = package_plays("generated", work, zibconv, schemas, convert_dir, quiz, 10 ** 9)
    every = {f"{mode} {kind}" for kind in KINDS for mode in ("entry", "blank")} | {
        "choice ox", "choice yontaku", "choice rensou", "order narabekae", "order panel", "reels slot"}
    every.discard("entry narabekae")
    failures.check(every <= seen, f"the generated set misses {sorted(every - seen)}")
    if benchmark != "-":
        big = os.path.join(work, "benchmark.xml")
        subprocess.run([benchmark, "--write-set", "10000", big], check=True, timeout=300)
        more, _ = package_plays("benchmark", work, zibconv, schemas, convert_dir, big, int(sample), big=True)
        plays += more

    server = start_server(os.path.join(work, "www"))
    driver = start_browser(os.path.join(work, "profile"))
    try:
        base = f"http://127.0.0.1:{server.server_address[1]}/"
        driver.get(base + "index.html")
        deadline = time.time() + 30
        while not driver.execute_script("return !!window.Q") and time.time() < deadline:
            time.sleep(0.1)
        play_all(driver, base, plays)
    finally:
        driver.quit()
        server.shutdown()
    print(f"{len(plays)} items played, {sum(len(c) for _, _, c in plays)} responses; {failures.count} failures")
    return 1 if failures.count else 0


if __name__ == "__main__":
    sys.exit(main())
