#!/usr/bin/env bash
# Days until full over simulated days, under libfaketime: the clock is moved
# for the probe, the stand-in it loads and a classic group's measuring
# children alike, so that days of history are laid in seconds. Then runs of
# one system side by side, each showing a tablespace of its own, must leave
# a sample for every run (none lost to another's rewrite), and runs killed
# at any moment must leave a history that reads whole. Both libraries.
#
#   tests/history/run.sh BUILD_DIR [ROUNDS]
#   tests/history/run.sh --wine WINDOWS_BIN_DIR WINE64 BUILD_DIR [ROUNDS]
# Exit code 77 (skipped) where libfaketime is not installed. Under Wine
# (the 64-bit build) only the runs side by side: Wine's own clock stays.
set -euo pipefail
if [ "${1:-}" = "--wine" ]; then
  windows=$(cd "$2" && pwd) wine=$3 build=$(cd "$4" && pwd) rounds=${5:-2}
else
  build=$(cd "${1:-build}" && pwd) rounds=${2:-5} windows="" wine=""
fi
library=""
for candidate in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1 \
  /usr/lib/faketime/libfaketime.so.1 /usr/lib64/faketime/libfaketime.so.1 /usr/local/lib/faketime/libfaketime.so.1; do
  [ -r "$candidate" ] && { library=$candidate; break; }
done
if [ -z "$library" ] && [ -z "$windows" ]; then
  echo "history: libfaketime not found (Debian package faketime): skipped"
  exit 77
fi
# A sanitizer build wants its runtime first of all libraries; the preloaded
# clock is harmless before it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
scratch=$(mktemp -d /tmp/fennick-history-XXXXXX)
# The prefix's wineserver goes while its prefix is still there to name it.
trap '[ -z "${WINEPREFIX:-}" ] || "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
password=$("$build/bin/fennick-passwd" Secret1)
failures=0
fail() { echo "history: FAILED: $*"; failures=$((failures + 1)); }

# A run at a UTC time of the clock: "2026-03-01 12:00:00".
at() {
  local when=$1
  shift
  LD_PRELOAD=$library FAKETIME="@$when" FAKETIME_DONT_FAKE_MONOTONIC=1 TZ=UTC "$build/bin/fennick" "$@"
}

landscape() {  # folder library
  mkdir -p "$1"
  cat >"$1/sapsim.ini" <<INI
[PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
passwd = Secret1
start = 2026-03-01
tablespace = PSAPSR3  1000000 400000  60 2000000 ONLINE growth=10000
tablespace = PSAPUNDO  500000 300000  40 0 ONLINE growth=-5000
tablespace = SYSTEM    100000      0 100
INI
  for profile in PRD PRD2; do
    printf '%s\n' "Extcompany.: ACME" "Destination: PRD" "Client.....: 100" "User.......: monitor" \
      "Password...: $password" "Language...: E" "Mode.......: R/3" "Hostname...: sapprd01" "Sysnr......: 00" \
      "Gwhost.....: sapgw01" "Gwservice..: sapgw00" >"$1/$profile.P00"
  done
  # Two profiles of one system: a group's workers share its history file
  # (an item run measures every system of the listing).
  printf '# Gsng: all         PRD.P00#PRD2.P00#\n' >"$1/Vireo.Prf"
  printf 'Driveroot..: .\nRfclibrary.: %s\n' "$2" >"$1/Fennick.Ini"
}

# Side by side: 24 runs at once, each showing a tablespace of its own,
# single systems and groups (a classic group in measuring children, two
# profiles of the one system in each) mixed. Every tablespace must keep its
# sample: a rewrite from a history read before another run's would lose
# that run's.
side_by_side() {  # backend base-folder program...
  local backend=$1 base=$2 round work names i others arguments pids pid code file kept
  shift 2
  for round in $(seq "$rounds"); do
    work=$base-$round
    landscape "$work" "$backend"
    names=()
    for i in $(seq -w 0 23); do
      names+=("T$i")
      echo "tablespace = T$i 1000 500 50" >>"$work/sapsim.ini"
    done
    pids=()
    for i in $(seq -w 0 23); do
      others=$(printf '%s\n' "${names[@]}" | grep -vx "T$i" | paste -sd:)
      case $((10#$i % 3)) in
        0) arguments=(PRD ",DAYSLEFT,EXCLUDE=PSAPSR3:PSAPUNDO:SYSTEM:$others") ;;
        1) arguments=(x "ITEM=T$i,DAYSLEFT") ;;
        2) arguments=(x "ITEM=T$i,DAYSLEFT,PARALLEL=1") ;;
      esac
      (cd "$work" && "$@" "${arguments[@]}" >"$work/out-$i" 2>&1) &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do
      code=0
      wait "$pid" || code=$?
      [ "$code" = 0 ] || fail "$backend round $round: a run ended with $code"
    done
    file=$work/FennickHistory/PRD_100_sapprd01.history
    kept=$(grep -c '^tablespace T' "$file" || true)
    if [ "$kept" != 24 ]; then
      fail "$backend round $round: $kept of 24 runs' samples kept"
      grep -H "growth" "$work"/out-* || true
    fi
    if [ -e "$file.bad" ]; then fail "$backend round $round: the history was set aside"; fi
  done
}

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
  for backend in classic netweaver; do
    side_by_side "$backend" "$WINEPREFIX/drive_c/side-$backend" \
      setarch "$(uname -m)" -R "$wine" "$WINEPREFIX/drive_c/bin/fennick.exe"
  done
  if [ "$failures" -gt 0 ]; then
    echo "history: $failures failures"
    exit 1
  fi
  echo "history under Wine: $rounds rounds of 24 runs side by side, both libraries: ok"
  exit 0
fi

for backend in classic netweaver; do
  # Days one after the other: PSAPSR3 grows 10,000 KB a day towards its
  # 2,000,000 KB, PSAPUNDO shrinks, SYSTEM is full. Sampled at 00:00 and
  # 12:00 the stand-in's steps give the slope of a straight line where the
  # samples lie evenly about their middle (days 1 and 2); in between the
  # half day of no growth lowers it (day 1.5: slope 8,000 KB a day).
  work=$scratch/days-$backend
  landscape "$work" "$backend"
  while read -r day time expected; do
    when="$day $time"
    out=$(cd "$work" && at "$when" PRD ',DAYSLEFT,NAGIOS') || true
    line=${out%%$'\n'*}
    case "$line" in
      "FENNICK OK - (PRD) OraSizes: "*"$expected") ;;
      *) fail "$backend at $when: expected ...'$expected', got: $line" ;;
    esac
  done <<'TABLE'
2026-03-01 00:00:00 - growth known in 24 h | 'PSAPSR3'=3650;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
2026-03-01 12:00:00 - growth known in 12 h | 'PSAPSR3'=3650;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
2026-03-02 00:00:00 | 'PSAPSR3'=139;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
2026-03-02 12:00:00 | 'PSAPSR3'=173;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
2026-03-03 00:00:00 | 'PSAPSR3'=138;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
2026-03-10 00:00:00 - growth known in 1 h | 'PSAPSR3'=3650;;;0; 'PSAPUNDO'=3650;;;0; 'SYSTEM'=0;;;0;
TABLE
  # Eight days kept: on the tenth, those from the second on.
  samples=$(sed -n '/^tablespace PSAPSR3$/,/^tablespace /p' "$work/FennickHistory/PRD_100_sapprd01.history" | grep -c '^[0-9]' || true)
  [ "$samples" = 4 ] || fail "$backend: $samples samples of PSAPSR3 kept on the tenth, expected 4"

  side_by_side "$backend" "$scratch/side-$backend" at "2026-03-01 05:00:00"

  # Killed at any moment: what is left reads whole (a broken file would be
  # set aside by the next run, which says so on its console).
  work=$scratch/killed-$backend
  landscape "$work" "$backend"
  for i in $(seq 0 29); do
    (cd "$work" && exec env LD_PRELOAD="$library" FAKETIME="@2026-03-02 $(printf %02d $((i % 24))):00:00" \
      FAKETIME_DONT_FAKE_MONOTONIC=1 "$build/bin/fennick" PRD ,DAYSLEFT >/dev/null 2>&1) &
    pid=$!
    sleep "0.00$((RANDOM % 10))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  out=$(cd "$work" && at "2026-03-03 00:00:00" PRD ',DAYSLEFT #')
  if grep -q "History" <<<"$out" || [ -e "$work/FennickHistory/PRD_100_sapprd01.history.bad" ]; then
    fail "$backend: a killed run left a history that does not read whole: $(grep History <<<"$out")"
  fi
done

if [ "$failures" -gt 0 ]; then
  echo "history: $failures failures"
  exit 1
fi
echo "history: days over time, $rounds rounds of 24 runs side by side and 30 killed runs, both libraries: ok"
