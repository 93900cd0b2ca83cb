#!/usr/bin/env bash
# What an installation and the packages hold: installs into a scratch
# prefix and runs the installed fennick there, with the RFC stand-in found
# through LD_LIBRARY_PATH as a vendor library would be; builds the .deb and
# the .tar.gz as `make package` does, into the scratch folder, and checks
# their file lists, and has lintian judge the .deb (no error, no warning).
# With FENNICK_CI_DPKG=1 (set by .ci/run) and as root it also installs the
# .deb with dpkg, runs `fennick --help` and removes it.
#
# What this machine cannot check is said as SKIPPED; under CI (CI=true) a
# build without its man pages fails instead, since its package would ship
# without them.
#
#   tests/install/run.sh NATIVE_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
scratch=$(mktemp -d /tmp/fennick-install-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
skipped=0

say() { printf 'install: %s\n' "$*"; }
quietly() {  # command...: its output only when it fails
  "$@" > "$scratch/out" 2>&1 || { cat "$scratch/out"; return 1; }
}
check() {  # description command...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else say "FAILED: $what"; failed=$((failed + 1)); fi
}
skip() {  # reason
  say "SKIPPED $*"
  skipped=$((skipped + 1))
}

# The man pages are made by pandoc at build time; a build configured
# without it has none.
man_pages=$(sed -n 's/^FENNICK_MAN_PAGES_BUILT:INTERNAL=//p' "$build/CMakeCache.txt")
if [ "$man_pages" != ON ]; then
  why="the man pages: pandoc was not installed when $build was configured (apt-get install pandoc, then configure again: rm $build/CMakeCache.txt)"
  if [ "${CI:-}" = true ]; then
    say "FAILED: $why"
    failed=$((failed + 1))
  else
    skip "$why"
  fi
fi

# A file list (one path a line, relative to the prefix, directories left
# out) holds the two programs, their man pages and the documentation, and
# nothing else: no RFC stand-in, no test program.
wanted=(bin/fennick bin/fennick-passwd share/doc/fennick/README.md share/doc/fennick/CHANGELOG.md
  share/doc/fennick/copyright share/doc/fennick/changelog.gz
  share/doc/fennick/docs/README.md share/doc/fennick/docs/prtg.md share/doc/fennick/docs/nagios.md
  share/doc/fennick/docs/parameters.md share/doc/fennick/docs/errors.md
  share/doc/fennick/examples/PRD.P00 share/doc/fennick/examples/nagios/fennick.cfg
  share/doc/fennick/examples/nagios/fennick.conf share/doc/fennick/examples/nagios/fennick-services.cfg
  share/doc/fennick/examples/nagios/fennick-services.conf)
[ "$man_pages" = ON ] && wanted+=(share/man/man1/fennick.1.gz share/man/man1/fennick-passwd.1.gz)
check_files() {  # label list-file
  local label=$1 list=$2 path ok=1
  for path in "${wanted[@]}"; do
    grep -qxF "$path" "$list" || { say "$label lacks $path"; ok=0; }
  done
  while read -r path; do
    case $path in
      bin/fennick | bin/fennick-passwd | share/doc/fennick/*.md | share/doc/fennick/docs/*.md) ;;
      share/doc/fennick/copyright | share/doc/fennick/changelog.gz | share/doc/fennick/examples/*) ;;
      share/man/man1/fennick.1.gz | share/man/man1/fennick-passwd.1.gz) ;;
      *) say "$label holds $path"; ok=0 ;;
    esac
    case $path in *.so | *.so.* | *.dll) say "$label holds the library $path"; ok=0 ;; esac
  done < "$list"
  [ $ok = 1 ]
}

# make install, into a prefix of its own.
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" > "$scratch/install.out"
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) > "$scratch/installed"
check "make install's files" check_files "installed" "$scratch/installed"

# The installed program, against a one-system landscape.
mkdir -p "$scratch/rfc" "$scratch/landscape"
cp "$build/bin/librfccm.so" "$scratch/rfc/"
cat > "$scratch/landscape/sapsim.ini" <<'EOF'
[PRD]
ashost     = sapprd01
sysnr      = 00
client     = 100
user       = MONITOR
passwd     = Install1
tablespace = PSAPSR3    10000000  2500000  75
EOF
cat > "$scratch/landscape/PRD.P00" <<EOF
Extcompany.: ACME Industries
Destination: PRD
Client.....: 100
User.......: monitor
Password...: $("$prefix/bin/fennick-passwd" Install1)
Language...: E
Mode.......: R/3
Hostname...: sapprd01
Sysnr......: 00
Gwhost.....: sapprd01
Gwservice..: sapgw00
EOF
status_line=$(cd "$scratch/landscape" && LD_LIBRARY_PATH="$scratch/rfc" "$prefix/bin/fennick" PRD ',NAGIOS,WARN=30' | head -n 1 || true)
expected="FENNICK WARNING - PSAPSR3 25% free - (PRD) OraSizes: NoSpc=1, DataSz=10.000 MB, FreeSz=2.500 MB, Free=25% | 'PSAPSR3'=25%;30:;;0;100"
check "the installed fennick printed \"$status_line\"" test "$status_line" = "$expected"

# make package, into the scratch folder.
if ! (cd "$build" && cpack -B "$scratch/packages" > "$scratch/cpack.out" 2>&1); then
  cat "$scratch/cpack.out"
  say "FAILED: cpack"
  failed=$((failed + 1))
else
  deb=$(ls "$scratch"/packages/fennick_*.deb)
  tgz=$(ls "$scratch"/packages/fennick-*.tar.gz)
  tar -tzf "$tgz" | grep -v '/$' | sed 's|^[^/]*/||' | sort > "$scratch/tgz-files"
  check "the .tar.gz's files" check_files "$(basename "$tgz")" "$scratch/tgz-files"
  if command -v dpkg-deb >/dev/null; then
    # Mode, owner, size, date, time, then the path (blanks and all).
    dpkg-deb -c "$deb" | grep -v '^d' | sed -E 's/^([^ ]+ +){5}//; s|^\./usr/||' | sort > "$scratch/deb-files"
    check "the .deb's files below /usr" check_files "$(basename "$deb")" "$scratch/deb-files"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
    check "the .deb's control fields" test "$(dpkg-deb -f "$deb" Package Version Section | tr '\n' ' ')" \
      = "Package: fennick Version: $version Section: net "
    # The package's changelog names the version it is built as.
    changelog_version=$(sed -n '1s/^fennick (\([^)]*\)).*/\1/p' cmake/debian/changelog)
    check "cmake/debian/changelog's first entry ($changelog_version) is the version $version" \
      test "$changelog_version" = "$version"
  else
    skip "the .deb's file list: dpkg-deb is not installed"
  fi

  # Debian's own judge of packages: no error and no warning.
  if command -v lintian >/dev/null; then
    lintian_output=$(lintian --no-cfg --fail-on error,warning "$deb" 2>&1) && lintian_status=0 || lintian_status=$?
    # As root lintian says it would rather not be; that is no finding.
    findings=$(printf '%s\n' "$lintian_output" | grep -v '^running with root privileges is not recommended!$' || true)
    [ -n "$findings" ] && printf '%s\n' "$findings"
    check "lintian $(basename "$deb") (exit code $lintian_status)" test "$lintian_status" = 0 -a -z "$findings"
  else
    skip "lintian: it is not installed (apt-get install lintian)"
  fi

  # Only where asked for: it changes the machine's installed packages.
  if [ "${FENNICK_CI_DPKG:-}" = 1 ] && [ "$(id -u)" = 0 ]; then
    if dpkg -s fennick >/dev/null 2>&1; then
      skip "dpkg -i: a fennick package is installed already"
    else
      check "dpkg -i of $(basename "$deb")" quietly dpkg -i "$deb"
      check "/usr/bin/fennick --help" quietly /usr/bin/fennick --help
      if [ "$man_pages" = ON ] && command -v man >/dev/null; then
        check "man -l /usr/share/man/man1/fennick.1.gz" quietly man -l /usr/share/man/man1/fennick.1.gz
      fi
      check "dpkg -r fennick" quietly dpkg -r fennick
    fi
  fi
fi

say "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
