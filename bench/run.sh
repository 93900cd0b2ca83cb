#!/usr/bin/env bash
# Whole-process benchmark of fennick against the RFC stand-in:
#   bench/run.sh BUILD_DIR
# Scratch files go to BUILD_DIR/bench-work. See bench/README.md for what each
# row measures. Exit code 1 when a setup step or a checked run fails; missed
# targets are reported but do not fail the run (it is a measurement, not a test).
#
# Knobs (environment): BENCH_RUNS (single-profile runs, default 200),
# BENCH_ITEM_SIZES (default "100 1000 5000"), BENCH_ROUNDS (rounds over the
# item sizes, default 5), BENCH_ITEM_RUNS (runs per size and round, default
# "10 1 1"), BENCH_BASE_RUNS (one-system item runs per round, default 10),
# BENCH_GROUP_ROUNDS (rounds of the side-by-side rows, default 2),
# BENCH_TIMEOUT_RUNS (runs of the row with a hanging system, default 3),
# BENCH_CHILD_RUNS (runs of a measuring child, default 100),
# BENCH_SIDE_RUNS (runs started side by side per library, default 2000),
# BENCH_SIDE_WAVE (runs started at once, default 100), BENCH_WINE_RUNS
# (the same under Wine, default 200; 0 skips), BENCH_WINE_WAVE (default 20),
# BENCH_WINDOWS_BIN (the 64-bit Windows build, default build-win64/bin),
# BENCH_WIDE_SYSTEMS (the wide group, default 2000), BENCH_WIDE_ROUNDS
# (its timed runs, default 1), CXX (compiler for the helpers); row (h) has
# its own (bench/days_left.sh).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$BUILD/bench-work
RUNS=${BENCH_RUNS:-200}
read -r -a ITEM_SIZES <<<"${BENCH_ITEM_SIZES:-100 1000 5000}"
read -r -a ITEM_RUNS <<<"${BENCH_ITEM_RUNS:-10 1 1}"
ROUNDS=${BENCH_ROUNDS:-5}
BASE_RUNS=${BENCH_BASE_RUNS:-10}
GROUP_ROUNDS=${BENCH_GROUP_ROUNDS:-2}
TIMEOUT_RUNS=${BENCH_TIMEOUT_RUNS:-3}
CHILD_RUNS=${BENCH_CHILD_RUNS:-100}
SIDE_RUNS=${BENCH_SIDE_RUNS:-2000}
SIDE_WAVE=${BENCH_SIDE_WAVE:-100}
WINE_RUNS=${BENCH_WINE_RUNS:-200}
WINE_WAVE=${BENCH_WINE_WAVE:-20}
WIDE_SYSTEMS=${BENCH_WIDE_SYSTEMS:-2000}
WIDE_ROUNDS=${BENCH_WIDE_ROUNDS:-1}
ITEM=TS0007
# The side-by-side rows: systems in the group, and how long each remote step waits.
GROUP_SYSTEMS=100
GROUP_DELAY_MS=50
NW_WAITS=5       # the NetWeaver stand-in waits at the open, two descriptions and two calls
CLASSIC_WAITS=4  # the classic stand-in at two calls and two receives
HANG_MS=60000    # the steps of the hanging system in the timed-out row
TIMEOUT_S=5
WIDE_DELAY_MS=20
WIDE_PARALLEL=64
TRUE_BIN=/bin/true
PASSWORD=Secret1

# Targets.
MAX_START_RATIO=2
MAX_RSS_KB=4096  # "under 4 MB", ru_maxrss being in KiB
ITEM_BAND=0.20  # per added system at the largest N within 20% of that at the smallest
MIN_NW_SPEEDUP_8=6.4  # side by side: at least 80% of the ideal N / ceil(N / n)
MIN_NW_SPEEDUP_32=20
MAX_NW_RSS_KB=8192  # the default run through the NetWeaver library, "under 8 MB"
MAX_TIMEOUT_US=6000000  # the run with a hanging system, under ,TIMEOUT=5
MIN_CLASSIC_SPEEDUP_8=5.38  # at least 70% of the ideal 100 / 13
MAX_WRONG=0  # runs side by side whose output differs from the same run alone
MAX_WIDE_RATIO=2  # the wide group through the classic library against the NetWeaver one

die() {
  echo "bench: $*" >&2
  exit 1
}

[ ${#ITEM_SIZES[@]} -eq ${#ITEM_RUNS[@]} ] || die "BENCH_ITEM_SIZES and BENCH_ITEM_RUNS differ in length"
[ -x "$TRUE_BIN" ] || die "$TRUE_BIN is missing"

# Other work on the machine distorts every figure: say so in the report.
load_start=$(cut -d' ' -f1 /proc/loadavg)
if awk -v l="$load_start" 'BEGIN { exit !(l > 0.5) }'; then
  echo "bench: the machine is busy (load average $load_start); the figures will be less reliable" >&2
fi

# The build folder may be rebuilt meanwhile: wait a little for the programs,
# then work on copies so that a rebuild cannot change them under the timing.
for name in fennick fennick-passwd librfccm.so libsapnwrfc.so; do
  for _ in $(seq 60); do
    [ -f "$BUILD/bin/$name" ] && break
    sleep 1
  done
  [ -f "$BUILD/bin/$name" ] || die "$BUILD/bin/$name is missing: build first (make build)"
done
rm -rf "$WORK"
mkdir -p "$WORK/bin"
cp "$BUILD/bin/fennick" "$BUILD/bin/fennick-passwd" "$BUILD/bin/librfccm.so" "$BUILD/bin/libsapnwrfc.so" "$WORK/bin/"
FENNICK=$WORK/bin/fennick

# The timing helper, static so that its own small footprint is the floor of
# every child's ru_maxrss (see spawn_timer.cpp).
TIMER=$WORK/spawn_timer
CXX=${CXX:-c++}
if ! "$CXX" -std=c++17 -O2 -Wall -Wextra -static -o "$TIMER" "$HERE/spawn_timer.cpp" 2>"$WORK/timer-build.log"; then
  echo "bench: no static C library; the helper is linked dynamically (higher memory floor)" >&2
  "$CXX" -std=c++17 -O2 -Wall -Wextra -o "$TIMER" "$HERE/spawn_timer.cpp" || die "cannot build the timing helper"
fi
# The helper that starts runs side by side and compares them with the same run alone.
SIDE=$WORK/side_by_side
"$CXX" -std=c++17 -O2 -Wall -Wextra -I "$HERE/../tests/e2e" -o "$SIDE" "$HERE/../tests/concurrency/side_by_side.cpp" ||
  die "cannot build the side-by-side helper"

PASSWORD_VALUE=$("$WORK/bin/fennick-passwd" "$PASSWORD") || die "fennick-passwd failed"
[ ${#PASSWORD_VALUE} -eq 24 ] || die "fennick-passwd gave an unexpected value"
export PASSWORD_VALUE PASSWORD

# timer_field LINE KEY: the value of KEY=value in one line of the helper's output.
timer_field() { sed -n "s/.*[[:space:]]$2=\([0-9]*\).*/\1/p" <<<"$1"; }

# ---------------------------------------------------------------------------
# (a), (b): one profile, one system with 50 tablespaces.
SINGLE=$WORK/single
mkdir -p "$SINGLE"
printf 'Driveroot..: .\n' >"$SINGLE/Fennick.Ini"
awk 'BEGIN {
  pw = ENVIRON["PASSWORD_VALUE"]
  printf "Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nUser.......: monitor\n"
  printf "Password...: %s\n", pw
  printf "Language...: E\nMode.......: R/3\nHostname...: host001\nSysnr......: 00\n"
  printf "Gwhost.....: gw001\nGwservice..: sapgw00\n"
}' >"$SINGLE/PRD.P00"
awk 'BEGIN {
  printf "[PRD]\nashost = host001\nsysnr = 00\nclient = 100\nuser = MONITOR\npasswd = %s\n", ENVIRON["PASSWORD"]
  for (t = 1; t <= 50; t++) {
    size = 1048576 * t; free = int(size * ((t * 7) % 90 + 5) / 100)
    printf "tablespace = PSAPTS%02d %d %d %d\n", t, size, free, 100 - int(free * 100 / size)
  }
}' >"$SINGLE/sapsim.ini"

(cd "$SINGLE" && "$FENNICK" PRD >"$WORK/single.out") || die "fennick PRD ended with exit code $? (see $WORK/single.out)"
channels=$(grep -c '<Channel>' "$WORK/single.out" || true)
[ "$channels" -eq 50 ] || die "fennick PRD wrote $channels channels, not 50 (see $WORK/single.out)"
grep -q 'NoSpc=50,' "$WORK/single.out" || die "fennick PRD: no summary for 50 tablespaces (see $WORK/single.out)"
[ "$(tail -n 1 "$WORK/single.out")" = "</Prtg>" ] || die "fennick PRD: document not closed (see $WORK/single.out)"

# The same run with no RFC library to load: a copy of the program alone in
# a folder of its own, which ends with the error document (exit code 2)
# after reading Fennick.Ini and the profile. Its difference to the whole run
# is the library's part: loading the stand-in, its logon and calls, and the
# channels written from them. Left out where the library path holds one.
ALONE=$WORK/single-alone
mkdir -p "$ALONE"
cp "$FENNICK" "$SINGLE/Fennick.Ini" "$SINGLE/PRD.P00" "$SINGLE/sapsim.ini" "$ALONE/"
alone_code=0
(cd "$ALONE" && ./fennick PRD >"$WORK/single-alone.out") || alone_code=$?
alone_cmd=()
if [ "$alone_code" -eq 2 ] && grep -q 'cannot be loaded' "$WORK/single-alone.out"; then
  alone_cmd=(:: -C "$ALONE" -e 2 "$ALONE/fennick" PRD)
else
  echo "bench: an RFC library is found without the one beside the program: no run without a library" >&2
fi

echo "bench: single-profile run, --help, the run without a library and $TRUE_BIN, $RUNS runs each, interleaved ..." >&2
single=$(cd "$SINGLE" && "$TIMER" -n "$RUNS" -w 3 "$FENNICK" PRD :: "$TRUE_BIN" :: "$FENNICK" --help "${alone_cmd[@]}") ||
  die "timing the single-profile run failed"
fennick_line=$(sed -n '/^cmd=0 /p' <<<"$single")
true_line=$(sed -n '/^cmd=1 /p' <<<"$single")
help_line=$(sed -n '/^cmd=2 /p' <<<"$single")
alone_line=$(sed -n '/^cmd=3 /p' <<<"$single")
timer_rss=$(sed -n 's/^self_rss_kb=//p' <<<"$single")
f_med=$(timer_field "$fennick_line" median_us)
f_p90=$(timer_field "$fennick_line" p90_us)
f_rss=$(timer_field "$fennick_line" median_rss_kb)
f_rss_max=$(timer_field "$fennick_line" max_rss_kb)
t_med=$(timer_field "$true_line" median_us)
t_p90=$(timer_field "$true_line" p90_us)
t_rss=$(timer_field "$true_line" median_rss_kb)
h_med=$(timer_field "$help_line" median_us)
h_p90=$(timer_field "$help_line" p90_us)
a_med=$(timer_field "$alone_line" median_us)
a_p90=$(timer_field "$alone_line" p90_us)

# ---------------------------------------------------------------------------
# (c): item runs over N listed systems, 20 tablespaces each.
# make_landscape DIR N [DELAY_MS [FIRST_DELAY_MS [LIBRARY [TABLESPACES]]]]:
# N systems, each remote step of each waiting DELAY_MS (the first system's
# FIRST_DELAY_MS), through LIBRARY (classic or netweaver; default: whichever
# loads), each with TABLESPACES tablespaces TS0001... (default 20).
make_landscape() {
  mkdir -p "$1"
  printf 'Driveroot..: .\n' >"$1/Fennick.Ini"
  [ -z "${5:-}" ] || printf 'Rfclibrary.: %s\n' "$5" >>"$1/Fennick.Ini"
  awk -v dir="$1" -v n="$2" -v delay="${3:-0}" -v first_delay="${4:-${3:-0}}" -v spaces="${6:-20}" 'BEGIN {
    pw = ENVIRON["PASSWORD_VALUE"]
    ini = dir "/sapsim.ini"; listing = dir "/Vireo.Prf"
    print "* Benchmark landscape: " n " systems" > listing
    line = ""
    for (i = 1; i <= n; i++) {
      sid = sprintf("S%04d", i); host = sprintf("host%04d", i)
      sysnr = sprintf("%02d", i % 100); client = 100 + i % 900
      printf "[%s]\nashost = %s\nsysnr = %s\nclient = %d\nuser = MONITOR\npasswd = %s\n", \
        sid, host, sysnr, client, ENVIRON["PASSWORD"] > ini
      d = i == 1 ? first_delay : delay
      if (d > 0) printf "delay_ms = %d\n", d > ini
      for (t = 1; t <= spaces; t++) {
        size = 1048576 * t + i; free = int(size * ((t * 7 + i) % 90 + 5) / 100)
        printf "tablespace = TS%04d %d %d %d\n", t, size, free, 100 - int(free * 100 / size) > ini
      }
      profile = dir "/" sid ".P00"
      printf "Extcompany.: ACME\nDestination: %s\nClient.....: %d\nUser.......: monitor\n", sid, client > profile
      printf "Password...: %s\n", pw > profile
      printf "Language...: E\nMode.......: R/3\nHostname...: %s\nSysnr......: %s\n", host, sysnr > profile
      printf "Gwhost.....: gw%04d\nGwservice..: sapgw%s\n", i, sysnr > profile
      close(profile)
      # Lines are read up to 199 characters: ten profiles a line.
      line = line sid ".P00#"
      if (i % 10 == 0 || i == n) { print "# Gsng: all         " line > listing; line = "" }
    }
  }'
}

# check_run NAME DIR CHANNELS SUMMARY ARGS...: one item run of fennick ARGS in
# DIR, before any timing: exit code 0, CHANNELS systems' channels and the
# "Unmeasured systems" channel (PRTG's document shows at most 50 and says
# how many it left out) and the SUMMARY text.
check_run() {
  local out=$WORK/$1.out channels shown=$(($3 + 1 > 50 ? 50 : $3 + 1))
  (cd "$2" && "$FENNICK" "${@:5}" >"$out") || die "$1: fennick ${*:5} ended with exit code $? (see $out)"
  channels=$(grep -c '<Channel>' "$out" || true)
  [ "$channels" -eq "$shown" ] || die "$1: fennick ${*:5} wrote $channels channels, not $shown (see $out)"
  grep -qF "$4" "$out" || die "$1: fennick ${*:5}: no summary \"$4\" (see $out)"
}

# check_item_run DIR N: an item run over N systems, one after the other in
# this process: with ,PARALLEL=1 the classic road starts no child per system,
# which is what row (c) measures.
check_item_run() {
  check_run "item-$2" "$1" "$2" "(***) $ITEM: NoSystems=$2, Processed=$2, Failed=0" x "ITEM=$ITEM,PARALLEL=1"
}

# The fixed part of an item run (start, listing, library, document frame):
# a run over one listed system. The sizes are timed in rounds, each size a
# block of runs of its own, so that a passing burst of other work falls on
# all sizes alike. Not run by run interleaved: a small run right after a big
# one was found to cost some 0.7 ms more, which would bias the difference.
make_landscape "$WORK/item-1" 1
check_item_run "$WORK/item-1" 1
for n in "${ITEM_SIZES[@]}"; do
  echo "bench: laying out and checking $n systems ..." >&2
  make_landscape "$WORK/item-$n" "$n"
  check_item_run "$WORK/item-$n" "$n"
done

# time_block N RUNS: RUNS timed item runs over N systems, their samples
# ("wall_us rss_kb") appended to $WORK/samples-N. One untimed run first: the
# first big run after others was seen to take up to 40% longer (the
# machine's memory management catching up), which is not the program's cost.
time_block() {
  local result
  result=$("$TIMER" -r -n "$2" -w 1 -C "$WORK/item-$1" "$FENNICK" x "ITEM=$ITEM,PARALLEL=1") ||
    die "timing the item run over $1 systems failed"
  sed -n 's/^sample cmd=0 wall_us=\([0-9]*\) rss_kb=\([0-9]*\).*/\1 \2/p' <<<"$result" >>"$WORK/samples-$1"
}

# stat_of N COLUMN PERCENT: a percentile (50: the median) of one column of the samples.
stat_of() {
  sort -n -k "$2" "$WORK/samples-$1" | awk -v col="$2" -v pct="$3" '{ v[NR] = $col }
    END {
      if (pct == 50) { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2); exit }
      r = int((pct * NR + 99) / 100); print v[r < 1 ? 1 : r]
    }'
}

rm -f "$WORK"/samples-*
for round in $(seq "$ROUNDS"); do
  echo "bench: item runs, round $round of $ROUNDS ..." >&2
  time_block 1 "$BASE_RUNS"
  for k in "${!ITEM_SIZES[@]}"; do
    time_block "${ITEM_SIZES[$k]}" "${ITEM_RUNS[$k]}"
  done
done
base_med=$(stat_of 1 1 50)
declare -a item_med item_p90 item_rss
for k in "${!ITEM_SIZES[@]}"; do
  item_med[k]=$(stat_of "${ITEM_SIZES[$k]}" 1 50)
  item_p90[k]=$(stat_of "${ITEM_SIZES[$k]}" 1 90)
  item_rss[k]=$(stat_of "${ITEM_SIZES[$k]}" 2 50)
done
BASE_TOTAL=$((BASE_RUNS * ROUNDS))
declare -a ITEM_TOTAL
for k in "${!ITEM_RUNS[@]}"; do ITEM_TOTAL[k]=$((ITEM_RUNS[k] * ROUNDS)); done

# ---------------------------------------------------------------------------
# (d), (e): a group whose systems each wait on the network, measured one
# after the other (,PARALLEL=1), side by side at the default 8 and, through
# the NetWeaver library, at 32. The waits dominate, so these rows stand
# other load better than the ones above.
GROUP_SUMMARY="(***) $ITEM: NoSystems=$GROUP_SYSTEMS, Processed=$GROUP_SYSTEMS, Failed=0"

# (d): through the NetWeaver library, in threads.
NW=$WORK/group-nw
echo "bench: (d) laying out and checking $GROUP_SYSTEMS systems of $NW_WAITS x $GROUP_DELAY_MS ms, NetWeaver library ..." >&2
make_landscape "$NW" "$GROUP_SYSTEMS" "$GROUP_DELAY_MS" "$GROUP_DELAY_MS" netweaver
check_run nw-parallel-1 "$NW" "$GROUP_SYSTEMS" "$GROUP_SUMMARY" x "ITEM=$ITEM,PARALLEL=1"
check_run nw-parallel-8 "$NW" "$GROUP_SYSTEMS" "$GROUP_SUMMARY" x "ITEM=$ITEM"
check_run nw-parallel-32 "$NW" "$GROUP_SYSTEMS" "$GROUP_SUMMARY" x "ITEM=$ITEM,PARALLEL=32"
echo "bench: (d) timing ,PARALLEL=1, 8 (the default) and 32, $GROUP_ROUNDS rounds after 1 warm-up, interleaved ..." >&2
nw=$("$TIMER" -n "$GROUP_ROUNDS" -w 1 -C "$NW" "$FENNICK" x "ITEM=$ITEM,PARALLEL=1" \
  :: -C "$NW" "$FENNICK" x "ITEM=$ITEM" :: -C "$NW" "$FENNICK" x "ITEM=$ITEM,PARALLEL=32") ||
  die "timing the NetWeaver group runs failed"
nw1_line=$(sed -n '/^cmd=0 /p' <<<"$nw")
nw8_line=$(sed -n '/^cmd=1 /p' <<<"$nw")
nw32_line=$(sed -n '/^cmd=2 /p' <<<"$nw")

# (d), a dead host: the first listed system's steps wait a minute, the time
# budget ends the run; the other systems must all be reported.
HANG=$WORK/group-nw-hang
LIVE=$((GROUP_SYSTEMS - 1))
echo "bench: (d) checking $LIVE live systems and one that hangs, ,TIMEOUT=$TIMEOUT_S ..." >&2
make_landscape "$HANG" "$GROUP_SYSTEMS" "$GROUP_DELAY_MS" "$HANG_MS" netweaver
check_run nw-hang "$HANG" "$LIVE" \
  "(***) $ITEM: NoSystems=$GROUP_SYSTEMS, Processed=$LIVE, Failed=1 (Timeout after $TIMEOUT_S s)" \
  x "ITEM=$ITEM,TIMEOUT=$TIMEOUT_S"
echo "bench: (d) timing it, $TIMEOUT_RUNS runs ..." >&2
hang=$("$TIMER" -n "$TIMEOUT_RUNS" -w 0 -C "$HANG" "$FENNICK" x "ITEM=$ITEM,TIMEOUT=$TIMEOUT_S") ||
  die "timing the group run with a hanging system failed"
hang_line=$(sed -n '/^cmd=0 /p' <<<"$hang")

# (e): through the classic library, one child process per system.
CLASSIC=$WORK/group-classic
echo "bench: (e) laying out and checking $GROUP_SYSTEMS systems of $CLASSIC_WAITS x $GROUP_DELAY_MS ms, classic library ..." >&2
make_landscape "$CLASSIC" "$GROUP_SYSTEMS" "$GROUP_DELAY_MS" "$GROUP_DELAY_MS" classic
check_run classic-parallel-1 "$CLASSIC" "$GROUP_SYSTEMS" "$GROUP_SUMMARY" x "ITEM=$ITEM,PARALLEL=1"
check_run classic-parallel-8 "$CLASSIC" "$GROUP_SYSTEMS" "$GROUP_SUMMARY" x "ITEM=$ITEM"
echo "bench: (e) timing ,PARALLEL=1 and 8 (the default), $GROUP_ROUNDS rounds after 1 warm-up, interleaved ..." >&2
classic=$("$TIMER" -n "$GROUP_ROUNDS" -w 1 -C "$CLASSIC" "$FENNICK" x "ITEM=$ITEM,PARALLEL=1" \
  :: -C "$CLASSIC" "$FENNICK" x "ITEM=$ITEM") || die "timing the classic group runs failed"
cl1_line=$(sed -n '/^cmd=0 /p' <<<"$classic")
cl8_line=$(sed -n '/^cmd=1 /p' <<<"$classic")

# (e), what one measuring child costs: the child started directly, as the
# parent starts it, for one system without delay in a landscape of the same
# size (the stand-in parses all of sapsim.ini in every child). Its request
# is one length line and the frame, items "LEN:BYTES,"; the pipe stays open
# until it ends, since end-of-input tells a child its parent is gone. The
# same child in a landscape of that one system shows what the parsing costs.
# The request names the back end to bind.
CHILD=$WORK/child
CHILD_ALONE=$WORK/child-alone
make_landscape "$CHILD" "$GROUP_SYSTEMS" 0 0 classic
make_landscape "$CHILD_ALONE" 1 0 0 classic
LC_ALL=C awk '
  function item(text) { return length(text) ":" text "," }
  { key = substr($0, 1, 12); value = substr($0, 14); sub(/[ \r]+$/, "", value); field[key] = value }
  END {
    field["Password...:"] = ENVIRON["PASSWORD"]  # the child is handed it unscrambled
    field["User.......:"] = toupper(field["User.......:"])
    frame = item("fennick-request") item("entry")
    n = split("Extcompany.: Destination: Client.....: User.......: Password...: Language...: Mode.......: " \
      "Hostname...: Sysnr......: Gwhost.....: Gwservice..:", keys, " ")
    for (k = 1; k <= n; k++) frame = frame item(field[keys[k]])
    frame = frame item("console") item("0") item("backend") item("classic") item("end")
    printf "%d\n%s", length(frame), frame
  }' "$CHILD/S0001.P00" >"$WORK/child-request"
# The child makes its own private workspace, as it does for its parent.
run_child_timer() {
  FENNICK_MEASURING_CHILD=1 "$TIMER" "$@"
}
run_child_timer -n 1 -w 0 -o "$WORK/child.out" -C "$CHILD" -i "$WORK/child-request" "$FENNICK" >/dev/null ||
  die "the measuring child ended with another exit code than 0 (see $WORK/child.out)"
child_rows=$(grep -o '3:row,' "$WORK/child.out" | wc -l)
{ [ "$(head -c 19 "$WORK/child.out")" = "15:fennick-outcome," ] && [ "$(tail -c 6 "$WORK/child.out")" = "3:end," ] &&
  grep -qF '8:measured,' "$WORK/child.out" && [ "$child_rows" -eq 20 ]; } ||
  die "the measuring child gave no complete outcome of 20 rows (see $WORK/child.out)"
echo "bench: (e) a measuring child vs $TRUE_BIN, $CHILD_RUNS runs each, interleaved ..." >&2
child=$(run_child_timer -n "$CHILD_RUNS" -w 3 -C "$CHILD" -i "$WORK/child-request" "$FENNICK" \
  :: -C "$CHILD_ALONE" -i "$WORK/child-request" "$FENNICK" :: "$TRUE_BIN") || die "timing the measuring child failed"
child_line=$(sed -n '/^cmd=0 /p' <<<"$child")
child_alone_line=$(sed -n '/^cmd=1 /p' <<<"$child")
child_true_line=$(sed -n '/^cmd=2 /p' <<<"$child")

. "$HERE/../tests/concurrency/landscape.sh"

# The kinds of run, in turn: each system alone, the plugin form, a refused
# logon with the console report, and the group at the default width, one
# after the other, and with the console report.
SIDE_KINDS=(PRD :: DEV :: QAS :: UNR :: CFL :: PRD ,NAGIOS,WARN=30,ERROR=10 :: QAS '#'
  :: x ITEM=PSAPSR3 :: x ITEM=PSAPSR3,PARALLEL=1 :: x 'ITEM=PSAPSR3 #')
declare -A side_result
for library in classic netweaver; do
  make_side_by_side "$WORK/side-$library" "$library" .
  echo "bench: (f) $SIDE_RUNS runs side by side in one folder, $SIDE_WAVE at once, $library library ..." >&2
  side_result[$library]=$("$SIDE" -n "$SIDE_RUNS" -w "$SIDE_WAVE" -o "$WORK/side-$library-wrong" \
    -C "$WORK/side-$library" "$FENNICK" -- "${SIDE_KINDS[@]}") || die "the runs side by side ($library) could not be made"
done

# (f) under Wine: the 64-bit Windows build, where there is one.
WINDOWS_BIN=${BENCH_WINDOWS_BIN:-$HERE/../build-win64/bin}
WINE64=/usr/lib/wine/wine64
wine_note=""
if [ "$WINE_RUNS" -eq 0 ]; then
  wine_note="skipped (BENCH_WINE_RUNS=0)"
elif [ ! -x "$WINE64" ]; then
  wine_note="skipped: $WINE64 is not installed"
elif [ ! -f "$WINDOWS_BIN/fennick.exe" ] || [ ! -f "$WINDOWS_BIN/librfc32.dll" ]; then
  wine_note="skipped: no 64-bit Windows build (make windows)"
else
  export WINEPREFIX=$WORK/wine-prefix WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot -i >/dev/null 2>&1 || true
  mkdir -p "$WINEPREFIX/drive_c/bin"
  cp "$WINDOWS_BIN/fennick.exe" "$WINDOWS_BIN/librfc32.dll" "$WINDOWS_BIN/sapnwrfc.dll" "$WINEPREFIX/drive_c/bin/"
  for library in classic netweaver; do
    make_side_by_side "$WINEPREFIX/drive_c/side-$library" "$library"
    echo "bench: (f) under Wine, $WINE_RUNS runs side by side, $WINE_WAVE at once, $library library ..." >&2
    side_result[wine-$library]=$("$SIDE" -n "$WINE_RUNS" -w "$WINE_WAVE" -o "$WINEPREFIX/drive_c/side-$library-wrong" \
      -C "$WINEPREFIX/drive_c/side-$library" "$WINE64" "$WINEPREFIX/drive_c/bin/fennick.exe" -- "${SIDE_KINDS[@]}") ||
      die "the runs side by side under Wine ($library) could not be made"
  done
  "$(dirname "$WINE64")/wineserver" -k 2>/dev/null || true
  unset WINEPREFIX WINEDEBUG
fi

# ---------------------------------------------------------------------------
# (g): a wide group, WIDE_SYSTEMS systems whose steps each wait
# WIDE_DELAY_MS, at ,PARALLEL=64: through the NetWeaver library in threads,
# through the classic one in a child process per system. One tablespace a
# system, so that the stand-in's parse of sapsim.ini in every child stays
# small beside the child's own start.
WIDE_ITEM=TS0001
WIDE_SUMMARY="(***) $WIDE_ITEM: NoSystems=$WIDE_SYSTEMS, Processed=$WIDE_SYSTEMS, Failed=0"
for library in netweaver classic; do
  echo "bench: (g) laying out and checking $WIDE_SYSTEMS systems of $WIDE_DELAY_MS ms steps, $library library ..." >&2
  make_landscape "$WORK/wide-$library" "$WIDE_SYSTEMS" "$WIDE_DELAY_MS" "$WIDE_DELAY_MS" "$library" 1
  check_run "wide-$library" "$WORK/wide-$library" "$WIDE_SYSTEMS" "$WIDE_SUMMARY" x "ITEM=$WIDE_ITEM,PARALLEL=$WIDE_PARALLEL"
done
echo "bench: (g) timing both, $WIDE_ROUNDS rounds, interleaved ..." >&2
wide=$("$TIMER" -n "$WIDE_ROUNDS" -w 0 -C "$WORK/wide-netweaver" "$FENNICK" x "ITEM=$WIDE_ITEM,PARALLEL=$WIDE_PARALLEL" \
  :: -C "$WORK/wide-classic" "$FENNICK" x "ITEM=$WIDE_ITEM,PARALLEL=$WIDE_PARALLEL") || die "timing the wide group failed"
wide_nw_line=$(sed -n '/^cmd=0 /p' <<<"$wide")
wide_cl_line=$(sed -n '/^cmd=1 /p' <<<"$wide")

# ---------------------------------------------------------------------------
# The table.
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo
echo "Fennick benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs ($cpu), Linux $(uname -r)"
echo "Wall times are medians of whole-process runs (start to reaped exit); memory is ru_maxrss."
echo "Load average (1 min) at start $load_start, at end $(cut -d' ' -f1 /proc/loadavg): above ~0.5 other work distorted the figures."
echo
awk -v runs="$RUNS" -v f_med="$f_med" -v f_p90="$f_p90" -v t_med="$t_med" -v t_p90="$t_p90" \
  -v h_med="$h_med" -v h_p90="$h_p90" -v a_med="$a_med" -v a_p90="$a_p90" \
  -v f_rss="$f_rss" -v f_rss_max="$f_rss_max" -v t_rss="$t_rss" -v timer_rss="$timer_rss" \
  -v base_runs="$BASE_TOTAL" -v base="$base_med" \
  -v sizes="${ITEM_SIZES[*]}" -v reps="${ITEM_TOTAL[*]}" -v meds="${item_med[*]}" -v p90s="${item_p90[*]}" \
  -v rsss="${item_rss[*]}" -v max_ratio="$MAX_START_RATIO" -v max_rss="$MAX_RSS_KB" -v band="$ITEM_BAND" '
  function verdict(ok) { return ok ? "met" : "MISSED" }
  function ms(us, digits) { return sprintf("%." digits "f ms", us / 1000) }
  BEGIN {
    fmt = "%-54s %5s %11s %11s   %-14s %s\n"
    printf fmt, "Row", "runs", "median", "p90", "target", "result"
    printf fmt, "---", "----", "------", "---", "------", "------"
    printf fmt, "(a) /bin/true, a trivial process start", runs, ms(t_med, 2), ms(t_p90, 2), "", ""
    printf fmt, "(a) fennick PRD: 1 system, 50 tablespaces", runs, ms(f_med, 2), ms(f_p90, 2), "", ""
    ratio = f_med / t_med
    printf fmt, "(a) fennick PRD / trivial start", "", sprintf("%.2f x", ratio), "", "<= " max_ratio " x", verdict(ratio <= max_ratio)
    printf fmt, "(a) fennick --help: no file read, no library", runs, ms(h_med, 2), ms(h_p90, 2), "", ""
    printf fmt, "      / trivial start", "", sprintf("%.2f x", h_med / t_med), "", "", ""
    if (a_med != "") {
      printf fmt, "(a) fennick PRD with no RFC library (exit code 2)", runs, ms(a_med, 2), ms(a_p90, 2), "", ""
      printf fmt, "      / trivial start", "", sprintf("%.2f x", a_med / t_med), "", "", ""
      printf fmt, "(a) the library part: the run - the run without it", "", ms(f_med - a_med, 2), "", "", ""
      printf fmt, "      / trivial start", "", sprintf("%.2f x", (f_med - a_med) / t_med), "", "", ""
    }
    printf fmt, "(b) peak RSS of fennick PRD", runs, sprintf("%d KiB", f_rss), sprintf("max %d", f_rss_max), "< " max_rss " KiB", verdict(f_rss < max_rss)
    printf fmt, "(b) peak RSS of /bin/true, for scale", runs, sprintf("%d KiB", t_rss), "", "", ""
    printf fmt, "(b) timing helper, the floor of every RSS", "", sprintf("%d KiB", timer_rss), "", "", ""
    printf fmt, "(c) item run over 1 system (the fixed part)", base_runs, ms(base, 2), "", "", ""
    n = split(sizes, size, " "); split(reps, rep, " "); split(meds, med, " "); split(p90s, p90, " "); split(rsss, rss, " ")
    for (k = 1; k <= n; k++) {
      per[k] = med[k] / size[k]
      added[k] = size[k] > 1 ? (med[k] - base) / (size[k] - 1) : 0
      printf fmt, sprintf("(c) item run over %d systems, 20 tablespaces", size[k]), rep[k], ms(med[k], 1), ms(p90[k], 1), "", ""
      printf fmt, "      per system: run / N", "", ms(per[k], 3), "", "", ""
      printf fmt, "      per added system: (run - fixed) / (N - 1)", "", ms(added[k], 3), "", "", ""
      if (k > 1)
        printf fmt, sprintf("      per system from %d to %d: difference / %d", size[k - 1], size[k], size[k] - size[k - 1]), "", \
          ms((med[k] - med[k - 1]) / (size[k] - size[k - 1]), 3), "", "", ""
      printf fmt, "      peak RSS (the stand-in holds all of sapsim.ini)", "", sprintf("%d KiB", rss[k]), "", "", ""
    }
    printf fmt, sprintf("(c) per system, %d vs %d (fixed part spread)", size[n], size[1]), "", sprintf("%.2f x", per[n] / per[1]), "", "", ""
    if (added[1] > 0) {
      growth = added[n] / added[1]
      printf fmt, sprintf("(c) per added system, %d vs %d", size[n], size[1]), "", sprintf("%.2f x", growth), "", \
        sprintf("%.2f .. %.2f x", 1 - band, 1 + band), verdict(growth >= 1 - band && growth <= 1 + band)
    }
  }'

# The side-by-side rows. The waits alone: ceil(N / n) turns of WAITS x DELAY.
awk -v n_sys="$GROUP_SYSTEMS" -v delay="$GROUP_DELAY_MS" -v nw_waits="$NW_WAITS" -v cl_waits="$CLASSIC_WAITS" \
  -v rounds="$GROUP_ROUNDS" -v timeout_runs="$TIMEOUT_RUNS" -v child_runs="$CHILD_RUNS" -v timeout_s="$TIMEOUT_S" \
  -v nw1="$nw1_line" -v nw8="$nw8_line" -v nw32="$nw32_line" -v hang="$hang_line" \
  -v cl1="$cl1_line" -v cl8="$cl8_line" -v child="$child_line" -v child_alone="$child_alone_line" -v child_true="$child_true_line" \
  -v min_nw8="$MIN_NW_SPEEDUP_8" -v min_nw32="$MIN_NW_SPEEDUP_32" -v max_nw_rss="$MAX_NW_RSS_KB" \
  -v max_timeout="$MAX_TIMEOUT_US" -v min_cl8="$MIN_CLASSIC_SPEEDUP_8" '
  function verdict(ok) { return ok ? "met" : "MISSED" }
  function ms(us, digits) { return sprintf("%." digits "f ms", us / 1000) }
  function s(us) { return sprintf("%.2f s", us / 1000000) }
  function field(line, key,   m) { return match(line, " " key "=[0-9]+") ? substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 2) + 0 : -1 }
  function turns(n) { return int((n_sys + n - 1) / n) }
  function ideal(n) { return n_sys / turns(n) }
  function run_row(label, line, runs) { printf fmt, label, runs, s(field(line, "median_us")), s(field(line, "p90_us")), "", "" }
  # The speed-up, its ideal, and what the run took above its waits.
  function side_by_side(n, line, one, waits, target) {
    up = field(one, "median_us") / field(line, "median_us")
    printf fmt, sprintf("      speed-up over ,PARALLEL=1 (ideal %.2f x)", ideal(n)), "", sprintf("%.2f x", up), \
      "", ">= " target " x", verdict(up >= target)
    printf fmt, sprintf("      above the waits: run - %d x %d x %d ms", turns(n), waits, delay), "", \
      ms(field(line, "median_us") - turns(n) * waits * delay * 1000, 0), "", "", ""
  }
  BEGIN {
    fmt = "%-54s %5s %11s %11s   %-14s %s\n"
    printf fmt, sprintf("(d) NetWeaver: %d systems, %d waits of %d ms each", n_sys, nw_waits, delay), "", "", "", "", ""
    run_row("(d) ,PARALLEL=1: one after the other", nw1, rounds)
    printf fmt, sprintf("      above the waits: run - %d x %d x %d ms", n_sys, nw_waits, delay), "", \
      ms(field(nw1, "median_us") - n_sys * nw_waits * delay * 1000, 0), "", "", ""
    run_row("(d) default, ,PARALLEL=8: threads", nw8, rounds)
    side_by_side(8, nw8, nw1, nw_waits, min_nw8)
    run_row("(d) ,PARALLEL=32", nw32, rounds)
    side_by_side(32, nw32, nw1, nw_waits, min_nw32)
    rss = field(nw8, "max_rss_kb")
    printf fmt, "(d) peak RSS of the default run (the largest)", rounds, sprintf("%d KiB", rss), \
      sprintf("med %d", field(nw8, "median_rss_kb")), "< " max_nw_rss " KiB", verdict(rss < max_nw_rss)
    printf fmt, "      peak RSS at ,PARALLEL=1 and 32 (the largest)", "", sprintf("%d KiB", field(nw1, "max_rss_kb")), \
      sprintf("%d", field(nw32, "max_rss_kb")), "", ""
    longest = field(hang, "max_us")
    printf fmt, sprintf("(d) 99 live + 1 hanging, ,TIMEOUT=%d: median", timeout_s), timeout_runs, s(field(hang, "median_us")), \
      s(field(hang, "p90_us")), "", ""
    printf fmt, "      the longest run", "", s(longest), "", "< " max_timeout / 1000000 " s", verdict(longest < max_timeout)
    printf fmt, sprintf("(e) classic: %d systems, %d waits of %d ms each", n_sys, cl_waits, delay), "", "", "", "", ""
    run_row("(e) ,PARALLEL=1: one after the other, one process", cl1, rounds)
    printf fmt, sprintf("      above the waits: run - %d x %d x %d ms", n_sys, cl_waits, delay), "", \
      ms(field(cl1, "median_us") - n_sys * cl_waits * delay * 1000, 0), "", "", ""
    printf fmt, "      CPU time (user + system)", "", ms(field(cl1, "median_cpu_us"), 0), "", "", ""
    run_row("(e) default, ,PARALLEL=8: a child process each", cl8, rounds)
    side_by_side(8, cl8, cl1, cl_waits, min_cl8)
    printf fmt, "      CPU time, its children included", "", ms(field(cl8, "median_cpu_us"), 0), "", "", ""
    printf fmt, "      CPU time a system", "", ms(field(cl8, "median_cpu_us") / n_sys, 2), "", "", ""
    printf fmt, "      peak RSS of the run, its children included", "", sprintf("%d KiB", field(cl8, "max_rss_kb")), "", "", ""
    printf fmt, sprintf("(e) a measuring child: 1 system of %d, no delay", n_sys), child_runs, ms(field(child, "median_us"), 2), \
      ms(field(child, "p90_us"), 2), "", ""
    printf fmt, "      CPU time (user + system)", "", ms(field(child, "median_cpu_us"), 2), "", "", ""
    printf fmt, "      peak RSS", "", sprintf("%d KiB", field(child, "median_rss_kb")), "", "", ""
    printf fmt, "(e) the same child, a landscape of that system alone", child_runs, \
      ms(field(child_alone, "median_us"), 2), ms(field(child_alone, "p90_us"), 2), "", ""
    printf fmt, "(e) /bin/true, a bare process start, interleaved", child_runs, ms(field(child_true, "median_us"), 2), \
      ms(field(child_true, "p90_us"), 2), "", ""
    printf fmt, "(e) measuring child / bare start", "", \
      sprintf("%.2f x", field(child, "median_us") / field(child_true, "median_us")), "", "", ""
    printf fmt, "      with the landscape of one system", "", \
      sprintf("%.2f x", field(child_alone, "median_us") / field(child_true, "median_us")), "", "", ""
  }'

# The rows of the runs side by side and of the wide group. One line for
# each set of runs side by side: label, the helper's total line, and the
# kinds that had wrong runs.
side_rows() {  # label result
  local total kinds
  total=$(sed -n '/^total /p' <<<"$2")
  kinds=$(sed -n 's/^kind=[0-9]* runs=\([0-9]*\) wrong=\([1-9][0-9]*\) exit=[0-9]* args=\(.*\)/\3 (\2 of \1)/p' <<<"$2" |
    paste -sd ';' | sed 's/;/; /g')
  printf '%s\t%s\t%s\n' "$1" "$total" "$kinds"
}
{
  side_rows "native, classic" "${side_result[classic]}"
  side_rows "native, NetWeaver" "${side_result[netweaver]}"
  if [ -z "$wine_note" ]; then
    side_rows "Wine x64, classic" "${side_result[wine-classic]}"
    side_rows "Wine x64, NetWeaver" "${side_result[wine-netweaver]}"
  fi
} | awk -F '\t' -v max_wrong="$MAX_WRONG" -v wine_note="$wine_note" -v wide_nw="$wide_nw_line" -v wide_cl="$wide_cl_line" \
  -v n_wide="$WIDE_SYSTEMS" -v delay="$WIDE_DELAY_MS" -v width="$WIDE_PARALLEL" -v nw_waits="$NW_WAITS" \
  -v cl_waits="$CLASSIC_WAITS" -v rounds="$WIDE_ROUNDS" -v max_wide="$MAX_WIDE_RATIO" '
  function verdict(ok) { return ok ? "met" : "MISSED" }
  function field(line, key) { return match(line, " " key "=[0-9.]+") ? substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 2) + 0 : -1 }
  function s(us) { return sprintf("%.2f s", us / 1000000) }
  BEGIN { fmt = "%-54s %5s %11s %11s   %-14s %s\n" }
  {
    wrong = field(" " $2, "wrong")
    printf fmt, "(f) side by side in one folder, " $1, field(" " $2, "runs"), sprintf("%d wrong", wrong), \
      sprintf("%.1f s", field(" " $2, "seconds")), "<= " max_wrong " wrong", verdict(wrong <= max_wrong)
    printf fmt, sprintf("      %d started at once, the clock masked", field(" " $2, "wave")), "", "", "", "", ""
    if ($3 != "") printf "      wrong: %s\n", $3
  }
  END {
    if (wine_note != "") printf fmt, "(f) side by side under Wine: " wine_note, "", "", "", "", ""
    turns = int((n_wide + width - 1) / width)
    printf fmt, sprintf("(g) %d systems, %d ms steps, ,PARALLEL=%d", n_wide, delay, width), "", "", "", "", ""
    printf fmt, sprintf("(g) NetWeaver, threads (waits alone %.2f s)", turns * nw_waits * delay / 1000), rounds, \
      s(field(wide_nw, "median_us")), s(field(wide_nw, "p90_us")), "", ""
    printf fmt, sprintf("(g) classic, a child each (waits alone %.2f s)", turns * cl_waits * delay / 1000), rounds, \
      s(field(wide_cl, "median_us")), s(field(wide_cl, "p90_us")), "", ""
    printf fmt, "      CPU time, its children included", "", s(field(wide_cl, "median_cpu_us")), "", "", ""
    ratio = field(wide_cl, "median_us") / field(wide_nw, "median_us")
    printf fmt, "(g) classic / NetWeaver", "", sprintf("%.2f x", ratio), "", "<= " max_wide " x", verdict(ratio <= max_wide)
  }'

# ---------------------------------------------------------------------------
# (h): what ,DAYSLEFT costs, in a script of its own that also runs alone.
echo
"$HERE/days_left.sh" "$BUILD" || exit 1
