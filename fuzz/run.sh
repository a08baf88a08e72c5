#!/usr/bin/env bash
# run.sh FUZZER SEEDS WORK SECONDS [LIBFUZZER_OPTION...]
#
# Runs a libFuzzer target over its seed corpus and then for SECONDS in all (FUZZ_SECONDS in
# the environment overrides it: make fuzz). New inputs go to WORK/corpus, kept between runs so
# that later runs start from what earlier ones found. A crash, a leak, an input that takes
# over 10 s or a sanitizer report fails the run and leaves the input in WORK; the whole log
# is WORK/log.txt, and a passing run prints only its summary.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=${FUZZ_SECONDS:-$4}
shift 4
mkdir -p "$work/corpus"
log="$work/log.txt"
rc=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" "$@" "$work/corpus" "$seeds" >"$log" 2>&1 || rc=$?
if [ $rc -ne 0 ]; then
  tail -n 60 "$log"
  echo "$(basename "$fuzzer"): failed ($rc); log $log" >&2
  exit $rc
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
echo "$(basename "$fuzzer"): ${seconds} s, $runs inputs ($speed/s), $(grep -c . <(ls "$work/corpus")) in the corpus, no failure"
