#!/usr/bin/env python3
"""Copies C++ sources with every narrow string literal's non-ASCII characters
written as octal escapes of their code page 932 bytes.

clang compiles narrow literals only as UTF-8, where the product's build has
GCC write them in code page 932 (-fexec-charset=CP932). The fuzz build
compiles such a copy, so that its literals are the product's bytes.

    cp932-literals.py SOURCE-ROOT OUTPUT-ROOT FOLDER...

Files are written only when their text changes, so that a build does no
more than it must. Wide, UTF-16, UTF-32 and UTF-8 literals stay as they are;
a narrow raw literal with a non-ASCII character cannot be escaped and is an
error.
"""
import os
import sys

NARROW = {"", "R"}
PREFIXES = {"", "R", "L", "LR", "u", "uR", "U", "UR", "u8", "u8R"}


def escaped(text, where):
    out = []
    for c in text:
        if ord(c) < 0x80:
            out.append(c)
            continue
        try:
            data = c.encode("cp932")
        except UnicodeEncodeError:
            sys.exit(f"{where}: U+{ord(c):04X} has no code in code page 932")
        out.append("".join(f"\\{b:03o}" for b in data))
    return "".join(out)


def convert(source, where):
    out = []
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            end = source.find("\n", i)
            end = n if end < 0 else end
            out.append(source[i:end])
            i = end
        elif source.startswith("/*", i):
            end = source.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(source[i:end])
            i = end
        elif c == "'":
            end = i + 1
            while end < n and source[end] != "'":
                end += 2 if source[end] == "\\" else 1
            out.append(source[i:end + 1])
            i = end + 1
        elif c == '"':
            start = i
            while start > 0 and (source[start - 1].isalnum() or source[start - 1] == "_"):
                start -= 1
            prefix = source[start:i]
            if prefix not in PREFIXES:
                prefix = ""
            if "R" in prefix:
                open_paren = source.index("(", i)
                delimiter = ")" + source[i + 1:open_paren] + '"'
                end = source.index(delimiter, open_paren) + len(delimiter)
                body = source[i:end]
                if prefix in NARROW and any(ord(ch) >= 0x80 for ch in body):
                    sys.exit(f"{where}: a narrow raw literal holds a non-ASCII character")
                out.append(body)
                i = end
                continue
            end = i + 1
            while end < n and source[end] != '"':
                end += 2 if source[end] == "\\" else 1
            body = source[i:end + 1]
            out.append(escaped(body, where) if prefix in NARROW else body)
            i = end + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    source_root, output_root, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    for folder in folders:
        for directory, _, names in os.walk(os.path.join(source_root, folder)):
            for name in names:
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, source_root)
                target = os.path.join(output_root, relative)
                with open(path, "rb") as f:
                    data = f.read()
                if name.endswith((".cpp", ".h")):
                    data = convert(data.decode("utf-8"), relative).encode("utf-8")
                try:
                    with open(target, "rb") as f:
                        if f.read() == data:
                            continue
                except FileNotFoundError:
                    os.makedirs(os.path.dirname(target), exist_ok=True)
                with open(target, "wb") as f:
                    f.write(data)


if __name__ == "__main__":
    main()
