#!/usr/bin/env bash
# Row (h) of the benchmark: what ,DAYSLEFT costs, against the same run
# without it, with every history full (eight days of hourly samples, as a
# sensor that has run for a week keeps them):
#   bench/days_left.sh BUILD_DIR
# run.sh runs it last; alone it takes about three minutes. Scratch files go
# to BUILD_DIR/bench-work/days-left. Exit code 1 when a setup step or a
# checked run fails; a missed target is reported, not failed.
#
# Knobs (environment): BENCH_DAYS_RUNS (single-profile runs, default 200),
# BENCH_DAYS_SYSTEMS (the group, default 1000), BENCH_DAYS_ROUNDS (timed
# group runs of each kind, default 3), CXX (compiler for the helper).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$BUILD/bench-work/days-left
RUNS=${BENCH_DAYS_RUNS:-200}
SYSTEMS=${BENCH_DAYS_SYSTEMS:-1000}
ROUNDS=${BENCH_DAYS_ROUNDS:-3}
ITEM=TS0001
DELAY_MS=20   # each remote step of a group's systems, as in row (g)
PARALLEL=32
HOURS=191     # samples laid before the run's own: eight days of them
PASSWORD=Secret1
MAX_RATIO=1.2

die() {
  echo "bench: $*" >&2
  exit 1
}

rm -rf "$WORK"
mkdir -p "$WORK/bin"
for name in fennick fennick-passwd librfccm.so libsapnwrfc.so; do
  [ -f "$BUILD/bin/$name" ] || die "$BUILD/bin/$name is missing: build first (make build)"
  cp "$BUILD/bin/$name" "$WORK/bin/"
done
FENNICK=$WORK/bin/fennick
TIMER=$WORK/spawn_timer
CXX=${CXX:-c++}
"$CXX" -std=c++17 -O2 -Wall -Wextra -static -o "$TIMER" "$HERE/spawn_timer.cpp" 2>/dev/null ||
  "$CXX" -std=c++17 -O2 -Wall -Wextra -o "$TIMER" "$HERE/spawn_timer.cpp" || die "cannot build the timing helper"
PASSWORD_VALUE=$("$WORK/bin/fennick-passwd" "$PASSWORD") || die "fennick-passwd failed"
export PASSWORD PASSWORD_VALUE
NOW=$(date +%s)
load_start=$(cut -d' ' -f1 /proc/loadavg)

# A history file as the runs write it: HOURS hourly samples before now of
# each tablespace, used growing 100 KB an hour, the capacity given once.
# lay_history FILE NAME:USED:CAPACITY...
lay_history() {
  local file=$1
  shift
  awk -v now="$NOW" -v hours="$HOURS" 'BEGIN {
    print "Fennick history 1"
    for (a = 1; a < ARGC; a++) {
      split(ARGV[a], f, ":")
      print "tablespace " f[1]
      printf "%d %d %d\n", now - hours * 3600, f[2] - hours * 100, f[3]
      for (h = hours - 1; h >= 1; h--) printf "%d %d\n", now - h * 3600, f[2] - h * 100
    }
  }' "$@" >"$file"
}

# ---------------------------------------------------------------------------
# One system, row (a)'s: 50 tablespaces.
SINGLE=$WORK/single
mkdir -p "$SINGLE/FennickHistory"
printf 'Driveroot..: .\n' >"$SINGLE/Fennick.Ini"
printf '%s\n' "Extcompany.: ACME" "Destination: PRD" "Client.....: 100" "User.......: monitor" \
  "Password...: $PASSWORD_VALUE" "Language...: E" "Mode.......: R/3" "Hostname...: host001" "Sysnr......: 00" \
  "Gwhost.....: gw001" "Gwservice..: sapgw00" >"$SINGLE/PRD.P00"
spaces=()
{
  printf '[PRD]\nashost = host001\nsysnr = 00\nclient = 100\nuser = MONITOR\npasswd = %s\n' "$PASSWORD"
  for t in $(seq 1 50); do
    size=$((1048576 * t))
    free=$((size * ((t * 7) % 90 + 5) / 100))
    printf 'tablespace = PSAPTS%02d %d %d %d\n' "$t" "$size" "$free" $((100 - free * 100 / size))
    spaces+=("$(printf 'PSAPTS%02d' "$t"):$((size - free)):$size")
  done
} >"$SINGLE/sapsim.ini"
lay_history "$SINGLE/FennickHistory/PRD_100_host001.history" "${spaces[@]}"
single_bytes=$(stat -c %s "$SINGLE/FennickHistory/PRD_100_host001.history")
for args in "PRD" "PRD ,DAYSLEFT"; do
  # shellcheck disable=SC2086
  (cd "$SINGLE" && "$FENNICK" $args >"$WORK/single.out") || die "fennick $args ended with exit code $?"
  [ "$(grep -c '<Channel>' "$WORK/single.out")" -eq 50 ] || die "fennick $args: not 50 channels (see $WORK/single.out)"
done
grep -q '<CustomUnit>days</CustomUnit>' "$WORK/single.out" || die "fennick PRD ,DAYSLEFT: no days (see $WORK/single.out)"
! grep -q 'growth' "$WORK/single.out" || die "fennick PRD ,DAYSLEFT: growth not known (see $WORK/single.out)"

echo "bench: (h) fennick PRD with and without ,DAYSLEFT, $RUNS runs each, interleaved ..." >&2
single=$("$TIMER" -n "$RUNS" -w 3 -C "$SINGLE" "$FENNICK" PRD :: -C "$SINGLE" "$FENNICK" PRD ,DAYSLEFT) ||
  die "timing the single-profile runs failed"
plain_line=$(sed -n '/^cmd=0 /p' <<<"$single")
days_line=$(sed -n '/^cmd=1 /p' <<<"$single")

# ---------------------------------------------------------------------------
# A group of SYSTEMS systems, laid out as row (g)'s (one tablespace each:
# every measuring child parses the whole sapsim.ini), each remote step
# waiting DELAY_MS, at ,PARALLEL=PARALLEL: through the NetWeaver library
# (threads) and the classic one (a child each). An item run keeps the
# item's history, one file a system.
make_group() {  # dir library [delay]
  mkdir -p "$1/FennickHistory"
  printf 'Driveroot..: .\nRfclibrary.: %s\n' "$2" >"$1/Fennick.Ini"
  awk -v dir="$1" -v n="$SYSTEMS" -v delay="${3:-$DELAY_MS}" -v now="$NOW" -v hours="$HOURS" -v item="$ITEM" 'BEGIN {
    ini = dir "/sapsim.ini"; listing = dir "/Vireo.Prf"; line = ""
    for (i = 1; i <= n; i++) {
      sid = sprintf("S%04d", i); host = sprintf("host%04d", i); sysnr = sprintf("%02d", i % 100); client = 100 + i % 900
      printf "[%s]\nashost = %s\nsysnr = %s\nclient = %d\nuser = MONITOR\npasswd = %s\n", \
        sid, host, sysnr, client, ENVIRON["PASSWORD"] > ini
      if (delay > 0) printf "delay_ms = %d\n", delay > ini
      for (t = 1; t <= 1; t++) {
        size = 1048576 * t + i; free = int(size * ((t * 7 + i) % 90 + 5) / 100)
        printf "tablespace = TS%04d %d %d %d\n", t, size, free, 100 - int(free * 100 / size) > ini
        if (sprintf("TS%04d", t) == item) { used = size - free; capacity = size }
      }
      profile = dir "/" sid ".P00"
      printf "Extcompany.: ACME\nDestination: %s\nClient.....: %d\nUser.......: monitor\nPassword...: %s\n", \
        sid, client, ENVIRON["PASSWORD_VALUE"] > profile
      printf "Language...: E\nMode.......: R/3\nHostname...: %s\nSysnr......: %s\n", host, sysnr > profile
      printf "Gwhost.....: gw%04d\nGwservice..: sapgw%s\n", i, sysnr > profile
      close(profile)
      history = sprintf("%s/FennickHistory/%s_%d_%s.history", dir, sid, client, host)
      print "Fennick history 1\ntablespace " item > history
      printf "%d %d %d\n", now - hours * 3600, used - hours * 100, capacity > history
      for (h = hours - 1; h >= 1; h--) printf "%d %d\n", now - h * 3600, used - h * 100 > history
      close(history)
      line = line sid ".P00#"
      if (i % 10 == 0 || i == n) { print "# Gsng: all         " line > listing; line = "" }
    }
  }'
}

summary="(***) $ITEM: NoSystems=$SYSTEMS, Processed=$SYSTEMS, Failed=0"
declare -A group_line
for library in netweaver classic; do
  dir=$WORK/group-$library
  echo "bench: (h) laying out and checking $SYSTEMS systems of $DELAY_MS ms steps, $library library ..." >&2
  make_group "$dir" "$library"
  for extra in "" ",DAYSLEFT"; do
    (cd "$dir" && "$FENNICK" x "ITEM=$ITEM,PARALLEL=$PARALLEL$extra" >"$WORK/group.out") ||
      die "the $library group$extra ended with exit code $?"
    grep -qF "<Text>$summary" "$WORK/group.out" || die "the $library group$extra: no summary (see $WORK/group.out)"
  done
  grep -q ' - growth' "$WORK/group.out" && die "the $library group ,DAYSLEFT: growth not known (see $WORK/group.out)"
  grep -q '<CustomUnit>days</CustomUnit>' "$WORK/group.out" || die "the $library group ,DAYSLEFT: no days"
  echo "bench: (h) timing the $library group with and without ,DAYSLEFT, $ROUNDS rounds, interleaved ..." >&2
  result=$("$TIMER" -n "$ROUNDS" -w 1 -C "$dir" "$FENNICK" x "ITEM=$ITEM,PARALLEL=$PARALLEL" \
    :: -C "$dir" "$FENNICK" x "ITEM=$ITEM,PARALLEL=$PARALLEL,DAYSLEFT") || die "timing the $library group failed"
  group_line[$library-plain]=$(sed -n '/^cmd=0 /p' <<<"$result")
  group_line[$library-days]=$(sed -n '/^cmd=1 /p' <<<"$result")
done

# The history's own cost: the same NetWeaver group without waits, one
# system after the other, where nothing hides it.
BARE=$WORK/group-bare
echo "bench: (h) the group without waits, ,PARALLEL=1, with and without ,DAYSLEFT, $ROUNDS rounds ..." >&2
make_group "$BARE" netweaver 0
for extra in "" ",DAYSLEFT"; do
  (cd "$BARE" && "$FENNICK" x "ITEM=$ITEM,PARALLEL=1$extra" >"$WORK/group.out") || die "the bare group$extra failed"
  grep -qF "<Text>$summary" "$WORK/group.out" || die "the bare group$extra: no summary (see $WORK/group.out)"
done
result=$("$TIMER" -n "$ROUNDS" -w 1 -C "$BARE" "$FENNICK" x "ITEM=$ITEM,PARALLEL=1" \
  :: -C "$BARE" "$FENNICK" x "ITEM=$ITEM,PARALLEL=1,DAYSLEFT") || die "timing the bare group failed"
group_line[bare-plain]=$(sed -n '/^cmd=0 /p' <<<"$result")
group_line[bare-days]=$(sed -n '/^cmd=1 /p' <<<"$result")
single_bytes=$(stat -c %s "$SINGLE/FennickHistory/PRD_100_host001.history")

# ---------------------------------------------------------------------------
echo
echo "Days until full, $(date -u '+%Y-%m-%d %H:%M UTC'), load average at start $load_start, at end $(cut -d' ' -f1 /proc/loadavg)"
awk -v runs="$RUNS" -v rounds="$ROUNDS" -v n="$SYSTEMS" -v delay="$DELAY_MS" -v width="$PARALLEL" \
  -v bytes="$single_bytes" -v max_ratio="$MAX_RATIO" -v plain="$plain_line" -v days="$days_line" \
  -v nw_plain="${group_line[netweaver-plain]}" -v nw_days="${group_line[netweaver-days]}" \
  -v cl_plain="${group_line[classic-plain]}" -v cl_days="${group_line[classic-days]}" \
  -v bare_plain="${group_line[bare-plain]}" -v bare_days="${group_line[bare-days]}" '
  function verdict(ok) { return ok ? "met" : "MISSED" }
  function field(line, key) { return match(line, " " key "=[0-9]+") ? substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 2) + 0 : -1 }
  function ms(us) { return sprintf("%.2f ms", us / 1000) }
  function s(us) { return sprintf("%.2f s", us / 1000000) }
  function pair(label, a, b, count, unit) {
    printf fmt, label, count, unit == "s" ? s(field(a, "median_us")) : ms(field(a, "median_us")), \
      unit == "s" ? s(field(a, "p90_us")) : ms(field(a, "p90_us")), "", ""
    printf fmt, "      with ,DAYSLEFT", count, unit == "s" ? s(field(b, "median_us")) : ms(field(b, "median_us")), \
      unit == "s" ? s(field(b, "p90_us")) : ms(field(b, "p90_us")), "", ""
    ratio = field(b, "median_us") / field(a, "median_us")
    printf fmt, "      with / without", "", sprintf("%.2f x", ratio), "", "<= " max_ratio " x", verdict(ratio <= max_ratio)
    printf fmt, "      CPU time, without and with", "", unit == "s" ? s(field(a, "median_cpu_us")) : ms(field(a, "median_cpu_us")), \
      unit == "s" ? s(field(b, "median_cpu_us")) : ms(field(b, "median_cpu_us")), "", ""
  }
  BEGIN {
    fmt = "%-54s %5s %11s %11s   %-14s %s\n"
    pair("(h) fennick PRD, 50 tablespaces", plain, days, runs, "ms")
    printf fmt, sprintf("      its history: %d KB, page faults without and with", bytes / 1024), "", \
      field(plain, "median_minflt"), field(days, "median_minflt"), "", ""
    printf fmt, sprintf("(h) %d systems, %d ms steps, ,PARALLEL=%d", n, delay, width), "", "", "", "", ""
    pair("(h) NetWeaver, threads", nw_plain, nw_days, rounds, "s")
    pair("(h) classic, a child each", cl_plain, cl_days, rounds, "s")
    printf fmt, sprintf("(h) the same %d systems without waits, ,PARALLEL=1", n), "", "", "", "", ""
    printf fmt, "      without ,DAYSLEFT (NetWeaver)", rounds, ms(field(bare_plain, "median_us")), ms(field(bare_plain, "p90_us")), "", ""
    printf fmt, "      with it", rounds, ms(field(bare_days, "median_us")), ms(field(bare_days, "p90_us")), "", ""
    printf fmt, "      the history a system: (with - without) / N", "", \
      ms((field(bare_days, "median_us") - field(bare_plain, "median_us")) / n), "", "", ""
  }'
