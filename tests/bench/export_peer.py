#!/usr/bin/env python3
"""What `zibconv export SET.xml OUT.csv` does, as a short script would do it
with lxml and the csv module: the benchmark's peer. It reads well-formed
sets as the editor writes them (the last `main`, lists in order) and
writes the same bytes as zibconv. Usage: export_peer.py SET.xml OUT.csv"""
import csv
import sys

from lxml import etree

LISTS = {"dummy": 3, "hint": 4, "panel": 10, "reel": 6}
COLUMNS = ["question", "answer"] + [f"{name}{i}" for name, n in LISTS.items() for i in range(1, n + 1)]


def row(kind, level, group):
    cells = dict.fromkeys(COLUMNS, "")
    filled = dict.fromkeys(LISTS, 0)
    for field in group:
        if field.tag in LISTS:
            filled[field.tag] += 1
            column = f"{field.tag}{filled[field.tag]}"
        else:
            column = field.tag
        text = (field.text or " ").replace("\n", "\r\n")
        cells[column] = "" if text == " " else text
    return [kind, level] + [cells[c] for c in COLUMNS]


with open(sys.argv[2], "w", encoding="utf-8-sig", newline="") as out:
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow(["kind", "level"] + COLUMNS)
    for element in etree.parse(sys.argv[1]).getroot():
        for group in element:
            writer.writerow(row(element.tag, group.tag, group))
