#!/usr/bin/env bash
# The program's transfer against curl, same local server, same run.
#
#   bench/download_bench.sh [SIZE_MB]      (default 256)
#
# Builds build/app-host, serves a SIZE_MB package from tools/package_server.py
# on 127.0.0.1, takes it five times with `curl -s -o` and five times with the
# program's own attempt (headless host: window, gauge, labels and message
# dispatch after every 1024-byte piece), alternating, and prints both
# throughputs, their ratio and the program's peak memory, also for a 32 MiB
# package to show that memory does not grow with the package.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SIZE_MB="${1:-256}"
cd "$ROOT"
cmake -S . -B build/app-host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/app-host --target bench_download_bench -j "${JOBS:-2}" >/dev/null
work="$(mktemp -d)"
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

serve() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
  rm -f "$work/port"
  python3 tools/package_server.py --port 0 --port-file "$work/port" --size-mb "$1" \
    --time-limit 600 2>/dev/null &
  server=$!
  for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.1; done
  [ -s "$work/port" ] || { echo "package server did not start" >&2; exit 1; }
  port=$(cat "$work/port")
}

# program: "bytes_per_second peak_rss_kib" of one attempt.
program() {
  VORLIX_BENCH_HOST="127.0.0.1:$port" VORLIX_BENCH_TMP="$work/" \
    build/app-host/bench/bench_download_bench --benchmark_format=json 2>/dev/null |
    python3 -c 'import json,sys; r=[b for b in json.load(sys.stdin)["benchmarks"] if b.get("run_type")=="iteration"]; assert r and all("error_message" not in b for b in r), r; print(max(b["bytes_per_second"] for b in r), max(int(b["peak_rss_kib"]) for b in r))'
}

serve "$SIZE_MB"
bytes=$((SIZE_MB * 1048576))
# Rounds alternate curl and the program, so a busy moment of the machine hits both.
curls=() progs=() prog_peak=0
for _ in 1 2 3 4 5; do
  t=$(curl -s -o "$work/curl.bin" -w '%{time_total}' "http://127.0.0.1:$port/setup/x64.exe")
  [ "$(stat -c %s "$work/curl.bin")" = "$bytes" ] || { echo "curl got a short file" >&2; exit 1; }
  rm -f "$work/curl.bin"
  curls+=("$(python3 -c "print($bytes / float('$t'))")")
  read -r bps peak < <(program)
  progs+=("$bps")
  [ "$peak" -gt "$prog_peak" ] && prog_peak=$peak
done
serve 32
read -r _ small_peak < <(program)

python3 - "$SIZE_MB" "${curls[*]}" "${progs[*]}" "$prog_peak" "$small_peak" <<'PY'
import statistics, sys
size = sys.argv[1]
curls = [float(x) for x in sys.argv[2].split()]
progs = [float(x) for x in sys.argv[3].split()]
peak, small = int(sys.argv[4]), int(sys.argv[5])
mb = 1e6
ratios = [p / c for p, c in zip(progs, curls)]
print(f"package:            {size} MiB from 127.0.0.1, {len(curls)} alternating rounds")
print(f"curl -s -o:         {max(curls) / mb:8.1f} MB/s best, {statistics.median(curls) / mb:.1f} median")
print(f"program transfer:   {max(progs) / mb:8.1f} MB/s best, {statistics.median(progs) / mb:.1f} median")
print(f"ratio:              {max(progs) / max(curls):8.2f} best to best, "
      f"{statistics.median(ratios):.2f} median of rounds (goal: at least 0.70)")
print(f"program peak RSS:   {peak / 1024:8.1f} MiB with {size} MiB, {small / 1024:.1f} MiB with 32 MiB")
PY
