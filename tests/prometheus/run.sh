#!/usr/bin/env bash
# The Prometheus form against the real thing, with Debian's prometheus
# (promtool) and prometheus-node-exporter:
#  - promtool check rules, test rules and check config on examples/prometheus;
#  - promtool check metrics on every Prometheus document of the end-to-end
#    cases (the runner does it where promtool is on the PATH);
#  - node_exporter on loopback reading a folder that runs rewrite with -o
#    in a loop: every scrape sees every file whole, and
#    node_textfile_scrape_error stays 0.
# Installs nothing; says plainly what it skips.
#
#   tests/prometheus/run.sh NATIVE_BUILD_DIR [SCRAPES]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
wanted_scrapes=${2:-200}

say() { printf 'prometheus: %s\n' "$*"; }

exporter=$(command -v prometheus-node-exporter || command -v node_exporter || true)
if ! command -v promtool >/dev/null || [ -z "$exporter" ]; then
  say "SKIPPED: promtool or node_exporter is not installed (Debian packages prometheus, prometheus-node-exporter)"
  exit 0
fi

say "the shipped rules and configuration"
(cd examples/prometheus && promtool check rules fennick.rules.yml && promtool test rules fennick.rules.test.yml &&
  promtool check config prometheus.yml) >/dev/null

say "every Prometheus document of the end-to-end cases"
for cases in $(grep -li prometheus tests/e2e/cases/*.case); do
  for backend in classic netweaver; do
    "$build/bin/e2e_runner" --fennick "$build/bin/fennick" --cases "$cases" --backend "$backend" | tail -1
  done
done

work=$(mktemp -d /tmp/fennick-prometheus-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
land=$work/landscape
textfiles=$work/textfiles
mkdir -p "$land" "$textfiles"

cat >"$land/sapsim.ini" <<'INI'
[PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
passwd = Secret1
tablespace = PSAPSR3   41943040 8388608 80 104857600
tablespace = PSAPUNDO   8388608 2000000 76
tablespace = SYSTEM     2097152   97152 95

[QAS]
ashost = sapqas01
sysnr = 10
client = 100
user = MONITOR
passwd = Secret1
fault = logon

[DEV]
ashost = sapdev01
sysnr = 20
client = 100
user = MONITOR
passwd = Secret1
tablespace = PSAPSR3   4000000 1000000 75

[TST]
ashost = saptst01
sysnr = 30
client = 100
user = MONITOR
passwd = Secret1
tablespace = PSAPSR3   4000000 2000000 50
INI
password=$("$build/bin/fennick-passwd" Secret1)
for entry in PRD:sapprd01:00 QAS:sapqas01:10 DEV:sapdev01:20 TST:saptst01:30; do
  IFS=: read -r name host sysnr <<<"$entry"
  printf 'Extcompany.: ACME\nDestination: %s\nClient.....: 100\nUser.......: monitor\nPassword...: %s\nLanguage...: E\nMode.......: R/3\nHostname...: %s\nSysnr......: %s\nGwhost.....: sapgw01\nGwservice..: sapgw00\n' \
    "$name" "$password" "$host" "$sysnr" >"$land/$name.P00"
done
printf '# Gsng: PSAPSR3     DEV.P00#TST.P00#\n' >"$land/Vireo.Prf"

# What each file holds whole: PRD's up, 4 samples of each of its 3
# tablespaces and its duration; QAS's up, error and duration; the group's
# 2 ups, 2 tablespaces of 4 samples and its duration.
expected_samples=$((14 + 3 + 11))
runs=(
  "PRD ,PROMETHEUS -o $textfiles/fennick_PRD.prom"
  "QAS ,PROMETHEUS -o $textfiles/fennick_QAS.prom"
  "x ITEM=PSAPSR3,PROMETHEUS -o $textfiles/fennick_PSAPSR3.prom"
)
for run in "${runs[@]}"; do
  # shellcheck disable=SC2086  # the words of the run
  (cd "$land" && "$build/bin/fennick" $run >/dev/null) || true
done

# node_exporter with the textfile collector alone, on a free loopback port.
port=
for _ in $(seq 20); do
  candidate=$((20000 + RANDOM % 40000))
  "$exporter" --collector.disable-defaults --collector.textfile --collector.textfile.directory="$textfiles" \
    --web.listen-address="127.0.0.1:$candidate" >"$work/exporter.log" 2>&1 &
  exporter_pid=$!
  for _ in $(seq 50); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
      port=$candidate
      break
    fi
    kill -0 "$exporter_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$port" ] && break
  kill "$exporter_pid" 2>/dev/null || true
  wait "$exporter_pid" 2>/dev/null || true
done
if [ -z "$port" ]; then
  say "FAILED: node_exporter did not start"
  cat "$work/exporter.log"
  exit 1
fi
pids+=("$exporter_pid")

scrape() {
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' >&3
  cat <&3
  exec 3<&-
}

say "node_exporter on 127.0.0.1:$port, $wanted_scrapes scrapes while runs rewrite their files"
for i in "${!runs[@]}"; do
  (
    cd "$land"
    count=0
    while [ ! -e "$work/stop" ]; do
      # shellcheck disable=SC2086
      "$build/bin/fennick" ${runs[$i]} >/dev/null || true
      count=$((count + 1))
    done
    echo $count >"$work/rewrites.$i"
  ) &
  pids+=($!)
done

scrapes=0
bad=0
while [ $scrapes -lt "$wanted_scrapes" ]; do
  metrics=$(scrape)
  scrapes=$((scrapes + 1))
  samples=$(grep -c '^fennick_' <<<"$metrics" || true)
  scrape_error=$(sed -n 's/^node_textfile_scrape_error \(.*\)$/\1/p' <<<"$metrics")
  if [ "$samples" != "$expected_samples" ] || [ "$scrape_error" != "0" ]; then
    bad=$((bad + 1))
    if [ $bad -le 3 ]; then
      say "scrape $scrapes: $samples fennick samples of $expected_samples, node_textfile_scrape_error ${scrape_error:-missing}"
      grep -E '^(fennick_|node_textfile)' <<<"$metrics" | head -40
    fi
  fi
done
touch "$work/stop"
wait "${pids[@]:1}" 2>/dev/null || true
rewrites=$(awk '{ n += $1 } END { print n + 0 }' "$work"/rewrites.*)

leftovers=$(find "$textfiles" -type f ! -name '*.prom' | wc -l)
errors=$(grep -c 'level=error' "$work/exporter.log" || true)
if [ $bad -gt 0 ] || [ "$leftovers" -gt 0 ] || [ "$errors" -gt 0 ] || [ "$rewrites" -lt "$scrapes" ]; then
  say "FAILED: $bad of $scrapes scrapes saw a file in part or not at all, $rewrites rewrites, $leftovers files left beside them, $errors errors in node_exporter's log"
  grep 'level=error' "$work/exporter.log" | head -5
  exit 1
fi
say "ok: $scrapes scrapes during $rewrites rewrites, every one with every file whole, node_textfile_scrape_error 0"
