#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/
# and runs the whole test suite there. Slow (several times the normal build and test
# time), so it is not part of scripts/test.sh. Extra arguments go to ctest (e.g. -R store).
# --check only configures, in a scratch folder, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/configure-check.sh
bash scripts/install-deps.sh --test
# shellcheck disable=SC2207
settings=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVISTO_SANITIZE=ON -DTAVISTO_BUILD_BENCH=OFF $(compiler_launcher_args))
if [[ "${1:-}" == "--check" ]]; then
  configure_check "${settings[@]}"
  exit 0
fi
if [[ ! -f build-sanitize/build.ninja ]]; then
  cmake -S . -B build-sanitize -G Ninja "${settings[@]}"
fi
cmake --build build-sanitize --parallel "$(nproc)"
bash scripts/test-cups.sh
cd build-sanitize
# Leaks are reported, except those of the system libraries listed in scripts/lsan.supp.
# A finding ends the test that met it, with its report in the log.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/../scripts/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --output-on-failure --parallel "$(nproc)" --timeout 900 "$@"
