#!/usr/bin/env bash
# Runs every document fuzz target for a bounded time (VELM_FUZZ_SECONDS each,
# 12 by default: about a minute for the five) and fails when any of them finds
# a crash, a leak, a sanitizer report, a hang or runaway memory use.
#
# Builds nothing: the targets must already be in $VELM_FUZZ_BUILD/fuzz/
# (build-fuzz by default; see scripts/test.sh). Each target starts from the
# documents of its kind in tests/documents/corpus (read, never written); what
# it finds goes to a scratch corpus, and failing inputs and logs to out/fuzz/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELM_FUZZ_BUILD:-$root/build-fuzz}
seconds=${VELM_FUZZ_SECONDS:-12}
corpus=$root/tests/documents/corpus
out=$root/out/fuzz
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# UBSan reports end the run (the targets are built not to recover from them).
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1

failed=()
for entry in geometry:qim skeleton:qis animation:qia trait:qit collision:qic; do
  name=${entry%%:*}
  extension=${entry##*:}
  target=$build/fuzz/fuzz_$name
  if [[ ! -x $target ]]; then
    echo "fuzz: $target is missing (build with -DVELM_FUZZ=ON first)" >&2
    exit 1
  fi

  # Seeds: links to the corpus documents of this kind.
  seeds=$scratch/seeds_$name
  found=$scratch/found_$name
  mkdir -p "$seeds" "$found"
  if [[ -d $corpus ]]; then
    find "$corpus" -type f -name "*.$extension" -print0 |
      while IFS= read -r -d '' file; do
        ln -s "$file" "$seeds/$(printf '%s' "${file#"$corpus"/}" | tr '/' '_')"
      done
  fi

  log=$out/$name.log
  # -close_fd_mask=2 silences the loader's own messages; libFuzzer and the
  # sanitizers still report on the original standard error (into the log).
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -dict="$root/fuzz/documents.dict" -close_fd_mask=2 -print_final_stats=1 \
      -artifact_prefix="$out/${name}-" "$found" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name ok (${runs:-?} runs in ${seconds} s, $(ls "$seeds" | wc -l) seeds)"
  else
    echo "fuzz: $name FAILED; log $log, failing input in $out/${name}-*" >&2
    grep -E 'ERROR:|runtime error:|SUMMARY:|Test unit written' "$log" >&2 || tail -n 20 "$log" >&2
    failed+=("$name")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz: failures in ${failed[*]}" >&2
  exit 1
fi
