#!/usr/bin/env bash
# What the build scripts share: the ccache launcher when it is installed, and the --check
# mode that configures in a scratch folder and ends there. Sourced, not run.

# ccache only speeds up rebuilds; a machine without it builds the same.
compiler_launcher_args() {
  if command -v ccache >/dev/null; then
    echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  fi
}

# Configures the project with the given arguments in a scratch folder that is removed
# afterwards and compiles one small source file there: a compiler, launcher or flag that is
# missing shows only when something is compiled (CMake skips its compiler check when a
# launcher is set).
configure_check() {
  local scratch
  scratch=$(mktemp -d)
  # shellcheck disable=SC2064
  trap "rm -rf '$scratch'" EXIT
  if cmake -S . -B "$scratch" -G Ninja "$@" >"$scratch.log" 2>&1 &&
    ninja -C "$scratch" src/app/CMakeFiles/tavisto_app.dir/BlankText.cpp.o >>"$scratch.log" 2>&1; then
    rm -f "$scratch.log"
    echo "$(basename "$0") --check: configures and compiles"
  else
    cat "$scratch.log" >&2
    rm -f "$scratch.log"
    echo "$(basename "$0") --check: the build settings do not work here" >&2
    exit 1
  fi
}
