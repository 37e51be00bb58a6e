#!/usr/bin/env bash
# Gathers the shipped artefacts into dist/: the stub, the packer for both systems, the demo
# product, and Setup.exe = the stub with the demo product packed behind it.
set -euo pipefail
win=$1 rel=$2 dist=$3
mkdir -p "$dist"
cp "$win/app/installer/Setup.exe" "$dist/Setup-stub.exe"
[[ -f $win/app/nvpack/nvpack.exe ]] && cp "$win/app/nvpack/nvpack.exe" "$dist/"
[[ -f $rel/app/nvpack/nvpack ]] && cp "$rel/app/nvpack/nvpack" "$dist/"

product=$win/product
files=(Sorvelin.exe Norvis.exe Norvis.hlp Norvis_uk.hlp brannok.wav NV.OBJ Deutsch.lng English.lng)
if [[ -x $dist/nvpack && -d $product ]]; then
  rm -rf "$dist/product" && mkdir -p "$dist/product"
  for f in "${files[@]}"; do cp "$product/$f" "$dist/product/"; done
  "$dist/nvpack" build --stub "$dist/Setup-stub.exe" --out "$dist/Setup.exe.tmp" \
    "${files[@]/#/$dist/product/}"
  mv "$dist/Setup.exe.tmp" "$dist/Setup.exe"
else
  cp "$dist/Setup-stub.exe" "$dist/Setup.exe"
fi
