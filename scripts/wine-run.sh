#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (never the user's ~/.wine).
set -euo pipefail
prefix=$(realpath -m "$1"); shift
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $prefix/system.reg ]]; then
  echo "Creating the Wine prefix $prefix (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
exec wine "$@"
