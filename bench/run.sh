#!/bin/bash
# Builds the benchmarks optimised and without sanitizers (VESTAR_BENCH=ON,
# build type RelWithDebInfo: -O2, as the shipped program) in build/bench and
# runs them. Arguments go to the benchmark program, for example
#   bench/run.sh --benchmark_filter=Compose --benchmark_repetitions=5
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/ensure-packages.sh

cmake -S . -B build/bench -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESTAR_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target vestar_bench vestar_bench_work
exec build/bench/bench/vestar_bench "$@"
