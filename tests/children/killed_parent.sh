#!/usr/bin/env bash
# A monitor that kills the probe (SIGKILL, no chance to clean up) while a
# group's children are still measuring: no child may outlive it, and no
# private directory may stay behind. Then kills at random moments, of the
# parent alone and of the whole process group (as Nagios ends a check that
# ran out of time): no child stays, and the next group run leaves no
# private directory. A single-profile run killed while it waits leaves its
# private directory, and the next single-profile run removes it. Last, runs
# asked to stop (SIGTERM, SIGINT, SIGHUP) at random moments while a system
# hangs: what has been written is closed well-formed as the time budget
# closes it, and no child and no private directory stays once the probe has
# ended (groups side by side, on the NetWeaver road, one system at a time,
# and single-profile runs, in turn).
#
#   tests/children/killed_parent.sh BUILD_DIR [ROUNDS] [STOP_ROUNDS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd -P)
rounds=${2:-12}
stop_rounds=${3:-30}
scratch=$(mktemp -d /tmp/fennick-killed-XXXXXX)
trap '[ -n "${KEEP:-}" ] || rm -rf "$scratch"' EXIT
# The children's private directories go below TMPDIR: a folder of our own.
export TMPDIR=$scratch/tmp
mkdir -p "$TMPDIR" "$scratch/work"
cd "$scratch/work"

value=$("$build/bin/fennick-passwd" Secret1)
listing=""
for i in 1 2 3 4; do
  printf '[S%d]\nashost = h%d\nsysnr = 0%d\nclient = 100\nuser = MONITOR\npasswd = Secret1\ndelay_ms = 30000\n' \
    "$i" "$i" "$i" >>sapsim.ini
  printf 'Extcompany.: ACME\nDestination: SY%d\nClient.....: 100\nUser.......: monitor\nPassword...: %s\n' \
    "$i" "$value" >"S$i.P00"
  printf 'Language...: E\nMode.......: R/3\nHostname...: h%d\nSysnr......: 0%d\nGwhost.....: gw\nGwservice..: sapgw00\n' \
    "$i" "$i" >>"S$i.P00"
  listing="${listing}S$i.P00#"
done
printf '# Gsng: PSAPSR3     %s\n' "$listing" >Vireo.Prf

# The children of this run: processes whose environment names our TMPDIR.
children() {
  grep -lsa "TMPDIR=$TMPDIR" /proc/[0-9]*/environ 2>/dev/null | grep -v "^/proc/$$/" | grep -v "^/proc/self/" |
    while read -r f; do
      pid=${f#/proc/}
      pid=${pid%/environ}
      grep -qsa 'FENNICK_MEASURING_CHILD=1' "$f" && echo "$pid"
    done || true
}

"$build/bin/fennick" x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null &
parent=$!
for _ in $(seq 100); do
  [ "$(ls "$TMPDIR" | wc -l)" -ge 4 ] && [ "$(children | wc -l)" -ge 4 ] && break
  sleep 0.05
done
started=$(children | wc -l)
if [ "$started" -lt 4 ]; then
  echo "killed_parent: FAILED: only $started of 4 children started"
  kill -9 "$parent" 2>/dev/null || true
  exit 1
fi
kill -9 "$parent"
wait "$parent" 2>/dev/null || true

# The children see their lifeline end; give them a moment.
for _ in $(seq 100); do
  [ -z "$(children)" ] && [ -z "$(ls "$TMPDIR")" ] && break
  sleep 0.05
done
left=$(children | tr '\n' ' ')
dirs=$(ls "$TMPDIR" | tr '\n' ' ')
if [ -n "$left" ] || [ -n "$dirs" ]; then
  echo "killed_parent: FAILED: children left: [$left], directories left: [$dirs]"
  for pid in $left; do kill -9 "$pid" 2>/dev/null || true; done
  exit 1
fi
echo "killed_parent: 4 children ended with their killed parent, no directory left"

# Kills at random moments, from the first milliseconds on: fast systems, so
# the kill falls into every part of a run (starting children, measuring,
# releasing, ending).
sed -i 's/delay_ms = 30000/delay_ms = 20/' sapsim.ini
RANDOM=$$
for round in $(seq "$rounds"); do
  wait_ms=$((RANDOM % 120))
  if [ $((round % 2)) = 0 ]; then
    setsid "$build/bin/fennick" x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1 &
    victim=$!
    sleep "0.$(printf '%03d' "$wait_ms")"
    kill -9 -- "-$victim" 2>/dev/null || true
  else
    "$build/bin/fennick" x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1 &
    victim=$!
    sleep "0.$(printf '%03d' "$wait_ms")"
    kill -9 "$victim" 2>/dev/null || true
  fi
  wait "$victim" 2>/dev/null || true
  for _ in $(seq 100); do
    [ -z "$(children)" ] && break
    sleep 0.05
  done
  left=$(children | tr '\n' ' ')
  if [ -n "$left" ]; then
    echo "killed_parent: FAILED: round $round (killed after $wait_ms ms): children left: [$left]"
    for pid in $left; do kill -9 "$pid" 2>/dev/null || true; done
    exit 1
  fi
done
# The next group run sweeps what the killed ones left.
"$build/bin/fennick" x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1 || true
dirs=$(ls "$TMPDIR" | tr '\n' ' ')
if [ -n "$dirs" ]; then
  echo "killed_parent: FAILED: after $rounds random kills and one more run, directories left: [$dirs]"
  for d in $dirs; do
    pid=$(cut -d' ' -f2 "$TMPDIR/$d/fennick.owner" 2>/dev/null || echo "${d#fennick-}" | cut -d- -f1)
    echo "  $d: [$(ls -A "$TMPDIR/$d" | tr '\n' ' ')] marker [$(cat "$TMPDIR/$d/fennick.owner" 2>/dev/null)]" \
      "process $pid: $(ps -o stat=,args= -p "$pid" 2>/dev/null || echo gone)"
  done
  exit 1
fi
echo "killed_parent: $rounds kills at random moments, of the parent and of its process group: no child and no directory left"

# A single-profile run killed at the monitor's time-out leaves its folder;
# the next single-profile run removes it.
sed -i 's/delay_ms = 20$/delay_ms = 30000/' sapsim.ini
"$build/bin/fennick" S1 >/dev/null 2>&1 &
victim=$!
for _ in $(seq 100); do
  [ -n "$(ls "$TMPDIR")" ] && break
  sleep 0.05
done
sleep 0.2
kill -9 "$victim"
wait "$victim" 2>/dev/null || true
if [ -z "$(ls "$TMPDIR")" ]; then
  echo "killed_parent: FAILED: the killed single-profile run made no private directory"
  exit 1
fi
sed -i 's/delay_ms = 30000$/delay_ms = 20/' sapsim.ini
"$build/bin/fennick" S1 >/dev/null 2>&1 || true
dirs=$(ls "$TMPDIR" | tr '\n' ' ')
if [ -n "$dirs" ]; then
  echo "killed_parent: FAILED: a killed single-profile run's directory stayed after the next run: [$dirs]"
  exit 1
fi
echo "killed_parent: a killed single-profile run's directory is removed by the next one"

# Asked to stop: S2 hangs, the others answer at once.
sed -i 's/delay_ms = .*/delay_ms = 5/' sapsim.ini
sed -i '/^\[S2\]/,/^\[S3\]/s/delay_ms = .*/delay_ms = 30000/' sapsim.ini
# Whether the program already takes the signal as a request to stop: its
# main thread blocks it for the thread that waits for it, and never unblocks
# it. How long a start takes depends on the machine's load (a sanitizer
# build under a parallel ctest takes more than 100 ms), so no time says it.
catches() {  # pid signal-name
  local mask
  [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$build/bin/fennick" ] || return 1
  mask=$(sed -n 's/^SigBlk:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
  [ -n "$mask" ] && (((16#$mask >> ($(kill -l "$2") - 1)) & 1))
}
# Job control: a background job of a shell without it starts with SIGINT
# ignored, and a signal the probe was started to ignore stays ignored.
set -m
signals=(TERM INT HUP)
for round in $(seq "$stop_rounds"); do
  signal=${signals[$((round % 3))]}
  rm -f Fennick.Ini
  case $((round % 4)) in
    0) args=(x 'ITEM=PSAPSR3') ;;
    1) args=(x 'ITEM=PSAPSR3,PARALLEL=1') ;;
    2) args=(S2) ;;
    3)
      args=(x 'ITEM=PSAPSR3')
      printf 'Rfclibrary.: netweaver\n' >Fennick.Ini
      ;;
  esac
  wait_ms=$((RANDOM % 400))
  "$build/bin/fennick" "${args[@]}" >out.txt 2>/dev/null &
  victim=$!
  sleep "0.$(printf '%03d' "$wait_ms")"
  catching=0
  catches "$victim" "$signal" && catching=1
  kill -"$signal" "$victim"
  code=0
  wait "$victim" || code=$?
  # Ended as the budget ends a run; or, asked to stop before the run is
  # under way, an error with nothing written; or, before the program could
  # catch the signal at all, the signal's own end.
  problem=""
  if [ "$code" -ge 128 ]; then
    { [ -s out.txt ] || [ "$catching" = 1 ]; } && problem="died of the signal"
  elif [ -s out.txt ]; then
    if [ "${args[0]}" = S2 ]; then
      pattern='^<Text>Error 1032: RFC-Timeout for SY2 after [0-9]* s !</Text>$'
    else
      pattern='^<Text>(\*\*\*) PSAPSR3: NoSystems=4, Processed=[0-9], Failed=[0-9] (Timeout after [0-9]* s)'
    fi
    grep -q "$pattern" out.txt || problem="not closed as the time budget closes it"
    if command -v xmllint >/dev/null && ! xmllint --noout out.txt 2>/dev/null; then
      problem="the document is not well-formed"
    fi
  elif [ "$code" != 2 ]; then
    problem="no output and exit code $code"
  fi
  left=$(children | tr '\n' ' ')
  dirs=$(ls "$TMPDIR" | tr '\n' ' ')
  [ -z "$left$dirs" ] || problem="children left: [$left], directories left: [$dirs]"
  if [ -n "$problem" ]; then
    echo "killed_parent: FAILED: asked to stop, round $round ($signal after $wait_ms ms, fennick ${args[*]}): $problem"
    echo "  exit code $code, output:"
    sed 's/^/    | /' out.txt
    for pid in $left; do kill -9 "$pid" 2>/dev/null || true; done
    exit 1
  fi
done
echo "killed_parent: $stop_rounds runs asked to stop at random moments: documents closed, no child and no directory left"
