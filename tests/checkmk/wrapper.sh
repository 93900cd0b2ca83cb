#!/usr/bin/env bash
# The Checkmk agent plugin of examples/checkmk against a stand-in landscape:
# each system's lines come from the file its run wrote with -o; a file that
# cannot be written, and a program that does not start, still give a line
# for the system.
#
#   tests/checkmk/wrapper.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
plugin=$PWD/examples/checkmk/fennick
work=$(mktemp -d /tmp/fennick-checkmk-XXXXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/sapsim.ini" <<'INI'
[PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
passwd = Secret1
tablespace = PSAPSR3   41943040 8388608 80
tablespace = SYSTEM     2097152   97152 95

[QAS]
ashost = sapqas01
sysnr = 10
client = 100
user = MONITOR
passwd = Secret1
fault = logon
INI
password=$("$build/bin/fennick-passwd" Secret1)
for entry in PRD:sapprd01:00 QAS:sapqas01:10; do
  IFS=: read -r name host sysnr <<<"$entry"
  printf 'Extcompany.: ACME\nDestination: %s\nClient.....: 100\nUser.......: monitor\nPassword...: %s\nLanguage...: E\nMode.......: R/3\nHostname...: %s\nSysnr......: %s\nGwhost.....: sapgw01\nGwservice..: sapgw00\n' \
    "$name" "$password" "$host" "$sysnr" >"$work/$name.P00"
done

failed=0
check() {  # title, the expected lines as extended regular expressions, output
  local title=$1 expected=$2 output=$3
  if paste -d '\n' <(printf '%s\n' "$expected") <(printf '%s\n' "$output") |
    awk 'NR % 2 == 1 { pattern = $0; next } $0 !~ "^" pattern "$" { bad = 1 } END { exit bad }'; then
    echo "ok   $title"
  else
    echo "FAIL $title"
    printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$output"
    failed=1
  fi
}

run() {  # systems, then the environment
  env FENNICK="${FENNICK:-$build/bin/fennick}" FENNICK_HOME="$work" FENNICK_CACHE="$work/cache" \
    FENNICK_SYSTEMS="$1" FENNICK_PARAMETERS=",WARN=10 ,ERROR=5" FENNICK_BUDGET=10 sh "$plugin"
}

check "each system's lines from its file" \
  '0 "Fennick PRD PSAPSR3" free=20;10:;5:;0;100 20% free
1 "Fennick PRD SYSTEM" free=5;10:;5:;0;100 5% free \(WARNING\)
2 "Fennick QAS" - Error 101.*
3 "Fennick NOPE" - Error 1002: Profile NOPE\.P00 is missing\.\.\.' \
  "$(run "PRD QAS NOPE")"

rm -rf "$work/cache" && mkdir -p "$work/cache/PRD.txt"
check "a file that cannot be written: Fennick's own line" \
  '3 "Fennick PRD" - Error 1031: Invalid Parameter-Value -o !' \
  "$(run PRD)"

check "a program that does not start" \
  '3 "Fennick PRD" - Fennick did not run \(exit code 127\)' \
  "$(FENNICK=$work/nowhere run PRD)"

exit $failed
