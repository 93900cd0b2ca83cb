# The landscape of runs side by side in one folder, shared by the
# concurrency test and the bench: PRD and DEV measured (PRD through its
# SapRfc.PRD), QAS refused (through SapRfc.QAS), CFL whose first call fails,
# UNR on a host of no system, all five listed in Vireo.Prf under PSAPSR3.
# Needs PASSWORD (the sign-on) and PASSWORD_VALUE (its scrambled value).
# make_side_by_side DIR LIBRARY [DRIVE_ROOT]: PRD (with SapRfc.PRD) and DEV
# measured, QAS refused (with SapRfc.QAS), CFL whose first call fails, UNR
# on a host of no system; all five listed under the key PSAPSR3.
make_side_by_side() {
  mkdir -p "$1" "$1-wrong"
  { [ -z "${3:-}" ] || printf 'Driveroot..: %s\n' "$3"; printf 'Rfclibrary.: %s\n' "$2"; } >"$1/Fennick.Ini"
  local sid host nr client
  while read -r sid host nr client; do
    printf 'Extcompany.: ACME\nDestination: %s\nClient.....: %s\nUser.......: monitor\nPassword...: %s\n' \
      "$sid" "$client" "$PASSWORD_VALUE" >"$1/$sid.P00"
    printf 'Language...: E\nMode.......: R/3\nHostname...: %s\nSysnr......: %s\nGwhost.....: gw%s\nGwservice..: sapgw%s\n' \
      "$host" "$nr" "$host" "$nr" >>"$1/$sid.P00"
  done <<'SYSTEMS'
PRD sapprd01 00 100
DEV sapdev01 20 300
QAS sapqas01 10 200
CFL sapcfl01 30 400
UNR sapunr01 40 500
SYSTEMS
  printf 'DEST=PRD\nTYPE=A\nASHOST=sapprd01\nSYSNR=00\n' >"$1/SapRfc.PRD"
  printf 'DEST=QAS\nTYPE=A\nASHOST=sapqas01\nSYSNR=10\n' >"$1/SapRfc.QAS"
  cat >"$1/sapsim.ini" <<LANDSCAPE
[PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
passwd = $PASSWORD
tablespace = PSAPSR3 2000000 500000 75
tablespace = PSAPUNDO 400000 380000 5
tablespace = SYSTEM 100000 5000 95
[DEV]
ashost = sapdev01
sysnr = 20
client = 300
user = MONITOR
passwd = $PASSWORD
tablespace = PSAPSR3 3000000 300000 90
tablespace = SYSTEM 100000 50000 50
[QAS]
ashost = sapqas01
sysnr = 10
client = 200
user = MONITOR
passwd = $PASSWORD
fault = logon
trace = **** ERROR file opened at 20261208 101500 UTC, SAP-REL 640,0,0 RFC-VER 3
trace = ERROR       Name or password is incorrect. Please re-enter
lasterror = RFC_LOGON_FAILURE||Name or password is incorrect. Please re-enter|
[CFL]
ashost = sapcfl01
sysnr = 30
client = 400
user = MONITOR
passwd = $PASSWORD
tablespace = PSAPSR3 2000000 500000 75
fault = call RFC_SYSTEM_INFO 1
LANDSCAPE
  printf '# Gsng: PSAPSR3     PRD.P00#DEV.P00#QAS.P00#CFL.P00#UNR.P00#\n' >"$1/Vireo.Prf"
}
