#!/bin/bash
# Times two commands as whole processes, in turn (A B A B ...), after one
# warm-up run of each, and prints for each pair the CPU seconds (user +
# system) of A and of B and their ratio A/B, then the medians. Comparing
# pair by pair keeps a ratio sound while a shared machine's speed drifts.
#   bench/pairs.sh RUNS 'COMMAND A' 'COMMAND B'
# Each command is split into words as the shell splits them; its output is
# thrown away.
set -euo pipefail

if (($# != 3)); then
    echo "usage: $0 RUNS 'COMMAND A' 'COMMAND B'" >&2
    exit 2
fi
runs=$1
read -r -a command_a <<<"$2"
read -r -a command_b <<<"$3"

# CPU seconds of one run of the command given as arguments.
cpu_seconds() {
    local TIMEFORMAT='%U %S' times
    times=$({ time "$@" >/dev/null 2>&1; } 2>&1)
    awk '{ printf "%.3f", $1 + $2 }' <<<"$times"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

cpu_seconds "${command_a[@]}" >/dev/null
cpu_seconds "${command_b[@]}" >/dev/null
results=$(mktemp)
trap 'rm -f "$results"' EXIT
echo "pair  A cpu s  B cpu s  A/B"
for ((i = 1; i <= runs; i++)); do
    a=$(cpu_seconds "${command_a[@]}")
    b=$(cpu_seconds "${command_b[@]}")
    awk -v i="$i" -v a="$a" -v b="$b" 'BEGIN { printf "%4d  %7.3f  %7.3f  %.3f\n", i, a, b, a / b }' |
        tee -a "$results"
done
printf "median  %s  %s  %s\n" "$(awk '{ print $2 }' "$results" | median)" \
    "$(awk '{ print $3 }' "$results" | median)" "$(awk '{ print $4 }' "$results" | median)"
