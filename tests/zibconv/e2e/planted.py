#!/usr/bin/env python3
"""A generated quiz set with known planted mistakes, and the check of
check's report against them.

  planted.py write FOLDER      writes planted.xml, planted.csv (the same set
                               as a table), clean.xml (no mistakes) and
                               planted-expected.json into FOLDER
  planted.py compare EXPECTED REPORT.json [REPORT.txt]
                               exits 1 unless the JSON report's findings are
                               exactly the expected ones, and the text
                               report (UTF-8) says each of them in order
"""
import json
import sys

KINDS = {  # file name: (editor's name, fields in order with counts)
    "ox": ("ox", [("question", 1), ("answer", 1)]),
    "yontaku": ("四択", [("question", 1), ("answer", 1), ("dummy", 3)]),
    "rensou": ("連想", [("hint", 4), ("answer", 1), ("dummy", 3)]),
    "narabekae": ("並べ替え", [("question", 1), ("answer", 1)]),
    "panel": ("文字パネル", [("question", 1), ("answer", 1), ("panel", 10)]),
    "slot": ("スロット", [("question", 1), ("answer", 1), ("reel", 6)]),
}
ORDER = list(KINDS)
DIGITS = "零一二三四五六七八九"


def tag(n):
    """A different text for each number, in kanji so that no folding joins two."""
    return "".join(DIGITS[int(d)] for d in str(n))


def clean_problem(kind, n):
    """Texts of a problem with no mistake, by field name: lists as lists."""
    t = tag(n)
    if kind == "ox":
        return {"question": ["問" + t + "は正しい？"], "answer": ["○"]}
    if kind == "yontaku":
        return {"question": ["問" + t + "：ＡとBはどれ？"], "answer": ["答" + t],
                "dummy": ["甲" + t, "乙" + t, "ｶﾅ" + t]}
    if kind == "rensou":
        return {"hint": ["連" + t, "ヒント２", "ﾋﾝﾄ3", "四番目"], "answer": ["答" + t],
                "dummy": ["甲" + t, "乙" + t, "丙" + t]}
    if kind == "narabekae":
        return {"question": ["並" + t], "answer": ["かえならべ" + t]}
    if kind == "panel":
        answer = "パネ" + t
        panels = list(answer) + ["x"] * (10 - len(answer))
        return {"question": ["パ" + t], "answer": [answer], "panel": panels[:10]}
    answer = "ｽﾛ" + t[:2]
    reels = ["ｱ" + c + "ｲ" for c in answer] + [" "] * (6 - len(answer))
    return {"question": ["ス" + t], "answer": [answer], "reel": reels}


# The planted mistakes: (problem, branch or None, kind, change, the findings
# it makes as (field, index or None, rule)). Every other problem is clean.
def plant(problems):
    expected = []

    def at(p, b):
        return problems[p - 1][1] if b is None else problems[p - 1][2][b - 1][1]

    def kind_of(p):
        return problems[p - 1][0]

    def add(p, b, field, index, rule):
        expected.append({"problem": p, "branch": b, "kind": kind_of(p), "field": field, "index": index,
                         "rule": rule})

    # Blank texts the player sees. (A quiz file's blank list entries move
    # to the list's end when it is read: the last one stays where it is.)
    at(2, None)["dummy"][2] = " "
    add(2, None, "dummy", 3, "blank")
    at(3, 1)["hint"][2] = "　"
    add(3, 1, "hint", 3, "blank")
    at(7, None)["question"][0] = " "
    add(7, None, "question", None, "blank")
    at(11, None)["panel"] = [" "] * 10
    add(11, None, "panel", None, "blank")
    # Choices that coincide once folded.
    at(8, None)["answer"][0] = "ABC"
    at(8, None)["dummy"][2] = "ＡＢＣ"
    add(8, None, "dummy", 3, "same-choice")
    at(9, 2)["dummy"][1] = at(9, 2)["dummy"][0]
    add(9, 2, "dummy", 2, "same-choice")
    # Spaces around an answer.
    at(13, None)["answer"][0] = "答え　"
    add(13, None, "answer", None, "surrounding-space")
    at(16, None)["answer"][0] = "\nかえならべ"
    add(16, None, "answer", None, "surrounding-space")
    # The same problem twice: a branch and a top-level problem with other
    # answers (half-width and full-width), two top-level problems alike.
    at(14, 1)["question"][0] = "ｶﾅの問題"
    at(20, None)["question"][0] = "カナの問題"
    add(14, 1, "question", None, "same-problem-other-answer")
    at(26, None)["question"] = list(at(20 + 6 * 2, None)["question"])
    at(26, None)["answer"] = list(at(32, None)["answer"])
    add(26, None, "question", None, "same-problem")
    # Panels and reels that cannot give the answer.
    at(17, None)["answer"][0] = "パネパネ"
    add(17, None, "answer", None, "panels-cannot-spell")
    at(18, 1)["reel"][1] = "ｱｲ"
    add(18, 1, "reel", 2, "reel-lacks-character")
    at(24, None)["answer"][0] = "ｽﾛｽﾛｽﾛｽ"
    add(24, None, "answer", None, "reel-count")
    # In set order; in a problem, in the order planted.
    return sorted(expected, key=lambda x: (x["problem"], x["branch"] or 0))


def build(count):
    problems = []
    n = 0
    for i in range(count):
        kind = ORDER[i % len(ORDER)]
        n += 1
        main = clean_problem(kind, n)
        branches = []
        for _ in range(i % 3):
            n += 1
            branches.append((kind, clean_problem(kind, n)))
        problems.append((kind, main, branches))
    return problems


def escaped(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def xml_of(problems):
    def group(name, texts, kind):
        fields = "".join("<%s>%s</%s>" % (f, escaped(text), f)
                         for f, _ in KINDS[kind][1] for text in texts[f])
        return "<%s>%s</%s>" % (name, fields, name)

    body = "".join("<%s>%s%s</%s>" % (kind, group("main", main, kind),
                                       "".join(group("sub", texts, kind) for _, texts in branches), kind)
                   for kind, main, branches in problems)
    return ("<?xml version='1.0' encoding='SHIFT_JIS'?>\n<root>%s</root>\n" % body).encode("cp932")


def csv_of(problems):
    columns = ["kind", "level", "question", "answer"] + ["dummy%d" % i for i in range(1, 4)] + \
        ["hint%d" % i for i in range(1, 5)] + ["panel%d" % i for i in range(1, 11)] + \
        ["reel%d" % i for i in range(1, 7)]

    def cell(text):
        text = "" if text == " " else text  # the blank text is an empty cell
        return '"%s"' % text.replace('"', '""') if any(c in text for c in ',"\n\r') else text

    def row(kind, level, texts):
        values = {"kind": kind, "level": level}
        for f, _ in KINDS[kind][1]:
            for i, text in enumerate(texts[f]):
                values[f if f in ("question", "answer") else "%s%d" % (f, i + 1)] = text
        return ",".join(cell(values.get(c, "")) for c in columns)

    lines = [",".join(columns)]
    for kind, main, branches in problems:
        lines.append(row(kind, "main", main))
        lines += [row(kind, "sub", texts) for _, texts in branches]
    return ("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-8")


def write(folder):
    clean = build(36)
    with open(folder + "/clean.xml", "wb") as f:
        f.write(xml_of(clean))
    problems = build(36)
    expected = plant(problems)
    with open(folder + "/planted.xml", "wb") as f:
        f.write(xml_of(problems))
    with open(folder + "/planted.csv", "wb") as f:
        f.write(csv_of(problems))
    with open(folder + "/planted-expected.json", "w") as f:
        json.dump(expected, f, ensure_ascii=False, indent=1)


def compare(expected_path, json_path, text_path=None):
    with open(expected_path) as f:
        expected = json.load(f)
    with open(json_path, encoding="utf-8") as f:
        report = json.load(f)
    got = [{"problem": x["problem"], "branch": x["branch"], "kind": x["kind"], "field": x["field"]["name"],
            "index": x["field"]["index"], "rule": x["rule"]} for x in report["findings"]]
    ok = True
    if got != expected:
        print("findings differ from the planted ones:")
        for line in got:
            print("  got     ", line, "" if line in expected else "(not planted)")
        for line in expected:
            if line not in got:
                print("  missing ", line)
        ok = False
    if report["summary"]["findings"] != len(expected) or report["losses"]:
        print("summary or losses wrong:", report["summary"], report["losses"])
        ok = False
    if text_path:
        with open(text_path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        said = []
        for x in report["findings"]:
            name = "問題 %d (%s)" % (x["problem"], KINDS[x["kind"]][0])
            if x["branch"]:
                name += " の分岐 %d" % x["branch"]
            said.append(name + ": " + x["message"])
        found = [line for line in lines if line.startswith("問題 ") and ": " in line]
        if found != said:
            print("the text report does not say the findings of the JSON one, in order:")
            print("\n".join(["  text: " + s for s in found] + ["  json: " + s for s in said]))
            ok = False
    return ok


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2])
    elif not compare(*sys.argv[2:]):
        sys.exit(1)
