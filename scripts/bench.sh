#!/usr/bin/env bash
# Benchmark of the batch run on large trees: makes deterministic trees of 10,000 and 100,000 entries (and
# 1,000,000 with --million) in the C: drive of a Wine session of its own, then times on each, pinned to one
# CPU: the bare listing, Treskel's batch run as the main window drives it, and the for /r one-liner.
# Prints the medians, the ratios and the peak working set of the run. Not a test: it checks no goal.
# Use: bash scripts/bench.sh [--million] [--rounds N]     (build folder: TRESKEL_BUILD_DIR, else build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=(10000 100000)
rounds=5
while [ $# -gt 0 ]; do
    case "$1" in
        --million) sizes+=(1000000) ;;
        --rounds) rounds=$2; shift ;;
        *) echo "use: bash scripts/bench.sh [--million] [--rounds N]" >&2; exit 2 ;;
    esac
    shift
done
if [ "$rounds" -lt 5 ]; then
    echo "bench.sh: at least 5 rounds, for medians worth the name" >&2
    exit 2
fi

export TRESKEL_BUILD_DIR=${TRESKEL_BUILD_DIR:-build/bench}
bash scripts/setup.sh
bash scripts/build.sh >/dev/null
bench_exe="$PWD/$TRESKEL_BUILD_DIR/bench/treskel_bench.exe"

source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start
# Pinned, the same command's time stays within a few per cent from round to round; unpinned it moved 3x.
taskset -a -p -c 0 "$TRESKEL_WINESERVER_PID" >/dev/null

# Writes a deterministic tree of $2 entries below $1: about 12 % folders at depths 1 to 8, the rest files,
# 5.61 % of all entries named *.gz; short and long names, blanks, umlauts, and names that only look like
# .gz (.gzip, .tgz). No name has a second dot, so the run (whose extension starts at the first dot of a
# name) and the one-liner (*.gz) match the same files. The same size always gives the same tree.
make_tree() {
    local root=$1 entries=$2
    mkdir -p "$root"
    awk -v entries="$entries" -v folders_out="$root.folders" -v files_out="$root.files" '
    function next_random() { seed = (seed * 16807) % 2147483647; return seed }
    BEGIN {
        folders = int(entries * 12136 / 100000 + 0.5)
        files = entries - folders
        gz = int(entries * 5610 / 100000 + 0.5)
        seed = 20240601
        # Share of the folders at each depth, in per cent: most between 3 and 6, a few at 1 and 8.
        split("2 8 15 20 20 15 12 8", share, " ")
        count[0] = 1; at[0, 0] = 0; path[0] = ""
        for (k = 1; k <= folders; k++) {
            r = next_random() % 100
            for (d = 1; r >= share[d]; d++) r -= share[d]
            while (count[d - 1] == 0) d--
            parent = at[d - 1, next_random() % count[d - 1]]   # 0 is the tree itself
            if (k % 9 == 0) name = "Sicherung der Messdaten Teil " k
            else if (k % 9 == 4) name = "Übersicht " k
            else name = "d" k
            if (length(path[parent]) + length(name) > 150) name = "d" k
            at[d, count[d]++] = k
            path[k] = (parent ? path[parent] "/" : "") name
            print path[k] > folders_out
        }
        for (j = 0; j < files; j++) {
            folder = next_random() % (folders + 1)
            if (int((j + 1) * gz / files) > int(j * gz / files))
                name = (j % 3 == 0) ? "Messreihe Nummer " j " vom Montag.gz" : "a" j ".gz"
            else if (j % 7 == 0) name = "Protokoll der Sitzung vom " j ".txt"
            else if (j % 11 == 0) name = "x" j ".gzip"
            else if (j % 13 == 0) name = "y" j ".tgz"
            else name = "f" j ".dat"
            print (folder ? path[folder] "/" : "") name > files_out
        }
    }'
    (cd "$root" && tr '\n' '\0' <"$root.folders" | xargs -0 mkdir && tr '\n' '\0' <"$root.files" | xargs -0 touch)
    echo "== tree of $entries entries: $(wc -l <"$root.folders") folders, $(wc -l <"$root.files") files," \
        "$(grep -c '\.gz$' "$root.files") named *.gz"
}

work="$WINEPREFIX/drive_c/bench/work"
mkdir -p "$work"
declare -A result
for size in "${sizes[@]}"; do
    make_tree "$WINEPREFIX/drive_c/bench/t$size" "$size"
    out="$TRESKEL_SESSION_DIR/bench-$size.txt"
    # One bench process per size, so that each reports the peak working set of its own runs.
    if ! taskset -c 0 wine "$bench_exe" "C:\\bench\\t$size" 'C:\bench\work' "$rounds" >"$out" 2>&1; then
        cat "$out"
        exit 1
    fi
    grep -v '^RESULT' "$out"
    result[$size]=$(sed -n 's/^RESULT //p' "$out")
done

# One "name=value ..." line per size from treskel_bench: entries, listing, run, oneliner, peak_mib.
# The session's German locale would print decimal commas; the table keeps the program's points.
export LC_ALL=C
value() { tr ' ' '\n' <<<"${result[$1]}" | sed -n "s/^$2=//p"; }
echo
echo "== Medians of $rounds rounds after a warm-up, pinned to CPU 0"
printf '%-9s %10s %10s %11s %12s %14s %12s\n' entries listing run one-liner run/listing run/one-liner "peak WS"
for size in "${sizes[@]}"; do
    awk -v e="$size" -v l="$(value "$size" listing)" -v r="$(value "$size" run)" -v o="$(value "$size" oneliner)" \
        -v p="$(value "$size" peak_mib)" 'BEGIN {
        printf "%-9s %8.2f s %8.2f s %9.2f s %12.2f %14.2f %8.1f MiB\n", e, l, r, o, r / l, r / o, p }'
done
awk -v a="$(value 100000 run)" -v b="$(value 10000 run)" 'BEGIN { printf "run 100,000 / run 10,000: %.2f\n", a / b }'
echo "goals: run/listing <= 1.3 and run/one-liner <= 0.9 at 100,000; run 100,000 / run 10,000 <= 12;" \
    "peak working set < 64 MiB at 1,000,000"
