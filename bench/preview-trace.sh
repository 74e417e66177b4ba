#!/usr/bin/env bash
# The coverage preview in the real window, timed by the program itself on a virtual display:
# the 901-node problem of coverage-case.sh is loaded through the load dialog, the equation
# dialog and its preview are opened, and coverage distances are entered one after another.
# From the program's own trace (VELMORA_EVENT_TRACE), the time from the click that opens the
# preview, and from each key that leaves the coverage field, to the end of the repaint.
# Usage: bench/preview-trace.sh [entries]
set -euo pipefail
cd "$(dirname "$0")/.."
entries=${1:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench/coverage-case.sh "$work"
export work entries
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    VELMORA_EVENT_TRACE="$work/trace" build/bin/velmora 2>/dev/null &
    program=$!
    # Without a window manager the keyboard goes where it is sent: each step focuses its window.
    press() {
        xdotool windowfocus --sync "$(xdotool search --sync --onlyvisible --name "$1" | head -1)"
        shift
        xdotool key --delay 60 "$@"
        sleep 0.3
    }
    choose() {
        sleep 0.8
        xdotool type --delay 5 "$1"
        xdotool key Return
        sleep 0.5
    }
    press "^Velmora Program$" alt+l
    press "^VELMORA Load Data Form$" alt+g alt+d
    choose "$work/demand.GRT"
    press "^VELMORA Load Data Form$" alt+s
    choose "$work/sites.GRT"
    press "^VELMORA Load Data Form$" alt+o alt+x
    sleep 0.8
    xdotool key Escape
    press "^Velmora Program$" alt+m
    press "^Specify Distance Equations$" alt+p
    sleep 1
    for coverage in $(seq 1 "$entries"); do
        press "^Specify Distance Equations$" alt+s
        xdotool type --delay 20 "$((coverage * 250))"
        xdotool key Tab
        sleep 0.5
    done
    kill $program
    wait $program 2>/dev/null || true'
awk '$2 == "click" && $3 == "PreviewCoverage" { what = "open"; from = $1 }
     $2 == "key" && $3 ~ /^(Shift\+)?(Tab|Backtab)$/ && $4 == "CVDist" { what = "redraw"; from = $1 }
     $2 == "painted" && what { printf "%s %.1f ms\n", what, ($1 - from) / 1000; what = "" }' \
    "$work/trace"
