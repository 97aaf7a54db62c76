#!/usr/bin/env bash
# Builds the libFuzzer programs and runs every fuzz target (or the ones
# named) for a given time, several at once, then prints per target the
# executions, the speed, the coverage gained and the crashes.
#
#   fuzz/run-all.sh [-t SECONDS] [-j PARALLEL] [-b BUILD_DIR] [-c CORPORA]
#                   [-n] [TARGET...]
#
#   -t  seconds each target runs (default 600)
#   -j  targets running at once (default: the number of processors)
#   -b  build folder of the fuzzers (default build-fuzz in the source tree)
#   -c  folder of the growing corpora and of the findings, one sub-folder
#       per target (default $ZELVITOR_FUZZ_CORPORA, else
#       ~/.cache/zelvitor-fuzz); never inside the source tree, so the seed
#       corpora in fuzz/corpus stay as committed
#   -n  no build: run the fuzzers already built
#
# A crash, leak or time-out is written to <CORPORA>/<target>/findings/ and
# the whole log of a run to <CORPORA>/<target>/last.log. Once the fault is
# fixed, put the (minimised) input into fuzz/corpus/<target>/ so the replay
# test keeps it. The exit status is 1 when any target found something.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=600
parallel=$(nproc)
build="$root/build-fuzz"
corpora="${ZELVITOR_FUZZ_CORPORA:-$HOME/.cache/zelvitor-fuzz}"
do_build=1

while getopts "t:j:b:c:nh" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    j) parallel=$OPTARG ;;
    b) build=$OPTARG ;;
    c) corpora=$OPTARG ;;
    n) do_build=0 ;;
    *) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

case $seconds$parallel in
  *[!0-9]*) echo "run-all: -t and -j take whole numbers" >&2; exit 2 ;;
esac
[ "$parallel" -ge 1 ] || parallel=1
mkdir -p "$corpora" || exit 2
corpora=$(cd "$corpora" && pwd)
case "$corpora/" in
  "$root"/fuzz/*) echo "run-all: keep the corpora outside the fuzz folder: $corpora" >&2; exit 2 ;;
esac

if [ "$do_build" = 1 ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZELVITOR_FUZZ=ON -DZELVITOR_TESTS=OFF -DZELVITOR_BENCH=OFF "${launcher[@]}" || exit 2
  fi
  cmake --build "$build" --target fuzzers -j "$parallel" || exit 2
fi

# The targets: those named, else every <name>_fuzz.cpp.
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$root"/fuzz/*_fuzz.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name%_fuzz}")
  done
fi
for t in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/${t}_fuzzer" ]; then
    echo "run-all: no fuzzer $build/fuzz/${t}_fuzzer" >&2
    exit 2
  fi
done

# One target: its own corpus (new inputs) first, the seeds after it.
run_one() {
  local t=$1 dir="$corpora/$1"
  mkdir -p "$dir/corpus" "$dir/findings"
  local seeds=()
  [ -d "$root/fuzz/corpus/$t" ] && seeds=("$root/fuzz/corpus/$t")
  # The seeds and the corpus so far, in the number of inputs a run starts from.
  ls "$dir/findings" > "$dir/findings.before"
  # Each run has its corpus to itself: re-reading it every second
  # (-reload) would only find the run's own inputs again.
  (cd "$dir" && timeout -k 10 $((seconds + 300)) "$build/fuzz/${t}_fuzzer" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -reload=0 \
      -artifact_prefix="$dir/findings/" "$dir/corpus" "${seeds[@]}" > "$dir/last.log" 2>&1)
  echo $? > "$dir/last.status"
}

echo "run-all: ${#targets[@]} targets, $seconds s each, $parallel at once; corpora in $corpora"
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n
    running=$((running - 1))
  fi
  run_one "$t" &
  running=$((running + 1))
done
wait

# The summary, from each run's log.
found=0
printf '%-20s %12s %10s %16s %9s %8s  %s\n' target executions "exec/s" "coverage" "new units" findings status
for t in "${targets[@]}"; do
  dir="$corpora/$t"
  log="$dir/last.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  units=$(sed -n 's/^stat::new_units_added: *//p' "$log" | tail -1)
  cov0=$(grep -m1 -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$')
  cov1=$(grep -o ' cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  new=$(ls "$dir/findings" | grep -vxF -f "$dir/findings.before" | wc -l)
  status=$(cat "$dir/last.status")
  what=ok
  if [ "$new" -gt 0 ] || [ "$status" != 0 ]; then
    found=1
    what="FOUND (exit $status): see $log"
  fi
  printf '%-20s %12s %10s %16s %9s %8s  %s\n' "$t" "${execs:--}" "${speed:--}" \
    "${cov0:-?} -> ${cov1:-?}" "${units:--}" "$new" "$what"
  ls "$dir/findings" | grep -vxF -f "$dir/findings.before" | sed "s|^|    $dir/findings/|"
done
exit $found
