#!/usr/bin/env bash
# A monitor that kills the probe (SIGKILL, no chance to clean up) while a
# group's children are still measuring: no child may outlive it, and no
# private directory may stay behind.
#
#   tests/children/killed_parent.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
scratch=$(mktemp -d /tmp/fennick-killed-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
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
