# The stand-in landscape both real-monitor tests run against, sourced by
# run.sh and icinga.sh: PRD measured, QAS refusing its logon, DEV measured,
# a group over them with limits and a profile that does not exist, and a
# group without limits whose only problem is the refused logon. No
# Fennick.Ini: the shipped definitions choose the plugin form themselves.
#
#   make_landscape FOLDER NATIVE_BUILD_DIR
make_landscape() {
  local land=$1 build=$2
  mkdir -p "$land"
  cat > "$land/sapsim.ini" <<'INI'
[PRD]
ashost     = sapprd01
sysnr      = 00
client     = 100
user       = MONITOR
passwd     = Nagios!PRD
tablespace = PSAPSR3    10000000  2000000  80
tablespace = PSAPUNDO    4000000  2400000  40
tablespace = SYSTEM      1000000    50000  95

[QAS]
ashost     = sapqas01
sysnr      = 10
client     = 100
user       = MONITOR
passwd     = Nagios!QAS
fault      = logon
trace      = **** ERROR file opened at 20261208 101500 UTC, SAP-REL 753,0,1100 RFC-VER U 3
trace      = ERROR       Name or password is incorrect (repeat logon)

[DEV]
ashost     = sapdev01
sysnr      = 20
client     = 100
user       = MONITOR
passwd     = Nagios!DEV
tablespace = PSAPSR3     4000000  2000000  50
INI
  local sid sysnr password host
  while read -r sid sysnr password; do
    host=sap$(tr 'A-Z' 'a-z' <<<"$sid")01
    cat > "$land/$sid.P00" <<PROFILE
Extcompany.: ACME Industries
Destination: $sid
Client.....: 100
User.......: monitor
Password...: $("$build/bin/fennick-passwd" "$password")
Language...: E
Mode.......: R/3
Hostname...: $host
Sysnr......: $sysnr
Gwhost.....: $host
Gwservice..: sapgw$sysnr
PROFILE
  done <<'SYSTEMS'
PRD 00 Nagios!PRD
QAS 10 Nagios!QAS
DEV 20 Nagios!DEV
SYSTEMS
  cat > "$land/SAP Vireo.Gbl" <<'LISTING'
# GSNG: PSAPSR3   = PRD.P00#QAS.P00#DEV.P00#GONE.P00#
# GSNX: PSAPSR3   =Item=PSAPSR3,Sid,WARN=25,Sensor="SAP Fennick"
# GSNG: REFUSED   = PRD.P00#QAS.P00#
# GSNX: REFUSED   =Item=PSAPSR3,Sid,Sensor="SAP Fennick"
LISTING
}

# The shipped definition FILE with the installed paths pointed at the build
# and the landscape.
#   shipped FILE LANDSCAPE NATIVE_BUILD_DIR
shipped() {
  sed -e "s#/etc/fennick#$2#g" -e "s#/usr/bin/fennick#$3/bin/fennick#g" "$1"
}
