#!/usr/bin/env bash
# The window's answer times on the 901-node great-circle problem of coverage-case.sh, taken
# from a trace the real program writes when VELMORA_EVENT_TRACE names a file (keys, clicks
# and windows coming up, in microseconds): from the click of "Exit and Load Data" (after the
# press animation of its Alt+X) to "Do you want to save distances?", and from confirming the
# file name in the equation dialog's save to the records box, less the time the scaling box
# waits for its OK. With strace installed the wait for the disk (the save's fsync calls) is
# shown beside it. Runs on a virtual display, driven by xdotool; prints each run and the
# medians. Usage: bench/window-trace.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench/coverage-case.sh "$work" >/dev/null
tracer=()
if command -v strace >/dev/null; then
    tracer=(strace -f --seccomp-bpf -e trace=fsync -T -o "$work/sync.log")
fi
export VELMORA_EVENT_TRACE="$work/trace.log" WORK="$work" RUNS="$runs"
xvfb-run -a -s "-screen 0 1280x1024x24" "${tracer[@]}" bash -c '
    cd "$WORK"
    build_bin=$0
    "$build_bin" 2>/dev/null &
    program=$!
    focus() { xdotool search --sync --onlyvisible --name "$1" windowfocus --sync; }
    focus "^Velmora Program$"
    sleep 2.5  # the splash
    for run in $(seq "$RUNS"); do
        focus "^Velmora Program$"
        xdotool key alt+l
        if [ "$run" -gt 1 ]; then
            focus "^Confirm$"  # replace the loaded problem
            xdotool key Return
        fi
        focus "^VELMORA Load Data Form$"
        xdotool key alt+g
        sleep 0.3
        for file in demand sites; do
            [ $file = demand ] && xdotool key alt+d || xdotool key alt+s
            focus "^Open$"
            xdotool type $file.GRT
            xdotool key Return
            sleep 0.5
            focus "^VELMORA Load Data Form$"
        done
        xdotool key alt+o
        sleep 0.3
        xdotool key alt+x
        focus "^Confirm$"
        sleep 0.3
        xdotool key Escape  # no save of the computed distances
        focus "^Velmora Program$"
        xdotool key alt+m
        focus "^Specify Distance Equations$"
        sleep 0.3
        # Not the coverage of the run before: leaving an unchanged field changes nothing.
        xdotool key alt+s ctrl+a
        xdotool type $((3000 + run))
        xdotool key Tab
        sleep 0.3
        xdotool key alt+q
        focus "^Confirm$"
        sleep 0.3
        xdotool key Return
        focus "^Save As$"
        sleep 0.3
        xdotool type out$run.GRD
        xdotool key Return
        for box in scaling records; do
            focus "^Information$"
            sleep 0.3
            xdotool key Return
        done
        sleep 0.3
    done
    kill $program
    wait $program 2>/dev/null || true' "$PWD/build/bin/velmora"
# A call another thread interrupts ends on its "resumed" line.
syncs=$(awk '/fsync/ && match($0, /<[0-9.]+>$/) { printf "%s ", substr($0, RSTART + 1, RLENGTH - 2) }' \
    "$work/sync.log" 2>/dev/null || true)
awk -v syncs="$syncs" '
    function median(list, n,    sorted, i, j, t) {
        for (i = 1; i <= n; i++) sorted[i] = list[i]
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
            if (sorted[j] < sorted[i]) { t = sorted[i]; sorted[i] = sorted[j]; sorted[j] = t }
        return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
    }
    BEGIN { fsyncs = split(syncs, sync, " ") }
    $2 == "click" && $3 == "ExitAndLoadData" { clicked = $1 }
    $2 == "show" && /Do you want to save distances/ && clicked {
        load[++runs] = ($1 - clicked) / 1000; clicked = 0
    }
    $2 == "key" && $3 == "Return" { pressed = $1 }
    $2 == "show" && /<<< (DISTANCES|NO SCALING)/ { save[runs] = ($1 - pressed) / 1000 }
    $2 == "show" && /<<< File \[/ {
        save[runs] += ($1 - pressed) / 1000
        disk[runs] = (sync[2 * runs - 1] + sync[2 * runs]) * 1000
    }
    END {
        printf "run  click to box  confirm to records box  of it fsync\n"
        for (r = 1; r <= runs; r++)
            printf "%3d  %9.1f ms  %18.1f ms  %8.1f ms\n", r, load[r], save[r], disk[r]
        printf "median %6.1f ms  %18.1f ms  %8.1f ms\n", median(load, runs), median(save, runs),
            median(disk, runs)
    }' "$work/trace.log"
