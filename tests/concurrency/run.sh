#!/usr/bin/env bash
# Many runs at once in one folder, as monitors start their checks: single
# profiles and groups, both libraries, refused logons, a host nobody answers
# on, a call fault and SapRfc.<DEST> files, some with ,SYSLOG. Every run
# must print what the same run prints alone and end with its exit code, and
# Fennick.Log and Dev_Rfc.Trc, which they all share, must hold whole lines
# and blocks.
#
#   tests/concurrency/run.sh BUILD_DIR [RUNS [WAVE]]
#   tests/concurrency/run.sh --wine WINDOWS_BIN_DIR WINE64 RUNS WAVE BUILD_DIR
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" = "--wine" ]; then
  windows=$(cd "$2" && pwd) wine=$3 runs=$4 wave=$5 build=$(cd "$6" && pwd)
else
  build=$(cd "${1:-build}" && pwd) runs=${2:-300} wave=${3:-30} windows="" wine=""
fi
scratch=$(mktemp -d /tmp/fennick-side-XXXXXX)
# The prefix's wineserver is ended while its prefix is still there to name
# it: once the prefix is gone, -k no longer finds it, and the server (kept
# for good with -p) would stay, holding this script's output open.
trap '[ -z "${WINEPREFIX:-}" ] || "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT

side=$scratch/side_by_side
${CXX:-c++} -std=c++17 -O2 -Wall -Wextra -I "$HERE/../e2e" -o "$side" "$HERE/side_by_side.cpp"
PASSWORD=Secret1
PASSWORD_VALUE=$("$build/bin/fennick-passwd" "$PASSWORD")
. "$HERE/landscape.sh"

kinds=(PRD :: DEV :: QAS :: UNR :: CFL :: PRD ,NAGIOS,WARN=30,ERROR=10 :: QAS '#' :: PRD ,SYSLOG :: CFL ,SYSLOG
  :: x ITEM=PSAPSR3 :: x ITEM=PSAPSR3,PARALLEL=1,SYSLOG :: x 'ITEM=PSAPSR3 #,SYSLOG')
status=0
for library in classic netweaver; do
  if [ -n "$windows" ]; then
    export WINEPREFIX=$scratch/wine WINEDEBUG=-all
    mkdir -p "$WINEPREFIX"
    setarch "$(uname -m)" -R "$wine" wineboot -i >/dev/null 2>&1 || true
    # One server that stays: one that goes down between two runs fails the
    # run that connects just then.
    "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
    "$(dirname "$wine")/wineserver" -w 2>/dev/null || true
    "$(dirname "$wine")/wineserver" -p
    mkdir -p "$WINEPREFIX/drive_c/bin"
    cp "$windows/fennick.exe" "$windows/librfc32.dll" "$windows/sapnwrfc.dll" "$WINEPREFIX/drive_c/bin/"
    work=$WINEPREFIX/drive_c/side-$library
    make_side_by_side "$work" "$library"
    # Without address randomisation, as the Windows checks start Wine.
    program=(setarch "$(uname -m)" -R "$wine" "$WINEPREFIX/drive_c/bin/fennick.exe")
  else
    work=$scratch/side-$library
    make_side_by_side "$work" "$library" .
    program=("$build/bin/fennick")
  fi
  if ! "$side" -c -n "$runs" -w "$wave" -o "$work-wrong" -C "$work" "${program[@]}" -- "${kinds[@]}" \
      >"$scratch/report" 2>&1; then
    echo "side by side ($library): FAILED"
    cat "$scratch/report"
    for f in "$work-wrong"/*.out; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; echo "--- expected"; cat "${f%.out}.expected"; }; done
    status=1
  else
    echo "side by side ($library): $(grep '^total' "$scratch/report")"
  fi
done
exit $status
