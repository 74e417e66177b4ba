#!/usr/bin/env bash
# Whole-process times of velmora-batch compute (great circle) and transform against the numpy
# scripts of bench/reference on the 901-node problem of coverage-case.sh: each pair run in
# turn, the order alternating, median of the runs, with the load average before and after.
# Needs Debian's python3-numpy. Usage: bench/side-by-side.sh [runs] [velmora-batch]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
batch=$(realpath "${2:-build/bin/velmora-batch}")
reference=$PWD/bench/reference
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench/coverage-case.sh "$work" >/dev/null
cd "$work"
cat demand.GRT sites.GRT >all.GRT
nodes=(--demand demand.GRT --candidates sites.GRT)
"$batch" compute --metric great-circle "${nodes[@]}" --out in.GRD
# The numpy script's equations and scale.
equations=(--coverage 3000 --equation 0=1,1.5,1.5 --equation 1=2,2.5,0.75
    --equation 2=3,0.5,2.2 --equation 3=4,0.25,1.3)

# Milliseconds one run of the command takes.
elapsed() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null
    local end=$EPOCHREALTIME
    awk -v us=$((${end/./} - ${start/./})) 'BEGIN { printf "%.1f", us / 1000 }'
}

median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

measure() {
    local name=$1 ours=() theirs=() t
    shift
    local -a velmora numpy
    IFS=$'\x1f' read -r -a velmora <<<"$1"
    IFS=$'\x1f' read -r -a numpy <<<"$2"
    echo "$name: load $(cut -d' ' -f1-3 /proc/loadavg) before"
    for run in $(seq "$runs"); do
        if ((run % 2)); then
            ours+=("$(elapsed "${velmora[@]}")")
            theirs+=("$(elapsed /usr/bin/python3 "${numpy[@]}")")
        else
            theirs+=("$(elapsed /usr/bin/python3 "${numpy[@]}")")
            ours+=("$(elapsed "${velmora[@]}")")
        fi
    done
    local a b
    a=$(echo "${ours[*]}" | median)
    b=$(echo "${theirs[*]}" | median)
    echo "  velmora-batch ${ours[*]} ms: median $a ms"
    echo "  numpy         ${theirs[*]} ms: median $b ms"
    echo "  ratio $(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", b / a }');" \
        "load $(cut -d' ' -f1-3 /proc/loadavg) after"
}

join() { local IFS=$'\x1f'; echo "$*"; }
measure "compute --metric great-circle" \
    "$(join "$batch" compute --metric great-circle "${nodes[@]}" --out out.GRD)" \
    "$(join "$reference/great_circle_numpy.py" all.GRT numpy.GRD)"
measure "transform" \
    "$(join "$batch" transform "${nodes[@]}" --in in.GRD --out out.GRD "${equations[@]}")" \
    "$(join "$reference/transform_numpy.py" all.GRT in.GRD numpy.GRD 3000)"
