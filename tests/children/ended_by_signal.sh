#!/usr/bin/env bash
# A monitor that asks the probe to stop at its own time limit (SIGTERM,
# SIGINT, SIGHUP) while a system hangs: at any moment of the run, what has
# been written is closed well-formed as the time budget closes it, no
# measuring child stays and no private directory stays once the probe has
# ended. Group runs side by side (children; threads on the NetWeaver
# road), one system at a time, and single-profile runs, in turn.
#
#   tests/children/ended_by_signal.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-30}
scratch=$(mktemp -d /tmp/fennick-signal-XXXXXX)
trap '[ -n "${KEEP:-}" ] || rm -rf "$scratch"' EXIT
export TMPDIR=$scratch/tmp
mkdir -p "$TMPDIR" "$scratch/work"
cd "$scratch/work"

value=$("$build/bin/fennick-passwd" Secret1)
for i in 1 2 3; do
  delay=$([ "$i" = 2 ] && echo 30000 || echo 5)
  printf '[S%d]\nashost = h%d\nsysnr = 0%d\nclient = 100\nuser = MONITOR\npasswd = Secret1\ndelay_ms = %d\n' \
    "$i" "$i" "$i" "$delay" >>sapsim.ini
  printf 'tablespace = PSAPSR3 1000 200 80\n' >>sapsim.ini
  printf 'Extcompany.: ACME\nDestination: SY%d\nClient.....: 100\nUser.......: monitor\nPassword...: %s\n' \
    "$i" "$value" >"S$i.P00"
  printf 'Language...: E\nMode.......: R/3\nHostname...: h%d\nSysnr......: 0%d\nGwhost.....: gw\nGwservice..: sapgw00\n' \
    "$i" "$i" >>"S$i.P00"
done
printf '# Gsng: PSAPSR3     S1.P00#S2.P00#S3.P00#\n' >Vireo.Prf

children() {
  grep -lsa "TMPDIR=$TMPDIR" /proc/[0-9]*/environ 2>/dev/null | grep -v "^/proc/$$/" | grep -v "^/proc/self/" |
    while read -r f; do
      pid=${f#/proc/}
      pid=${pid%/environ}
      grep -qsa 'FENNICK_MEASURING_CHILD=1' "$f" && echo "$pid"
    done || true
}

fail() {
  echo "ended_by_signal: FAILED: round $round ($signal after $wait_ms ms, fennick $*): $problem"
  echo "  exit code $code, output:"
  sed 's/^/    | /' out.txt
  exit 1
}

# Job control: a background job of a shell without it starts with SIGINT
# ignored, and a signal the probe was started to ignore stays ignored.
set -m
signals=(TERM INT HUP)
RANDOM=$$
for round in $(seq "$rounds"); do
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
  kill -"$signal" "$victim"
  code=0
  wait "$victim" || code=$?
  problem=""
  # Ended from outside as the budget ends a run, or (asked to stop before
  # the run began its work) an error with nothing written.
  if [ "$code" -ge 128 ]; then
    # Only where the signal came before the program could start to catch it.
    [ -s out.txt ] || [ "$wait_ms" -ge 100 ] && problem="died of the signal"
  elif [ -s out.txt ]; then
    if [ "${args[0]}" = S2 ]; then
      grep -qx '<Text>Error 1032: RFC-Timeout for SY2 after [0-9]* s !</Text>' out.txt ||
        problem="no Error 1032 document"
    else
      grep -q '^<Text>(\*\*\*) PSAPSR3: NoSystems=3, Processed=[0-9], Failed=[0-9] (Timeout after [0-9]* s)' out.txt ||
        problem="no summary of a run cut off"
    fi
    if [ -z "$problem" ] && command -v xmllint >/dev/null && ! xmllint --noout out.txt 2>/dev/null; then
      problem="the document is not well-formed"
    fi
  elif [ "$code" != 2 ]; then
    problem="no output and exit code $code"
  fi
  [ -z "$problem" ] || fail "${args[@]}"
  left=$(children | tr '\n' ' ')
  dirs=$(ls "$TMPDIR" | tr '\n' ' ')
  if [ -n "$left" ] || [ -n "$dirs" ]; then
    problem="children left: [$left], directories left: [$dirs]"
    for pid in $left; do kill -9 "$pid" 2>/dev/null || true; done
    fail "${args[@]}"
  fi
done
echo "ended_by_signal: $rounds runs asked to stop at random moments: documents closed, no child and no directory left"
