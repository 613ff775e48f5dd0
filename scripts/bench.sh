#!/usr/bin/env bash
# Builds (Release) and runs every benchmark; prints each figure as a ratio to its baseline
# measured in the same run: BM_X/args against BM_X_Baseline/args (CPU time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
for b in build/bench/*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  python3 -c '
import json, sys
rows = {b["run_name"]: b for b in json.load(sys.stdin)["benchmarks"] if b.get("aggregate_name") == "median"}
for name, b in rows.items():
    base_name, _, args = name.partition("/")
    if base_name.endswith("_Baseline"):
        continue
    base = rows.get(base_name + "_Baseline" + ("/" + args if args else ""))
    if base:
        print(f"{name}: {b[\"cpu_time\"]:.3g} {b[\"time_unit\"]}, ratio {b[\"cpu_time\"] / base[\"cpu_time\"]:.2f}")
    elif "ratio" in b:  # a benchmark that times its baseline itself (another process, say)
        print(f"{name}: ratio {b[\"ratio\"]:.2f}")
    else:
        print(f"{name}: {b[\"cpu_time\"]:.3g} {b[\"time_unit\"]}")
'
done
