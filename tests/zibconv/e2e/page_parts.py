#!/usr/bin/env python3
"""page_parts.py PAGE SOURCES SKELETON

Checks that the page zibconv wrote carries the style sheet and script of
the sources (SOURCES/page.css; SOURCES/rules.js then page.js) byte for
byte, and that its Content-Security-Policy names exactly their SHA-256
hashes; then writes the page with those parts and hashes cut out as
SKELETON, for a byte comparison with the expected one that does not change
with every edit of the page's own code."""
import base64
import hashlib
import pathlib
import re
import sys


def sha256(data):
    return base64.b64encode(hashlib.sha256(data).digest()).decode()


def main(page_path, sources, skeleton_path):
    page = pathlib.Path(page_path).read_bytes()
    sources = pathlib.Path(sources)
    style = (sources / "page.css").read_bytes()
    script = (sources / "rules.js").read_bytes() + (sources / "page.js").read_bytes()
    problems = []
    styles = re.findall(rb"<style>(.*?)</style>", page, re.S)
    scripts = re.findall(rb"<script>(.*?)</script>", page, re.S)
    if styles != [style]:
        problems.append("the page's style sheet is not page.css")
    if scripts != [script]:
        problems.append("the page's script is not rules.js and page.js")
    policy = re.findall(rb'<meta http-equiv="Content-Security-Policy" content="([^"]*)">', page)
    wanted = ("default-src 'none'; style-src 'sha256-%s'; script-src 'sha256-%s'; base-uri 'none'; "
              "form-action 'none'" % (sha256(style), sha256(script))).encode()
    if policy != [wanted]:
        problems.append("the policy %r is not %r" % (policy, wanted))
    for problem in problems:
        print("page_parts: " + problem)
    skeleton = page.replace(style, b"STYLE").replace(script, b"SCRIPT")
    skeleton = skeleton.replace(sha256(style).encode(), b"STYLE-HASH").replace(sha256(script).encode(), b"SCRIPT-HASH")
    pathlib.Path(skeleton_path).write_bytes(skeleton)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
