#!/usr/bin/env bash
# The plugin form under a real monitor: Debian's Nagios 4 core runs in the
# foreground on a private configuration under the build folder, with
# services that start the built fennick through the shipped check_fennick
# command of examples/nagios/fennick.cfg against a stand-in landscape, with
# options and keywords in one argument and in several. Once every service
# has a result in status.dat, each one's state, output, long output and
# performance data are compared with what the form promises. The shipped
# sample services (fennick-services.cfg) must pass Nagios' own check of the
# configuration. Installs nothing; says plainly when Nagios is not there.
#
#   tests/nagios/run.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
nagios=${NAGIOS4:-/usr/sbin/nagios4}
wait_seconds=40

say() { printf 'nagios: %s\n' "$*"; }

if [ ! -x "$nagios" ]; then
  say "SKIPPED: $nagios is not installed (Debian package nagios4-core)"
  exit 0
fi

work=$build/test-nagios
# The paths go unquoted into the command line of the example's command.
case $build in *[[:space:]\#\&\'\"]*)
  say "FAILED: the build folder's path holds a blank or one of # & ' \" ($build)"
  exit 1 ;;
esac
etc=$work/etc
var=$work/var
land=$work/landscape
rm -rf "$work"
mkdir -p "$etc" "$var/spool" "$land"

. tests/nagios/landscape.sh
make_landscape "$land" "$build"

# The shipped command, pointed at the build and the landscape.
shipped examples/nagios/fennick.cfg "$land" "$build" > "$etc/fennick.cfg"
if ! grep -q "command_name *check_fennick" "$etc/fennick.cfg" ||
  ! grep -qF "cd $land && exec $build/bin/fennick" "$etc/fennick.cfg"; then
  say "FAILED: examples/nagios/fennick.cfg has no check_fennick command of the shape cd /etc/fennick && exec /usr/bin/fennick ..."
  exit 1
fi

# Each service: name, check_command arguments, then what status.dat must
# show: current_state, plugin_output, long_plugin_output (its line ends
# written as the two characters \n), performance_data.
services=(
  ok        'PRD!'
  0 '(PRD) OraSizes: NoSpc=3, DataSz=15.000 MB, FreeSz=4.450 MB, Free=29%'
  'PSAPSR3: 20% free\nPSAPUNDO: 60% free\nSYSTEM: 5% free'
  "'PSAPSR3'=20%;;;0;100 'PSAPUNDO'=60%;;;0;100 'SYSTEM'=5%;;;0;100"

  warning   'PRD!MEGABYTE,WARN=1000'
  1 'SYSTEM 50MB free - (PRD) OraSizes: NoSpc=3, DataSz=15.000 MB, FreeSz=4.450 MB, Free=29%'
  'PSAPSR3: 2000MB free\nPSAPUNDO: 2400MB free\nSYSTEM: 50MB free (WARNING)'
  "'PSAPSR3'=2000MB;1000:;;0;10000 'PSAPUNDO'=2400MB;1000:;;0;4000 'SYSTEM'=50MB;1000:;;0;1000"

  critical  'PRD!,WARN=25,ERROR=10'
  2 'SYSTEM 5% free (CRITICAL), PSAPSR3 20% free - (PRD) OraSizes: NoSpc=3, DataSz=15.000 MB, FreeSz=4.450 MB, Free=29%'
  'PSAPSR3: 20% free (WARNING)\nPSAPUNDO: 60% free\nSYSTEM: 5% free (CRITICAL)'
  "'PSAPSR3'=20%;25:;10:;0;100 'PSAPUNDO'=60%;25:;10:;0;100 'SYSTEM'=5%;25:;10:;0;100"

  # Options and an exclusion as typed on a command line: in one argument,
  # which the shell splits, or each in its own.
  options   'PRD!-w 25 -c 10 -t 20 ,EXCLUDE=PSAPUNDO'
  2 'SYSTEM 5% free (CRITICAL), PSAPSR3 20% free - (PRD) OraSizes: NoSpc=3, DataSz=15.000 MB, FreeSz=4.450 MB, Free=29%'
  'PSAPSR3: 20% free (WARNING)\nSYSTEM: 5% free (CRITICAL)'
  "'PSAPSR3'=20%;25:;10:;0;100 'SYSTEM'=5%;25:;10:;0;100"

  arguments 'PRD!GIGABYTE!-c!3!,EXCLUDE=SYSTEM'
  2 'PSAPSR3 2GB free (CRITICAL), PSAPUNDO 2GB free (CRITICAL) - (PRD) OraSizes: NoSpc=3, DataSz=15.000 MB, FreeSz=4.450 MB, Free=29%'
  'PSAPSR3: 2GB free (CRITICAL)\nPSAPUNDO: 2GB free (CRITICAL)'
  "'PSAPSR3'=2GB;;3:;0;10 'PSAPUNDO'=2GB;;3:;0;4"

  # The classic library loads first: its host logon is refused at the first call.
  refused   'QAS!'
  2 'Error 1014: RFC-Failure raised ! - Name or password is incorrect (repeat logon)'
  '' ''

  missing   'NOPE!'
  3 'Error 1002: Profile NOPE.P00 is missing...'
  '' ''

  group     'GLOBAL!PSAPSR3'
  1 'PRD 20% free, QAS Rfc Failure - Name or password is incorrect (repeat logon), GONE.P00 Profile missing - (***) PSAPSR3: NoSystems=4, Processed=2, Failed=1'
  'PRD: 20% free (WARNING)\nQAS: Rfc Failure - Name or password is incorrect (repeat logon)\nDEV: 50% free\nGONE.P00: Profile missing'
  "'PRD'=20%;25:;;0;100 'DEV'=50%;25:;;0;100"

  # No limits: the refused logon alone makes the group WARNING, and the
  # line that reaches the mail names the system and the reason.
  refused-in-group 'GLOBAL!REFUSED'
  1 'QAS Rfc Failure - Name or password is incorrect (repeat logon) - (***) PSAPSR3: NoSystems=2, Processed=1, Failed=1'
  'PRD: 20% free\nQAS: Rfc Failure - Name or password is incorrect (repeat logon)'
  "'PRD'=20%;;;0;100"
)
states=(OK WARNING CRITICAL UNKNOWN)
count=$((${#services[@]} / 6))

{
  cat <<EOF
define timeperiod {
    timeperiod_name  always
    alias            Always
    sunday           00:00-24:00
    monday           00:00-24:00
    tuesday          00:00-24:00
    wednesday        00:00-24:00
    thursday         00:00-24:00
    friday           00:00-24:00
    saturday         00:00-24:00
}
define command {
    command_name     always_up
    command_line     /bin/true
}
define contact {
    contact_name                   nobody
    alias                          Nobody: notifications are off
    host_notifications_enabled     0
    service_notifications_enabled  0
    host_notification_period       always
    service_notification_period    always
    host_notification_options      n
    service_notification_options   n
    host_notification_commands     always_up
    service_notification_commands  always_up
}
define host {
    host_name              sap-landscape
    alias                  The stand-in landscape
    address                127.0.0.1
    check_command          always_up
    check_period           always
    check_interval         1
    retry_interval         1
    max_check_attempts     1
    notifications_enabled  0
    notification_period    always
    contacts               nobody
}
EOF
  for ((i = 0; i < ${#services[@]}; i += 6)); do
    cat <<EOF
define service {
    host_name              sap-landscape
    service_description    ${services[i]}
    check_command          check_fennick!${services[i + 1]}
    check_period           always
    check_interval         1
    retry_interval         1
    max_check_attempts     1
    notifications_enabled  0
    notification_period    always
    contacts               nobody
}
EOF
  done
} > "$etc/objects.cfg"

# Time runs in seconds (interval_length=1), every check starts at once, and
# status.dat is written every second. The core runs as the current user
# (root in CI) and keeps all its files here.
cat > "$etc/nagios.cfg" <<EOF
cfg_file=$etc/fennick.cfg
cfg_file=$etc/objects.cfg
log_file=$var/nagios.log
object_cache_file=$var/objects.cache
precached_object_file=$var/objects.precache
status_file=$var/status.dat
status_update_interval=1
temp_file=$var/nagios.tmp
temp_path=$var
lock_file=$var/nagios.lock
check_result_path=$var/spool
command_file=$var/nagios.cmd
query_socket=$var/nagios.qh
state_retention_file=$var/retention.dat
nagios_user=$(id -un)
nagios_group=$(id -gn)
check_external_commands=0
retain_state_information=0
use_retained_program_state=0
use_retained_scheduling_info=0
use_syslog=0
interval_length=1
service_inter_check_delay_method=n
host_inter_check_delay_method=n
max_service_check_spread=1
max_host_check_spread=1
check_result_reaper_frequency=1
service_check_timeout=20
enable_notifications=0
enable_flap_detection=0
check_for_updates=0
check_for_orphaned_services=0
check_for_orphaned_hosts=0
allow_empty_hostgroup_assignment=1
illegal_macro_output_chars=\`~\$&|'"<>
EOF

if ! "$nagios" -v "$etc/nagios.cfg" > "$var/verify.out" 2>&1; then
  cat "$var/verify.out"
  say "FAILED: Nagios refused the configuration"
  exit 1
fi

# The shipped sample services are a valid configuration with the command,
# given the template and the host they use.
cat > "$etc/samples-base.cfg" <<EOF
define service {
    name                   generic-service
    check_period           always
    check_interval         1
    retry_interval         1
    max_check_attempts     1
    notifications_enabled  0
    notification_period    always
    contacts               nobody
    register               0
}
define host {
    host_name              localhost
    address                127.0.0.1
    check_command          always_up
    check_period           always
    max_check_attempts     1
    notification_period    always
    contacts               nobody
}
EOF
{ cat "$etc/nagios.cfg"; echo "cfg_file=$etc/samples-base.cfg"
  echo "cfg_file=$PWD/examples/nagios/fennick-services.cfg"; } > "$etc/samples-nagios.cfg"
if ! "$nagios" -v "$etc/samples-nagios.cfg" > "$var/verify-samples.out" 2>&1; then
  cat "$var/verify-samples.out"
  say "FAILED: Nagios refused examples/nagios/fennick-services.cfg"
  exit 1
fi

# The core runs under timeout as a process of this script; its PID is
# recorded. Stopping it: the core and its workers (below that PID, each
# worker in a process group of its own) get SIGTERM through timeout, which
# the core answers by stopping its workers; whatever of them is still there
# after 5 s gets SIGKILL.
started=$SECONDS
timeout 50 "$nagios" "$etc/nagios.cfg" > "$var/nagios.out" 2>&1 &
pid=$!
echo "$pid" > "$var/run.pid"
running() {  # pid: alive and not a zombie
  local line fields
  read -r line 2>/dev/null < "/proc/$1/stat" || return 1
  fields=(${line##*) })
  [ "${fields[0]}" != Z ]
}
children_of() {  # pid...: the live processes whose parent is one of them
  local stat line fields
  for stat in /proc/[0-9]*/stat; do
    read -r line 2>/dev/null < "$stat" || continue
    fields=(${line##*) })
    if [ "${fields[0]}" != Z ] && [[ " $* " == *" ${fields[1]} "* ]]; then
      stat=${stat#/proc/}
      echo "${stat%/stat}"
    fi
  done
}
stop() {
  local core ours p
  if running "$pid"; then
    core=$(children_of "$pid")
    ours="$core ${core:+$(children_of $core)}"
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      p=
      for p in $ours; do running "$p" && break; p=; done
      [ -z "$p" ] && break
      sleep 0.1
    done
    for p in $ours; do
      running "$p" && kill -KILL "$p" 2>/dev/null || true
    done
    # The timeout process is not reaped yet, so its group id is still ours.
    kill -KILL -- "-$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}
trap stop EXIT

# One line per service in status.dat: name, state, output, long output,
# performance data, separated by the unit separator (fields may be empty).
# The core removes status.dat when it stops; the last copy read stays for a
# look after a failure.
read_status() {
  cp "$var/status.dat" "$var/status.seen" 2>/dev/null || return 0
  awk -F '=' '
    /^servicestatus \{/ { inside = 1; delete f; next }
    inside && /^\t}/ {
      inside = 0
      if (f["has_been_checked"] == "1")
        printf "%s\037%s\037%s\037%s\037%s\n", f["service_description"], f["current_state"],
          f["plugin_output"], f["long_plugin_output"], f["performance_data"]
      next
    }
    inside { key = $1; sub(/^\t/, "", key); value = $0; sub(/^[^=]*=/, "", value); f[key] = value }
  ' "$var/status.seen"
}

status=
while [ $((SECONDS - started)) -lt $wait_seconds ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$var/nagios.out"
    say "FAILED: the Nagios core ended early"
    exit 1
  fi
  status=$(read_status)
  [ -n "$status" ] && [ "$(wc -l <<<"$status")" -ge "$count" ] && break
  sleep 0.5
done
elapsed=$((SECONDS - started))
stop
trap - EXIT

passed=0
failed=0
compare() {  # service field expected actual
  if [ "$3" != "$4" ]; then
    say "FAILED: $1 $2"
    printf '  expected: %s\n  got:      %s\n' "$3" "$4"
    return 1
  fi
}
for ((i = 0; i < ${#services[@]}; i += 6)); do
  name=${services[i]}
  line=$(awk -F '\037' -v name="$name" '$1 == name' <<<"$status")
  if [ -z "$line" ]; then
    say "FAILED: $name has no result in status.dat after $wait_seconds s"
    failed=$((failed + 1))
    continue
  fi
  IFS=$'\037' read -r _ state output long perf <<<"$line"
  expected_state=${services[i + 2]}
  ok=1
  compare "$name" current_state "$expected_state" "$state" || ok=0
  compare "$name" plugin_output "FENNICK ${states[expected_state]} - ${services[i + 3]}" "$output" || ok=0
  compare "$name" long_plugin_output "${services[i + 4]}" "$long" || ok=0
  compare "$name" performance_data "${services[i + 5]}" "$perf" || ok=0
  if [ $ok = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done

version=$({ "$nagios" --version 2>/dev/null || true; } | awk '/^Nagios Core/ && !n++')
say "${version:-$nagios}: $count services, results after $elapsed s"
say "$passed passed, $failed failed"
[ "$failed" = 0 ] && rm -rf "$work"
[ "$failed" = 0 ]
