#!/usr/bin/env bash
# Median start-up to the first paint (wall and processor), peak RSS and the time the card's chances
# follow the first paint, then the time to the end of the first frame (processor and wall: the card,
# or the floor's line, is on the screen; the floor loads its font and draws its line in that frame,
# after its first paint), of the window in an empty program folder, of the window with FOLDER as its
# program folder (a stored day, a handbook, a history), and of the fair floor (a bare window of the
# card's size drawing a line of Japanese in the card's font), over N starts each (default 15),
# alternating so that all see the same machine.
#   bench/ui/startup.sh [BENCH] [N] [FOLDER]
set -euo pipefail
bench=${1:-build/bench/ui/startup_bench}
n=${2:-15}
folder=${3:-}
out=$(mktemp -d)
for _ in $(seq "$n"); do
  "$bench" window >> "$out/window" 2>/dev/null
  if [ -n "$folder" ]; then "$bench" window "$folder" >> "$out/stored" 2>/dev/null; fi
  "$bench" bare >> "$out/bare" 2>/dev/null
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
column() { cut -d' ' -f"$2" "$out/$1" | median; }
floor_ms=$(column bare 1)
floor_cpu=$(column bare 4)
floor_frame=$(column bare 5)
floor_shown=$(column bare 6)
for kind in window stored bare; do
  [ -s "$out/$kind" ] || continue
  ms=$(column "$kind" 1) kb=$(column "$kind" 2) follow=$(column "$kind" 3) cpu=$(column "$kind" 4) frame=$(column "$kind" 5)
  shown=$(column "$kind" 6)
  printf '%-6s first paint %6s ms (%.2f x the floor), processor %5s ms (%.2f x), peak RSS %s KiB, chances +%s ms; end of the first frame %6s ms (%.2f x), processor %5s ms (%.2f x) (median of %s)\n' \
    "$kind" "$ms" "$(echo "$ms / $floor_ms" | bc -l)" "$cpu" "$(echo "$cpu / $floor_cpu" | bc -l)" "$kb" "$follow" \
    "$shown" "$(echo "$shown / $floor_shown" | bc -l)" "$frame" "$(echo "$frame / $floor_frame" | bc -l)" "$n"
done
rm -r "$out"
