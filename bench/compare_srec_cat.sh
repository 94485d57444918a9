#!/usr/bin/env bash
# Times Daraz's file formats side by side with srec_cat on the same 16 MB
# random image, on this machine, in this run: Intel HEX save and load,
# S-record save and load, binary load. Each side runs as a whole process
# (srec_cat reads and writes files; so do we); the best of RUNS runs counts.
# Prints the times, the ratios (srec_cat time / our time) and the peak
# resident memory of both.
#
#   bench/compare_srec_cat.sh [BUILD_DIR]     (default build/default)
#
# Needs bench_image built in BUILD_DIR and srec_cat on the PATH; peak memory
# of srec_cat needs /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
bench=$build/bench/bench_image
runs=${RUNS:-3}
if [ ! -x "$bench" ]; then
  echo "no $bench: cmake --build $build --target bench_image" >&2
  exit 1
fi
command -v srec_cat >/dev/null || { echo "srec_cat is not installed" >&2; exit 1; }
timer=""
[ -x /usr/bin/time ] && timer=/usr/bin/time

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 16777216 /dev/urandom >"$work/image.bin"
# Load inputs written by srec_cat, 16 data bytes per record like ours.
srec_cat "$work/image.bin" -binary -o "$work/theirs.hex" -intel -obs 16
srec_cat "$work/image.bin" -binary -o "$work/theirs.s28" -motorola -address-length=3 -obs 16

# best_seconds OUTPUT_TO_REMOVE CMD...: the best wall time of $runs runs.
best_seconds() {
  local out=$1 best="" t0 t1 s
  shift
  for _ in $(seq "$runs"); do
    rm -f "$out"
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    s=$(( (t1 - t0) / 1000 ))
    if [ -z "$best" ] || [ "$s" -lt "$best" ]; then best=$s; fi
  done
  echo "$best"
}

# peak_kb CMD...: peak resident memory of one run, in KB.
peak_kb() {
  if [ -n "$timer" ]; then
    "$timer" -f '%M' "$@" 2>&1 >/dev/null | tail -n 1
  else
    echo "n/a"
  fi
}

printf '%-16s %12s %12s %8s %14s %14s\n' operation "srec_cat ms" "daraz ms" ratio \
  "srec_cat KB" "daraz KB"
compare() {
  local label=$1 out=$2 theirs=$3 ours=$4
  local t_theirs t_ours m_theirs m_ours
  # shellcheck disable=SC2086
  t_theirs=$(best_seconds "$out" $theirs)
  # shellcheck disable=SC2086
  t_ours=$(best_seconds "$out" $ours)
  # shellcheck disable=SC2086
  m_theirs=$(peak_kb $theirs)
  rm -f "$out"
  # shellcheck disable=SC2086
  m_ours=$($ours | awk '/^peak_kb/ {print $2}')
  rm -f "$out"
  awk -v l="$label" -v a="$t_theirs" -v b="$t_ours" -v ma="$m_theirs" -v mb="$m_ours" \
    'BEGIN { printf "%-16s %12.1f %12.1f %7.1fx %14s %14s\n", l, a/1000, b/1000, a/b, ma, mb }'
}

w=$work
compare "HEX save" "$w/out.HEX" \
  "srec_cat $w/image.bin -binary -o $w/out.HEX -intel -obs 16" \
  "$bench --run save-hex $w/image.bin $w/out.HEX"
compare "HEX load" "$w/none" \
  "srec_cat $w/theirs.hex -intel -o /dev/null -binary" \
  "$bench --run load $w/theirs.hex"
compare "S-record save" "$w/out.S2" \
  "srec_cat $w/image.bin -binary -o $w/out.S2 -motorola -address-length=3 -obs 16" \
  "$bench --run save-srec $w/image.bin $w/out.S2"
compare "S-record load" "$w/none" \
  "srec_cat $w/theirs.s28 -motorola -o /dev/null -binary" \
  "$bench --run load $w/theirs.s28"
compare "binary load" "$w/none" \
  "srec_cat $w/image.bin -binary -o /dev/null -binary" \
  "$bench --run load $w/image.bin"
echo "(ratio = srec_cat time / daraz time; KB = peak resident memory; the 16 MB image alone is 16384 KB)"
