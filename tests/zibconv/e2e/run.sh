#!/usr/bin/env bash
# run.sh MESSAGES-ENCODING ZIBCONV...
# Runs the zibconv program (natively, or the Windows one through Wine) on
# real files and compares exit statuses, the files it writes and check's
# report with the expected ones beside this script: both programs must give
# the same answers. MESSAGES-ENCODING is that of the program's standard
# output (UTF-8 natively, code page 932 under Wine), turned into UTF-8 for
# the comparison. Standard input is never a console, so the program must
# never wait for Enter. Set ZIB_E2E_RECORD=1 to write the expected files.
set -u
encoding=$1
shift
zibconv=("$@")
here=$(cd "$(dirname "$0")" && pwd)
expected=$here/expected
work=$(mktemp -d "${TMPDIR:-/tmp}/zibconv-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$here"/set.xml "$here"/lenient.xml "$here"/groups.xml "$here"/excel-unicode.txt "$here"/refused.csv "$work"/
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run STATUS ARGS...: runs the program and checks its exit status.
run() {
    local want=$1 got
    shift
    "${zibconv[@]}" "$@" </dev/null >stdout.bin 2>stderr.bin
    got=$?
    [ "$got" -eq "$want" ] || fail "zibconv $* exited with $got, not $want: $(iconv -f "$encoding" -t UTF-8 stderr.bin)"
}

# same FILE NAME: FILE holds the bytes of the expected file NAME.
same() {
    if [ -n "${ZIB_E2E_RECORD:-}" ]; then
        mkdir -p "$expected" && cp "$1" "$expected/$2"
    elif ! cmp -s "$1" "$expected/$2"; then
        fail "$1 differs from expected/$2"
    fi
}

# Export, in both encodings and separators, and by default a workbook, in
# the file-alone form too: both programs write the same workbook, byte for
# byte, its creation time fixed as reproducible builds fix it.
export SOURCE_DATE_EPOCH=1700000000
run 0 export set.xml set.csv
same set.csv set.csv
run 0 export set.xml set-sjis.tsv --encoding shift_jis
same set-sjis.tsv set-sjis.tsv
run 0 export set.xml
same set.xlsx set.xlsx
cp set.xml dropped.xml
run 0 dropped.xml
cmp -s dropped.xlsx set.xlsx || fail "a file alone is not exported like export"

# The workbook imports to the editor's own save of the set, by its content
# whatever its name, and dropped on the program alone.
run 0 import set.xlsx set-from-xlsx.xml
same set-from-xlsx.xml set-saved.xml
cp set.xlsx renamed-book.csv
run 0 import renamed-book.csv renamed-book.xml
same renamed-book.xml set-saved.xml
cp set.xlsx dropped-book.xlsx
run 0 dropped-book.xlsx
same dropped-book.xml set-saved.xml
# A workbook Calc saved of a CSV opened without text columns: both programs
# refuse and name the same cells.
cp "$here/../../fuzz/workbook-seeds/calc-typed.xlsx" typed.xlsx
run 1 import typed.xlsx
iconv -f "$encoding" -t UTF-8 stderr.bin | tr -d '\r' >typed.txt
same typed.txt typed.txt

# The page: the style sheet and script of the sources, named by their
# hashes, around the same list from both programs, byte for byte.
run 0 export set.xml set.html
python3 "$here/page_parts.py" set.html "$here/../../../zibconv/page" set-page.html ||
    fail "the page does not carry its own style sheet and script by their hashes"
same set-page.html set-page.html
run 1 export set.xml set.html
run 0 export set.xml set.html --force
run 64 export set.xml other.html --encoding shift_jis
[ -e other.html ] && fail "a page was written with an encoding asked for"

# exported EXTENSION NOTICES WHAT: export to set.EXTENSION writes the
# expected bytes and prints the expected notices (kept as NOTICES); the file
# is replaced only with --force, by the same bytes; and it is UTF-8 alone,
# as the page: no file is written with an encoding asked for.
exported() {
    local extension=$1 notices=$2 what=$3
    run 0 export set.xml "set.$extension"
    same "set.$extension" "set.$extension"
    iconv -f "$encoding" -t UTF-8 stderr.bin | tr -d '\r' >"$notices"
    same "$notices" "$notices"
    run 1 export set.xml "set.$extension"
    run 0 export set.xml "set.$extension" --force
    cmp -s "set.$extension" "$expected/set.$extension" || [ -n "${ZIB_E2E_RECORD:-}" ] ||
        fail "--force wrote another $what"
    run 64 export set.xml "other.$extension" --encoding utf-8
    [ -e "other.$extension" ] && fail "a $what was written with an encoding asked for"
}

# GIFT: the same notices of the lines that became short answers. Anki: the
# same package from both programs, byte for byte (SQLite and the zip
# written alike, every time fixed). The QTI package: its entries' time
# fixed as the workbook's, the same notices of the lines that became text
# entries.
exported gift gift.txt "GIFT file"
exported apkg anki.txt package
exported zip qti.txt package

# Import of what export wrote gives the editor's own save of the set.
run 0 import set.csv set-from-csv.xml
same set-from-csv.xml set-saved.xml
run 0 import set-sjis.tsv set-from-tsv.xml --encoding shift_jis
cmp -s set-from-tsv.xml set-from-csv.xml || fail "the Shift-JIS TSV imports otherwise than the CSV"
run 0 import excel-unicode.txt
same excel-unicode.xml excel-unicode.xml

# An existing output is only replaced with --force.
cp set.csv kept.csv
run 1 export lenient.xml kept.csv
cmp -s kept.csv set.csv || fail "an existing output was replaced without --force"
run 0 export lenient.xml kept.csv --force
cmp -s kept.csv set.csv && fail "--force did not replace the output"

# What stands at the output decides: never the input, never what is no file,
# any name the file system takes.
cp set.xml self.xml
cp set.csv self.csv
run 1 import self.xml --force
run 1 export self.csv self.csv --force
run 1 export self.xml ./self.xml --force
cmp -s self.xml set.xml && cmp -s self.csv set.csv || fail "an input was replaced by its own conversion"
mkdir folder.csv
run 1 export set.xml folder.csv --force
[ -d folder.csv ] || fail "a folder was replaced"
long=$(printf 'a%.0s' $(seq 251)).csv
japanese=$(printf '日%.0s' $(seq 85))
for name in "$long" "$japanese"; do
    run 0 export set.xml "$name"
    cmp -s "$name" set.csv || fail "a ${#name}-character output name was not written"
    rm -f "$name"
done
ls ./~zi* >/dev/null 2>&1 && fail "a write left a temporary behind"
# A workbook is built in a work file of the same naming: any name, any folder.
mkdir café
book=café/$(printf 'a%.0s' $(seq 250)).xlsx
run 0 export set.xml "$book"
[ -s "$book" ] || fail "a workbook with a 255-byte name in café/ was not written"
ls café/~zi* >/dev/null 2>&1 && fail "a workbook's work file was left behind"
# A name code page 932 lacks is neither refused nor taken for another.
cp lenient.xml cafe.xml
cp set.xml café.xml
run 0 export café.xml café.csv
cmp -s café.csv set.csv || fail "export café.xml did not read café.xml"
run 0 import set.csv café.xml --force
same café.xml set-saved.xml
cmp -s cafe.xml lenient.xml || fail "import into café.xml replaced cafe.xml"
[ -e cafe.csv ] && fail "export café.xml wrote cafe.csv"
# A link is written through and stays, and leads to the input as well.
cp set.csv linked.csv
ln -s linked.csv live.csv
run 0 export lenient.xml live.csv --force
[ -L live.csv ] && ! cmp -s linked.csv set.csv || fail "a link was not written through"
ln -s self.xml link.xml
run 1 export self.xml link.xml --force
run 1 export link.xml self.xml --force
cmp -s self.xml set.xml || fail "an input was replaced through a link"
if [ "$encoding" = UTF-8 ]; then
    # Wine shows no dangling link and no mode. Pipes and devices (a private
    # copy of the null device) are never replaced.
    ln -s nowhere.csv dangling.csv
    run 1 export set.xml dangling.csv
    [ -e nowhere.csv ] && fail "a dangling link was taken for no file"
    run 0 export set.xml dangling.csv --force
    [ -L dangling.csv ] && cmp -s nowhere.csv set.csv || fail "a dangling link was not written through"
    cp set.csv private.csv && chmod 600 private.csv
    run 0 export lenient.xml private.csv --force
    [ "$(stat -c %a private.csv)" = 600 ] || fail "a replaced output lost its mode"
    mkfifo pipe.csv
    run 1 export set.xml pipe.csv --force
    [ -p pipe.csv ] || fail "a pipe was replaced"
    if mknod null.csv c 1 3 2>/dev/null; then
        run 1 export set.xml null.csv --force
        [ -c null.csv ] || fail "a device was replaced"
    fi
fi

# A refused table writes nothing and names every finding.
run 1 import refused.csv
[ -e refused.xml ] && fail "a refused table wrote refused.xml"
iconv -f "$encoding" -t UTF-8 stderr.bin | tr -d '\r' >refused.txt
same refused.txt refused.txt

# Import writes only what Open reads back: whitespace-only cells and list
# gaps are notices, the written file loses nothing; a text beyond the
# reader's limit is refused with its cell, and nothing is written.
printf 'kind,level,question,answer,dummy1,dummy2,dummy3\r\nyontaku,main,Q,A,"\t",d2,d3\r\nyontaku,main,Q,A,x,,z\r\n' >gaps.csv
run 0 import gaps.csv
iconv -f "$encoding" -t UTF-8 stderr.bin | tr -d '\r' >gaps.txt
same gaps.txt gaps.txt
run 0 check gaps.xml
python3 -c "open('long.csv','w').write('kind,level,question,answer\r\nox,main,'+'a'*10000001+',A\r\n')"
run 1 import long.csv
[ -e long.xml ] && fail "a text beyond the reader's limit was written"
iconv -f "$encoding" -t UTF-8 stderr.bin | grep -q "^2 行目 question 列: テキストが長すぎます" ||
    fail "a text beyond the reader's limit is not refused with its cell"

# A workbook never reaches the table reader, by its name or by its bytes;
# every message comes in the terminal's encoding, whatever the table held.
printf 'PK\003\004\024\000\000\000\010\000' >book.xlsx
cp book.xlsx renamed.csv
for input in book.xlsx renamed.csv; do
    run 2 "$input"
    iconv -f "$encoding" -t UTF-8 stderr.bin | grep -q "ブックが壊れています" || fail "$input is not told to be a workbook"
    run 2 check "$input"
done
# A damaged workbook is told as one, not as a zip to save as CSV: cut
# short (its zip cannot be read), or without its worksheet, in import and
# check alike.
head -c 2000 set.xlsx >cut.xlsx
python3 - set.xlsx nosheet.xlsx <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book, zipfile.ZipFile(sys.argv[2], "w") as out:
    for item in book.infolist():
        if not item.filename.startswith("xl/worksheets/"):
            out.writestr(item, book.read(item.filename))
PY
for damaged in "2 cut.xlsx" "1 nosheet.xlsx"; do
    set -- $damaged
    for command in import check; do
        run "$1" $command "$2"
        iconv -f "$encoding" -t UTF-8 stdout.bin stderr.bin | grep -q "ブックが壊れています" ||
            fail "$command $2 does not tell a damaged workbook"
        iconv -f "$encoding" -t UTF-8 stdout.bin stderr.bin | grep -q "CSV" && fail "$command $2 sends the user to CSV"
    done
done
printf 'kind,question\360\237\230\200\r\nox,q\r\n' >emoji.csv
run 1 import emoji.csv
iconv -f "$encoding" -t UTF-8 stderr.bin | tr -d '\r' >emoji.txt || fail "the messages are not in the terminal's encoding"
same emoji.txt emoji.txt

# check reports what the editor would not keep, and nothing for a saved set.
run 1 check lenient.xml
iconv -f "$encoding" -t UTF-8 stdout.bin | tr -d '\r' >check-lenient.txt
same check-lenient.txt check-lenient.txt
# Groups of the same problem: told once with ten named, a shared
# instruction only with the same answer; the same report, JSON and page
# from both programs.
run 0 check groups.xml
iconv -f "$encoding" -t UTF-8 stdout.bin | tr -d '\r' >check-groups.txt
same check-groups.txt check-groups.txt
run 0 check groups.xml --json
same stdout.bin check-groups.json
run 0 export groups.xml groups.html
python3 "$here/page_parts.py" groups.html "$here/../../../zibconv/page" groups-page.html ||
    fail "the page of groups does not carry its own style sheet and script by their hashes"
same groups-page.html groups-page.html
run 0 check set-from-csv.xml

# check reviews the content: a generated set with planted mistakes (and
# none elsewhere), as a quiz file and as a table, reports exactly those, in
# text and in JSON; content findings change the status only with --strict.
python3 "$here/planted.py" write . || fail "the planted set was not written"
for input in planted.xml planted.csv; do
    run 0 check "$input"
    iconv -f "$encoding" -t UTF-8 stdout.bin | tr -d '\r' >"$input.txt"
    run 0 check --json "$input"
    cp stdout.bin "$input.json"
    python3 "$here/planted.py" compare planted-expected.json "$input.json" "$input.txt" ||
        fail "check $input does not report exactly the planted mistakes"
done
run 1 check --strict planted.xml
run 1 check planted.csv --strict --json
run 0 check --strict clean.xml
run 0 check --strict --json clean.xml

# Every JSON report is read back by a real JSON parser, losses included.
for args in "planted.xml" "clean.xml" "lenient.xml" "refused.csv" "set.xml"; do
    "${zibconv[@]}" check --json $args </dev/null >report.json 2>/dev/null
    python3 -m json.tool report.json >/dev/null || fail "check --json $args is no JSON"
done

# import says how many content findings the set has.
run 0 import planted.csv planted-imported.xml
iconv -f "$encoding" -t UTF-8 stderr.bin | grep -q "内容に誤りらしいところが 13 件あります。zibconv check" ||
    fail "import does not tell the content findings"
run 0 export clean.xml clean.csv
run 0 import clean.csv clean-imported.xml
iconv -f "$encoding" -t UTF-8 stderr.bin | grep -q "内容" && fail "import tells content findings of a clean set"

# Inputs that cannot be read, and wrong uses.
run 2 export missing.xml
printf 'not xml' >broken.xml
run 2 export broken.xml
run 2 check broken.xml
# A package and a page are written as they are made: of a file that cannot
# be read, nothing is left, not even a temporary.
for output in broken.zip broken.html; do
    run 2 export broken.xml "$output"
    [ -e "$output" ] && fail "$output was written of a file that cannot be read"
done
ls -A | grep -q '^~zi' && fail "a write left a temporary: $(ls -A | grep '^~zi')"
run 2 import missing.csv
run 64 convert set.xml
run 64 export
run 64 import set.csv --encoding latin1
run 64 check set.xml --force
run 0 --help
grep -q 'zibconv check SET.xml' stdout.bin || fail "--help does not show the usage"
# The README quotes the usage as --help prints it, line by line.
iconv -f "$encoding" -t UTF-8 stdout.bin | tr -d '\r' | sed -n '1,/--version/p' >usage.txt
while IFS= read -r line; do
    grep -qxF -- "    $line" "$here/../../../README.md" || fail "the README does not quote the usage line \"$line\""
done <usage.txt
[ "$(wc -l <usage.txt)" -ge 5 ] || fail "--help printed no usage to quote"
run 0 --version
run 64 --version extra
run 64 --help --bogus

[ "$failures" -eq 0 ] && echo "zibconv end to end: all passed"
[ "$failures" -eq 0 ]
