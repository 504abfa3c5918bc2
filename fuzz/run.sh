#!/usr/bin/env bash
# Runs every fuzz target of a build folder for SECONDS each, JOBS at a time. Each target first
# writes its seeds; its corpus grows in BUILD/fuzz-corpus/NAME between runs. Exits 1 when any
# target found a crash, a hang or a leak, after printing its report and the input that did it.
# NAMES, when given, picks the targets to run ("dbf text"); else every target of the build runs.
# Usage: fuzz/run.sh BUILD SECONDS [JOBS [NAMES]]
set -uo pipefail
usage="usage: fuzz/run.sh BUILD SECONDS [JOBS [NAMES]]"
build=${1:?$usage}
seconds=${2:?$usage}
jobs=${3:-1}
names=${4:-}

shopt -s nullglob
targets=()
if [ -n "$names" ]; then
  for name in $names; do
    exe=$build/fuzz/fuzz_$name
    if [ ! -x "$exe" ]; then
      echo "no fuzz target $exe" >&2
      exit 1
    fi
    targets+=("$exe")
  done
else
  for exe in "$build"/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] && targets+=("$exe")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build/fuzz" >&2
  exit 1
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

# One target: seeds, then fuzzing; its status and log in BUILD/fuzz-logs.
run_one() {
  local exe=$1 name=${1##*/fuzz_}
  local seeds=$build/fuzz-seeds/$name corpus=$build/fuzz-corpus/$name
  local artifacts=$build/fuzz-artifacts/$name log=$build/fuzz-logs/$name.log
  rm -rf "$seeds" "$artifacts"
  mkdir -p "$seeds" "$corpus" "$artifacts" "$build/fuzz-logs"
  if ! QV_FUZZ_WRITE_SEEDS=$seeds "$exe" -runs=0 >"$log" 2>&1; then
    echo 1 >"$build/fuzz-logs/$name.status"
    return
  fi
  # timeout(1) only in case libFuzzer itself stops answering.
  timeout -k 10 $((seconds + 120)) "$exe" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" \
    >>"$log" 2>&1
  echo $? >"$build/fuzz-logs/$name.status"
}

for exe in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n
  done
  echo "fuzzing ${exe##*/} for ${seconds} s"
  run_one "$exe" &
done
wait

status=0
for exe in "${targets[@]}"; do
  name=${exe##*/fuzz_}
  log=$build/fuzz-logs/$name.log
  if [ "$(cat "$build/fuzz-logs/$name.status" 2>/dev/null)" = 0 ]; then
    echo "fuzz_$name: no crash, hang or leak; $(grep -o 'Done [0-9]* runs' "$log" | tail -1)," \
      "corpus of $(ls "$build/fuzz-corpus/$name" | wc -l) inputs"
    continue
  fi
  status=1
  echo "fuzz_$name FAILED; the end of its log ($log):"
  tail -n 60 "$log"
  for input in "$build/fuzz-artifacts/$name"/*; do
    echo "input $input ($(stat -c %s "$input") bytes), first 4 KB:"
    head -c 4096 "$input" | od -A d -t x1 | head -n 260
  done
done
exit $status
