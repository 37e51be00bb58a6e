#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and silent when
# everything is present; when something is missing and cannot be installed, it stops with
# one message naming the packages and the command that installs them.
set -euo pipefail

packages=(
  # native build and unit tests
  cmake make g++ python3 googletest libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  # libFuzzer targets
  clang libclang-rt-14-dev
  # Windows cross build: compiler and static zlib
  g++-mingw-w64-x86-64 libz-mingw-w64-dev
  # end-to-end tests under Wine on a virtual display, and checking results from outside
  wine wine64 xvfb xauth imagemagick liblnk-utils
  # the peer installer for benchmarks, and code signing for the signed-setup tests
  nsis osslsigncode
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

cannot() {
  echo "error: missing build dependencies: ${missing[*]}" >&2
  echo "       install them with: sudo apt-get install ${missing[*]}" >&2
  echo "       ($1)" >&2
  exit 1
}

if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  sudo=(sudo -n)
else
  cannot "not running as root and no password-less sudo"
fi

echo "Installing build dependencies: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
if ! { "${sudo[@]}" apt-get update -qq && "${sudo[@]}" apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
  tail -n 15 "$log" >&2
  rm -f "$log"
  cannot "apt-get could not install them; see the lines above"
fi
rm -f "$log"
