#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 20)
# on a scratch copy of its seed corpus. Any crash, leak, timeout or
# sanitizer report fails the run and names the target.
#
#   tests/fuzz/run.sh [SECONDS]
set -euo pipefail

SECONDS_EACH="${1:-20}"
if ! [[ "$SECONDS_EACH" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]  (a whole number of seconds per target, default 20)" >&2
  exit 2
fi

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
BUILD="${FUZZ_BUILD:-$ROOT/build-fuzz}"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"
TARGETS=(command_line settings profile listing prtg_path trace_scan packed sapsim_ini password xml_text nw_text history)

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found; libFuzzer comes with clang" >&2
  exit 2
fi

# New corpus entries and crash files go to a scratch folder, never into the
# repository. It is kept when something failed, to look at the inputs.
SCRATCH="$(mktemp -d "${TMPDIR:-/tmp}/fennick-fuzz.XXXXXX")"
failed_targets=()
finish() {
  if [ "${#failed_targets[@]}" -eq 0 ]; then rm -rf "$SCRATCH"; fi
}
trap finish EXIT

if ! { cmake -S "$HERE" -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ &&
       cmake --build "$BUILD" -j "$JOBS"; } >"$SCRATCH/build.log" 2>&1; then
  cat "$SCRATCH/build.log" >&2
  echo "fuzz: building the targets in $BUILD failed" >&2
  exit 2
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

# What the log says went wrong, for the result line.
classify() {
  local log="$1"
  if grep -q "ERROR: libFuzzer: timeout" "$log"; then echo "timeout"
  elif grep -q "ERROR: LeakSanitizer" "$log"; then echo "leak"
  elif grep -q "ERROR: AddressSanitizer" "$log"; then echo "memory error"
  elif grep -q "runtime error:" "$log"; then echo "undefined behaviour"
  elif grep -q "fuzz check failed" "$log"; then echo "check failed"
  elif grep -q "out-of-memory" "$log"; then echo "out of memory"
  elif grep -q "deadly signal" "$log"; then echo "crash"
  else echo "failed"
  fi
}

passed=0
for target in "${TARGETS[@]}"; do
  work="$SCRATCH/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  if [ -d "$HERE/corpus/$target" ]; then cp -R "$HERE/corpus/$target/." "$work/corpus/"; fi
  log="$work/fuzz.log"

  status=0
  # libFuzzer stops itself after -max_total_time; the outer limit only
  # catches a target that cannot be stopped at all.
  timeout $((SECONDS_EACH * 2 + 120)) "$BUILD/fuzz_$target" "$work/corpus" \
    -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$log" 2>&1 || status=$?

  if [ "$status" -eq 0 ] && ! grep -qE "runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)" "$log"; then
    done_line="$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -n 1 || true)"
    runs="$(echo "$done_line" | awk '{print $2}')"
    took="$(echo "$done_line" | awk '{print $5}')"
    printf '%-13s passed (%s runs in %ss)\n' "$target" "${runs:-?}" "${took:-?}"
    passed=$((passed + 1))
  else
    reason="$(classify "$log")"
    [ "$status" -eq 124 ] && reason="did not stop"
    printf '%-13s FAILED: %s (exit %s)\n' "$target" "$reason" "$status"
    artifact="$(find "$work/artifacts" -type f | head -n 1)"
    [ -n "$artifact" ] && printf '              input: %s\n' "$artifact"
    printf '              log:   %s\n' "$log"
    grep -m 5 -E "fuzz check failed|runtime error:|ERROR: |SUMMARY: " "$log" | sed 's/^/              /' || true
    failed_targets+=("$target")
  fi
done

echo "$passed passed, ${#failed_targets[@]} failed"
if [ "${#failed_targets[@]}" -ne 0 ]; then
  echo "failed: ${failed_targets[*]}"
  exit 1
fi
