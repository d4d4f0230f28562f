#!/usr/bin/env bash
# A skin change request from another process, through the real application
# window of the win64 build under wine64: the sender's answers are checked, and
# the program goes on and closes normally afterwards.
#
#   tests/e2e/skin_request_win64.sh PROGRAM.exe
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prog="${1:?usage: skin_request_win64.sh PROGRAM.exe}"
mkdir -p "$ROOT/out/test"
sender="$ROOT/out/test/skin_request_sender.exe"
x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -o "$sender" "$ROOT/tests/e2e/skin_request_sender.c" ||
  { echo "skin request: FAIL: sender build"; exit 1; }
WINDOW_CHECK_WHILE_OPEN="'$ROOT/scripts/wine-run' '$sender'" \
  "$ROOT/tests/e2e/window_check.sh" "$prog" "$ROOT/out/test/window-win64-after-request.png" ||
  exit 1
echo "skin request: OK: taken through the application window from another process"
