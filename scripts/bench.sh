#!/usr/bin/env bash
# Builds (Release) and runs the benchmarks; prints each figure as a ratio to its baseline
# measured in the same run: BM_X/args against BM_X_Baseline/args (CPU time).
# Usage: bench.sh [program...]   (bench/<program>.cpp; all of them when none is named)
#        bench.sh --check        only configure, in a scratch folder
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/configure-check.sh
bash scripts/install-deps.sh --test  # Google Benchmark, the CUPS queue
if [[ "${1:-}" == "--check" ]]; then
  command -v python3 >/dev/null || { echo "bench.sh --check: python3 is missing" >&2; exit 1; }
  configure_check -DCMAKE_BUILD_TYPE=Release -DTAVISTO_BUILD_BENCH=ON
  exit 0
fi
# PdfSeriesBench measures the PDF export against gLabels' batch tool; only the benchmarks
# need it.
if ! command -v glabels-3-batch >/dev/null; then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get install -y -qq --no-install-recommends glabels >/dev/null ||
    echo "glabels could not be installed: PdfSeriesBench skips its comparison" >&2
fi
if (($#)); then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -C build "$@" >/dev/null
  programs=()
  for p in "$@"; do programs+=("build/bench/$p"); done
else
  bash scripts/build.sh >/dev/null
  programs=(build/bench/*)
fi
# The job hand-off is measured on the real printing service with its PDF queue.
bash scripts/test-cups.sh >/dev/null || true
for b in "${programs[@]}"; do
  [[ -f "$b" && -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  python3 -c '
import json, re, sys
rows = {b["run_name"]: b for b in json.load(sys.stdin)["benchmarks"] if b.get("aggregate_name") == "median"}
# Pairs by arguments only: a fixed iteration count on one side does not part them.
key = lambda run_name: re.sub(r"/iterations:\d+", "", run_name)
by_key = {key(n): b for n, b in rows.items()}
for name, b in rows.items():
    base_name, _, args = key(name).partition("/")
    if base_name.endswith("_Baseline"):
        continue
    base = by_key.get(base_name + "_Baseline" + ("/" + args if args else ""))
    cpu, unit = b["cpu_time"], b["time_unit"]
    if base:
        print("%s: %.3g %s, ratio %.2f" % (name, cpu, unit, cpu / base["cpu_time"]))
    elif "ratio" in b:  # a benchmark that times its baseline itself (another process, say)
        print("%s: ratio %.2f" % (name, b["ratio"]))
    else:
        print("%s: %.3g %s" % (name, cpu, unit))
'
done
