#!/usr/bin/env bash
# make bench: bash bench/run.sh <native release build dir> <dist dir>
# Prints one table: the package reader against bare zlib (time ratio, peak memory) and
# nvpack build with one job and with all cores, for the demo product's sizes and for a
# 256 MB file. Figures are medians of several runs; ratios come from the same run.
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR DIST_DIR}
dist=${2:-}
cmake --build "$build" --target package_bench nvpack -j2 >/dev/null
scratch="$build/bench-scratch"
trap 'rm -rf "$scratch"' EXIT
echo "Package reader and packer ($(nproc) cores; dist: ${dist:-none})"
"$build/bench/package_bench" "$build/app/nvpack/nvpack" "$scratch" "${BENCH_RUNS:-5}"
