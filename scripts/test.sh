#!/usr/bin/env bash
# Builds and runs the whole test suite:
#   build-test   normal build with warnings as errors: unit, end-to-end and
#                tool tests, plus one short run of every benchmark;
#   build-asan   everything again under AddressSanitizer and UBSan;
#   build-fuzz   the libFuzzer targets (clang), run briefly by scripts/fuzz.sh.
# Exits non-zero on the first failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

section() { printf '\n==== %s ====\n' "$*"; }

bash scripts/install-deps.sh

build_and_test() {
  local dir=$1; shift
  section "configure $dir"
  cmake -S . -B "$dir" "$@" >/dev/null
  section "build $dir"
  cmake --build "$dir" -j"$jobs"
  section "test $dir"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure --no-tests=error --timeout 600
}

# Debug information is line tables only (-g1): enough for every backtrace and
# sanitizer report to name files and lines, and about a third less compiling
# than full -g.
build_and_test build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_WERROR=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DVELM_SANITIZE=OFF -DVELM_TESTS=ON -DVELM_BENCH=ON -DVELM_FUZZ=OFF

# One short run of each benchmark, so that they are known to work.
benches=$(find build-test/bench -type f -executable -not -path '*/CMakeFiles/*' 2>/dev/null | sort || true)
if [[ -n "$benches" ]]; then
  section "benchmark smoke runs"
  bench_log=$(mktemp)
  for b in $benches; do
    echo "-- $b"
    if ! "$b" --benchmark_min_time=0.01 >"$bench_log" 2>&1; then
      cat "$bench_log"
      rm -f "$bench_log"
      exit 1
    fi
  done
  rm -f "$bench_log"
fi

# Debug keeps the assertions; -O1 makes the instrumented tests run much
# faster than -O0 while the sanitizers still see every access.
build_and_test build-asan -DCMAKE_BUILD_TYPE=Debug -DVELM_SANITIZE=ON \
  -DCMAKE_C_FLAGS_DEBUG="-g1 -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
  -DVELM_WERROR=OFF -DVELM_TESTS=ON -DVELM_BENCH=OFF -DVELM_FUZZ=OFF

if find fuzz -name '*.cpp' | grep -q .; then
  section "configure build-fuzz"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELM_FUZZ=ON -DVELM_TESTS=OFF -DVELM_BENCH=OFF -DVELM_SANITIZE=OFF >/dev/null
  section "build build-fuzz"
  # Only the fuzz targets (named fuzz_*): the rest of the tree is built and
  # tested above.
  fuzz_targets=$(cmake --build build-fuzz --target help | sed -n 's/^\.\.\. \(fuzz_[A-Za-z0-9_]*\).*/\1/p')
  if [[ -n "$fuzz_targets" ]]; then
    # shellcheck disable=SC2086
    cmake --build build-fuzz -j"$jobs" --target $fuzz_targets
  else
    cmake --build build-fuzz -j"$jobs"
  fi
  if [[ -f scripts/fuzz.sh ]]; then
    section "fuzz"
    bash scripts/fuzz.sh
  fi
fi

section "all tests passed"
