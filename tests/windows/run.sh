#!/usr/bin/env bash
# The Windows builds, checked and run under Wine: builds the 32-bit and
# 64-bit cross targets, checks what the binaries import and export, and runs
# every end-to-end case against them, once for each RFC library. Says
# plainly what it skips when a tool is missing or the machine cannot start
# 32-bit programs; a program that starts and misbehaves is a failure.
#
#   tests/windows/run.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
native=${1:-build}
runner="$native/bin/e2e_runner"
passwd="$(realpath "$native/bin/fennick-passwd")"
passed=0
failed=0

say() { printf 'windows: %s\n' "$*"; }
fail() { say "FAILED: $*"; failed=$((failed + 1)); }

# Configured whenever the generated build files are missing: a configure
# that failed before leaves nothing that stops this one.
build() {  # toolchain build-dir
  if [ ! -f "$2/Makefile" ] || [ ! -f "$2/CMakeCache.txt" ]; then
    rm -f "$2/CMakeCache.txt"
    if ! cmake -S . -B "$2" -DCMAKE_TOOLCHAIN_FILE="cmake/$1.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null; then
      rm -rf "$2/CMakeCache.txt" "$2/CMakeFiles" "$2/Makefile"
      return 1
    fi
  fi
  cmake --build "$2" -j 2 >/dev/null
}

# The stand-ins export the libraries' functions under their plain names.
check_exports() {  # objdump dll name...
  local objdump=$1 dll=$2 exports name
  shift 2
  exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for name in "$@"; do
    grep -qE "\] $name\$" <<<"$exports" || { say "$(basename "$dll") does not export $name"; ok=0; }
  done
  if grep -q '@' <<<"$exports"; then say "$(basename "$dll") exports decorated names"; ok=0; fi
}

# On 32-bit Windows each __stdcall function pops its arguments; the symbol
# before --kill-at says how many bytes, which must be the vendor's.
check_stack_bytes() {  # nm static-library name@bytes...
  local nm=$1 library=$2 symbols entry
  shift 2
  symbols=$("$nm" "$library")
  for entry in "$@"; do
    grep -qE " T _$entry\$" <<<"$symbols" || { say "$(basename "$library") has no _$entry"; ok=0; }
  done
}

# Only Windows' own DLLs may be imported.
check_binaries() {  # objdump bin-dir
  local objdump=$1 dir=$2 f dlls name
  ok=1
  for f in fennick.exe fennick-passwd.exe librfc32.dll sapnwrfc.dll platform_check.exe; do
    dlls=$("$objdump" -p "$dir/$f" | awk '/DLL Name:/ {print $3}' | sort -u | tr '\n' ' ')
    for name in $dlls; do
      case "$name" in KERNEL32.dll|ADVAPI32.dll|msvcrt.dll) ;; *) say "$f imports $name"; ok=0 ;; esac
    done
  done
  check_exports "$objdump" "$dir/librfc32.dll" RfcEnvironment RfcOpen RfcOpenEx RfcClose RfcLastError \
    RfcInstallStructure RfcCall RfcReceive ItCreate ItFill ItGetLine ItDelete ItAppLine
  check_exports "$objdump" "$dir/sapnwrfc.dll" RfcOpenConnection RfcCloseConnection RfcGetFunctionDesc \
    RfcCreateFunction RfcInvoke RfcDestroyFunction RfcGetStructure RfcGetTable RfcGetRowCount RfcMoveTo \
    RfcGetCurrentRow RfcGetChars RfcGetString RfcGetInt RfcGetVersion
  if [ $ok = 1 ]; then passed=$((passed + 1)); say "$dir: imports and exports ok"; else fail "$dir: imports or exports"; fi
}

check_calling_convention() {  # nm build-dir
  ok=1
  check_stack_bytes "$1" "$2/sim/librfcsim_core.a" RfcEnvironment@4 RfcOpen@4 RfcClose@4 RfcLastError@4 \
    ItFill@4 ItDelete@4 ItAppLine@4 RfcOpenEx@8 ItGetLine@8 RfcInstallStructure@16 RfcCall@16 RfcReceive@16 \
    ItCreate@16
  check_stack_bytes "$1" "$2/sim/libnwrfcsim_core.a" RfcOpenConnection@12 RfcCloseConnection@8 \
    RfcGetFunctionDesc@12 RfcCreateFunction@8 RfcInvoke@12 RfcDestroyFunction@8 RfcGetStructure@16 \
    RfcGetTable@16 RfcGetRowCount@12 RfcMoveTo@12 RfcGetCurrentRow@8 RfcGetChars@20 RfcGetString@24 \
    RfcGetInt@16 RfcGetVersion@12
  if [ $ok = 1 ]; then passed=$((passed + 1)); say "$2: __stdcall stack bytes ok"; else fail "$2: stack bytes"; fi
}

# The wine server beside the wine command, else the one on the PATH.
wineserver_() {  # wine-command option
  "${1%/*}/wineserver" "$2" 2>/dev/null || wineserver "$2" 2>/dev/null || true
}

# One wineserver for the prefix that stays until the cases are done. Debian's
# wineserver wrapper starts it with -p0: it begins to shut down the moment no
# Windows program runs, and programs started while it goes down do not call
# that off (back to back, the server was replaced every 3 s or so). A program
# that connects just as it goes away ends at once with exit code 1, no output
# and "wine client error:0: recvmsg: Connection reset by peer". -p, given
# last, keeps the server for good; it is ended with -k when the cases are
# done, or when this script stops early.
persistent_server() {  # wine-command
  local server=${1%/*}/wineserver
  [ -x "$server" ] || server=wineserver
  "$server" -k 2>/dev/null || true  # the one wineboot started, going down already
  "$server" -w 2>/dev/null || true
  "$server" -p
}
trap '[ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true' EXIT

# Wine without address randomisation, as the runner starts it: this Wine has
# no preloader, and a randomised heap now and then takes the page Wine needs
# for Windows' shared user data (see Run in tests/e2e/runner.cpp).
fixed_addresses() { setarch "$(uname -m)" -R "$@"; }

run_cases() {  # wine-command bin-dir label other-width-bin-dir
  local wine=$1 dir=$2 label=$3 other=$4 prefix out backend case_file
  prefix=$(mktemp -d /tmp/fennick-wine-XXXXXX)
  export WINEPREFIX=$prefix WINEDEBUG=-all
  fixed_addresses "$wine" wineboot -i >/dev/null 2>&1 || true
  persistent_server "$wine"
  # Wine runs; the program must now behave. A wrong answer here is a
  # failure, never a reason to skip.
  out=$(fixed_addresses "$wine" "$dir/fennick.exe" 2>/dev/null || true)
  if [ "$out" != "$(printf '<Prtg>\n<Error>1</Error>\n<Text>Error 1001: Parameter for Profile-Name is missing !</Text>\n</Prtg>')" ]; then
    fail "$label fennick.exe without arguments did not print the Error 1001 document"
  fi
  for backend in classic netweaver; do
    for case_file in tests/e2e/cases/*.case; do
      "$runner" --fennick "$dir/fennick.exe" --passwd "$passwd" --cases "$case_file" --backend "$backend" \
        --wine --wine-prefix "$prefix" --wine-command "$wine" > "$prefix/report" 2>&1 || true
      grep -v '^ok ' "$prefix/report" | grep -v 'cases passed$' || true
      # "N of M cases passed" closes every report the runner finishes.
      if [[ $(tail -n 1 "$prefix/report") =~ ^([0-9]+)\ of\ ([0-9]+)\ cases\ passed$ ]]; then
        passed=$((passed + BASH_REMATCH[1]))
        failed=$((failed + BASH_REMATCH[2] - BASH_REMATCH[1]))
      else
        failed=$((failed + 1))
      fi
      say "$label $backend: $(tail -n 1 "$prefix/report") in $(basename "$case_file")"
    done
  done
  platform_check "$wine" "$dir" "$label"
  killed_parent "$wine" "$dir" "$label" "$prefix"
  random_kills "$wine" "$label" "$prefix"
  ctrl_c "$wine" "$label" "$prefix"
  other_width "$wine" "$dir" "$label" "$prefix" "$other"
  wineserver_ "$wine" -k
  rm -rf "$prefix"
}

# The platform layer's own check (appends and replacements side by side,
# children started from threads, the sweep), as natively under ctest.
platform_check() {  # wine-command bin-dir label
  local wine=$1 dir=$2 label=$3 report
  report=$(fixed_addresses "$wine" "$dir/platform_check.exe" 2>&1 || true)
  grep -E 'FAILED|skipped' <<<"$report" || true
  if [[ $(tail -n 1 <<<"$report") =~ ^platform_check:\ ([0-9]+)\ passed,\ 0\ failed ]]; then
    passed=$((passed + 1))
    say "$label platform check: ${BASH_REMATCH[1]} checks passed"
  else
    fail "$label platform check: $(tail -n 1 <<<"$report")"
  fi
}

# Directories with what they hold, the marker's text with it.
with_contents() {  # directory...
  local d
  for d in "$@"; do
    printf '%s [%s%s] ' "$d" "$(ls -A "$d" | tr '\n' ' ')" "$(tr -d '\n' <"$d/fennick.owner" 2>/dev/null || true)"
  done
}

# A group on the classic library whose parent the monitor kills: the job
# object ends its four children with it, and the next run removes the
# private directories they had no chance to remove.
killed_parent() {  # wine-command bin-dir label prefix
  local wine=$1 dir=$2 label=$3 prefix=$4 work value i parent left temp holder stayed
  work=$prefix/drive_c/killed
  mkdir -p "$work"
  value=$("$passwd" Secret1)
  for i in 1 2 3 4; do
    printf '[S%d]\nashost = h%d\nsysnr = 0%d\nclient = 100\nuser = MONITOR\npasswd = Secret1\ndelay_ms = 30000\n' \
      "$i" "$i" "$i" >>"$work/sapsim.ini"
    printf 'Extcompany.: ACME\nDestination: SY%d\nClient.....: 100\nUser.......: monitor\nPassword...: %s\n' \
      "$i" "$value" >"$work/S$i.P00"
    printf 'Language...: E\nMode.......: R/3\nHostname...: h%d\nSysnr......: 0%d\nGwhost.....: gw\nGwservice..: sapgw00\n' \
      "$i" "$i" >>"$work/S$i.P00"
  done
  printf '# Gsng: PSAPSR3     S1.P00#S2.P00#S3.P00#S4.P00#\n' >"$work/Vireo.Prf"
  cp "$dir/fennick.exe" "$dir/librfc32.dll" "$work/"
  (cd "$work" && exec setarch "$(uname -m)" -R "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1) &
  # A child makes its private folder only once it has read its request:
  # the parent is killed when all four have one, else the sweep below
  # would have no dead run's folder to clear.
  for _ in $(seq 100); do
    temp=$(find "$prefix/drive_c/users" -maxdepth 2 -name Temp -type d | head -n 1)
    [ "$(pgrep -fc 'killed.fennick.exe' || true)" -ge 4 ] && [ -n "$temp" ] &&
      [ "$(find "$temp" -maxdepth 1 -name 'fennick-*' -type d | wc -l)" -ge 4 ] && break
    sleep 0.1
  done
  parent=$(pgrep -f '^\./fennick\.exe x' | head -n 1 || true)
  holder=""
  [ -z "$temp" ] || holder=$(find "$temp" -maxdepth 1 -name 'fennick-*' -type d | head -n 1)
  if [ -z "$parent" ] || [ "$(pgrep -fc 'killed.fennick.exe' || true)" -lt 4 ] || [ -z "$holder" ]; then
    fail "$label killed parent: the group and its four children did not start, or made no private folder"
    [ -n "$parent" ] && kill -9 "$parent"
    return
  fi
  kill -9 "$parent"
  for _ in $(seq 100); do
    [ "$(pgrep -fc 'killed.fennick.exe' || true)" -eq 0 ] && break
    sleep 0.1
  done
  left=$(pgrep -fc 'killed.fennick.exe' || true)
  sed -i 's/delay_ms = 30000/delay_ms = 0/' "$work/sapsim.ini"
  # Links to folders of someone's files, one named like a private folder and
  # two inside a dead run's: the next run's sweep must leave their targets
  # alone. Wine shows a Unix symbolic link to a folder as a reparse point,
  # as Windows shows a junction, and one to a file as a plain file; as Wine
  # deletes through them, the folder holding them stays there.
  mkdir -p "$work/target" "$work/inner"
  echo keep >"$work/target/precious"
  echo keep >"$work/inner/precious"
  ln -s "$work/target" "$temp/fennick-99999"
  ln -s "$work/inner" "$holder/folder-link"
  ln -s "$work/inner/precious" "$holder/file-link"
  (cd "$work" && fixed_addresses "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1) || true
  if [ "$left" -ne 0 ]; then
    fail "$label killed parent: $left children outlived it"
  elif stayed=$(find "$prefix/drive_c/users" -name 'fennick-*' ! -name fennick-99999 ! -path "$holder") &&
    [ -n "$stayed" ]; then
    fail "$label killed parent: private directories stayed after the next run: $(with_contents $stayed)"
  elif [ ! -f "$work/target/precious" ] || [ ! -L "$temp/fennick-99999" ] || [ ! -f "$work/inner/precious" ]; then
    fail "$label killed parent: the sweep followed a link"
  else
    passed=$((passed + 1))
    say "$label killed parent: its children ended with it, the next run removed their directories, no link's target"
  fi
  rm -rf "$temp/fennick-99999" "$holder"
}

# Kills at random moments of a group run, of the program alone and of its
# whole process group: the job object ends the children, and the next group
# run sweeps what they left.
random_kills() {  # wine-command label prefix
  local wine=$1 label=$2 prefix=$3 work=$3/drive_c/killed round victim left stayed
  sed -i 's/delay_ms = .*/delay_ms = 20/' "$work/sapsim.ini"
  RANDOM=$$
  for round in 1 2 3 4 5 6; do
    if [ $((round % 2)) = 0 ]; then
      (cd "$work" && exec setsid setarch "$(uname -m)" -R "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1) &
    else
      (cd "$work" && exec setarch "$(uname -m)" -R "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1) &
    fi
    victim=$!
    sleep "$((RANDOM % 2)).$(printf '%03d' $((RANDOM % 1000)))"
    if [ $((round % 2)) = 0 ]; then kill -9 -- "-$victim" 2>/dev/null || true; else kill -9 "$victim" 2>/dev/null || true; fi
    wait "$victim" 2>/dev/null || true
    for _ in $(seq 100); do
      [ "$(pgrep -fc 'killed.fennick.exe' || true)" -eq 0 ] && break
      sleep 0.1
    done
  done
  left=$(pgrep -fc 'killed.fennick.exe' || true)
  (cd "$work" && fixed_addresses "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >/dev/null 2>&1) || true
  stayed=$(find "$prefix/drive_c/users" -name 'fennick-*')
  if [ "$left" -ne 0 ]; then
    fail "$label random kills: $left children outlived their parent"
  elif [ -n "$stayed" ]; then
    fail "$label random kills: private directories stayed after the next run: $(with_contents $stayed)"
  else
    passed=$((passed + 1))
    say "$label random kills: no child and no private directory left"
  fi
}

# Ctrl+C (Wine turns SIGINT into it; it has no way to send Ctrl+Break or a
# console's close, and ends a program on SIGTERM itself) while a group's
# four children wait: the group's document is closed as the time budget
# closes it, the children end and their private directories go.
ctrl_c() {  # wine-command label prefix
  local wine=$1 label=$2 prefix=$3 work=$3/drive_c/stopped round parent out left stayed problem=""
  mkdir -p "$work"
  cp "$prefix/drive_c/killed/"*.P00 "$prefix/drive_c/killed/Vireo.Prf" "$prefix/drive_c/killed/fennick.exe" \
    "$prefix/drive_c/killed/librfc32.dll" "$work/"
  sed 's/delay_ms = .*/delay_ms = 30000/' "$prefix/drive_c/killed/sapsim.ini" >"$work/sapsim.ini"
  for round in 1 2 3; do
    (cd "$work" && exec setarch "$(uname -m)" -R "$wine" ./fennick.exe x 'ITEM=PSAPSR3,PARALLEL=4' >"$work/out" 2>&1) &
    for _ in $(seq 100); do
      [ "$(pgrep -fc 'stopped.fennick.exe' || true)" -ge 4 ] && break
      sleep 0.1
    done
    parent=$(pgrep -f '^\./fennick\.exe x' | head -n 1 || true)
    [ -n "$parent" ] && kill -INT "$parent"
    wait $! 2>/dev/null || true
    for _ in $(seq 50); do
      [ "$(pgrep -fc 'stopped.fennick.exe' || true)" -eq 0 ] && break
      sleep 0.1
    done
    left=$(pgrep -fc 'stopped.fennick.exe' || true)
    stayed=$(find "$prefix/drive_c/users" -name 'fennick-*')
    out=$(tr -d '\r' <"$work/out")
    if ! grep -q '^<Text>(\*\*\*) PSAPSR3: NoSystems=4, Processed=0, Failed=4 (Timeout after [0-9]* s)' <<<"$out"; then
      problem="round $round: no document closed as the budget closes it: $out"
    elif [ "$left" -ne 0 ]; then
      problem="round $round: $left children outlived the run"
    elif [ -n "$stayed" ]; then
      problem="round $round: private directories stayed: $(with_contents $stayed)"
    fi
    [ -z "$problem" ] || break
  done
  if [ -n "$problem" ]; then
    fail "$label Ctrl+C: $problem"
  else
    passed=$((passed + 1))
    say "$label Ctrl+C: the group's document closed, no child and no private directory left"
  fi
}

# The program beside a library of the other width (the 64-bit librfc32.dll
# beside the 32-bit program, and so on), each library alone: the error
# names the library's width and the build to use, not a missing file.
other_width() {  # wine-command bin-dir label prefix other-width-bin-dir
  local wine=$1 dir=$2 label=$3 prefix=$4 other=$5 own bits build lib work out expected
  if [ ! -f "$other/librfc32.dll" ] || [ ! -f "$other/sapnwrfc.dll" ]; then
    say "SKIPPED $label beside libraries of the other width: $other is not built"
    return
  fi
  if [ "$label" = 32-bit ]; then own=32 bits=64 build=x64; else own=64 bits=32 build=x86; fi
  for lib in librfc32.dll sapnwrfc.dll; do
    work=$prefix/drive_c/width-$lib
    mkdir -p "$work"
    cp "$dir/fennick.exe" "$other/$lib" "$work/"
    printf 'Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nUser.......: monitor\nPassword...: %s\n' \
      "$("$passwd" Secret1)" >"$work/PRD.P00"
    printf 'Language...: E\nMode.......: R/3\nHostname...: h1\nSysnr......: 00\nGwhost.....: gw\nGwservice..: sapgw00\n' \
      >>"$work/PRD.P00"
    out=$(cd "$work" && fixed_addresses "$wine" ./fennick.exe PRD 2>/dev/null || true)
    expected=$(printf '<Prtg>\n<Error>1</Error>\n<Text>RFC library %s beside the program is a %d-bit library; the %d-bit fennick.exe needs the %d-bit one (or use the %s build)</Text>\n</Prtg>' \
      "$lib" "$bits" "$own" "$own" "$build")
    if [ "$out" = "$expected" ]; then
      passed=$((passed + 1))
      say "$label beside the $bits-bit $lib: named as such"
    else
      fail "$label beside the $bits-bit $lib printed: $out"
    fi
  done
}

# Whether this machine can start Wine's 32-bit loader at all: a kernel
# without 32-bit support says "Exec format error" here.
can_start_32_bit() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Both builds first: each program's run also uses the other build's libraries.
built32=0
built64=0
if command -v i686-w64-mingw32-g++ >/dev/null; then
  if build mingw-i686 build-win; then
    built32=1
    check_binaries i686-w64-mingw32-objdump build-win/bin
    check_calling_convention i686-w64-mingw32-nm build-win
  else
    fail "the 32-bit Windows build did not configure"
  fi
else
  say "SKIPPED the 32-bit Windows build: i686-w64-mingw32-g++ is not installed"
fi

if command -v x86_64-w64-mingw32-g++ >/dev/null; then
  if build mingw-x86_64 build-win64; then
    built64=1
    check_binaries x86_64-w64-mingw32-objdump build-win64/bin
  else
    fail "the 64-bit Windows build did not configure"
  fi
else
  say "SKIPPED the 64-bit Windows build: x86_64-w64-mingw32-g++ is not installed"
fi

if [ $built32 = 1 ]; then
  if ! command -v wine >/dev/null; then
    say "SKIPPED the 32-bit end-to-end cases: Wine is not installed"
  elif ! can_start_32_bit; then
    say "SKIPPED the 32-bit end-to-end cases: this machine cannot start 32-bit programs (/usr/lib/wine/wine)"
  else
    run_cases wine "$(realpath build-win/bin)" "32-bit" "$(realpath -m build-win64/bin)"
  fi
fi

if [ $built64 = 1 ]; then
  if [ -x /usr/lib/wine/wine64 ]; then
    run_cases /usr/lib/wine/wine64 "$(realpath build-win64/bin)" "64-bit" "$(realpath -m build-win/bin)"
    # Many runs at once in one folder, as PRTG starts its sensors.
    if tests/concurrency/run.sh --wine build-win64/bin /usr/lib/wine/wine64 "${WINDOWS_SIDE_RUNS:-120}" 20 "$native" \
        >"$native/side-by-side-wine.log" 2>&1; then
      passed=$((passed + 1))
      say "64-bit runs side by side in one folder: $(grep -h 'side by side' "$native/side-by-side-wine.log" | tr '\n' ' ')"
    else
      fail "64-bit runs side by side in one folder"
      cat "$native/side-by-side-wine.log"
    fi
    # Runs of one system side by side keep every sample of its history.
    if tests/history/run.sh --wine build-win64/bin /usr/lib/wine/wine64 "$native" 1 >"$native/history-wine.log" 2>&1; then
      passed=$((passed + 1))
      say "64-bit $(tail -n 1 "$native/history-wine.log")"
    else
      fail "64-bit histories of runs side by side"
      cat "$native/history-wine.log"
    fi
  else
    say "SKIPPED the 64-bit end-to-end cases: wine64 is not installed"
  fi
fi

echo "windows: $passed passed, $failed failed"
[ "$failed" = 0 ]
