#!/usr/bin/env bash
# The Windows build, checked and run under Wine: builds the cross targets,
# checks what the binaries import and export, and runs every end-to-end case
# against them. Says plainly what it skips when a tool is missing.
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

build() {  # toolchain build-dir
  if [ ! -f "$2/CMakeCache.txt" ]; then
    cmake -S . -B "$2" -DCMAKE_TOOLCHAIN_FILE="cmake/$1.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$2" -j 2 >/dev/null
}

# Only Windows' own DLLs may be imported, and the stand-ins export the
# libraries' functions under their plain names.
check_exports() {  # objdump dll name...
  local objdump=$1 dll=$2 exports name
  shift 2
  exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for name in "$@"; do
    grep -qE "\] $name\$" <<<"$exports" || { say "$(basename "$dll") does not export $name"; ok=0; }
  done
  if grep -q '@' <<<"$exports"; then say "$(basename "$dll") exports decorated names"; ok=0; fi
}

check_binaries() {  # objdump bin-dir
  local objdump=$1 dir=$2 ok=1 f dlls name
  for f in fennick.exe fennick-passwd.exe librfc32.dll sapnwrfc.dll; do
    dlls=$("$objdump" -p "$dir/$f" | awk '/DLL Name:/ {print $3}' | sort -u | tr '\n' ' ')
    for name in $dlls; do
      case "$name" in KERNEL32.dll|msvcrt.dll) ;; *) say "$f imports $name"; ok=0 ;; esac
    done
  done
  check_exports "$objdump" "$dir/librfc32.dll" RfcEnvironment RfcOpen RfcOpenEx RfcClose RfcLastError \
    RfcInstallStructure RfcCall RfcReceive ItCreate ItFill ItGetLine ItDelete ItAppLine
  check_exports "$objdump" "$dir/sapnwrfc.dll" RfcOpenConnection RfcCloseConnection RfcGetFunctionDesc \
    RfcCreateFunction RfcInvoke RfcDestroyFunction RfcGetStructure RfcGetTable RfcGetRowCount RfcMoveTo \
    RfcGetCurrentRow RfcGetChars RfcGetString RfcGetInt RfcGetVersion
  if [ $ok = 1 ]; then passed=$((passed + 1)); say "$dir: imports and exports ok"; else failed=$((failed + 1)); fi
}

run_cases() {  # wine-command bin-dir label
  local wine=$1 dir=$2 label=$3 prefix out
  prefix=$(mktemp -d /tmp/fennick-wine-XXXXXX)
  export WINEPREFIX=$prefix WINEDEBUG=-all
  "$wine" wineboot -i >/dev/null 2>&1 || true
  out=$("$wine" "$dir/fennick.exe" 2>/dev/null || true)
  if [ "$out" != "$(printf '<Prtg>\n<Error>1</Error>\n<Text>Error 1001: Parameter for Profile-Name is missing !</Text>\n</Prtg>')" ]; then
    say "SKIPPED the $label end-to-end cases: Wine cannot run $dir/fennick.exe on this machine"
    rm -rf "$prefix"
    return
  fi
  local case_file
  for case_file in tests/e2e/cases/*.case; do
    "$runner" --fennick "$dir/fennick.exe" --passwd "$passwd" --cases "$case_file" \
      --wine --wine-prefix "$prefix" --wine-command "$wine" > "$prefix/report" 2>&1 || true
    grep -v '^ok ' "$prefix/report" | grep -v 'cases passed$' || true
    # "N of M cases passed" closes every report the runner finishes.
    if [[ $(tail -n 1 "$prefix/report") =~ ^([0-9]+)\ of\ ([0-9]+)\ cases\ passed$ ]]; then
      passed=$((passed + BASH_REMATCH[1]))
      failed=$((failed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    else
      failed=$((failed + 1))
    fi
    say "$label $(tail -n 1 "$prefix/report") in $(basename "$case_file")"
  done
  "${wine%/*}/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}

if command -v i686-w64-mingw32-g++ >/dev/null; then
  build mingw-i686 build-win
  check_binaries i686-w64-mingw32-objdump build-win/bin
  if command -v wine >/dev/null; then
    run_cases wine "$(realpath build-win/bin)" "32-bit"
  else
    say "SKIPPED the 32-bit end-to-end cases: Wine is not installed"
  fi
else
  say "SKIPPED the Windows build: i686-w64-mingw32-g++ is not installed"
fi

# The same sources as a 64-bit Windows program, where Wine cannot run 32-bit
# ones: it runs the Windows code paths (paths, files, library loading).
if command -v x86_64-w64-mingw32-g++ >/dev/null && [ -x /usr/lib/wine/wine64 ]; then
  build mingw-x86_64 build-win64
  run_cases /usr/lib/wine/wine64 "$(realpath build-win64/bin)" "64-bit"
fi

echo "windows: $passed passed, $failed failed"
[ "$failed" = 0 ]
