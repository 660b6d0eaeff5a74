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

  calc_export.py ZIBCONV WORKFOLDER
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
    for failure in failures[:40]:
        print("FAIL:", failure)
    if failures:
        return 1
    print("workbooks through Calc: every cell a string, every column text (%d rows)" % len(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
