#!/usr/bin/env bash
# Start-up time: from starting build/bin/velmora to its main window on screen, measured on
# a virtual display a number of times. Usage: bench/startup.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    for run in $(seq '"$runs"'); do
        start=$(date +%s%N)
        build/bin/velmora 2>/dev/null &
        program=$!
        until xdotool search --onlyvisible --name "^Velmora Program$" >/dev/null 2>&1; do
            sleep 0.005
        done
        end=$(date +%s%N)
        echo "$(( (end - start) / 1000000 )) ms"
        kill $program
        wait $program 2>/dev/null || true
    done'
