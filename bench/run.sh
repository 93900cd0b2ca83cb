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
# CXX (compiler for the timing helper).
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
ITEM=TS0007
TRUE_BIN=/bin/true
PASSWORD=Secret1

# Targets.
MAX_START_RATIO=3
MAX_RSS_KB=4096  # "under 4 MB", ru_maxrss being in KiB
ITEM_BAND=0.20  # per added system at the largest N within 20% of that at the smallest

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
for name in fennick fennick-passwd librfccm.so; do
  for _ in $(seq 60); do
    [ -f "$BUILD/bin/$name" ] && break
    sleep 1
  done
  [ -f "$BUILD/bin/$name" ] || die "$BUILD/bin/$name is missing: build first (make build)"
done
rm -rf "$WORK"
mkdir -p "$WORK/bin"
cp "$BUILD/bin/fennick" "$BUILD/bin/fennick-passwd" "$BUILD/bin/librfccm.so" "$WORK/bin/"
FENNICK=$WORK/bin/fennick

# The timing helper, static so that its own small footprint is the floor of
# every child's ru_maxrss (see spawn_timer.cpp).
TIMER=$WORK/spawn_timer
CXX=${CXX:-c++}
if ! "$CXX" -std=c++17 -O2 -Wall -Wextra -static -o "$TIMER" "$HERE/spawn_timer.cpp" 2>"$WORK/timer-build.log"; then
  echo "bench: no static C library; the helper is linked dynamically (higher memory floor)" >&2
  "$CXX" -std=c++17 -O2 -Wall -Wextra -o "$TIMER" "$HERE/spawn_timer.cpp" || die "cannot build the timing helper"
fi

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

echo "bench: single-profile run vs $TRUE_BIN, $RUNS runs each, interleaved ..." >&2
single=$(cd "$SINGLE" && "$TIMER" -n "$RUNS" -w 3 "$FENNICK" PRD :: "$TRUE_BIN") || die "timing the single-profile run failed"
fennick_line=$(sed -n '/^cmd=0 /p' <<<"$single")
true_line=$(sed -n '/^cmd=1 /p' <<<"$single")
timer_rss=$(sed -n 's/^self_rss_kb=//p' <<<"$single")
f_med=$(timer_field "$fennick_line" median_us)
f_p90=$(timer_field "$fennick_line" p90_us)
f_rss=$(timer_field "$fennick_line" median_rss_kb)
f_rss_max=$(timer_field "$fennick_line" max_rss_kb)
t_med=$(timer_field "$true_line" median_us)
t_p90=$(timer_field "$true_line" p90_us)
t_rss=$(timer_field "$true_line" median_rss_kb)

# ---------------------------------------------------------------------------
# (c): item runs over N listed systems, 20 tablespaces each.
make_landscape() {  # DIR N
  mkdir -p "$1"
  printf 'Driveroot..: .\n' >"$1/Fennick.Ini"
  awk -v dir="$1" -v n="$2" 'BEGIN {
    pw = ENVIRON["PASSWORD_VALUE"]
    ini = dir "/sapsim.ini"; listing = dir "/Vireo.Prf"
    print "* Benchmark landscape: " n " systems" > listing
    line = ""
    for (i = 1; i <= n; i++) {
      sid = sprintf("S%04d", i); host = sprintf("host%04d", i)
      sysnr = sprintf("%02d", i % 100); client = 100 + i % 900
      printf "[%s]\nashost = %s\nsysnr = %s\nclient = %d\nuser = MONITOR\npasswd = %s\n", \
        sid, host, sysnr, client, ENVIRON["PASSWORD"] > ini
      for (t = 1; t <= 20; t++) {
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

# check_run NAME DIR CHANNELS SUMMARY ARGS...: one run of fennick ARGS in DIR,
# before any timing: exit code 0, CHANNELS channels and the SUMMARY text.
check_run() {
  local out=$WORK/$1.out channels
  (cd "$2" && "$FENNICK" "${@:5}" >"$out") || die "$1: fennick ${*:5} ended with exit code $? (see $out)"
  channels=$(grep -c '<Channel>' "$out" || true)
  [ "$channels" -eq "$3" ] || die "$1: fennick ${*:5} wrote $channels channels, not $3 (see $out)"
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
# The table.
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo
echo "Fennick benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs ($cpu), Linux $(uname -r)"
echo "Wall times are medians of whole-process runs (start to reaped exit); memory is ru_maxrss."
echo "Load average (1 min) at start $load_start, at end $(cut -d' ' -f1 /proc/loadavg): above ~0.5 other work distorted the figures."
echo
awk -v runs="$RUNS" -v f_med="$f_med" -v f_p90="$f_p90" -v t_med="$t_med" -v t_p90="$t_p90" \
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
