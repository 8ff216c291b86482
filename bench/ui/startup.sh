#!/usr/bin/env bash
# Median start-up time to the first paint and median peak RSS of the window and of a bare
# QMainWindow, over N starts each (default 15), alternating so that both see the same machine.
set -euo pipefail
bench=${1:-build/bench/ui/startup_bench}
n=${2:-15}
: > /tmp/startup_window.txt
: > /tmp/startup_bare.txt
for _ in $(seq "$n"); do
  "$bench" window >> /tmp/startup_window.txt
  "$bench" bare >> /tmp/startup_bare.txt
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for kind in window bare; do
  ms=$(cut -d' ' -f1 /tmp/startup_$kind.txt | median)
  kb=$(cut -d' ' -f2 /tmp/startup_$kind.txt | median)
  echo "$kind: first paint ${ms} ms, peak RSS ${kb} KiB (median of $n)"
done
