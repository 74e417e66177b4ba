#!/usr/bin/env bash
# Times velmora-batch nodes, whole process, on 901 point features of a GeoPackage: the nodes
# layer that velmora-batch report --gpkg writes for the problem of bench/coverage-case.sh, to
# a .GRT node file (WGS 84 to WGS 84) and to an .EUC one (WGS 84 to Web Mercator), with the
# load of the machine beside each figure; the median of RUNS runs (default 11) each.
# usage: bench/gis-nodes.sh [RUNS] [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
build=$(realpath "${2:-build}")
cmake --build "$build" --target velmora-batch >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
batch="$build/bin/velmora-batch"
bench/coverage-case.sh "$folder"
"$batch" report --demand "$folder/demand.GRT" --candidates "$folder/sites.GRT" \
    --metric great-circle --coverage 300 --gpkg "$folder/nodes.gpkg" >/dev/null

median() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@"
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
        printf "%.1f ms (fastest %.1f ms)", t[int((NR + 1) / 2)] / 1000, t[1] / 1000 }'
}

nodes=("$batch" nodes --from "$folder/nodes.gpkg" --id-field node --number-field node)
echo ".GRT: $(median "${nodes[@]}" --out "$folder/back.GRT"), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo ".EUC: $(median "${nodes[@]}" --out "$folder/back.EUC" --crs EPSG:3857)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "lines: $(wc -l <"$folder/back.GRT")"
/usr/bin/time -f "one run: %e s wall, %U s user, %S s system, %M KB peak" \
    "${nodes[@]}" --out "$folder/back.GRT"
