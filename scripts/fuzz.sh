#!/usr/bin/env bash
# Runs every libFuzzer binary in a folder for a bounded time, starting from its seeds.
set -euo pipefail
dir=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
passed=0
failed=0
for target in "$dir"/*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$work/" "$work" "${seeds[@]}" > "$work/log" 2>&1; then
    echo "fuzz: $name FAILED"; tail -n 40 "$work/log"; ls "$work"
    status=1
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
  rm -rf "$work"
done
echo "fuzz: $passed passed, $failed failed"
exit $status
