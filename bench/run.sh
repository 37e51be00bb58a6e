#!/usr/bin/env bash
# make bench: bash bench/run.sh <native release build dir> <dist dir> [<windows build dir>]
# Prints the package reader against bare zlib and nvpack build by jobs (package_bench), then
# one table of the installation engine against NSIS, nvpack build against makensis and the
# stub's size against NSIS's empty stub (install_bench.py, under a private Wine environment),
# then the time to window against a bare window and NSIS with its licence page first, and the
# setup's start step by step (startup_bench.py).
# Figures are medians of several runs; ratios come from the same run.
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR DIST_DIR [WIN_BUILD_DIR]}
dist=${2:?usage: run.sh BUILD_DIR DIST_DIR [WIN_BUILD_DIR]}
win=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build" --target package_bench nvpack -j2 >/dev/null
scratch="$build/bench-scratch"
trap 'rm -rf "$scratch"' EXIT
echo "Package reader and packer ($(nproc) cores; dist: $dist)"
"$build/bench/package_bench" "$build/app/nvpack/nvpack" "$scratch" "${BENCH_RUNS:-5}"

# The installation-engine program: from the Windows tree when it has it, else from a tree of
# its own next to the native one.
if [ -n "$win" ] && cmake --build "$win" --target install_bench -j2 >/dev/null 2>&1; then
  bench_exe="$win/bench/install_bench.exe"
else
  bench_tree="$build/../bench-win"
  cmake -S "$root/bench/win" -B "$bench_tree" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$bench_tree" --target install_bench -j2 >/dev/null
  bench_exe="$bench_tree/install_bench.exe"
fi
echo
echo "Installation engine, packer and stub against NSIS (Wine; ${BENCH_INSTALL_RUNS:-3} runs each)"
python3 "$root/bench/install_bench.py" --nvpack "$build/app/nvpack/nvpack" \
  --bench-exe "$bench_exe" --stub "$dist/Setup-stub.exe" --work "$build/bench-install" \
  --runs "${BENCH_INSTALL_RUNS:-3}" --large-mb "${BENCH_LARGE_MB:-256}"
rm -rf "$build/bench-install"

# Time to window, from the Windows tree's bench programs.
if [ -n "$win" ] && cmake --build "$win" --target window_timer bare_window startup_bench -j2 \
    >/dev/null 2>&1; then
  echo
  echo "Time to window against a bare window and NSIS (Wine; ${BENCH_WINDOW_RUNS:-7} runs each)"
  python3 "$root/bench/startup_bench.py" --nvpack "$build/app/nvpack/nvpack" \
    --stub "$dist/Setup-stub.exe" --win-bench "$win/bench" --work "$build/bench-startup" \
    --runs "${BENCH_WINDOW_RUNS:-7}" --large-mb "${BENCH_LARGE_MB:-256}"
  rm -rf "$build/bench-startup"
else
  echo "Time to window: skipped (needs the Windows tree)"
fi
