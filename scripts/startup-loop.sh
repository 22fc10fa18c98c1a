#!/usr/bin/env bash
# Starts the configurator many times on each project under one Xvfb and
# reports every run that ended by itself before it was told to stop (a crash
# or an abort at start-up).
#   scripts/startup-loop.sh PROGRAM RUNS SECONDS PROJECT...
# A run lasts SECONDS, then gets SIGTERM; its standard error is kept in
# startup-loop-logs/ when it failed.
set -u
prog=$1; runs=$2; secs=$3; shift 3
logs=startup-loop-logs; mkdir -p "$logs"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$prog" "$runs" "$secs" "$@"
fi
failed=0; total=0
for ((i = 1; i <= runs; i++)); do
  for project in "$@"; do
    total=$((total + 1))
    err="$logs/run-$i-$(basename "$project").err"
    "$prog" "$project" 2> "$err" &
    pid=$!
    ended=0
    for ((t = 0; t < secs * 10; t++)); do
      if ! kill -0 "$pid" 2>/dev/null; then ended=1; break; fi
      sleep 0.1
    done
    if [ "$ended" = 1 ]; then
      wait "$pid"; rc=$?
      echo "run $i $project: ended by itself, status $rc"
      failed=$((failed + 1))
      continue
    fi
    kill -TERM "$pid"; wait "$pid"
    # ASan/UBSan findings are printed to standard error even when the run goes on.
    if grep -q "ERROR: AddressSanitizer\|runtime error:" "$err"; then
      echo "run $i $project: sanitizer report in $err"
      failed=$((failed + 1))
    else
      rm -f "$err"
    fi
  done
done
echo "$total runs, $failed failed"
[ "$failed" = 0 ]
