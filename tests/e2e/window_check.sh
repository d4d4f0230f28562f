#!/usr/bin/env bash
# Starts the program on the current DISPLAY, checks that its main window appears
# with a 417x152 client area centred on the screen, saves a screenshot of it, sends
# Alt+F4 and checks that the process exits with status 0.
#
#   tests/e2e/window_check.sh PROGRAM OUT.png
#
# PROGRAM is the Linux binary or a Windows .exe (run through scripts/wine-run).
# WINDOW_CHECK_WHILE_OPEN, when set, is a command run while the window is open;
# it must succeed, and the program must still close normally afterwards.
# The caller provides the display (source scripts/common.sh; start_xvfb). Every
# wait has a limit; prints one line with the result and exits non-zero on failure.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WANT_W=417
WANT_H=152
TITLE="${WINDOW_CHECK_TITLE:-Загрузчик 1.0}"
# Generous: the first wine start creates its prefix.
APPEAR_LIMIT="${WINDOW_CHECK_APPEAR_SECONDS:-120}"
EXIT_LIMIT="${WINDOW_CHECK_EXIT_SECONDS:-10}"

prog="${1:-}"
out="${2:-}"
name="window_check"
fail() {
  echo "$name: FAIL: $*"
  exit 1
}
[ -n "$prog" ] && [ -n "$out" ] || fail "usage: window_check.sh PROGRAM OUT.png"
[ -f "$prog" ] || fail "$prog is missing"
name="window_check $(basename "$prog")"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick (import) is not installed"
[ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1 || fail "no display (DISPLAY='${DISPLAY:-}')"

read -r screen_w screen_h < <(timeout 5 xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2]; exit }')
[ -n "${screen_w:-}" ] || fail "cannot read the screen size"
want_x=$(((screen_w - WANT_W) / 2))
want_y=$(((screen_h - WANT_H) / 2))

case "$prog" in
  *.exe)
    cmd=("$ROOT/scripts/wine-run" "$prog")
    class="$(basename "$prog")"
    ;;
  *)
    cmd=("$prog")
    class="$(basename "$prog")"
    ;;
esac

log="$(mktemp)"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$log"
}
trap cleanup EXIT

"${cmd[@]}" >"$log" 2>&1 &
pid=$!

xq() { timeout 5 xdotool "$@" 2>/dev/null; }

# Visible windows of the program, by class and by title (the title only finds
# windows whose plain-text name is set in the locale's encoding).
candidates() {
  {
    xq search --onlyvisible --class "^${class}\$"
    LC_ALL=C.UTF-8 xq search --onlyvisible --name "^${TITLE}\$"
  } | sort -u
}

win=""
seen=""
deadline=$((SECONDS + APPEAR_LIMIT))
while [ -z "$win" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    fail "the program exited with status $? before showing its window: $(tail -n 3 "$log" | tr '\n' ' ')"
  fi
  for id in $(candidates); do
    X="" Y="" WIDTH="" HEIGHT=""
    eval "$(xq getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$')"
    seen="$seen ${WIDTH:-?}x${HEIGHT:-?}+${X:-?}+${Y:-?}"
    if [ "${WIDTH:-0}" = "$WANT_W" ] && [ "${HEIGHT:-0}" = "$WANT_H" ]; then
      win="$id"
      break
    fi
  done
  [ -n "$win" ] && break
  [ $SECONDS -lt $deadline ] || fail "no ${WANT_W}x${WANT_H} window within ${APPEAR_LIMIT}s (windows seen:${seen:- none})"
  sleep 0.5
done

# Let the first frame arrive before the picture is taken.
sleep 1
X="" Y=""
eval "$(xq getwindowgeometry --shell "$win" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$')"
[ "$X" = "$want_x" ] && [ "$Y" = "$want_y" ] ||
  fail "window at $X,$Y, not centred at $want_x,$want_y on the ${screen_w}x${screen_h} screen"

mkdir -p "$(dirname "$out")"
timeout 10 import -window root -crop "${WANT_W}x${WANT_H}+${X}+${Y}" +repage "$out" 2>/dev/null ||
  fail "cannot take the screenshot"

if [ -n "${WINDOW_CHECK_WHILE_OPEN:-}" ]; then
  timeout 120 bash -c "$WINDOW_CHECK_WHILE_OPEN" || fail "while open: '$WINDOW_CHECK_WHILE_OPEN' failed"
  kill -0 "$pid" 2>/dev/null || fail "the program ended while '$WINDOW_CHECK_WHILE_OPEN' ran"
  sleep 0.5
fi

# The program handles Alt+F4 itself when no window manager does.
xq key --window "$win" alt+F4
deadline=$((SECONDS + EXIT_LIMIT))
while kill -0 "$pid" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "still running ${EXIT_LIMIT}s after Alt+F4"
  sleep 0.2
done
wait "$pid"
status=$?
pid=""
[ "$status" -eq 0 ] || fail "exited with status $status after Alt+F4"
echo "$name: OK: ${WANT_W}x${WANT_H} at $X,$Y (centred on ${screen_w}x${screen_h}), screenshot $out, closed by Alt+F4 with status 0"
