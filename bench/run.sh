#!/usr/bin/env bash
# Builds the benchmarks in a Release tree, runs them (each program with
# repetitions, medians reported), measures a type switch's peak memory and,
# when valgrind is there, the instructions of a read and a write, and writes
# the results into docs/performance.md with the plot docs/images/bench-throughput.png.
#
#   bench/run.sh                    # everything, 5 repetitions
#   TD_BENCH_REPETITIONS=5 bench/run.sh
#   TD_BENCH_DIR=/some/disk bench/run.sh   # where the benchmarks' files go (default /tmp)
#   TD_BENCH_BUILD=build/mine bench/run.sh  # the Release tree (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TD_BENCH_BUILD:-build/release}
results=$build/bench-results
repetitions=${TD_BENCH_REPETITIONS:-5}
programs=(datafile type_switch download shared_configs catalogue)
[ -f bench/check_bench.cpp ] && programs+=(check)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTD_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" -j2 $(printf 'bench_%s ' "${programs[@]}") bench_peak_memory bench_count_instructions
rm -rf "$results"
mkdir -p "$results"

{
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src sim bench || echo ' (with changes)')"
  echo "compiler $(c++ --version | head -1)"
  echo "nproc $(nproc)"
  echo "cpu $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
  echo "memory $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
  echo "kernel $(uname -sr)"
  echo "repetitions $repetitions"
  echo "load_before $(cut -d' ' -f1-3 /proc/loadavg)"
} >"$results/machine.txt"

for program in "${programs[@]}"; do
  echo "== bench_$program"
  "$build/bin/bench_$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/$program.json" --benchmark_out_format=json
done

echo "== peak memory of a type switch"
"$build/bin/bench_peak_memory" >"$results/peak_memory.txt"
cat "$results/peak_memory.txt"

if command -v valgrind >/dev/null; then
  for op in read save-missing save-present; do
    echo "== instructions: $op"
    valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$results/callgrind.$op.out" \
      "$build/bin/bench_count_instructions" "$op" 5 >"$results/instructions.$op.txt" 2>"$results/callgrind.$op.log"
    grep -h Collected "$results/callgrind.$op.log" || true
  done
fi

echo "load_after $(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/machine.txt"
# The plot needs matplotlib (Debian: python3-matplotlib), which the first
# python3 on the path may lack; without it the tables are written alone.
python=python3
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import matplotlib' 2>/dev/null; then
    python=$candidate
    break
  fi
done
"$python" bench/report.py "$results" docs/performance.md docs/images/bench-throughput.png >/dev/null
echo "== written: docs/performance.md, docs/images/bench-throughput.png (raw results in $results)"
