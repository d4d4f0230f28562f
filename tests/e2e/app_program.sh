#!/usr/bin/env bash
# The whole program as a person would use it, on the current DISPLAY: a local
# package server, xdotool clicks and keys, screenshots kept in out/test/.
#
#   tests/e2e/app_program.sh        builds build/app-host and runs every case
#   APP_EXE=path.exe APP_PROBE=probe.exe tests/e2e/app_program.sh
#                                   the Windows build under wine (app_win64.sh):
#                                   the probe is served as the package and
#                                   proves the launch by writing a file
#
# Cases: the exact HEAD request and a download that completes and is launched;
# Esc during a transfer (file deleted, window stays, close button ends it); a
# server that sends fewer bytes than announced. Every wait has a limit. Prints
# one line per case and exits non-zero on the first failure.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/scripts/common.sh"
source "$ROOT/tests/e2e/app_common.sh"
cd "$ROOT"

[ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1 || { echo "app e2e: FAIL: no display"; exit 1; }
if [ -z "${APP_EXE:-}" ]; then
  app_build build/app-host >/dev/null || { echo "app e2e: FAIL: build"; exit 1; }
  APP_EXE="$ROOT/build/app-host/app/vorlix-downloader"
fi
kind="linux"
[[ "$APP_EXE" == *.exe ]] && kind="win64"
if [ "$kind" = win64 ]; then
  # Wine takes the temporary directory from its prefix, not from the environment.
  win_temp="$(timeout 120 "$ROOT/scripts/wine-run" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')"
  WIN_TEMP_DIR="$(timeout 60 "$ROOT/scripts/wine-run" winepath -u "$win_temp" 2>/dev/null | tr -d '\r')"
  [ -d "$WIN_TEMP_DIR" ] || { echo "app e2e win64: FAIL: no temporary directory ($win_temp)"; exit 1; }
  target_file() { echo "${WIN_TEMP_DIR%/}/vorlix_srv.exe"; }
fi
# Every case starts without a file at the target path.
fresh() { rm -f "$(target_file)" "$(target_file).launched"; }
OUT="$ROOT/out/test"
mkdir -p "$OUT"
LIMIT="${APP_E2E_APPEAR_SECONDS:-60}"

case_name=""
fail() {
  echo "app e2e $kind $case_name: FAIL: $*"
  [ -n "${APP_WORK:-}" ] && tail -n 5 "$APP_WORK/program.log" "$APP_WORK/server.err" 2>/dev/null
  exit 1
}
cleanup() {
  prog_stop
  server_stop
}
trap cleanup EXIT

# pixel FILE X Y: "r,g,b" of a screenshot pixel.
pixel() { convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info: 2>/dev/null; }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}
file_over() { local s; s=$(target_size); [ "$s" != none ] && [ "$s" -gt "$1" ]; }
file_gone() { [ ! -e "$(target_file)" ]; }
got_get() { grep -qa '^GET ' "$APP_WORK/requests.log" 2>/dev/null; }

read -r cx cy < <(matching_option)
# Gauge colours in the gap between the buttons, left of the labels.
RUNNING="142,238,186"
FAILURE="255,151,151"

# ---- a download that completes and is launched; the exact HEAD request
case_name="download"
app_work "$ROOT/out/test/app-$kind-download"
fresh
if [ "$kind" = win64 ]; then
  server_start --x64-file "$APP_PROBE" || fail "server"
  want_size=$(stat -c %s "$APP_PROBE")
else
  server_start --size-mb 24 || fail "server"
  want_size=25165824
fi
prog_start "$APP_EXE" "$LIMIT" || fail "no window"
shot "$OUT/app-$kind-rest.png"
click "$cx" "$cy"
prog_wait_exit 120 || fail "the program did not close after the download"
[ "$PROG_STATUS" = 0 ] || fail "exit status $PROG_STATUS"
size=$(target_size)
[ "$size" = "$want_size" ] || fail "file of $size bytes, want $want_size"
if [ "$kind" = win64 ]; then
  probe_ran() { [ -e "$(target_file).launched" ]; }
  wait_for 30 probe_ran || fail "the downloaded program was not started"
else
  [ "$(launched)" = "$(target_file)" ] || fail "launched '$(launched)', want '$(target_file)'"
fi
want_head="HEAD /setup/x64.exe HTTP/1.1\r\nContent-Type: text/html\r\nHost: $APP_HOST\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Vorlix Library)\r\n\r\n"
head_bytes=$(head -c "$(printf "$want_head" | wc -c)" "$APP_WORK/requests.log" | od -An -c)
[ "$head_bytes" = "$(printf "$want_head" | od -An -c)" ] ||
  fail "HEAD request differs: $(head -n 6 "$APP_WORK/requests.log" | cat -A | tr '\n' ' ')"
server_stop
echo "app e2e $kind download: OK: HEAD bytes as expected, $want_size bytes, launched, closed with status 0"

# ---- Esc during the transfer
case_name="esc"
app_work "$ROOT/out/test/app-$kind-esc"
fresh
server_start --size-mb 24 --rate 4096 || fail "server"
prog_start "$APP_EXE" "$LIMIT" || fail "no window"
click "$cx" "$cy"
wait_for 30 file_over 1000000 || fail "the transfer did not start"
sleep 0.5
shot "$OUT/app-$kind-during.png"
[ "$(pixel "$OUT/app-$kind-during.png" 5 90)" = "$RUNNING" ] ||
  fail "gauge during the transfer is $(pixel "$OUT/app-$kind-during.png" 5 90), want $RUNNING"
key Escape
wait_for 20 file_gone || fail "the partial file was not deleted after Esc"
sleep 0.5
prog_running || fail "the program ended after Esc"
shot "$OUT/app-$kind-aborted.png"
[ "$(pixel "$OUT/app-$kind-aborted.png" 5 90)" = "$FAILURE" ] ||
  fail "gauge after Esc is $(pixel "$OUT/app-$kind-aborted.png" 5 90), want $FAILURE"
[ -z "$(launched)" ] || fail "launched after Esc"
click "${APP_CLOSE[@]}"
prog_wait_exit 15 || fail "the close button did not end the program"
server_stop
echo "app e2e $kind esc: OK: transfer stopped, file deleted, light red gauge, closed by the close button"

# ---- fewer bytes than announced
case_name="short"
app_work "$ROOT/out/test/app-$kind-short"
fresh
server_start --size-mb 4 --short 1000 || fail "server"
prog_start "$APP_EXE" "$LIMIT" || fail "no window"
click "$cx" "$cy"
wait_for 30 got_get || fail "no download was asked for"
# The file appears just after the request; it must come and go.
wait_for 30 file_gone || fail "the short file was not deleted"
sleep 1
wait_for 30 file_gone || fail "the short file was not deleted"
prog_running || fail "the program ended after a short transfer"
shot "$OUT/app-$kind-short.png"
[ "$(pixel "$OUT/app-$kind-short.png" 5 90)" = "$FAILURE" ] || fail "gauge not light red"
[ -z "$(launched)" ] || fail "launched a short file"
click "${APP_CLOSE[@]}"
prog_wait_exit 15 || fail "the close button did not end the program"
server_stop
echo "app e2e $kind short: OK: size error, file deleted, nothing launched"
