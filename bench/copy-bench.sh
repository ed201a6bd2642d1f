#!/bin/bash
# The installer's copy, window and start-up figures, measured side by side
# in one run (see bench/README.md):
#   bench/copy-bench.sh [--installer PATH] [--rounds N] [--database-mib N]
#                       [--blocks 'KIB[:MODE] ...'] [--phases]
# With --phases, it times only the installer's run, round after round, by
# its progress log: for each line the time from the click to its last text
# and the step since the line before, then the medians of the steps; beside
# it the installer's single-file copy of the database alone.
# With --blocks, it times only the installer's content copy of the database
# with each block size in turn (same rounds, the destination sized first),
# against Wine's CopyFileW (unflushed). MODE is the way to the disk: flush
# (one flush at the end, the default), writethrough (the destination opened
# with FILE_FLAG_WRITE_THROUGH), behind (flushed on a second handle while the
# copy goes on: the installer's way for a file over 64 MiB), behind-unsized
# (the same without sizing the destination first), plain (the bench's own
# loop: one thread, one buffer), halves (two such threads, a half each) or
# peer (CopyFileW, then FlushFileBuffers; KIB is ignored). Otherwise
# each round times, one after another on the same files (the four copies
# starting with another one each round, each after the earlier copies were
# deleted, `sync` ran and 8 s passed):
#   run        the real Install.exe under Wine, from "Начать установку" to
#              the driver question, on a medium whose QZ7.FDB has N MiB
#              (2048 by default), the window probed every 100 ms;
#   peer       what a stock Windows program does to copy durably, under the
#              same Wine: CopyFileW of each file the run copies, then
#              FlushFileBuffers of it (bench/win/DurableCopy.cpp);
#   native     `dd conv=fsync` of each of those files, one after another;
#   cp         native `cp` of the same files, nothing flushed;
#   startup    Install.exe and Wine's notepad to their first painted window.
# It prints every round with the load average before it, then medians and
# the ratios of the medians. The installer's peak memory is measured once
# more on a 256 MiB database. Benchmarks report; they never fail on a
# figure. --installer times another build of Install.exe (for example one
# saved from before a change).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

installer=""
rounds=3
database_mib=2048
blocks=""
phases=""
while (($#)); do
    case "$1" in
    --installer) installer=$(realpath "$2"); shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --database-mib) database_mib=$2; shift 2 ;;
    --blocks) blocks=$2; shift 2 ;;
    --phases) phases=1; shift ;;
    *) echo "usage: $0 [--installer PATH] [--rounds N] [--database-mib N] [--blocks 'KIB ...'] [--phases]" >&2; exit 2 ;;
    esac
done

./tools/ensure-packages.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j "$(nproc)" --target Install install-bench durable-copy demo_medium >/dev/null
installer=${installer:-$ROOT/build/win/src/app/Install.exe}
[ -f "$installer" ] || installer=$(find "$ROOT/build/win" -name Install.exe -path '*src*' | head -1)

source tools/session.sh
vestar_session_start "$ROOT/build/win"
work=$ROOT/build/win/copy-bench
drive_c=$WINEPREFIX/drive_c
cleanup() {
    rm -rf "$work" "$drive_c/CopyBenchRun" "$drive_c/CopyBenchCopy"
    vestar_session_stop
}
trap cleanup EXIT

wine=/usr/lib/wine/wine64
bench_exe=$(find "$ROOT/build/win/bench" -name install-bench.exe | head -1)
peer_exe=$(find "$ROOT/build/win/bench" -name durable-copy.exe | head -1)
winpath() { echo "Z:${1//\//\\}"; }

# A copy of the demo medium with this build's Install.exe and a database of
# random bytes of the given size.
make_medium() {
    local medium=$1 mib=$2
    rm -rf "$medium"
    mkdir -p "$(dirname "$medium")"
    cp -r build/win/demo-medium "$medium"
    cp "$installer" "$medium/Install.exe"
    head -c "$((mib << 20))" /dev/urandom >"$medium/DTAfb/QZ7.FDB"
}

# Removes every earlier copy, writes back what is still only in memory and
# waits, so that no contender's flush also pays for another one's writes (on
# ext4 a file's fsync commits the journal, which writes back the other
# files' pending data first) and each starts with the memory in the same
# state: this virtual machine hands freed memory back to its host a few
# seconds after a delete, and a copy into memory that went back is slower.
settle_seconds=8
settle() {
    rm -rf "$drive_c/CopyBenchRun" "$drive_c/CopyBenchCopy"
    sync
    sleep "$settle_seconds"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Figure NAME from a name=value line.
field() { sed -n "s/.*\\b$1=\\([0-9.]*\\).*/\\1/p" <<<"$2"; }

installer_run() {
    local medium=$1
    settle
    "$wine" "$bench_exe" run "$(winpath "$medium/Install.exe")" 'C:\CopyBenchRun' 2>&1 | tr -d '\r'
}

# The files the run copies, as "medium path<TAB>target path" lines with
# slashes, from the peer program's own list.
run_files() {
    "$wine" "$peer_exe" --list 2>/dev/null | tr -d '\r' | tr '\\' '/'
}

# The native copies take the run's files into the run's layout; with
# "fsync" each by `dd conv=fsync`, otherwise by `cp`.
native_copy() {
    local medium=$1 how=$2 start from to
    settle
    local target=$drive_c/CopyBenchCopy
    mkdir -p "$target/DTAfb" "$target/intl" "$target/udf"
    start=$(now_ms)
    while IFS=$'\t' read -r from to; do
        if [ "$how" = fsync ]; then
            dd if="$medium/$from" of="$target/$to" bs=4M conv=fsync status=none
        else
            cp "$medium/$from" "$target/$to"
        fi
    done <"$work/files"
    echo $(($(now_ms) - start))
}

# The peer under Wine, timed inside its process from the first copy to the
# last flush (as the run is timed from the click, not from its start).
peer_copy() {
    local medium=$1 line
    settle
    line=$("$wine" "$peer_exe" "$(winpath "$medium")\\" 'C:\CopyBenchCopy\' 2>&1 | tr -d '\r')
    field copy_ms "$line"
}

wine_copyfilew() {
    local medium=$1 line
    settle
    mkdir -p "$drive_c/CopyBenchCopy"
    line=$("$wine" "$bench_exe" copyfilew "$(winpath "$medium/DTAfb/QZ7.FDB")" \
        'C:\CopyBenchCopy\QZ7.FDB' 2>&1 | tr -d '\r')
    field copy_ms "$line"
}

startup() {
    field startup_ms "$("$wine" "$bench_exe" startup "$1" 2>&1 | tr -d '\r')"
}

# Numbers are read and printed with a decimal point whatever the locale (the
# clinics' Russian one would print a comma that the ratios then misread).
median() {
    LC_ALL=C sort -g | LC_ALL=C awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "installer: $installer"
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), load $(cut -d' ' -f1-3 /proc/loadavg)"
make_medium "$work/medium" "$database_mib"
run_files >"$work/files"
# The session's first large copy takes up to twice as long as the next ones
# (2.9 to 5.0 s against 1.4 to 2.7 s for the same 2 GiB): on this virtual
# machine memory freed some seconds before has gone back to the host and
# must be filled again. That would always fall on round 1's first
# contender: one untimed copy goes first.
peer_copy "$work/medium" >/dev/null
echo "medium: $(wc -l <"$work/files") files copied, \
$(cut -f1 "$work/files" | (cd "$work/medium" && xargs du -smc) | tail -1 | cut -f1) MiB, database $database_mib MiB"

# The content copy alone, block size by block size, against CopyFileW.
block_rounds() {
    local i kib line
    echo "round  CopyFileW_ms  $(for kib in $blocks; do printf '%s_KiB_ms  ' "$kib"; done)"
    local mode
    for ((i = 1; i <= rounds; i++)); do
        line="$i $(wine_copyfilew "$work/medium")"
        for kib in $blocks; do
            settle
            mkdir -p "$drive_c/CopyBenchCopy"
            mode=flush
            [[ $kib == *:* ]] && mode=${kib#*:}
            line+=" $(field copy_ms "$("$wine" "$bench_exe" engine \
                "$(winpath "$work/medium/DTAfb/QZ7.FDB")" 'C:\CopyBenchCopy\QZ7.FDB' "${kib%%:*}" \
                "$mode" 2>&1)")"
        done
        echo "$line" | tee -a "$work/blocks"
    done
    echo "medians (ms):"
    local column=2
    for name in CopyFileW $blocks; do
        echo "  $name: $(awk -v c="$column" '{ print $c }' "$work/blocks" | median)"
        column=$((column + 1))
    done
}
# The run's steps by its log lines, round after round, then the median of
# each step (the lines are the same in every round). Each round also times
# the installer's single-file copy of the database alone, on the calling
# thread and on a worker as in the run, to set against the run's step.
single_copy() {
    settle
    mkdir -p "$drive_c/CopyBenchCopy"
    field copy_ms "$("$wine" "$bench_exe" "$1" "$(winpath "$work/medium/DTAfb/QZ7.FDB")" \
        'C:\CopyBenchCopy\QZ7.FDB' 2>&1 | tr -d '\r')"
}
phase_rounds() {
    local i out single worker
    for ((i = 1; i <= rounds; i++)); do
        single=$(single_copy keepdate)
        worker=$(single_copy keepdate-worker)
        settle
        out=$("$wine" "$bench_exe" phases "$(winpath "$work/medium/Install.exe")" \
            'C:\CopyBenchRun' 2>&1 | tr -d '\r')
        echo "round $i: run_ms=$(field run_ms "$out") keepdate_ms=$single keepdate_worker_ms=$worker"
        echo "$single $worker" >>"$work/single"
        grep '^phase' <<<"$out" | sed 's/^phase /  /'
        grep '^phase' <<<"$out" | awk -v r="$i" '{ sub(/.*step_ms=/, ""); sub(/ text=/, "\t"); print r "\t" NR "\t" $0 }' >>"$work/phases"
    done
    echo "median step (ms) per line:"
    local n text
    for n in $(cut -f2 "$work/phases" | sort -n | uniq); do
        text=$(awk -F'\t' -v n="$n" '$2 == n { t = $4 } END { print t }' "$work/phases")
        printf '  %6s  %s\n' "$(awk -F'\t' -v n="$n" '$2 == n { print $3 }' "$work/phases" | median)" "$text"
    done
    echo "database alone (median ms): keepdate $(cut -d' ' -f1 "$work/single" | median), on a worker $(cut -d' ' -f2 "$work/single" | median)"
}
if [ -n "$phases" ]; then
    phase_rounds
    exit 0
fi
if [ -n "$blocks" ]; then
    block_rounds
    exit 0
fi

rows=$work/rows
: >"$rows"
printf "round  load   run_ms  peer_ms  native_ms  cp_ms  probes slow max_probe_ms  peak_MiB  startup_ms notepad_ms\n"
# The four copies of a round, one of them by name.
time_copy() {
    case "$1" in
    run) run=$(installer_run "$work/medium") ;;
    peer) peer_ms=$(peer_copy "$work/medium") ;;
    native) native_ms=$(native_copy "$work/medium" fsync) ;;
    cp) cp_ms=$(native_copy "$work/medium" plain) ;;
    esac
}
copies=(run peer native cp)
for ((i = 1; i <= rounds; i++)); do
    load=$(cut -d' ' -f1 /proc/loadavg)
    # Each round starts with another of the four, so that none always comes
    # first after the machine has written back and freed the earlier copies.
    for ((k = 0; k < ${#copies[@]}; k++)); do
        time_copy "${copies[$(((i - 1 + k) % ${#copies[@]}))]}"
    done
    run_ms=$(field run_ms "$run")
    if [ -z "$run_ms" ]; then
        echo "round $i: the installer run failed: $run" >&2
        continue
    fi
    startup_ms=$(startup "$(winpath "$work/medium/Install.exe")")
    notepad_ms=$(startup 'C:\windows\system32\notepad.exe')
    echo "$i $load $run_ms $peer_ms $native_ms $cp_ms $(field probes "$run") $(field slow_probes "$run") \
$(field max_probe_ms "$run") $(field peak_mib "$run") $startup_ms $notepad_ms" | tee -a "$rows" |
        awk '{ printf "%5d  %5s  %6d  %7d  %9d  %5d  %6d %4d %12d  %8s  %10d %10d\n", $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12 }'
done
rm -rf "$drive_c/CopyBenchRun" "$drive_c/CopyBenchCopy"

col() { awk -v c="$1" '{ print $c }' "$rows" | median; }
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# The ratio of two columns round by round, then their median.
round_ratios() {
    LC_ALL=C awk -v a="$1" -v b="$2" '{ printf "%.2f\n", $a / $b }' "$rows" | median
}
run_m=$(col 3) peer_m=$(col 4) native_m=$(col 5) cp_m=$(col 6)
startup_m=$(col 11) notepad_m=$(col 12)
echo
echo "medians: run $run_m ms, peer $peer_m ms, native $native_m ms, cp $cp_m ms (load $(col 2))"
echo "run / peer:     $(ratio "$run_m" "$peer_m") (median of the rounds' ratios $(round_ratios 3 4))"
echo "run / native:   $(ratio "$run_m" "$native_m") (median of the rounds' ratios $(round_ratios 3 5))"
echo "peer / native:  $(ratio "$peer_m" "$native_m")"
echo "run / cp:       $(ratio "$run_m" "$cp_m")"
echo "window: $(awk '{ s += $8; n += $7; if ($9 > m) m = $9 } END { printf "%d of %d probes over 200 ms, slowest %d ms", s, n, m }' "$rows")"
echo "start-up: Install.exe $startup_m ms, notepad $notepad_m ms, ratio $(ratio "$startup_m" "$notepad_m")"

peak_full=$(col 10)
make_medium "$work/medium" 256
peak_small=$(field peak_mib "$(installer_run "$work/medium")")
echo "peak memory: ${peak_small} MiB at 256 MiB, ${peak_full} MiB at $database_mib MiB of database"
