#!/usr/bin/env bash
# The Zabbix form under a real Zabbix 6.0: a PostgreSQL cluster of its own,
# Debian's Zabbix server and its PHP frontend (served by php -S), and
# zabbix_agent2 with the shipped examples/zabbix/fennick.conf, all on
# loopback in a scratch folder. The shipped templates are imported through
# the API, hosts on the local agent are linked to them, and check.py waits
# for discovery, values and problems and compares them with what fennick
# prints itself. Installs nothing; says plainly what is missing. Everything
# it started is stopped and its folder removed on every exit.
#
#   tests/zabbix/run.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
build=$(realpath "${1:-build}")
started=$(date +%s)

say() { printf 'zabbix: %s\n' "$*"; }

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
sqldir=/usr/share/zabbix-server-pgsql
frontend=/usr/share/zabbix
missing=()
[ -x /usr/sbin/zabbix_server ] && [ -f "$sqldir/schema.sql.gz" ] || missing+=(zabbix-server-pgsql)
[ -f "$frontend/api_jsonrpc.php" ] || missing+=(zabbix-frontend-php)
[ -x /usr/sbin/zabbix_agent2 ] || missing+=(zabbix-agent2)
[ -n "$pgbin" ] && [ -x "$pgbin/initdb" ] || missing+=(postgresql)
command -v php >/dev/null || missing+=(php-cli)
command -v php >/dev/null && ! grep -qx pgsql <<<"$(php -m 2>/dev/null)" && missing+=(php-pgsql)
command -v python3 >/dev/null || missing+=(python3)
if [ ${#missing[@]} -gt 0 ]; then
  say "SKIPPED: not installed: ${missing[*]} (Debian packages)"
  exit 0
fi

# Services of our own in a scratch folder, and the ids of what we started.
work=$(mktemp -d /tmp/fennick-zabbix-XXXXXX)
chmod 755 "$work"
pids=()
pg_started=0
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  if [ $pg_started = 1 ]; then as_pg "$pgbin/pg_ctl" -D "$work/pg" -m immediate -w stop >/dev/null 2>&1 || true; fi
  if [ -n "${KEEP_ZABBIX_TEST:-}" ]; then say "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# PostgreSQL refuses to run as root: as root (CI) its cluster belongs to the
# postgres user.
as_pg() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# Ports nobody listens on now, on loopback, below 32768: the agent and the
# server take no higher ListenPort.
free_ports() {  # count
  python3 - "$1" <<'EOF'
import random, socket, sys
socks = []
while len(socks) < int(sys.argv[1]):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", random.randint(20000, 32767)))
        socks.append(s)
    except OSError:
        s.close()
print(" ".join(str(s.getsockname()[1]) for s in socks))
EOF
}
read -r pg_port server_port agent_port web_port < <(free_ports 4)

fail_with_log() {  # message log-file
  say "FAILED: $1"
  [ -f "$2" ] && tail -n 30 "$2" | sed 's/^/    /'
  exit 1
}

# The database.
mkdir -p "$work/pg" "$work/pgsock"
[ "$(id -u)" = 0 ] && chown postgres "$work/pg" "$work/pgsock"
as_pg "$pgbin/initdb" -D "$work/pg" -U postgres --auth=trust -E UTF8 --locale=C >"$work/initdb.log" 2>&1 ||
  fail_with_log "initdb" "$work/initdb.log"
pg_started=1
as_pg "$pgbin/pg_ctl" -D "$work/pg" -l "$work/pg/server.log" -w \
  -o "-c listen_addresses=127.0.0.1 -p $pg_port -c unix_socket_directories=$work/pgsock -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c wal_level=minimal -c max_wal_senders=0" start \
  >/dev/null || fail_with_log "PostgreSQL did not start" "$work/pg/server.log"
psql_run() { "$pgbin/psql" -h 127.0.0.1 -p "$pg_port" -v ON_ERROR_STOP=1 -q "$@"; }
psql_run -U postgres -d postgres -c "CREATE ROLE zabbix LOGIN" -c "CREATE DATABASE zabbix OWNER zabbix" >/dev/null
# One transaction: with wal_level=minimal the tables it creates are written
# without WAL, which makes the load several times faster.
zcat "$sqldir/schema.sql.gz" "$sqldir/images.sql.gz" "$sqldir/data.sql.gz" |
  psql_run -1 -U zabbix -d zabbix >/dev/null 2>"$work/sql.log" || fail_with_log "loading the Zabbix schema" "$work/sql.log"
say "database ready after $(($(date +%s) - started)) s"

# The landscape the agent's fennick reads: PRD measured (a tablespace below
# its level by macro context, one nearly full, one offline, PSAPTEMP left
# out by the template), QAS refusing its logon, DEV measured, and a group
# over all three.
land=$work/fennick
mkdir -p "$land"
cat >"$land/sapsim.ini" <<'EOF'
[PRD]
ashost     = sapprd01
sysnr      = 00
client     = 100
user       = MONITOR
passwd     = Zabbix!PRD
tablespace = PSAPSR3    41943040  8388608  80  104857600
tablespace = PSAPUNDO    8388608  2000000  76
tablespace = PSAPTEMP    2097152  2097152   0
tablespace = PSAPARCH    1048576   524288  50  0  OFFLINE
tablespace = SYSTEM      2097152    62914  97

[QAS]
ashost     = sapqas01
sysnr      = 10
client     = 100
user       = MONITOR
passwd     = Zabbix!QAS
fault      = logon
trace      = **** ERROR file opened at 20261208 101500 UTC, SAP-REL 753,0,1100 RFC-VER U 3
trace      = ERROR       Name or password is incorrect (repeat logon)

[DEV]
ashost     = sapdev01
sysnr      = 20
client     = 100
user       = MONITOR
passwd     = Zabbix!DEV
tablespace = PSAPSR3     4000000  2000000  50
EOF
profile() {  # SID SYSNR PASSWORD
  local host
  host=sap$(tr 'A-Z' 'a-z' <<<"$1")01
  cat >"$land/$1.P00" <<EOF
Extcompany.: ACME Industries
Destination: $1
Client.....: 100
User.......: monitor
Password...: $("$build/bin/fennick-passwd" "$3")
Language...: E
Mode.......: R/3
Hostname...: $host
Sysnr......: $2
Gwhost.....: $host
Gwservice..: sapgw$2
EOF
}
profile PRD 00 'Zabbix!PRD'
profile QAS 10 'Zabbix!QAS'
profile DEV 20 'Zabbix!DEV'
echo '# Gsng: PSAPSR3     PRD.P00#QAS.P00#DEV.P00#' >"$land/Vireo.Prf"

# The shipped agent configuration, pointed at the build and the landscape.
shipped=examples/zabbix/fennick.conf
for key in fennick.system fennick.item; do
  grep -q "^UserParameter=$key\[\*\],cd /etc/fennick && exec /usr/bin/fennick " "$shipped" ||
    { say "FAILED: $shipped has no $key[*] of the shape cd /etc/fennick && exec /usr/bin/fennick ..."; exit 1; }
done
grep -q '^Timeout=30$' "$shipped" || { say "FAILED: $shipped does not set Timeout=30"; exit 1; }
sed -e "s#/etc/fennick#$land#g" -e "s#/usr/bin/fennick#$build/bin/fennick#g" "$shipped" >"$work/fennick.conf"
cat >"$work/agent2.conf" <<EOF
LogType=file
LogFile=$work/agent2.log
PidFile=$work/agent2.pid
ControlSocket=$work/agent2.sock
Server=127.0.0.1
ServerActive=
ListenIP=127.0.0.1
ListenPort=$agent_port
Hostname=fennick-test
Include=$work/fennick.conf
EOF

# The agent's own check of both keys.
for key in 'fennick.system[PRD,]' 'fennick.item[PSAPSR3,]'; do
  out=$(/usr/sbin/zabbix_agent2 -c "$work/agent2.conf" -t "$key" 2>&1) || true
  case $key in fennick.system*) want='[s|{"system":"PRD","tablespaces":[{"name":"PSAPSR3"' ;;
    *) want='[s|{"item":"PSAPSR3","summary":"(***) PSAPSR3: NoSystems=3, Processed=2, Failed=1"' ;;
  esac
  grep -qF "$want" <<<"$out" || { say "FAILED: zabbix_agent2 -t $key"; printf '    %s\n' "$out"; exit 1; }
done
say "ok: zabbix_agent2 -t on both keys"

/usr/sbin/zabbix_agent2 -c "$work/agent2.conf" >/dev/null 2>&1 &
pids+=($!)

# The server: few processes, a short configuration cache cycle, and the
# agent's 30 s to wait for a measurement.
cat >"$work/server.conf" <<EOF
LogType=file
LogFile=$work/server.log
PidFile=$work/server.pid
SocketDir=$work
ListenIP=127.0.0.1
ListenPort=$server_port
DBHost=127.0.0.1
DBPort=$pg_port
DBName=zabbix
DBUser=zabbix
Timeout=30
CacheUpdateFrequency=2
HousekeepingFrequency=0
StartPollers=3
StartPollersUnreachable=1
StartPreprocessors=2
StartLLDProcessors=1
StartHistoryPollers=1
StartDBSyncers=1
StartTrappers=1
StartPingers=0
StartDiscoverers=0
StartHTTPPollers=0
StartAlerters=1
StartEscalators=1
StartTimers=1
StartProxyPollers=0
StartODBCPollers=0
EOF
[ "$(id -u)" = 0 ] && echo AllowRoot=1 >>"$work/server.conf"
/usr/sbin/zabbix_server -f -c "$work/server.conf" >/dev/null 2>&1 &
pids+=($!)

# The frontend, from a copy whose configuration names this database:
# Debian's frontend reads /etc/zabbix/zabbix.conf.php, so the copy is told
# where its own is.
cp -r "$frontend" "$work/web"
sed -i "s#const CONFIG_FILE_PATH = '/etc/zabbix/zabbix.conf.php';#const CONFIG_FILE_PATH = '$work/web/conf/zabbix.conf.php';#" \
  "$work/web/include/classes/core/CConfigFile.php"
cat >"$work/web/conf/zabbix.conf.php" <<EOF
<?php
\$DB['TYPE'] = 'POSTGRESQL';
\$DB['SERVER'] = '127.0.0.1';
\$DB['PORT'] = '$pg_port';
\$DB['DATABASE'] = 'zabbix';
\$DB['USER'] = 'zabbix';
\$DB['PASSWORD'] = '';
\$DB['SCHEMA'] = '';
\$DB['ENCRYPTION'] = false;
\$DB['DOUBLE_IEEE754'] = true;
\$ZBX_SERVER = '127.0.0.1';
\$ZBX_SERVER_PORT = '$server_port';
\$ZBX_SERVER_NAME = 'fennick-test';
\$IMAGE_FORMAT_DEFAULT = IMAGE_FORMAT_PNG;
EOF
php -d memory_limit=512M -d post_max_size=16M -d max_execution_time=300 -d date.timezone=UTC \
  -S "127.0.0.1:$web_port" -t "$work/web" >"$work/php.log" 2>&1 &
pids+=($!)

if ! python3 tests/zabbix/check.py --api "http://127.0.0.1:$web_port/api_jsonrpc.php" \
  --template examples/zabbix/fennick_templates.yaml --agent-port "$agent_port" \
  --fennick "$build/bin/fennick" --landscape "$land" \
  --reload "/usr/sbin/zabbix_server -c $work/server.conf -R config_cache_reload"; then
  for log in server.log agent2.log php.log; do
    say "$log:"
    tail -n 20 "$work/$log" 2>/dev/null | sed 's/^/    /'
  done
  say "FAILED after $(($(date +%s) - started)) s"
  exit 1
fi
say "passed in $(($(date +%s) - started)) s"
