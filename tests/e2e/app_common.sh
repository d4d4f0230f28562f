# Helpers for running the whole program against the local package server under
# X: build with DOWNLOAD_HOST pointing at the server, start the server and the
# program, find the window, click, type, take screenshots, wait with limits.
# Sourced by scripts/run and tests/e2e/app_*.sh after scripts/common.sh.
# shellcheck shell=bash

APP_PORT="${VORLIX_PACKAGE_PORT:-18431}"
APP_HOST="127.0.0.1:$APP_PORT"
# Option buttons and the close button, in window coordinates (the header panel's
# one-pixel frame included).
APP_NX1=(208 61)
APP_NX2=(208 119)
APP_CLOSE=(403 15)

app_log() { echo "[$(date +%H:%M:%S)] $*"; }

# Configures and builds the program in build dir $1 (build/app-host or
# build/app-win64) with the package server's address.
app_build() {
  local dir="$1" preset_args=()
  case "$dir" in
    *win64*) preset_args=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" -DVORLIX_TESTS=OFF) ;;
  esac
  cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDOWNLOAD_HOST="$APP_HOST" "${preset_args[@]}" >/dev/null
  cmake --build "$ROOT/$dir" --target vorlix-downloader -j "${JOBS:-2}"
}

# app_work DIR: the scratch folder of one run: the program's temporary
# directory, a stand-in xdg-open that records what it is asked to open, logs.
app_work() {
  APP_WORK="$1"
  rm -rf "$APP_WORK"
  mkdir -p "$APP_WORK/tmp" "$APP_WORK/bin"
  cat >"$APP_WORK/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$APP_WORK/launched.txt"
EOF
  chmod +x "$APP_WORK/bin/xdg-open"
}

# server_start [package_server options]: starts the server on APP_PORT.
server_start() {
  rm -f "$APP_WORK/port"
  python3 "$ROOT/tools/package_server.py" --port "$APP_PORT" --port-file "$APP_WORK/port" \
    --log "$APP_WORK/requests.log" --time-limit "${SERVER_TIME_LIMIT:-300}" "$@" \
    2>>"$APP_WORK/server.err" &
  SERVER_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$APP_WORK/port" ] && return 0
    kill -0 "$SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "the package server did not start on $APP_HOST: $(tail -n 2 "$APP_WORK/server.err")" >&2
  return 1
}

server_stop() {
  [ -n "${SERVER_PID:-}" ] || return 0
  kill "$SERVER_PID" 2>/dev/null || true
  wait "$SERVER_PID" 2>/dev/null || true
  SERVER_PID=""
}

# prog_start EXE: starts the program with the scratch temporary directory and
# the recording xdg-open; sets PROG_PID and APP_WIN (waits up to $2 seconds).
prog_start() {
  local exe="$1" limit="${2:-30}" cmd tmp="$APP_WORK/tmp"
  case "$exe" in
    *.exe)
      cmd=("$ROOT/scripts/wine-run" "$exe")
      tmp="Z:${tmp//\//\\}"  # the same folder, as a Windows path
      ;;
    *) cmd=("$exe") ;;
  esac
  PATH="$APP_WORK/bin:$PATH" TMPDIR="$APP_WORK/tmp" TMP="$tmp" TEMP="$tmp" \
    "${cmd[@]}" >"$APP_WORK/program.log" 2>&1 &
  PROG_PID=$!
  APP_WIN=""
  local deadline=$((SECONDS + limit)) id
  while [ -z "$APP_WIN" ] && [ $SECONDS -lt $deadline ]; do
    kill -0 "$PROG_PID" 2>/dev/null || break
    for id in $( {
      timeout 5 xdotool search --onlyvisible --class "^$(basename "$exe")\$"
      LC_ALL=C.UTF-8 timeout 5 xdotool search --onlyvisible --name "^Загрузчик 1.0\$"
    } 2>/dev/null | sort -u); do
      WIDTH="" HEIGHT=""
      eval "$(timeout 5 xdotool getwindowgeometry --shell "$id" | grep -E '^(WIDTH|HEIGHT)=')"
      if [ "${WIDTH:-0}" = 417 ] && [ "${HEIGHT:-0}" = 152 ]; then APP_WIN="$id"; fi
    done
    [ -n "$APP_WIN" ] || sleep 0.3
  done
  [ -n "$APP_WIN" ] || { echo "the program showed no window within ${limit}s" >&2; return 1; }
  sleep 0.7  # the first frame
}

prog_running() { [ -n "${PROG_PID:-}" ] && kill -0 "$PROG_PID" 2>/dev/null; }

# prog_wait_exit SECONDS: true when the program ended in time (status in PROG_STATUS).
prog_wait_exit() {
  local deadline=$((SECONDS + $1))
  while prog_running && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  prog_running && return 1
  wait "$PROG_PID" 2>/dev/null && PROG_STATUS=0 || PROG_STATUS=$?
  return 0
}

prog_stop() {
  prog_running || return 0
  kill "$PROG_PID" 2>/dev/null || true
  prog_wait_exit 5 || kill -9 "$PROG_PID" 2>/dev/null || true
}

# shot FILE: the window's pixels as they are on screen now.
shot() {
  local X Y
  eval "$(timeout 5 xdotool getwindowgeometry --shell "$APP_WIN" | grep -E '^(X|Y)=')"
  timeout 10 import -window root -crop "417x152+${X}+${Y}" +repage "$1" 2>/dev/null
}

# click X Y: a left click at window coordinates.
click() {
  timeout 5 xdotool mousemove --window "$APP_WIN" "$1" "$2" sleep 0.1 click 1
}

# key NAME: a key typed into the window (it takes the focus first).
key() {
  timeout 5 xdotool windowfocus "$APP_WIN" 2>/dev/null || true
  timeout 5 xdotool key "$1"
}

# The option that matches this machine: the 64-bit package on a 64-bit system.
matching_option() {
  case "$(uname -m)" in
    x86_64 | aarch64) echo "${APP_NX1[@]}" ;;
    *) echo "${APP_NX2[@]}" ;;
  esac
}

target_file() { echo "$APP_WORK/tmp/vorlix_srv.exe"; }
target_size() { stat -c %s "$(target_file)" 2>/dev/null || echo none; }
launched() { cat "$APP_WORK/launched.txt" 2>/dev/null; }
