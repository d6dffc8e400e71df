#!/usr/bin/env bash
# CI: the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer (preset asan,
# build-asan/), the tests that use threads under ThreadSanitizer (preset tsan, build-tsan/), then
# every libFuzzer target for a bounded time (preset fuzz, build-fuzz/).
# Exits non-zero on any build failure, failed test, data race or fuzzer finding.
#
#   fuzz/run-sanitizers-and-fuzzers.sh
#
# TESSARIN_FUZZ_SECONDS (default 60) bounds each fuzz target; TESSARIN_JOBS (default: the
# number of processors) bounds the build; TESSARIN_PNGSUITE_DIR (default ../shared/pngsuite)
# adds PngSuite's files to the image corpus when present.
# Run it as root, or as a user who may use sudo (only the package installation needs it).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fuzz_seconds=${TESSARIN_FUZZ_SECONDS:-60}
jobs=${TESSARIN_JOBS:-$(nproc)}
pngsuite=${TESSARIN_PNGSUITE_DIR:-$root/../shared/pngsuite}
targets=(fuzz_setting_file fuzz_raster_image fuzz_set_extras)

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins
  qt6-tools-dev qt6-l10n-tools
  libdeflate-dev zlib1g-dev libpng-dev
  libgtest-dev
  fonts-ipafont-gothic
  clang-14 libclang-rt-14-dev llvm-14
)
tools/install-missing-packages.sh "${packages[@]}"

# The same settings as the presets give ctest, for the fuzz targets run directly below.
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/third-party-leaks.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
[ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer

failures=()
summary=()
started=$SECONDS
stage() { printf '\n=== %s (%ds in)\n' "$1" $((SECONDS - started)); }

# Builds and runs a sanitizer preset's tests, noting the outcome under its name.
sanitized_tests() {
  local preset=$1
  cmake --preset "$preset"
  cmake --build --preset "$preset" --parallel "$jobs"
  if ctest --preset "$preset" --parallel "$jobs"; then
    summary+=("$preset tests: passed")
  else
    failures+=("$preset tests")
    summary+=("$preset tests: FAILED")
  fi
}

stage "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitized_tests asan

stage "Tests that use threads, under ThreadSanitizer"
sanitized_tests tsan

stage "Fuzz targets"
cmake --preset fuzz
cmake --build --preset fuzz --parallel "$jobs"

# A fresh copy of each corpus, so a run never changes what is committed.
fill_corpus() {
  local target=$1 corpus=$2
  case "$target" in
    fuzz_setting_file)
      cp fuzz/corpus/setting_file/* "$corpus/"
      local n=0 file
      for file in examples/Graphics/*/setting.txt; do
        [ -f "$file" ] && cp "$file" "$corpus/example-$((n += 1)).txt"
      done
      ;;
    fuzz_raster_image)
      cp fuzz/corpus/raster_image/* "$corpus/"
      if compgen -G "$pngsuite/png/*.png" >/dev/null; then
        cp "$pngsuite"/png/*.png "$corpus/"
      else
        echo "PngSuite not found under $pngsuite/png: fuzzing from the committed seeds only"
      fi
      ;;
    fuzz_set_extras)
      # The target reads its first byte as the sheet's size: "0" is 192 x 192.
      cp fuzz/corpus/set_extras/* "$corpus/"
      local n=0 file
      for file in examples/Graphics/*/set.json examples/Graphics/*/CREDITS.csv; do
        [ -f "$file" ] && { printf 0; cat "$file"; } >"$corpus/example-$((n += 1))"
      done
      ;;
  esac
}

for target in "${targets[@]}"; do
  binary=build-fuzz/bin/$target
  work=build-fuzz/fuzz-run/$target
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  fill_corpus "$target" "$work/corpus"

  # Every input that once failed, first.
  regressions=(fuzz/regressions/"$target"/*)
  if [ -f "${regressions[0]}" ]; then
    if ! "$binary" "${regressions[@]}" >"$work/regressions.log" 2>&1; then
      tail -n 60 "$work/regressions.log"
      failures+=("$target regressions")
      summary+=("$target: a kept regression fails again (see $work/regressions.log)")
      continue
    fi
  fi

  echo "Fuzzing $target for ${fuzz_seconds}s on $(find "$work/corpus" -type f | wc -l) seeds"
  status=0
  options=()
  [ -f "fuzz/${target#fuzz_}.dict" ] && options+=(-dict="fuzz/${target#fuzz_}.dict")
  "$binary" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 "${options[@]}" \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
    "$work/corpus" >"$work/fuzz.log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/fuzz.log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$work/fuzz.log")
  coverage=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$work/fuzz.log" | tail -n 1 |
    sed -n 's/.*\(cov: [0-9]* ft: [0-9]*\).*/\1/p' || true)
  line="$target: ${runs:-?} runs, ${speed:-?} exec/s, ${coverage:-cov: ?}, peak ${rss:-?} MB"
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
    grep -E -A 40 '==[0-9]+==ERROR|runtime error|invariant broken|ERROR: libFuzzer' \
      "$work/fuzz.log" | head -n 80 || tail -n 60 "$work/fuzz.log"
    failures+=("$target")
    summary+=("$line, FINDING (exit $status): $(ls "$work/artifacts" | tr '\n' ' ')")
    echo "Keep the input under fuzz/regressions/$target/ and add a test that loads it."
  else
    summary+=("$line, no findings")
  fi
done

stage "Summary"
printf '%s\n' "${summary[@]}"
echo "Total: $((SECONDS - started))s"
if ((${#failures[@]})); then
  echo "FAILED: ${failures[*]}" >&2
  exit 1
fi
