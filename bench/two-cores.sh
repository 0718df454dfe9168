#!/bin/sh
# Runs benchmarks on two cores (taskset -c 0,1) and on all of them, the medians of a few repetitions
# side by side, each run headed by the machine's load average.
#   bench/two-cores.sh BUILD_DIR [BENCHMARK_PROGRAM...] [-- GOOGLE_BENCHMARK_OPTIONS]
# Without programs it runs those the figures for the canvas and design files come from.
set -eu
build=${1:?usage: $0 BUILD_DIR [BENCHMARK_PROGRAM...] [-- OPTIONS]}
shift
programs=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do programs="$programs $1"; shift; done
[ "${1:-}" = "--" ] && shift
[ -n "$programs" ] || programs="bench_canvas bench_design_file"
for program in $programs; do
    for cores in 0,1 all; do
        echo "== $program on ${cores} cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
        pin=""
        [ "$cores" = all ] || pin="taskset -c $cores"
        $pin "$build/bench/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
            --benchmark_filter="${BENCH_FILTER:-.}" "$@" 2>&1 | grep -E '_median|^(cores|loadavg)'
    done
done
