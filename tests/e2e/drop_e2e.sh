#!/usr/bin/env bash
# Drops real files on the running program, from another X program, and
# checks the backups on disk: the Linux program, then the Windows program
# under Wine when its build is there. Usage: drop_e2e.sh LINUX_BIN [WINDOWS_BIN]
set -uo pipefail
linux_bin=$1
windows_bin=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
failures=0

if [[ -z ${DISPLAY:-} ]]; then
  echo "drop_e2e: no display; run under scripts/with-display" >&2
  exit 1
fi

tmp=$(mktemp -d /tmp/tamsel-e2e-XXXXXX)
cleanup() {
  [[ -n ${program:-} ]] && kill "$program" 2>/dev/null
  [[ -n ${source_pid:-} ]] && kill "$source_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  # What was on the screen, for the log.
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "  window $w: $(xdotool getwindowname "$w" 2>/dev/null) $(xdotool getwindowgeometry "$w" 2>/dev/null | tr '\n' ' ')"
  done
  cat "$tmp/source.log" "$tmp/linux.log" 2>/dev/null | sed 's/^/  log: /' | head -20
}

# Waits for a visible window of the given title; prints its id.
wait_window() {
  local title=$1 id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Drags the given paths from the drag source onto the window's centre.
drag_onto() {
  local window=$1; shift
  "$linux_bin/tamsel-drag-source" 20 20 "$@" >"$tmp/source.log" 2>&1 &
  source_pid=$!
  local src
  src=$(wait_window tamsel-drag-source) || { fail "no drag source window"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$src")"
  local sx=$((X + WIDTH / 2)) sy=$((Y + HEIGHT / 2))
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local tx=$((X + WIDTH / 2)) ty=$((Y + HEIGHT / 2))
  xdotool mousemove $sx $sy
  sleep 0.2
  xdotool mousedown 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((sx + (tx - sx) * i / 10)) $((sy + (ty - sy) * i / 10))
    sleep 0.1
  done
  xdotool mousemove $((tx + 2)) $((ty + 2))
  sleep 0.5
  xdotool mouseup 1
}

# Waits until a file or folder matching the glob exists.
wait_for() {
  local pattern=$1
  for _ in $(seq 100); do
    compgen -G "$pattern" >/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Clicks the "yes" radio button (compression) of the main window: its group
# box sits at 0,154 of the client area and the button at 10,16 inside it.
click_yes() {
  local window=$1
  xdotool mousemove --window "$window" $((0 + 10 + 6)) $((154 + 16 + 6))
  sleep 0.2
  xdotool click 1
  sleep 0.5
  [[ -n ${TAMSEL_E2E_SHOT:-} ]] && import -window root "$TAMSEL_E2E_SHOT"
}

make_fixture() {
  local root=$1
  mkdir -p "$root/docs/photos/sub" "$root/docs/photos/empty"
  printf 'report\n' >"$root/docs/report.txt"
  printf 'a\n' >"$root/docs/photos/a.txt"
  printf 'b\n' >"$root/docs/photos/sub/b.txt"
}

check_backups() {
  local root=$1 who=$2
  wait_for "$root/docs/reportbak/report*年*秒.txt" || fail "$who: no plain copy of report.txt"
  wait_for "$root/docs/photosbak/photos*年*秒/sub/b.txt" || fail "$who: no plain copy of the photos tree"
  [[ -d $(compgen -G "$root/docs/photosbak/photos*秒" | head -1)/empty ]] || fail "$who: empty folder not copied"
}

# --- Linux ---------------------------------------------------------------
if [[ -x $linux_bin/tamsel ]]; then
  root=$tmp/linux
  make_fixture "$root"
  mkdir -p "$tmp/home" "$tmp/fakebin"
  # The folder opening after each backup goes to a recording stand-in.
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$tmp/opened" >"$tmp/fakebin/xdg-open"
  chmod +x "$tmp/fakebin/xdg-open"
  HOME=$tmp/home PATH=$tmp/fakebin:$PATH XDG_CONFIG_HOME=$tmp/home/.config \
    "$linux_bin/tamsel" >"$tmp/linux.log" 2>&1 &
  program=$!
  if window=$(wait_window Tamselv1.0); then
    drag_onto "$window" "$root/docs/report.txt" "$root/docs/photos"
    check_backups "$root" linux
    grep -q 'drop action [01]$' "$tmp/source.log" || fail "linux: the source saw a move or link: $(cat "$tmp/source.log")"
    for _ in $(seq 50); do [[ $(wc -l <"$tmp/opened" 2>/dev/null) -ge 2 ]] && break; sleep 0.1; done
    grep -qx "$root/docs/reportbak" "$tmp/opened" || fail "linux: reportbak not opened"
    grep -qx "$root/docs/photosbak" "$tmp/opened" || fail "linux: photosbak not opened"
    kill "$source_pid" 2>/dev/null; source_pid=
    # "yes": the next drop writes an archive, and the choice is stored at once.
    click_yes "$window"
    grep -qx 'zips=yes' "$tmp/home/.config/Tamsel/set.ini" 2>/dev/null || fail "linux: zips=yes not stored"
    drag_onto "$window" "$root/docs/report.txt"
    wait_for "$root/docs/reportbak/report*年*秒.zip" || fail "linux: no archive of report.txt"
    kill "$source_pid" 2>/dev/null; source_pid=
    xdotool windowactivate --sync "$window" key Escape 2>/dev/null || xdotool key --window "$window" Escape
    # "key --window" can send the release as a synthetic event after the
    # program has gone, leaving Esc held on the server for the Wine half.
    xdotool keyup Escape 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$program" 2>/dev/null; then
      fail "linux: Esc did not end the program"
    else
      wait "$program"; rc=$?
      [[ $rc == 0 ]] || fail "linux: exit code $rc"
    fi
    program=
    echo "drop_e2e: linux program checked"
  else
    fail "linux: the main window did not appear"
  fi
else
  echo "drop_e2e: no Linux program at $linux_bin/tamsel"
fi

# --- Windows, under Wine ---------------------------------------------------
if [[ -n $windows_bin && -f $windows_bin/tamsel.exe ]]; then
  root=$tmp/wine
  make_fixture "$root"
  # The Windows program keeps set.ini beside itself: start without one and
  # put back whatever was there.
  [[ -f $windows_bin/set.ini ]] && mv "$windows_bin/set.ini" "$tmp/set.ini.saved"
  "$scripts/wine-run" "$windows_bin/tamsel.exe" >"$tmp/wine.log" 2>&1 &
  program=$!
  if window=$(wait_window Tamselv1.0); then
    drag_onto "$window" "$root/docs/report.txt" "$root/docs/photos"
    check_backups "$root" wine
    kill "$source_pid" 2>/dev/null; source_pid=
    click_yes "$window"
    grep -aq 'zips=yes' "$windows_bin/set.ini" 2>/dev/null || fail "wine: zips=yes not stored"
    drag_onto "$window" "$root/docs/photos"
    wait_for "$root/docs/photosbak/photos*年*秒.zip" || fail "wine: no archive of the photos folder"
    kill "$source_pid" 2>/dev/null; source_pid=
    echo "drop_e2e: windows program under wine checked"
  else
    fail "wine: the main window did not appear"
  fi
  kill "$program" 2>/dev/null; program=
  WINEPREFIX=$(dirname "$windows_bin")/wineprefix wineserver -k 2>/dev/null
  rm -f "$windows_bin/set.ini"
  [[ -f $tmp/set.ini.saved ]] && mv "$tmp/set.ini.saved" "$windows_bin/set.ini"
fi

if ((failures)); then
  echo "drop_e2e: $failures failure(s)"
  exit 1
fi
echo "drop_e2e: passed"
