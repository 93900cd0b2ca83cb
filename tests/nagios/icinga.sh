#!/usr/bin/env bash
# The plugin form under a real Icinga 2: Debian's icinga2 daemon runs on a
# private configuration under the build folder, with its own paths and the
# current user, and its services start the built fennick through the
# shipped "fennick" CheckCommand of examples/nagios/fennick.conf against the
# stand-in landscape, each setting in a custom variable of its own. Once
# every service has run, the daemon is stopped and each one's last result
# is read from the state file it writes then: the arguments Icinga passed
# must be the words an administrator would type on a command line, and the
# state, output and performance data those of a run with exactly these
# words. The shipped sample services (fennick-services.conf) must pass
# Icinga's own check of the configuration. Installs nothing; says plainly
# when Icinga 2 is not there.
#
#   tests/nagios/icinga.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
icinga=${ICINGA2:-/usr/sbin/icinga2}
wait_seconds=30

say() { printf 'icinga: %s\n' "$*"; }

if [ ! -x "$icinga" ]; then
  say "SKIPPED: $icinga is not installed (Debian package icinga2)"
  exit 0
fi
if ! command -v python3 >/dev/null; then
  say "SKIPPED: python3, which reads Icinga's state file, is not installed"
  exit 0
fi

work=$build/test-icinga
etc=$work/etc
var=$work/var
land=$work/landscape
rm -rf "$work"
mkdir -p "$etc" "$var/lib" "$var/log" "$var/cache" "$var/spool" "$var/run"

. tests/nagios/landscape.sh
make_landscape "$land" "$build"
shipped examples/nagios/fennick.conf "$land" "$build" > "$etc/fennick.conf"

# Each service: name, its attributes, the state it must end in, the words
# after the profile folder that Icinga must pass (as typed on a command
# line), and its performance data as Icinga keeps it. A check timeout of
# 20 s gives -t 15; the command's own of 1 minute -t 55.
services=(
  limits 'check_timeout = 20s; vars.fennick_profile = "PRD"; vars.fennick_warning = 25; vars.fennick_critical = 10; vars.fennick_exclude = "PSAPUNDO"'
  2 'PRD -w 25 -c 10 -t 15 ,EXCLUDE=PSAPUNDO'
  'PSAPSR3=20%;25:;10:;0;100 SYSTEM=5%;25:;10:;0;100'

  megabyte 'vars.fennick_profile = "PRD"; vars.fennick_megabyte = true; vars.fennick_warning = 1000'
  1 'PRD -w 1000 -t 55 MEGABYTE'
  'PSAPSR3=2000MB;1000:;;0;10000 PSAPUNDO=2400MB;1000:;;0;4000 SYSTEM=50MB;1000:;;0;1000'

  group 'vars.fennick_profile = "GLOBAL"; vars.fennick_parameters = "REFUSED"; vars.fennick_gigabyte = true; vars.fennick_autoextend = true; vars.fennick_timeout = false'
  1 'GLOBAL REFUSED ,AUTOEXTEND GIGABYTE'
  'PRD=2GB;;;0;10'

  refused 'vars.fennick_profile = "QAS"'
  2 'QAS -t 55'
  ''
)
count=$((${#services[@]} / 5))

{
  cat <<EOF
include <itl>
object CheckerComponent "checker" { }
object Host "sap-landscape" {
  check_command = "dummy"
  enable_active_checks = false
}
include "fennick.conf"
template Service "fennick-test" {
  host_name = "sap-landscape"
  check_command = "fennick"
  check_interval = 1s
  retry_interval = 1s
  max_check_attempts = 1
}
EOF
  for ((i = 0; i < ${#services[@]}; i += 5)); do
    printf 'object Service "%s" {\n  import "fennick-test"\n  %s\n}\n' "${services[i]}" "${services[i + 1]//; /$'\n'  }"
  done
} > "$etc/icinga2.conf"

# Icinga's own paths, all in the scratch folder; it runs as the current user.
defines=(-DConfigDir="$etc" -DDataDir="$var/lib" -DLogDir="$var/log" -DCacheDir="$var/cache"
  -DSpoolDir="$var/spool" -DInitRunDir="$var/run" -DStatePath="$var/lib/icinga2.state"
  -DModAttrPath="$var/lib/modified-attributes.conf" -DObjectsPath="$var/cache/icinga2.debug"
  -DVarsPath="$var/cache/icinga2.vars" -DPidPath="$var/run/icinga2.pid"
  -DRunAsUser="$(id -un)" -DRunAsGroup="$(id -gn)")

# The sample services are a valid configuration with the command, given the
# host they use.
cat > "$etc/samples.conf" <<EOF
include <itl>
object Host NodeName {
  check_command = "dummy"
}
include "fennick.conf"
include "$PWD/examples/nagios/fennick-services.conf"
EOF
for config in samples icinga2; do
  if ! "$icinga" daemon -C -c "$etc/$config.conf" "${defines[@]}" > "$var/verify-$config.out" 2>&1; then
    cat "$var/verify-$config.out"
    say "FAILED: Icinga refused $([ $config = samples ] && echo examples/nagios/fennick-services.conf || echo the configuration)"
    exit 1
  fi
done

# The daemon in a session of its own: its worker and its process helper go
# with it. Stopping it: SIGTERM, which its first process forwards to the
# worker, which then writes the state file; whatever is left after 10 s
# gets SIGKILL.
started=$SECONDS
setsid "$icinga" daemon -x notice -c "$etc/icinga2.conf" "${defines[@]}" > "$var/icinga.out" 2>&1 &
pid=$!
stop() {
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 -- "-$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
trap stop EXIT

# Every service runs once a second: once as many checks as services have
# ended, one more second lets each have its turn.
while [ $((SECONDS - started)) -lt $wait_seconds ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$var/icinga.out"
    say "FAILED: Icinga ended early"
    exit 1
  fi
  [ "$(grep -c 'terminated with exit code' "$var/icinga.out" || true)" -ge "$count" ] && break
  sleep 0.2
done
sleep 1
stop
trap - EXIT
elapsed=$((SECONDS - started))

# The services' last results, and each compared with a run of the words on
# a command line in the landscape.
status=0
python3 - "$var/lib/icinga2.state" "$land" "$build/bin/fennick" "${services[@]}" <<'EOF' || status=$?
import json, shlex, subprocess, sys

state_file, land, fennick, rows = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
results = {}
data = open(state_file).read()
at = 0
while at < len(data):  # netstrings: length, ":", the object, ","
    colon = data.index(":", at)
    length = int(data[at:colon])
    item = json.loads(data[colon + 1 : colon + 1 + length])
    at = colon + 1 + length + 1
    if item["type"] == "Service":
        results[item["name"].split("!", 1)[1]] = item["update"].get("last_check_result")

passed = failed = 0
def compare(name, field, expected, got):
    if expected != got:
        print(f"icinga: FAILED: {name} {field}\n  expected: {expected!r}\n  got:      {got!r}")
        return False
    return True

for i in range(0, len(rows), 5):
    name, _, state, words, perf = rows[i : i + 5]
    result = results.get(name)
    if not result:
        print(f"icinga: FAILED: {name} has no result")
        failed += 1
        continue
    typed = words.split(" ")
    run = subprocess.run([fennick] + typed + [",NAGIOS"], cwd=land, capture_output=True, text=True)
    first, _, long_output = run.stdout.partition("\n")
    text, _, performance = first.partition("|")
    expected_output = (text.rstrip() + ("\n" + long_output.rstrip("\n") if long_output else "")).rstrip()
    ok = compare(name, "arguments", [land] + typed, result["command"][4:])
    ok = compare(name, "state", int(state), result["exit_status"]) and ok
    ok = compare(name, "state of the typed run", int(state), run.returncode) and ok
    ok = compare(name, "output", expected_output, "\n".join(l.rstrip() for l in result["output"].split("\n")).rstrip()) and ok
    ok = compare(name, "performance data", shlex.split(performance), result["performance_data"]) and ok
    ok = compare(name, "performance data as promised", perf.split(), result["performance_data"]) and ok
    passed, failed = (passed + 1, failed) if ok else (passed, failed + 1)

print(f"icinga: {passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
EOF
version=$("$icinga" --version 2>/dev/null | awk 'NR == 1' || true)
say "${version:-$icinga}: $count services, results after $elapsed s"
[ "$status" = 0 ] && rm -rf "$work"
[ "$status" = 0 ]
