#!/usr/bin/env bash
# The Windows build of the whole program under wine64 on the current DISPLAY:
# builds build/app-win64 and the launch probe, then runs the cases of
# app_program.sh against it.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/scripts/common.sh"
source "$ROOT/tests/e2e/app_common.sh"
cd "$ROOT"
app_build build/app-win64 >/dev/null || { echo "app e2e win64: FAIL: build"; exit 1; }
mkdir -p out/test
x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -o out/test/launch_probe.exe tests/app/launch_probe.c ||
  { echo "app e2e win64: FAIL: probe build"; exit 1; }
# The first start of wine in a fresh prefix takes long.
APP_EXE="$ROOT/build/app-win64/app/vorlix-downloader.exe" APP_PROBE="$ROOT/out/test/launch_probe.exe" \
  APP_E2E_APPEAR_SECONDS="${APP_E2E_APPEAR_SECONDS:-180}" exec "$ROOT/tests/e2e/app_program.sh"
