#!/usr/bin/env bash
# Runs the fuzz targets, each for the given number of seconds, two at a time and at the
# lowest priority. Usage:
#   scripts/fuzz.sh SECONDS [TARGET...]      run (all targets when none is named)
#   scripts/fuzz.sh --promote TARGET...      merge the inputs of a target's corpus that
#                                            add coverage into fuzz/seeds/TARGET
#   scripts/fuzz.sh --check                  only configure, in a scratch folder
# Targets are the names of fuzz/fuzz_<name>.cpp. The growing corpus, the logs and any
# crashing inputs stay outside the tree, in $TAVISTO_FUZZ_DIR (default ~/.cache/tavisto-fuzz).
# The programs are built with clang in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/configure-check.sh
bash scripts/install-deps.sh --test  # clang and libFuzzer among them
root=$(pwd)
# The distribution's German label catalogue, a seed of the catalogue target.
export mo_de=/usr/share/locale/de/LC_MESSAGES/glabels-3.0.mo
work=${TAVISTO_FUZZ_DIR:-$HOME/.cache/tavisto-fuzz}
jobs=${TAVISTO_FUZZ_JOBS:-2}

all_targets() { for f in fuzz/fuzz_*.cpp; do n=$(basename "$f" .cpp); echo "${n#fuzz_}"; done; }

# shellcheck disable=SC2207
settings=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVISTO_FUZZ=ON -DTAVISTO_BUILD_TESTS=OFF -DTAVISTO_BUILD_BENCH=OFF
          $(compiler_launcher_args))
export CC=clang-14 CXX=clang++-14

build() {
  if [[ ! -f build-fuzz/build.ninja ]]; then
    cmake -S . -B build-fuzz -G Ninja "${settings[@]}" >/dev/null
  fi
  nice -n 19 cmake --build build-fuzz --target fuzzers --parallel "$jobs"
}

if [[ "${1:-}" == "--check" ]]; then
  configure_check "${settings[@]}"
  exit 0
fi

if [[ "${1:-}" == "--promote" ]]; then
  shift
  build
  for t in "$@"; do
    mkdir -p "fuzz/seeds/$t"
    "build-fuzz/fuzz/fuzz_$t" -merge=1 "fuzz/seeds/$t" "$work/corpus/$t"
  done
  exit 0
fi

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && mapfile -t targets < <(all_targets)
build

run_one() {
  local t=$1 seconds=$2 root=$3 work=$4
  mkdir -p "$work/corpus/$t" "$work/artifacts/$t" "$work/logs"
  local seeds=("$root/fuzz/seeds/$t")
  [[ -d "$root/fuzz/regressions/$t" ]] && seeds+=("$root/fuzz/regressions/$t")
  # The label database is not copied into the tree: its installed files are the seeds.
  [[ $t == labeltemplates && -d /usr/share/libglabels-3.0/templates ]] && seeds+=(/usr/share/libglabels-3.0/templates)
  # libFuzzer takes folders only: the catalogue is copied into one outside the tree.
  if [[ $t == mocatalog && -f $mo_de ]]; then
    mkdir -p "$work/system-seeds/$t"
    cp "$mo_de" "$work/system-seeds/$t/"
    seeds+=("$work/system-seeds/$t")
  fi
  # Leaks count as findings; a run that takes over 60 s counts as a hang (wall time, on a
  # shared machine at the lowest priority, so not less). Targets that
  # hand their input over as a file write it to memory, not to the disk.
  local tmp=/tmp
  [[ -d /dev/shm && -w /dev/shm ]] && tmp=/dev/shm
  TMPDIR=$tmp ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="*=false" \
    nice -n 19 "$root/build-fuzz/fuzz/fuzz_$t" "$work/corpus/$t" "${seeds[@]}" \
    -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$work/artifacts/$t/" -print_final_stats=1 >"$work/logs/$t.log" 2>&1 || true
  local last crashes
  last=$(grep -E '^#[0-9]+' "$work/logs/$t.log" | tail -1 || true)
  crashes=$(find "$work/artifacts/$t" -type f | wc -l)
  printf '%-14s %6ss  %s  artifacts: %s\n' "$t" "$seconds" "$last" "$crashes"
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$root" "$work"
echo "Logs, corpus and crashing inputs: $work"
