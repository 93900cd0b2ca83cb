#!/usr/bin/env bash
# A monitor that kills the probe (SIGKILL, no chance to clean up) while a
# group's children are still measuring: no child may outlive it, and no
# private directory may stay behind. Then kills at random moments, of the
# parent alone and of the whole process group (as Nagios ends a check that
# ran out of time): no child stays, and the next group run leaves no
# private directory. A single-profile run killed while it waits leaves its
# private directory, and the next single-profile run removes it.
#
#   tests/children/killed_parent.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-12}
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
