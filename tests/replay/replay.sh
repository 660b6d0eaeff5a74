#!/usr/bin/env bash
# replay.sh NATIVE-REPLAY NATIVE-ZIBCONV SEEDS CORPUS [WINE-RUN WINE-DIR WINDOWS-REPLAY WINDOWS-ZIBCONV]
# Generates the hostile files and replays them with the fuzz seeds and the
# corpus the fuzz run grew (when there is one) through the native load
# path, and has zibconv check each hostile file. Given the Windows programs
# (run with WINE-RUN WINE-DIR), does the same under Wine and compares the
# answers: they must be the same but for the differences listed in
# known-differences.txt beside this script, each with both answers.
set -u
native=$1
nativeZibconv=$2
seeds=$3
corpus=$4
shift 4
windows=()
windowsZibconv=()
if [ $# -eq 4 ]; then
    windows=("$1" "$2" "$3")
    windowsZibconv=("$1" "$2" "$4")
fi
here=$(cd "$(dirname "$0")" && pwd)
known=$here/known-differences.txt
# Each replay is bounded; a hang is a failure.
limit=${ZIB_REPLAY_SECONDS:-300}

[ -x "$native" ] || { echo "no native load_replay at $native: build the native tree first"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/zib-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir inputs
cp -r "$seeds" inputs/seeds
[ -d "$corpus" ] && cp -r "$corpus" inputs/corpus
"$native" --generate inputs/hostile || exit 1
dirs=(inputs/*)
count=$(find inputs -mindepth 2 -maxdepth 2 | wc -l)
failed=0

replay() {
    local name=$1
    shift
    local start=$SECONDS
    timeout "$limit" "$@" "answers-$name.txt" "${dirs[@]}" 2>"progress-$name.txt"
    local status=$?
    echo "$name: $(wc -l <"answers-$name.txt") of $count inputs in $((SECONDS - start)) s, status $status"
    if [ "$status" -ne 0 ]; then
        [ "$status" -eq 124 ] && echo "$name: no answer within $limit s, at: $(tail -n 1 "progress-$name.txt")"
        [ "$status" -gt 128 ] && echo "$name: crashed at: $(tail -n 1 "progress-$name.txt")"
        failed=1
    fi
}

# zibconv check on every hostile file: an exit status of its own (0, 1 or 2),
# never a crash or a hang.
survive() {
    local name=$1 file status
    shift
    for file in inputs/hostile/*; do
        timeout "$limit" "$@" check "$file" </dev/null >/dev/null 2>&1
        status=$?
        echo "zibconv-check:$(basename "$file")	exit $status" >>"answers-$name.txt"
        [ "$status" -le 2 ] || { echo "$name: zibconv check $(basename "$file") ended with $status"; failed=1; }
    done
}

replay native "$native"
survive native "$nativeZibconv"
[ ${#windows[@]} -eq 0 ] && exit $failed
replay windows "${windows[@]}"
survive windows "${windowsZibconv[@]}"
tr -d '\r' <answers-windows.txt >answers-windows.lf

# input, native answer, Windows answer: the differences found. A file that
# breaks only the rules of namespaces is the one class of differences the
# parsers make (known-differences.txt): the native reader refuses it, Wine's
# DOM reads it.
# zibconv's check of such a file differs likewise.
join -t $'\t' -a 1 -a 2 -e missing -o 0,1.2,2.2 <(sort answers-native.txt) <(sort answers-windows.lf) |
    awk -F '\t' '$2 == "refused: namespaces" { namespaces["zibconv-check:" $1] = 1 }
                  $2 != $3 && $2 != "refused: namespaces" { differing[$1] = $0 }
                  END { for (name in differing) if (!(name in namespaces)) print differing[name] }' |
    sort >differences.txt
grep -v '^#' "$known" | grep -v '^$' | sort >known.txt
unexpected=$(sort differences.txt | comm -23 - known.txt)
gone=$(sort differences.txt | comm -13 - known.txt | cut -f 1)
if [ -n "$unexpected" ]; then
    echo "The engines disagree (input, native answer, Windows answer):"
    echo "$unexpected"
    failed=1
fi
for name in $gone; do
    # A listed difference of an input that was replayed no longer exists.
    if grep -q "^$name	" answers-native.txt; then
        echo "listed as a difference but the engines agree now: $name"
        failed=1
    fi
done
echo "differences: $(wc -l <differences.txt), all listed: $([ -z "$unexpected" ] && echo yes || echo no)"
exit $failed
