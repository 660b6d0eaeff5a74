#!/usr/bin/env python3
"""Workbooks through a real spreadsheet program: zibconv exports a set with
the texts spreadsheets like to retype (leading zeros, fractions, dates,
formulas, signs, full-width digits, times, long numbers) and line breaks;
LibreOffice Calc (headless, a profile of its own) opens the workbook and
saves it as .xlsx, and as .ods and from that .xlsx again. In what Calc
wrote every cell of the table is a string, equal to the text of zibconv's
CSV export, and every cell and column is formatted as text. And the CSV
export's notice counts the cells that Calc's standard import (Japanese)
retypes, besides those Excel alone retypes (a leading "@", error values).

Then back: import of each workbook Calc wrote gives exactly the quiz file
that import of zibconv's CSV export gives (the editor's own save of the
set), for this set, the end-to-end test's sets and its planted ones; and
a workbook Calc made from a CSV opened without text columns (typed numbers,
dates, times, a boolean, a formula) imports with exactly the refusals and
notices the reader gives such cells, named as Calc names them.

  calc_export.py ZIBCONV WORKFOLDER [SET.xml...]
"""
import csv
import io
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
RETYPED = ["007", "0120", "3/4", "2024/1/2", "12345678901234567890", "=SUM(A1)", "+81", "(123)",
           "１２３４", "00:30", "-5", "@home", "1e5", "TRUE", "#N/A", "_x0041_", "a\r\nb", " lead", "tail ",
           "日本語の問題？", "Ⅰ№㈱", "ｱｲｳ", "～"]


def quiz_xml():
    """A set of ox problems, one retyped text each as question and answer."""
    problems = "".join(
        "<ox><main><question>%s</question><answer>%s</answer></main></ox>"
        % (escape(text), escape(text)) for text in RETYPED)
    return ("<?xml version='1.0' encoding='SHIFT_JIS'?><root>%s</root>" % problems).encode("cp932")


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def calc(source, target_format, outdir, profile):
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                    "--convert-to", target_format, "--outdir", outdir, source],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def column_index(reference):
    letters = re.match(r"[A-Z]+", reference).group(0)
    index = 0
    for letter in letters:
        index = index * 26 + ord(letter) - 64
    return index - 1


def workbook_cells(path):
    """Rows of (text, type, style) by column, the text formats' style ids
    and the columns' styles, from the first worksheet."""
    with zipfile.ZipFile(path) as book:
        shared = []
        if "xl/sharedStrings.xml" in book.namelist():
            for si in ET.fromstring(book.read("xl/sharedStrings.xml")).findall("m:si", NS):
                shared.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))
        styles = ET.fromstring(book.read("xl/styles.xml"))
        text_formats = {"49"} | {f.get("numFmtId") for f in styles.iter("{%s}numFmt" % NS["m"])
                                 if f.get("formatCode") == "@"}
        text_styles = {str(i) for i, xf in enumerate(styles.find("m:cellXfs", NS))
                       if xf.get("numFmtId") in text_formats}
        sheet = ET.fromstring(book.read("xl/worksheets/sheet1.xml"))
    column_styles = {}
    for col in sheet.iter("{%s}col" % NS["m"]):
        for c in range(int(col.get("min")), int(col.get("max")) + 1):
            column_styles[c - 1] = col.get("style")
    rows = []
    for row in sheet.iter("{%s}row" % NS["m"]):
        cells = {}
        for c in row.findall("m:c", NS):
            kind = c.get("t", "n")
            if kind == "s":
                text = shared[int(c.find("m:v", NS).text)]
            elif kind == "inlineStr":
                text = "".join(t.text or "" for t in c.iter("{%s}t" % NS["m"]))
            else:
                v = c.find("m:v", NS)
                text = None if v is None else v.text
            cells[column_index(c.get("r"))] = (text, kind, c.get("s", "0"))
        rows.append(cells)
    return rows, text_styles, column_styles


def unescape(text):
    """What a reader makes of _xHHHH_ in a workbook's string."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def kept(cell, want):
    """Whether a workbook's cell is a string (or blank) holding the text."""
    text, kind, _ = cell
    return kind in ("s", "inlineStr", "blank") and unescape(text or "") == want


def main():
    zibconv, work = sys.argv[1], os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    with open(os.path.join(work, "retyped.xml"), "wb") as f:
        f.write(quiz_xml())
    notices = {}
    for output in ("retyped.xlsx", "retyped.csv"):
        done = subprocess.run([zibconv, "export", os.path.join(work, "retyped.xml"), os.path.join(work, output),
                               "--force"], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        notices[output] = done.stderr.decode("utf-8")
    with open(os.path.join(work, "retyped.csv"), encoding="utf-8-sig", newline="") as f:
        expected = [[cell.replace("\r\n", "\n") for cell in row] for row in csv.reader(f)]

    profile = os.path.join(work, "calc-profile")
    calc(os.path.join(work, "retyped.xlsx"), "xlsx", os.path.join(work, "calc"), profile)
    calc(os.path.join(work, "retyped.xlsx"), "ods", os.path.join(work, "calc"), profile)
    calc(os.path.join(work, "calc", "retyped.ods"), "xlsx", os.path.join(work, "calc-ods"), profile)

    failures = []
    # The CSV opened as a user opens it: no column as text.
    calc_standard = os.path.join(work, "calc-standard")
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                    "--infilter=CSV:44,34,76,1,,1041", "--convert-to", "xlsx", "--outdir", calc_standard,
                    os.path.join(work, "retyped.csv")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    rows, _, _ = workbook_cells(os.path.join(calc_standard, "retyped.xlsx"))
    calc_retyped = sum(1 for cells, want in zip(rows[1:], expected[1:]) for c in range(2, len(want))
                       if not kept(cells.get(c, ("", "blank", None)), want[c]))
    excel_only = sum(1 for want in expected[1:] for cell in want[2:] if cell[:1] in ("@", "#"))
    counted = re.search(r"セルが (\d+) 個", notices["retyped.csv"])
    if not counted or int(counted.group(1)) != calc_retyped + excel_only:
        failures.append("the CSV notice says %r; Calc retypes %d cells, Excel alone %d more"
                        % (notices["retyped.csv"], calc_retyped, excel_only))
    if "セルが" in notices["retyped.xlsx"]:
        failures.append("the workbook export tells of retyped cells")
    books = {"ours": os.path.join(work, "retyped.xlsx"), "Calc": os.path.join(work, "calc", "retyped.xlsx"),
             "Calc via .ods": os.path.join(work, "calc-ods", "retyped.xlsx")}
    for name, path in books.items():
        rows, text_styles, column_styles = workbook_cells(path)
        width = len(expected[0])
        for c in range(width):
            if column_styles.get(c) not in text_styles:
                failures.append("%s: column %d is not formatted as text" % (name, c + 1))
        if len(rows) != len(expected):
            failures.append("%s: %d rows, not %d" % (name, len(rows), len(expected)))
        for r, (cells, want) in enumerate(zip(rows, expected)):
            for c in range(width):
                text, kind, style = cells.get(c, ("", "blank", column_styles.get(c)))
                if text is None:
                    text = ""
                if kind not in ("s", "inlineStr", "blank", "n") or (kind == "n" and text != ""):
                    failures.append("%s: row %d column %d is a cell of type %s" % (name, r + 1, c + 1, kind))
                if style not in text_styles:
                    failures.append("%s: row %d column %d is not formatted as text" % (name, r + 1, c + 1))
                if unescape(text) != want[c]:
                    failures.append("%s: row %d column %d is %r, not %r" % (name, r + 1, c + 1, text, want[c]))
    # The planted sets of the end-to-end test: every kind, with branches.
    planted = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e", "planted.py")
    subprocess.run([sys.executable, planted, "write", work], check=True, stdout=subprocess.DEVNULL)
    sets = [os.path.join(work, "retyped.xml"), os.path.join(work, "planted.xml"), os.path.join(work, "clean.xml")]
    failures += round_trips(zibconv, work, profile, sets + sys.argv[3:])
    failures += typed_cells(zibconv, work, profile)
    for failure in failures[:40]:
        print("FAIL:", failure)
    if failures:
        return 1
    print("workbooks through Calc: every cell a string, every column text (%d rows)" % len(expected))
    return 0


def zibconv_run(zibconv, *arguments):
    done = subprocess.run([zibconv, *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return done.returncode, done.stderr.decode("utf-8").replace("\r", "")


def round_trips(zibconv, work, profile, sets):
    failures = []
    for quiz in sets:
        name = os.path.splitext(os.path.basename(quiz))[0]
        folder = os.path.join(work, "trip-" + name)
        os.makedirs(folder, exist_ok=True)
        book, table = os.path.join(folder, name + ".xlsx"), os.path.join(folder, name + ".csv")
        zibconv_run(zibconv, "export", quiz, book, "--force")
        zibconv_run(zibconv, "export", quiz, table, "--force")
        zibconv_run(zibconv, "import", table, os.path.join(folder, "from-csv.xml"), "--force")
        with open(os.path.join(folder, "from-csv.xml"), "rb") as f:
            want = f.read()
        calc(book, "xlsx", os.path.join(folder, "calc"), profile)
        calc(book, "ods", os.path.join(folder, "calc"), profile)
        calc(os.path.join(folder, "calc", name + ".ods"), "xlsx", os.path.join(folder, "calc-ods"), profile)
        for label, path in (("ours", book), ("Calc", os.path.join(folder, "calc", name + ".xlsx")),
                            ("Calc via .ods", os.path.join(folder, "calc-ods", name + ".xlsx"))):
            got_path = os.path.join(folder, "from-" + label.replace(" ", "-").replace(".", "") + ".xml")
            status, messages = zibconv_run(zibconv, "import", path, got_path, "--force")
            if status != 0:
                failures.append("%s, %s workbook: import exited with %d: %s" % (name, label, status, messages))
                continue
            with open(got_path, "rb") as f:
                got = f.read()
            # Calc 7.4 drops a tab inside a cell on its way through .ods.
            if label == "Calc via .ods":
                got, expected = got.replace(b"\t", b""), want.replace(b"\t", b"")
            else:
                expected = want
            if got != expected:
                failures.append("%s, %s workbook: import differs from the CSV's" % (name, label))
    return failures


# Typed into a CSV that Calc opens without text columns, and what import of
# the workbook Calc saves says of each cell (column C, row by row).
TYPED = [
    ("007", "C2: 数値のセルです。文字 7 として読みます"),
    ("0.5", "C3: 数値のセルです。文字 0.5 として読みます"),
    ("1192", "C4: 数値のセルです。文字 1192 として読みます"),
    ("3/4", "C5: 日付か時刻のセルです。列の書式を「文字列」にして入力し直してください"),
    ("00:30", "C6: 日付か時刻のセルです。列の書式を「文字列」にして入力し直してください"),
    ("TRUE", "C7: 真偽値 (TRUE/FALSE) のセルです。列の書式を「文字列」にして入力し直してください"),
    ("=1+1", "C8: 数式のセルです。その結果の数値を文字 2 として読みます"),
    ('="a"&"b"', "C9: 数式のセルです。その結果の文字列を読みます"),
    ("text", None),
]


def typed_workbook(folder, name, texts, profile):
    """The workbook Calc saves of a CSV of ox problems with these questions,
    opened as a user opens it: no column as text."""
    with open(os.path.join(folder, name + ".csv"), "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f, lineterminator="\r\n")
        writer.writerow(["kind", "level", "question", "answer"])
        for text in texts:
            writer.writerow(["ox", "main", text, "a"])
    return calc_opens_csv(folder, name, profile)


def calc_opens_csv(folder, name, profile):
    """The workbook Calc saves of NAME.csv opened without text columns."""
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                    "--infilter=CSV:44,34,76,1,,1041", "--convert-to", "xlsx", "--outdir", folder,
                    os.path.join(folder, name + ".csv")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    return os.path.join(folder, name + ".xlsx")


def typed_cells(zibconv, work, profile):
    folder = os.path.join(work, "typed")
    os.makedirs(folder, exist_ok=True)
    book = typed_workbook(folder, "typed", [text for text, _ in TYPED], profile)
    status, messages = zibconv_run(zibconv, "import", book, os.path.join(folder, "typed.xml"), "--force")
    refusals = [said for _, said in TYPED if said and "入力し直して" in said]
    want = "\n".join(refusals) + "\n表に誤りがあるため、何も書き出していません: " + book + "\n"
    failures = []
    if status != 1 or messages != want:
        failures.append("the typed workbook: exit %d and\n%s\nnot\n%s" % (status, messages, want))
    # Without the refused rows, the notices.
    kept = [(text, said) for text, said in TYPED if not said or "入力し直して" not in said]
    book = typed_workbook(folder, "kept", [text for text, _ in kept], profile)
    status, messages = zibconv_run(zibconv, "import", book, os.path.join(folder, "kept.xml"), "--force")
    notices = [re.sub(r"^C\d+", "C%d" % (row + 2), said) for row, (_, said) in enumerate(kept) if said]
    got = [line for line in messages.split("\n") if line.startswith("C")]
    if status != 0 or got != notices:
        failures.append("the typed workbook without refusals: exit %d and\n%s\nnot\n%s"
                        % (status, messages, "\n".join(notices)))
    # What the table's rules find is named by cell too.
    book = os.path.join(folder, "rules.xlsx")
    with open(os.path.join(folder, "rules.csv"), "w", encoding="utf-8", newline="") as f:
        f.write("kind,level,question,answer,dummy1,dummy2,dummy3\r\nyontaku,main,q,a,x,,z\r\n"
                "ox,main,q\U0001F600,a,,,\r\nquiz,main,q,a,,,\r\n")
    calc_opens_csv(folder, "rules", profile)
    want = ("C3 question 列: シフトJIS (コードページ 932) にない文字 U+1F600 があります",
            "A4 kind 列: 知らない kind です: quiz", "F2 dummy2 列: 空の欄の後ろに埋まった欄があります")
    done = subprocess.run([zibconv, "check", book], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    report = done.stdout.decode("utf-8")
    if done.returncode != 1 or not all(line in report for line in want):
        failures.append("check of a workbook does not name its cells:\n" + report)
    return failures


if __name__ == "__main__":
    sys.exit(main())
